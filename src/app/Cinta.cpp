#include "app/Cinta.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOption>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kAltoPagina = 96;

QLinearGradient degradado(QPointF a, QPointF b, QColor c1, QColor c2)
{
    QLinearGradient g(a, b);
    g.setColorAt(0, c1);
    g.setColorAt(1, c2);
    return g;
}

// Todo se dibuja en una rejilla de 32 x 32 y se escala
void dibuja(QPainter &p, DibujoIcono d)
{
    const QPen borde(QColor(60, 70, 85), 1.2);
    switch (d) {
    case DibujoIcono::Etiqueta: {
        // Etiqueta con código de barras
        QPainterPath e;
        e.moveTo(2, 5);
        e.lineTo(22, 5);
        e.lineTo(30.5, 16);
        e.lineTo(22, 27);
        e.lineTo(2, 27);
        e.closeSubpath();
        p.setPen(borde);
        p.setBrush(degradado({0, 5}, {0, 27}, QColor(255, 244, 200), QColor(240, 196, 80)));
        p.drawPath(e);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(24, 16), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(35, 35, 35));
        const double barras[] = {1.4, 0.7, 2, 0.7, 1.2, 1.2, 0.7, 2, 0.7, 1.4, 0.7, 1.2};
        double x = 5;
        for (int i = 0; i < 12; ++i) {
            if (i % 2 == 0)
                p.drawRect(QRectF(x, 9, barras[i], 14));
            x += barras[i] + 0.6;
        }
        break;
    }
    case DibujoIcono::Colectora: {
        // Terminal de mano con flecha hacia arriba
        p.setPen(borde);
        p.setBrush(degradado({6, 0}, {22, 0}, QColor(95, 105, 120), QColor(55, 62, 75)));
        p.drawRoundedRect(QRectF(6, 4, 15, 26), 3, 3);
        p.setBrush(degradado({0, 7}, {0, 16}, QColor(170, 225, 255), QColor(80, 160, 215)));
        p.drawRect(QRectF(8.5, 7, 10, 9));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 215, 222));
        for (int f = 0; f < 3; ++f)
            for (int c = 0; c < 3; ++c)
                p.drawRect(QRectF(9 + c * 3.3, 19 + f * 3.3, 2.2, 2.2));
        QPainterPath flecha;
        flecha.moveTo(26, 3);
        flecha.lineTo(31, 10);
        flecha.lineTo(28, 10);
        flecha.lineTo(28, 18);
        flecha.lineTo(24, 18);
        flecha.lineTo(24, 10);
        flecha.lineTo(21, 10);
        flecha.closeSubpath();
        p.setPen(QPen(QColor(20, 100, 30), 1));
        p.setBrush(degradado({0, 3}, {0, 18}, QColor(120, 215, 110), QColor(40, 150, 50)));
        p.drawPath(flecha);
        break;
    }
    case DibujoIcono::Precio: {
        // Etiqueta colgante con signo de pesos y flecha
        p.save();
        p.translate(16, 16);
        p.rotate(-30);
        p.scale(1.2, 1.35);
        QPainterPath e;
        e.moveTo(-13, -7);
        e.lineTo(7, -7);
        e.lineTo(14, 0);
        e.lineTo(7, 7);
        e.lineTo(-13, 7);
        e.closeSubpath();
        p.setPen(borde);
        p.setBrush(degradado({0, -7}, {0, 7}, QColor(150, 225, 140), QColor(60, 165, 70)));
        p.drawPath(e);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8.5, 0), 1.7, 1.7);
        QFont f(QStringLiteral("Sans"));
        f.setBold(true);
        f.setPixelSize(13);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(-13, -8, 19, 16), Qt::AlignCenter, QStringLiteral("$"));
        p.restore();
        break;
    }
    case DibujoIcono::Llave: {
        // Candado
        p.setPen(QPen(QColor(110, 115, 125), 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
        p.drawLine(QPointF(9, 11), QPointF(9, 15));
        p.drawLine(QPointF(23, 11), QPointF(23, 15));
        p.setPen(borde);
        p.setBrush(degradado({0, 14}, {0, 30}, QColor(255, 215, 90), QColor(205, 145, 20)));
        p.drawRoundedRect(QRectF(5, 14, 22, 16), 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 50, 10));
        p.drawEllipse(QPointF(16, 20.5), 2.3, 2.3);
        p.drawRect(QRectF(15, 21, 2, 5));
        break;
    }
    case DibujoIcono::BaseDatos: {
        // Cilindro de discos
        p.setPen(borde);
        const QLinearGradient cuerpo = degradado({5, 0}, {27, 0}, QColor(120, 165, 215), QColor(40, 80, 140));
        for (int i = 2; i >= 0; --i) {
            const double y = 6 + i * 7.5;
            QPainterPath c;
            c.moveTo(5, y);
            c.lineTo(5, y + 7.5);
            c.arcTo(QRectF(5, y + 3.5, 22, 8), 180, 180);
            c.lineTo(27, y);
            c.closeSubpath();
            p.setBrush(cuerpo);
            p.drawPath(c);
        }
        p.setBrush(degradado({0, 2}, {0, 10}, QColor(215, 235, 255), QColor(140, 180, 225)));
        p.drawEllipse(QRectF(5, 2, 22, 8));
        break;
    }
    case DibujoIcono::Engrane: {
        QPainterPath g;
        const int dientes = 8;
        for (int i = 0; i < dientes * 2; ++i) {
            const double a1 = (i * M_PI) / dientes - M_PI / (dientes * 2.6);
            const double a2 = (i * M_PI) / dientes + M_PI / (dientes * 2.6);
            const double r = (i % 2 == 0) ? 14.5 : 11;
            const QPointF p1(16 + r * std::cos(a1), 16 + r * std::sin(a1));
            const QPointF p2(16 + r * std::cos(a2), 16 + r * std::sin(a2));
            if (i == 0)
                g.moveTo(p1);
            else
                g.lineTo(p1);
            g.lineTo(p2);
        }
        g.closeSubpath();
        g.addEllipse(QPointF(16, 16), 4.5, 4.5);
        g.setFillRule(Qt::OddEvenFill);
        p.setPen(borde);
        p.setBrush(degradado({0, 2}, {0, 30}, QColor(200, 205, 215), QColor(110, 118, 132)));
        p.drawPath(g);
        break;
    }
    case DibujoIcono::Informacion: {
        QRadialGradient r(QPointF(12, 10), 18);
        r.setColorAt(0, QColor(130, 190, 255));
        r.setColorAt(1, QColor(25, 90, 180));
        p.setPen(QPen(QColor(20, 60, 130), 1.2));
        p.setBrush(r);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
        p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1, 1);
        break;
    }
    }
}

} // namespace

