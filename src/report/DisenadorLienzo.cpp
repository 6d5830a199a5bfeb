#include "report/DisenadorLienzo.h"

#include "report/Dibujante.h"
#include "report/Evaluador.h"
#include "report/FuenteDatos.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

constexpr int AnchoRegla = 24;
constexpr int Borde = 28;          // espacio gris alrededor del papel (pixeles)
constexpr double TamAsa = 7;       // lado de las asas (pixeles)
constexpr double UnidadesPorMm = 96.0 / 25.4;

const QColor ColorFondo(0x9a, 0xa3, 0xad);
const QColor ColorSeleccion(0x1f, 0x6f, 0xd1);

QColor ColorBanda(TipoBanda t)
{
    switch (t) {
    case TipoBanda::DatosMaestros: return QColor(0xff, 0xf6, 0xd5);
    case TipoBanda::TituloInforme:
    case TipoBanda::ResumenInforme: return QColor(0xe3, 0xf2, 0xe1);
    case TipoBanda::EncabezadoPagina:
    case TipoBanda::PiePagina: return QColor(0xe1, 0xec, 0xf7);
    case TipoBanda::PieDatos: return QColor(0xf3, 0xe5, 0xf5);
    case TipoBanda::Desconocida: break;
    }
    return QColor(0xee, 0xee, 0xee);
}

QString NombreTipoBanda(TipoBanda t)
{
    switch (t) {
    case TipoBanda::DatosMaestros: return QStringLiteral("Datos");
    case TipoBanda::TituloInforme: return QStringLiteral("Título");
    case TipoBanda::ResumenInforme: return QStringLiteral("Resumen");
    case TipoBanda::EncabezadoPagina: return QStringLiteral("Encabezado");
    case TipoBanda::PiePagina: return QStringLiteral("Pie de página");
    case TipoBanda::PieDatos: return QStringLiteral("Pie de datos");
    case TipoBanda::Desconocida: break;
    }
    return {};
}

// Copia de la vista que muestra sus expresiones en lugar de datos
Vista ParaDiseno(const Vista &v)
{
    Vista d = v;
    const QString conj = v.conjunto.isEmpty() ? QStringLiteral("frxDBDataset") : v.conjunto;
    if (v.tipo == TipoVista::Memo) {
        if (!v.campo.isEmpty())
            d.texto = QStringLiteral("[%1.\"%2\"]").arg(conj, v.campo);
        d.campo.clear();
        d.permiteExpresiones = false;
    } else if (v.tipo == TipoVista::CodigoBarras || v.tipo == TipoVista::Codigo2D) {
        if (!v.campo.isEmpty() || !v.expresion.trimmed().isEmpty() || v.texto.contains(QLatin1Char('[')))
            d.texto = MuestraBarras(v.tipoBarras);
        d.campo.clear();
        d.expresion.clear();
    }
    return d;
}

} // namespace

// ---------------------------------------------------------------- reglas