QPixmap DibujaIcono(DibujoIcono dibujo, int lado)
{
    QPixmap px(lado, lado);
    px.fill(Qt::transparent);
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 32.0, lado / 32.0);
    dibuja(p, dibujo);
    return px;
}

QIcon IconoCinta(const QString &tema, DibujoIcono dibujo)
{
    QIcon propio;
    for (int lado : {16, 32, 64})
        propio.addPixmap(DibujaIcono(dibujo, lado));
    if (tema.isEmpty())
        return propio;
    return QIcon::fromTheme(tema, propio);
}

TCinta::TCinta(QWidget *padre) : QWidget(padre)
{
    setObjectName(QStringLiteral("Cinta"));
    QFont f(QStringLiteral("Segoe UI"));
    f.setPointSize(9);
    setFont(f);

    m_barra = new QTabBar(this);
    m_barra->setDrawBase(false);
    m_barra->setExpanding(false);
    m_barra->setFocusPolicy(Qt::NoFocus);
    m_barra->setStyleSheet(
        QStringLiteral("QTabBar::tab { padding: 4px 16px; margin-right: 1px; border: 1px solid transparent;"
                       " border-bottom: none; color: #1e395b; background: transparent; }"
                       "QTabBar::tab:hover { background: #f4f6f9; border-color: #c5cbd3; }"
                       "QTabBar::tab:selected { background: #fafbfc; border-color: #b6bcc6; }"));
    m_paginas = new QStackedWidget(this);
    m_paginas->setFixedHeight(kAltoPagina);
    m_paginas->setObjectName(QStringLiteral("PaginasCinta"));
    m_paginas->setStyleSheet(QStringLiteral(
        "#PaginasCinta { border: 1px solid #b6bcc6; border-radius: 2px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fafbfc, stop:0.75 #eceff3, stop:1 #dfe3e8); }"
        "QToolButton { border: 1px solid transparent; border-radius: 3px; padding: 2px 4px; color: #1e1e1e; }"
        "QToolButton:hover { border-color: #e3c26a; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #fff9e3, stop:1 #ffe8a6); }"
        "QToolButton:pressed { border-color: #c29b2d; background: #ffd770; }"
        "QToolButton:disabled { color: #9aa0a8; }"
        "QLabel#TituloGrupo { color: #5c6470; }"));

    m_emergente = new QFrame(this, Qt::Popup);
    m_emergente->setFrameShape(QFrame::NoFrame);
    auto *cajaEmergente = new QVBoxLayout(m_emergente);
    cajaEmergente->setContentsMargins(0, 0, 0, 0);
    m_emergente->installEventFilter(this);

    m_caja = new QVBoxLayout(this);
    m_caja->setContentsMargins(2, 2, 2, 2);
    m_caja->setSpacing(0);
    m_caja->addWidget(m_barra);
    m_caja->addWidget(m_paginas);

    connect(m_barra, &QTabBar::currentChanged, this, [this](int i) {
        if (i >= 0 && i < m_lista.size())
            m_paginas->setCurrentWidget(m_lista[i].pagina);
    });
    connect(m_barra, &QTabBar::tabBarClicked, this, [this](int i) {
        if (m_minimizada && i >= 0) {
            ponPestanaActual(i);
            despliega();
        }
    });
    connect(m_barra, &QTabBar::tabBarDoubleClicked, this, [this](int) { ponMinimizada(!m_minimizada); });
    installEventFilter(this);
    m_paginas->installEventFilter(this);
}