class DisenadorLienzo::Regla : public QWidget
{
public:
    Regla(DisenadorLienzo *lienzo, Qt::Orientation o) : QWidget(lienzo), m_l(lienzo), m_o(o) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0xf4, 0xf5, 0xf7));
        const bool h = m_o == Qt::Horizontal;
        const Pagina &pg = m_l->m_doc.pagina();
        const QPointF esquina = m_l->esquinaPapel();
        const double pxMm = m_l->m_zoom * UnidadesPorMm;
        const double inicio = h ? esquina.x() : esquina.y();
        const double total = h ? pg.anchoPapel.mm() : pg.altoPapel.mm();
        // Zona del papel en blanco, márgenes en gris
        const double m0 = h ? pg.margenIzquierdo.mm() : pg.margenSuperior.mm();
        const double m1 = total - (h ? pg.margenDerecho.mm() : pg.margenInferior.mm());
        auto banda = [&](double a, double b, const QColor &c) {
            const QRectF r = h ? QRectF(inicio + a * pxMm, 3, (b - a) * pxMm, height() - 6)
                               : QRectF(3, inicio + a * pxMm, width() - 6, (b - a) * pxMm);
            p.fillRect(r, c);
        };
        banda(0, total, QColor(0xdd, 0xe1, 0xe6));
        banda(m0, m1, Qt::white);
        QFont f = font();
        f.setPixelSize(9);
        p.setFont(f);
        p.setPen(QColor(0x55, 0x5b, 0x63));
        // Marcas: cada mm si caben, cada 5 y cada 10 con número
        const int paso = pxMm >= 4 ? 1 : (pxMm >= 1.2 ? 5 : 10);
        const int cadaNumero = pxMm >= 9 ? 5 : (pxMm >= 4 ? 10 : (pxMm >= 1.2 ? 20 : 50));
        const int largo = h ? height() : width();
        for (int mm = 0; mm <= int(total); mm += paso) {
            const double x = inicio + mm * pxMm;
            const double t = mm % 10 == 0 ? largo * 0.55 : (mm % 5 == 0 ? largo * 0.35 : largo * 0.2);
            if (h)
                p.drawLine(QPointF(x, largo - t), QPointF(x, largo));
            else
                p.drawLine(QPointF(largo - t, x), QPointF(largo, x));
            if (mm % cadaNumero == 0 && mm > 0) {
                const QString n = QString::number(mm);
                if (h) {
                    p.drawText(QRectF(x + 2, 1, 30, 11), Qt::AlignLeft | Qt::AlignTop, n);
                } else {
                    p.save();
                    p.translate(2, x + 2);
                    p.rotate(90);
                    p.drawText(QRectF(0, -12, 30, 11), Qt::AlignLeft | Qt::AlignTop, n);
                    p.restore();
                }
            }
        }
        // Posición del ratón
        if (auto c = m_l->cursorPagina()) {
            const QPointF px = m_l->aPantalla(*c);
            p.setPen(QPen(ColorSeleccion, 1));
            if (h)
                p.drawLine(QPointF(px.x(), 0), QPointF(px.x(), largo));
            else
                p.drawLine(QPointF(0, px.y()), QPointF(largo, px.y()));
        }
        p.setPen(QColor(0xb0, 0xb6, 0xbe));
        if (h)
            p.drawLine(0, height() - 1, width(), height() - 1);
        else
            p.drawLine(width() - 1, 0, width() - 1, height());
    }

private:
    DisenadorLienzo *m_l;
    Qt::Orientation m_o;
};

// ---------------------------------------------------------------- lienzo

DisenadorLienzo::DisenadorLienzo(DisenadorDocumento &doc, QWidget *padre) : QAbstractScrollArea(padre), m_doc(doc)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setViewportMargins(AnchoRegla, AnchoRegla, 0, 0);
    m_reglaH = new Regla(this, Qt::Horizontal);
    m_reglaV = new Regla(this, Qt::Vertical);
    connect(&m_doc, &DisenadorDocumento::cambiado, this, [this] {
        m_cacheBandas.clear();
        actualizaBarras();
        viewport()->update();
        m_reglaH->update();
        m_reglaV->update();
    });
    connect(&m_doc, &DisenadorDocumento::seleccionCambiada, viewport(), qOverload<>(&QWidget::update));
    actualizaBarras();
}

void DisenadorLienzo::ponDatos(const FuenteDatos *datos)
{
    m_datos = datos;
    m_cacheBandas.clear();
    viewport()->update();
}

void DisenadorLienzo::ponMuestraDatos(bool si)
{
    m_muestraDatos = si;
    m_cacheBandas.clear();
    viewport()->update();
}

void DisenadorLienzo::ponHerramienta(Herramienta h)
{
    if (m_herramienta == h)
        return;
    m_herramienta = h;
    viewport()->setCursor(h == Herramienta::Seleccionar ? Qt::ArrowCursor : Qt::CrossCursor);
    emit herramientaCambiada(h);
}

void DisenadorLienzo::ponZoom(double zoom)
{
    zoom = std::clamp(zoom, 0.25, 6.0);
    if (std::abs(zoom - m_zoom) < 1e-9)
        return;
    m_zoom = zoom;
    m_cacheBandas.clear();
    actualizaBarras();
    viewport()->update();
    m_reglaH->update();
    m_reglaV->update();
}

void DisenadorLienzo::ajustaAncho()
{
    const double ancho = m_doc.pagina().anchoPapel.unidades();
    if (ancho > 0)
        ponZoom(std::min(4.0, (viewport()->width() - 2.0 * Borde) / ancho));
}

QPointF DisenadorLienzo::esquinaPapel() const
{
    return QPointF(Borde - horizontalScrollBar()->value(), Borde - verticalScrollBar()->value());
}