TCinta::~TCinta() = default;

int TCinta::agregaPestana(const QString &titulo, const QString &teclaRapida)
{
    Pagina p;
    p.pagina = new QWidget;
    auto *fila = new QHBoxLayout(p.pagina);
    fila->setContentsMargins(3, 2, 3, 1);
    fila->setSpacing(0);
    fila->addStretch();
    p.teclaRapida = teclaRapida.toUpper();
    m_paginas->addWidget(p.pagina);
    m_lista.append(p);
    const int i = m_barra->addTab(titulo);
    if (!teclaRapida.isEmpty()) {
        m_barra->setTabToolTip(i, titulo + QStringLiteral(" (Alt+") + p.teclaRapida + QLatin1Char(')'));
        auto *atajo = new QShortcut(QKeySequence(QStringLiteral("Alt+") + p.teclaRapida), this);
        atajo->setContext(Qt::WindowShortcut);
        connect(atajo, &QShortcut::activated, this, [this, i] {
            if (!pestanaOculta(i))
                entraModoTeclas(i);
        });
    }
    return i;
}

void TCinta::ocultaPestana(int pestana, bool oculta)
{
    m_barra->setTabVisible(pestana, !oculta);
}

bool TCinta::pestanaOculta(int pestana) const
{
    return !m_barra->isTabVisible(pestana);
}

QWidget *TCinta::nuevoGrupo(Pagina &p, const QString &titulo)
{
    auto *fila = static_cast<QHBoxLayout *>(p.pagina->layout());
    if (p.grupoActual) {
        auto *sep = new QFrame(p.pagina);
        sep->setFrameShape(QFrame::VLine);
        sep->setStyleSheet(QStringLiteral("color: #c5cbd3;"));
        fila->insertWidget(fila->count() - 1, sep);
    }
    auto *grupo = new QWidget(p.pagina);
    auto *v = new QVBoxLayout(grupo);
    v->setContentsMargins(2, 0, 2, 0);
    v->setSpacing(0);
    auto *botones = new QHBoxLayout;
    botones->setSpacing(1);
    v->addLayout(botones, 1);
    auto *t = new QLabel(titulo, grupo);
    t->setObjectName(QStringLiteral("TituloGrupo"));
    t->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    v->addWidget(t);
    fila->insertWidget(fila->count() - 1, grupo);
    p.grupoActual = grupo;
    return grupo;
}

void TCinta::agregaGrupo(int pestana, const QString &titulo)
{
    nuevoGrupo(m_lista[pestana], titulo);
}

QToolButton *TCinta::agregaBoton(int pestana, const QString &texto, const QIcon &icono, int tag,
                                 const QString &teclaRapida, const QString &pista)
{
    Pagina &p = m_lista[pestana];
    if (!p.grupoActual)
        nuevoGrupo(p, {});
    auto *b = new QToolButton(p.grupoActual);
    b->setText(texto);
    b->setIcon(icono);
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumWidth(64);
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    b->setProperty("Tag", tag);
    if (!teclaRapida.isEmpty())
        b->setProperty("TeclaRapida", teclaRapida.toUpper());
    QString sugerencia = pista.isEmpty() ? QString(texto).remove(QLatin1Char('&')) : pista;
    if (!teclaRapida.isEmpty())
        sugerencia += QStringLiteral(" (") + teclaRapida.toUpper() + QLatin1Char(')');
    b->setToolTip(sugerencia);
    auto *v = static_cast<QVBoxLayout *>(p.grupoActual->layout());
    static_cast<QHBoxLayout *>(v->itemAt(0)->layout())->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this] {
        saleModoTeclas();
        if (desplegada())
            repliega();
    });
    p.botones.append(b);
    m_botones.append(b);
    return b;
}

int TCinta::cuantasPestanas() const
{
    return m_barra->count();
}

QString TCinta::tituloPestana(int pestana) const
{
    return m_barra->tabText(pestana);
}

int TCinta::pestanaActual() const
{
    return m_barra->currentIndex();
}

void TCinta::ponPestanaActual(int pestana)
{
    m_barra->setCurrentIndex(pestana);
    if (pestana >= 0 && pestana < m_lista.size())
        m_paginas->setCurrentWidget(m_lista[pestana].pagina);
}

QList<QToolButton *> TCinta::botonesDe(int pestana) const
{
    return m_lista.value(pestana).botones;
}

void TCinta::colocaPaginas(bool enVentana)
{
    if (enVentana) {
        m_emergente->layout()->addWidget(m_paginas);
    } else {
        m_emergente->hide();
        m_caja->addWidget(m_paginas);
    }
    m_paginas->show();
}

void TCinta::ponMinimizada(bool minimizada)
{
    if (m_minimizada == minimizada)
        return;
    m_minimizada = minimizada;
    colocaPaginas(minimizada);
    updateGeometry();
    Q_EMIT minimizadaCambio(minimizada);
}

bool TCinta::desplegada() const
{
    return m_minimizada && m_emergente->isVisible();
}

void TCinta::despliega()
{
    if (!m_minimizada)
        return;
    const QPoint origen = mapToGlobal(QPoint(0, m_barra->geometry().bottom() + 1));
    m_emergente->setGeometry(QRect(origen, QSize(width(), kAltoPagina)));
    m_emergente->show();
}

void TCinta::repliega()
{
    if (m_minimizada)
        m_emergente->hide();
}