QPointF DisenadorLienzo::aPantalla(const QPointF &u) const { return esquinaPapel() + u * m_zoom; }
QPointF DisenadorLienzo::aPagina(const QPointF &px) const { return (px - esquinaPapel()) / m_zoom; }
QRectF DisenadorLienzo::aPantalla(const QRectF &u) const
{
    return QRectF(aPantalla(u.topLeft()), u.size() * m_zoom);
}

void DisenadorLienzo::actualizaBarras()
{
    const Pagina &p = m_doc.pagina();
    const int w = int(std::ceil(p.anchoPapel.unidades() * m_zoom)) + 2 * Borde;
    const int h = int(std::ceil(p.altoPapel.unidades() * m_zoom)) + 2 * Borde;
    horizontalScrollBar()->setRange(0, std::max(0, w - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, h - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void DisenadorLienzo::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    const QRect vp = viewport()->geometry();
    m_reglaH->setGeometry(vp.left(), vp.top() - AnchoRegla, vp.width(), AnchoRegla);
    m_reglaV->setGeometry(vp.left() - AnchoRegla, vp.top(), AnchoRegla, vp.height());
    actualizaBarras();
}

void DisenadorLienzo::scrollContentsBy(int, int)
{
    viewport()->update();
    m_reglaH->update();
    m_reglaV->update();
}

// ---------------------------------------------------------------- dibujo

namespace {

// Dibuja las vistas de una lista con el dibujante del motor; el pintor ya va en
// unidades de la forma con el origen en la esquina de la banda
void DibujaVistas(QPainter &p, const QList<Vista> &vistas, const FuenteDatos *datos, bool conDatos)
{
    Evaluador ev;
    const bool usaDatos = conDatos && datos && datos->numFilas() > 0;
    if (usaDatos)
        ev.agregaDatos(QStringLiteral("frxDBDataset"), datos);
    Dibujante dib(ev);
    // Copias estables: el dibujante guarda lo calculado por dirección de la vista
    QList<Vista> copias;
    copias.reserve(vistas.size());
    for (const Vista &v : vistas)
        copias.append(usaDatos ? v : ParaDiseno(v));
    ContextoEvaluacion c;
    c.fila = 0;
    c.linea = 1;
    for (const Vista &v : std::as_const(copias))
        dib.dibujaVista(p, v, c);
}

} // namespace

QImage DisenadorLienzo::imagenBanda(int banda)
{
    auto it = m_cacheBandas.find(banda);
    if (it != m_cacheBandas.end())
        return *it;
    const BandaEnDiseno *d = m_doc.bandaEnDiseno(banda);
    QImage img;
    if (d && banda >= 0 && banda < m_doc.pagina().bandas.size()) {
        const QSize tam(std::max(1, int(std::ceil(d->rect().width() * m_zoom))),
                        std::max(1, int(std::ceil(d->rect().height() * m_zoom))));
        img = QImage(tam, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(m_zoom, m_zoom);
        DibujaVistas(p, m_doc.pagina().bandas[banda].vistas, m_datos, m_muestraDatos);
    }
    m_cacheBandas.insert(banda, img);
    return img;
}

void DisenadorLienzo::dibujaPapel(QPainter &p)
{
    const Pagina &pg = m_doc.pagina();
    const QRectF papel = aPantalla(QRectF(0, 0, pg.anchoPapel.unidades(), pg.altoPapel.unidades()));
    // Sombra y papel
    p.fillRect(papel.translated(4, 4), QColor(0, 0, 0, 60));
    p.fillRect(papel, Qt::white);

    const QRectF util = aPantalla(QRectF(pg.margenIzquierdo.unidades(), pg.margenSuperior.unidades(),
                                         (pg.anchoPapel - pg.margenIzquierdo - pg.margenDerecho).unidades(),
                                         (pg.altoPapel - pg.margenSuperior - pg.margenInferior).unidades()));

    // Bandas y la hoja de etiquetas
    for (const BandaEnDiseno &d : m_doc.disposicion()) {
        const Banda &b = pg.bandas[d.banda];
        const QColor c = ColorBanda(b.tipo);
        QColor claro = c;
        claro.setAlpha(110);
        for (const QRectF &e : d.etiquetas)
            p.fillRect(aPantalla(e), claro);
        p.fillRect(aPantalla(d.rect()), c);
    }

    // Rejilla: puntos en el área útil
    const double paso = m_doc.pasoRejilla().unidades() * m_zoom;
    if (paso > 0) {
        int cada = 1;
        while (paso * cada < 6)
            cada *= 5;
        const double p0x = pg.margenIzquierdo.unidades(), p0y = pg.margenSuperior.unidades();
        const double pasoU = m_doc.pasoRejilla().unidades() * cada;
        QList<QPointF> puntos;
        const QRectF visible = QRectF(aPagina(QPointF(0, 0)), aPagina(QPointF(viewport()->width(), viewport()->height())));
        const QRectF area = QRectF(p0x, p0y, util.width() / m_zoom, util.height() / m_zoom).intersected(visible);
        if (!area.isEmpty()) {
            const int i0 = int(std::ceil((area.left() - p0x) / pasoU)), i1 = int((area.right() - p0x) / pasoU);
            const int j0 = int(std::ceil((area.top() - p0y) / pasoU)), j1 = int((area.bottom() - p0y) / pasoU);
            for (int j = j0; j <= j1; ++j)
                for (int i = i0; i <= i1; ++i)
                    puntos.append(aPantalla(QPointF(p0x + i * pasoU, p0y + j * pasoU)));
            p.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 1));
            p.drawPoints(puntos.constData(), int(puntos.size()));
        }
    }

    // Márgenes
    p.setPen(QPen(QColor(0x5b, 0x9b, 0xd5), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(util);

    // Columnas de la página
    if (pg.columnas > 1) {
        p.setPen(QPen(QColor(0xd0, 0x60, 0x20), 1, Qt::DashDotLine));
        for (int i = 0; i < pg.columnas; ++i) {
            Longitud x = i < pg.posicionesColumnas.size()
                             ? pg.posicionesColumnas[i]
                             : (pg.anchoColumna.esCero() ? (pg.anchoPapel - pg.margenIzquierdo - pg.margenDerecho) / double(pg.columnas)
                                                         : pg.anchoColumna) * qint64(i);
            const double x0 = aPantalla(QPointF((pg.margenIzquierdo + x).unidades(), 0)).x();
            const double x1 = aPantalla(QPointF((pg.margenIzquierdo + x + pg.anchoColumna).unidades(), 0)).x();
            p.drawLine(QPointF(x0, util.top()), QPointF(x0, util.bottom()));
            if (!pg.anchoColumna.esCero())
                p.drawLine(QPointF(x1, util.top()), QPointF(x1, util.bottom()));
        }
    }
}

void DisenadorLienzo::dibujaEtiquetas(QPainter &p)
{
    // Las demás etiquetas de la hoja: el contenido de la primera, atenuado, y su contorno
    const Pagina &pg = m_doc.pagina();
    for (const BandaEnDiseno &d : m_doc.disposicion()) {
        if (d.etiquetas.isEmpty())
            continue;
        const QImage img = imagenBanda(d.banda);
        p.save();
        p.setOpacity(0.35);
        for (const QRectF &e : d.etiquetas)
            p.drawImage(aPantalla(e).topLeft(), img);
        p.restore();
        p.setPen(QPen(QColor(0xc8, 0xa8, 0x4a), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        for (const QRectF &e : d.etiquetas)
            p.drawRect(aPantalla(e));
        Q_UNUSED(pg);
    }
}

void DisenadorLienzo::dibujaObjetos(QPainter &p)
{
    const Pagina &pg = m_doc.pagina();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const BandaEnDiseno &d : m_doc.disposicion()) {
        const Banda &b = pg.bandas[d.banda];
        const QRectF r = aPantalla(d.rect());
        p.save();
        p.setClipRect(r);
        p.translate(r.topLeft());
        p.scale(m_zoom, m_zoom);
        DibujaVistas(p, b.vistas, m_datos, m_muestraDatos);
        p.restore();
        // Contorno de la banda (la primera etiqueta)
        p.setPen(QPen(QColor(0xb8, 0x8a, 0x1a), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }
    if (!pg.vistas.isEmpty()) {
        p.save();
        p.translate(aPantalla(m_doc.origenUnidades(-1)));
        p.scale(m_zoom, m_zoom);
        DibujaVistas(p, pg.vistas, m_datos, m_muestraDatos);
        p.restore();
    }
    // Contorno punteado de cada objeto, para ver los vacíos
    p.setPen(QPen(QColor(0x80, 0x80, 0x80, 150), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    for (const RefVista &r : m_doc.todas()) {
        const Vista *v = m_doc.vista(r);
        if (v && v->tipo != TipoVista::Linea && v->tipo != TipoVista::Desconocida)
            p.drawRect(aPantalla(m_doc.rectVista(r)));
    }
    // Nombre de cada banda, en una pestaña sobre su esquina
    QFont f = font();
    f.setPixelSize(10);
    p.setFont(f);
    for (const BandaEnDiseno &d : m_doc.disposicion()) {
        const Banda &b = pg.bandas[d.banda];
        QString t = NombreTipoBanda(b.tipo) + QStringLiteral(": ") + b.nombre;
        if (b.columnas > 1)
            t += QStringLiteral("  (%1 columnas)").arg(b.columnas);
        const QRectF r = aPantalla(d.rect());
        const double w = p.fontMetrics().horizontalAdvance(t) + 10;
        // Sobre la banda si hay lugar; si no, dentro de su esquina
        const QRectF papel = aPantalla(QRectF(0, 0, pg.anchoPapel.unidades(), pg.altoPapel.unidades()));
        const bool arriba = r.top() - 15 >= papel.top() && m_doc.bandaEn(aPagina(QPointF(r.right() - 2, r.top() - 8))) < 0;
        const QRectF tag(r.right() - w, arriba ? r.top() - 15 : r.top(), w, 14);
        p.fillRect(tag, d.banda == m_doc.bandaActual() ? QColor(0xb8, 0x8a, 0x1a, 220) : QColor(0xb8, 0x8a, 0x1a, 140));
        p.setPen(Qt::white);
        p.drawText(tag, Qt::AlignCenter, t);
    }
}

QList<QRectF> DisenadorLienzo::rectAsas(const QRectF &r) const
{
    const double h = TamAsa / 2;
    const QList<QPointF> c = {r.topLeft(),     QPointF(r.center().x(), r.top()),    r.topRight(),
                              QPointF(r.right(), r.center().y()), r.bottomRight(), QPointF(r.center().x(), r.bottom()),
                              r.bottomLeft(),  QPointF(r.left(), r.center().y())};
    QList<QRectF> l;
    for (const QPointF &x : c)
        l.append(QRectF(x.x() - h, x.y() - h, TamAsa, TamAsa));
    return l;
}

void DisenadorLienzo::dibujaSeleccion(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const auto &sel = m_doc.seleccion();
    for (int i = 0; i < sel.size(); ++i) {
        const QRectF r = aPantalla(m_doc.rectVista(sel[i]));
        p.setPen(QPen(ColorSeleccion, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
        p.setPen(QPen(ColorSeleccion, 1));
        p.setBrush(sel.size() == 1 ? QBrush(Qt::white) : QBrush(i == 0 ? ColorSeleccion : QColor(0x9c, 0xc3, 0xf0)));
        const QList<QRectF> asas = rectAsas(r);
        for (int k = 0; k < asas.size(); ++k)
            if (sel.size() == 1 || k % 2 == 0)
                p.drawRect(asas[k]);
    }
    if (m_modo == Modo::Marco || m_modo == Modo::Crear) {
        const QRectF r = QRectF(m_inicio, m_actual).normalized();
        p.setPen(QPen(ColorSeleccion, 1, Qt::DashLine));
        p.setBrush(QColor(0x1f, 0x6f, 0xd1, 40));
        p.drawRect(r);
    }
}

void DisenadorLienzo::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), ColorFondo);
    if (!m_doc.hayPagina())
        return;
    dibujaPapel(p);
    dibujaEtiquetas(p);
    dibujaObjetos(p);
    dibujaSeleccion(p);
}

// ---------------------------------------------------------------- ratón

Asa DisenadorLienzo::asaEn(const QPointF &px, RefVista *ref) const
{
    const auto &sel = m_doc.seleccion();
    if (sel.size() != 1)
        return Asa::Ninguna;
    const QList<QRectF> asas = rectAsas(aPantalla(m_doc.rectVista(sel.first())));
    static const Asa orden[] = {Asa::ArribaIzq, Asa::Arriba, Asa::ArribaDer, Asa::Derecha,
                                Asa::AbajoDer,  Asa::Abajo,  Asa::AbajoIzq,  Asa::Izquierda};
    for (int k = 0; k < asas.size(); ++k)
        if (asas[k].adjusted(-2, -2, 2, 2).contains(px)) {
            if (ref)
                *ref = sel.first();
            return orden[k];
        }
    return Asa::Ninguna;
}

void DisenadorLienzo::mousePressEvent(QMouseEvent *e)
{
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton)
        return;
    m_inicio = m_actual = e->position();
    const QPointF u = aPagina(e->position());
    const bool ctrl = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (m_herramienta != Herramienta::Seleccionar) {
        m_modo = Modo::Crear;
        m_bandaCrear = m_doc.bandaEn(u);
        return;
    }
    RefVista ref;
    const Asa asa = asaEn(e->position(), &ref);
    if (asa != Asa::Ninguna) {
        m_modo = Modo::Asa;
        m_asa = asa;
        m_refAsa = ref;
        m_doc.iniciaGesto();
        return;
    }
    const RefVista en = m_doc.vistaEn(u);
    if (en.valida()) {
        if (ctrl) {
            m_doc.alterna(en);
            m_modo = Modo::Nada;
            return;
        }
        if (!m_doc.seleccionada(en))
            m_doc.selecciona(en);
        else if (m_doc.seleccion().first() != en) {
            // La vista tomada pasa a ser la guía del arrastre
            QList<RefVista> l = m_doc.seleccion();
            l.removeAll(en);
            l.prepend(en);
            m_doc.seleccionaVarias(l);
        }
        m_modo = Modo::Mover;
        m_doc.iniciaGesto();
        return;
    }
    const int banda = m_doc.bandaEn(u);
    if (banda >= 0)
        m_doc.ponBandaActual(banda);
    m_agregaMarco = ctrl;
    if (!ctrl)
        m_doc.limpiaSeleccion();
    m_modo = Modo::Marco;
}

void DisenadorLienzo::mouseMoveEvent(QMouseEvent *e)
{
    m_actual = e->position();
    const QPointF u = aPagina(e->position());
    m_cursor = u;
    emit posicionCursor(u.x() / UnidadesPorMm, u.y() / UnidadesPorMm);
    m_reglaH->update();
    m_reglaV->update();
    const QPointF d = (m_actual - m_inicio) / m_zoom;
    const Longitud dx = Longitud::deUnidades(d.x()), dy = Longitud::deUnidades(d.y());
    switch (m_modo) {
    case Modo::Mover: m_doc.arrastra(dx, dy); break;
    case Modo::Asa: m_doc.arrastraAsa(m_refAsa, m_asa, dx, dy); break;
    case Modo::Marco:
    case Modo::Crear: viewport()->update(); break;
    case Modo::Nada: {
        // Cursor según lo que hay debajo
        RefVista r;
        const Asa a = asaEn(e->position(), &r);
        Qt::CursorShape forma = Qt::ArrowCursor;
        if (m_herramienta != Herramienta::Seleccionar)
            forma = Qt::CrossCursor;
        else if (a == Asa::ArribaIzq || a == Asa::AbajoDer)
            forma = Qt::SizeFDiagCursor;
        else if (a == Asa::ArribaDer || a == Asa::AbajoIzq)
            forma = Qt::SizeBDiagCursor;
        else if (a == Asa::Arriba || a == Asa::Abajo)
            forma = Qt::SizeVerCursor;
        else if (a == Asa::Izquierda || a == Asa::Derecha)
            forma = Qt::SizeHorCursor;
        else if (m_doc.vistaEn(u).valida())
            forma = Qt::SizeAllCursor;
        viewport()->setCursor(forma);
        break;
    }
    }
}

void DisenadorLienzo::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_actual = e->position();
    const Modo modo = m_modo;
    m_modo = Modo::Nada;
    switch (modo) {
    case Modo::Mover:
    case Modo::Asa: m_doc.terminaGesto(); break;
    case Modo::Marco: {
        const QRectF r(aPagina(m_inicio), aPagina(m_actual));
        if (r.normalized().width() > 1 || r.normalized().height() > 1)
            m_doc.seleccionaVarias(m_doc.vistasEn(r), m_agregaMarco);
        viewport()->update();
        break;
    }
    case Modo::Crear: {
        static const QHash<int, TipoVista> tipos = {{int(Herramienta::Texto), TipoVista::Memo},
                                                    {int(Herramienta::CodigoBarras), TipoVista::CodigoBarras},
                                                    {int(Herramienta::Linea), TipoVista::Linea},
                                                    {int(Herramienta::Rectangulo), TipoVista::Figura},
                                                    {int(Herramienta::Imagen), TipoVista::Imagen}};
        const TipoVista tipo = tipos.value(int(m_herramienta), TipoVista::Memo);
        const int banda = m_bandaCrear;
        const QPointF o = m_doc.origenUnidades(banda);
        QRectF r = QRectF(aPagina(m_inicio), aPagina(m_actual)).normalized();
        Longitud ancho, alto;
        if (r.width() * m_zoom >= 4 || r.height() * m_zoom >= 4) {
            ancho = Longitud::deUnidades(r.width());
            alto = Longitud::deUnidades(tipo == TipoVista::Linea && r.height() < r.width() / 4 ? 0 : r.height());
            if (tipo == TipoVista::Linea && r.width() < r.height() / 4)
                ancho = Longitud();
        }
        m_doc.agregaEn(tipo, banda, Longitud::deUnidades(r.left() - o.x()), Longitud::deUnidades(r.top() - o.y()), ancho,
                       alto);
        ponHerramienta(Herramienta::Seleccionar);
        emit vistaCreada(tipo);
        break;
    }
    case Modo::Nada: break;
    }
}

void DisenadorLienzo::mouseDoubleClickEvent(QMouseEvent *e)
{
    mousePressEvent(e);
    if (e->button() == Qt::LeftButton && m_herramienta == Herramienta::Seleccionar &&
        m_doc.vistaEn(aPagina(e->position())).valida())
        emit editaVista();
}

void DisenadorLienzo::wheelEvent(QWheelEvent *e)
{
    if (e->modifiers() & Qt::ControlModifier) {
        ponZoom(m_zoom * (e->angleDelta().y() > 0 ? 1.15 : 1 / 1.15));
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

bool DisenadorLienzo::viewportEvent(QEvent *e)
{
    if (e->type() == QEvent::Leave) {
        m_cursor.reset();
        m_reglaH->update();
        m_reglaV->update();
    }
    return QAbstractScrollArea::viewportEvent(e);
}

// ---------------------------------------------------------------- teclado

bool DisenadorLienzo::teclaPropia(const QKeyEvent *e) const
{
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete:
    case Qt::Key_Escape: return true;
    default: break;
    }
    return e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo) || e->matches(QKeySequence::Copy) ||
           e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::SelectAll) ||
           (e->modifiers() == Qt::ControlModifier && e->key() == Qt::Key_Y);
}

bool DisenadorLienzo::event(QEvent *e)
{
    // El lienzo atiende sus teclas antes que los atajos de la ventana
    if (e->type() == QEvent::ShortcutOverride && teclaPropia(static_cast<QKeyEvent *>(e))) {
        e->accept();
        return true;
    }
    return QAbstractScrollArea::event(e);
}

void DisenadorLienzo::keyPressEvent(QKeyEvent *e)
{
    if (e->matches(QKeySequence::Undo)) {
        m_doc.deshacer();
        return;
    }
    if (e->matches(QKeySequence::Redo) || (e->modifiers() == Qt::ControlModifier && e->key() == Qt::Key_Y)) {
        m_doc.rehacer();
        return;
    }
    if (e->matches(QKeySequence::Copy)) {
        m_doc.copia();
        return;
    }
    if (e->matches(QKeySequence::SelectAll)) {
        m_doc.seleccionaVarias(m_doc.todas());
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        m_doc.corta();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        m_doc.pega();
        return;
    }
    const Longitud paso = m_doc.pasoRejilla();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    Longitud dx, dy;
    switch (e->key()) {
    case Qt::Key_Left: dx = -paso; break;
    case Qt::Key_Right: dx = paso; break;
    case Qt::Key_Up: dy = -paso; break;
    case Qt::Key_Down: dy = paso; break;
    case Qt::Key_Delete: m_doc.elimina(); return;
    case Qt::Key_Escape:
        if (m_herramienta != Herramienta::Seleccionar)
            ponHerramienta(Herramienta::Seleccionar);
        else
            m_doc.limpiaSeleccion();
        return;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    if (shift)
        m_doc.redimensiona(dx, dy);
    else
        m_doc.mueve(dx, dy);
}