void TCinta::muestraInsignias(bool pestanas)
{
    quitaInsignias();
    auto insignia = [this](QWidget *padre, const QString &texto, QPoint centro) {
        auto *l = new QLabel(texto, padre);
        l->setStyleSheet(QStringLiteral("background: #3c3f44; color: white; border-radius: 2px;"
                                        " padding: 0px 3px; font-size: 8pt;"));
        l->adjustSize();
        l->move(centro - QPoint(l->width() / 2, l->height() / 2));
        l->show();
        l->raise();
        m_insignias.append(l);
    };
    if (pestanas) {
        for (int i = 0; i < m_lista.size(); ++i)
            if (!m_lista[i].teclaRapida.isEmpty() && !pestanaOculta(i)) {
                const QRect r = m_barra->tabRect(i);
                insignia(this, m_lista[i].teclaRapida, m_barra->mapTo(this, QPoint(r.center().x(), r.bottom())));
            }
        return;
    }
    const int i = pestanaActual();
    if (i < 0)
        return;
    for (QToolButton *b : m_lista[i].botones) {
        const QString t = b->property("TeclaRapida").toString();
        if (!t.isEmpty() && b->isEnabled())
            insignia(b, t, QPoint(b->width() / 2, b->height() - 8));
    }
}

void TCinta::quitaInsignias()
{
    qDeleteAll(m_insignias);
    m_insignias.clear();
}

void TCinta::entraModoTeclas(int pestana)
{
    ponPestanaActual(pestana);
    if (m_minimizada)
        despliega();
    m_modoTeclas = true;
    m_tecleado.clear();
    muestraInsignias(false);
    m_paginas->setFocusPolicy(Qt::StrongFocus);
    m_paginas->setFocus();
}

void TCinta::saleModoTeclas()
{
    m_modoTeclas = false;
    m_tecleado.clear();
    quitaInsignias();
    m_paginas->setFocusPolicy(Qt::NoFocus);
}

bool TCinta::teclaRapida(const QString &letra)
{
    if (!m_modoTeclas)
        return false;
    m_tecleado += letra.toUpper();
    bool prefijo = false;
    for (QToolButton *b : botonesDe(pestanaActual())) {
        const QString t = b->property("TeclaRapida").toString();
        if (t.isEmpty() || !b->isEnabled())
            continue;
        if (t == m_tecleado) {
            saleModoTeclas();
            b->click();
            return true;
        }
        if (t.startsWith(m_tecleado))
            prefijo = true;
    }
    if (!prefijo)
        m_tecleado.clear();
    return true;
}

bool TCinta::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::KeyPress && m_modoTeclas && (o == m_paginas || o == m_emergente || o == this)) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Escape) {
            saleModoTeclas();
            repliega();
            return true;
        }
        if (!k->text().isEmpty() && k->text().at(0).isLetterOrNumber())
            return teclaRapida(k->text());
    }
    if (o == m_emergente && e->type() == QEvent::Hide)
        saleModoTeclas();
    if (o == m_paginas && e->type() == QEvent::FocusOut && m_modoTeclas && !m_minimizada)
        saleModoTeclas();
    return QWidget::eventFilter(o, e);
}

void TCinta::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu menu(this);
    // Las pestañas visibles y minimizar la cinta
    for (int i = 0; i < m_barra->count(); ++i) {
        if (pestanaOculta(i))
            continue;
        QAction *a = menu.addAction(tituloPestana(i));
        a->setCheckable(true);
        a->setChecked(i == pestanaActual());
        connect(a, &QAction::triggered, this, [this, i] {
            ponPestanaActual(i);
            despliega();
        });
    }
    menu.addSeparator();
    QAction *min = menu.addAction(QStringLiteral("Minimizar la cinta"));
    min->setCheckable(true);
    min->setChecked(m_minimizada);
    connect(min, &QAction::toggled, this, &TCinta::ponMinimizada);
    menu.exec(e->globalPos());
}

void TCinta::paintEvent(QPaintEvent *)
{
    // Fondo plateado de la cinta
    QPainter p(this);
    p.fillRect(rect(), degradado({0, 0}, {0, double(height())}, QColor(0xf3, 0xf5, 0xf8), QColor(0xdc, 0xe1, 0xe7)));
    p.setPen(QColor(0xb6, 0xbc, 0xc6));
    p.drawLine(0, height() - 1, width(), height() - 1);
}
