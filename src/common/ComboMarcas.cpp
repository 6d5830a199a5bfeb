#include "common/ComboMarcas.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStylePainter>

ComboMarcas::ComboMarcas(QWidget *padre) : ComboMarcas(QString(), QStringLiteral(","), padre)
{
}

ComboMarcas::ComboMarcas(const QString &textoVacio, const QString &separador, QWidget *padre)
    : QComboBox(padre), m_modelo(new QStandardItemModel(this)), m_textoVacio(textoVacio), m_separador(separador)
{
    setModel(m_modelo);
    // El contenedor de la lista ya puso sus filtros: el nuestro va antes
    view()->viewport()->installEventFilter(this);
    view()->installEventFilter(this);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
}

Qt::ItemFlags ComboMarcas::banderas() const
{
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | (m_soloLectura ? Qt::NoItemFlags : Qt::ItemIsUserCheckable);
}

void ComboMarcas::ponElementos(const QList<Elemento> &elementos)
{
    m_modelo->clear();
    for (const Elemento &e : elementos) {
        auto *item = new QStandardItem(e.nombre);
        item->setData(e.id, Qt::UserRole);
        item->setFlags(banderas());
        item->setData(e.marcado ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
        m_modelo->appendRow(item);
    }
    setCurrentIndex(-1);
    update();
    Q_EMIT marcasCambiadas();
}

void ComboMarcas::ponElementos(const QStringList &nombres)
{
    QList<Elemento> elementos;
    for (int i = 0; i < nombres.size(); ++i)
        elementos.append({i, nombres[i], false});
    ponElementos(elementos);
}

int ComboMarcas::cantidad() const
{
    return m_modelo->rowCount();
}

int ComboMarcas::id(int fila) const
{
    const QStandardItem *item = m_modelo->item(fila);
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

QString ComboMarcas::nombre(int fila) const
{
    const QStandardItem *item = m_modelo->item(fila);
    return item ? item->text() : QString();
}

bool ComboMarcas::marcado(int fila) const
{
    const QStandardItem *item = m_modelo->item(fila);
    return item && item->checkState() == Qt::Checked;
}

void ComboMarcas::marca(int fila, bool si)
{
    QStandardItem *item = m_modelo->item(fila);
    if (!item || marcado(fila) == si)
        return;
    item->setCheckState(si ? Qt::Checked : Qt::Unchecked);
    update();
    Q_EMIT marcasCambiadas();
}

QList<bool> ComboMarcas::marcas() const
{
    QList<bool> r;
    for (int i = 0; i < cantidad(); ++i)
        r << marcado(i);
    return r;
}

void ComboMarcas::ponMarcas(const QList<bool> &marcas)
{
    for (int i = 0; i < cantidad(); ++i)
        marca(i, i < marcas.size() && marcas[i]);
}

QList<int> ComboMarcas::idsMarcados() const
{
    QList<int> r;
    for (int i = 0; i < cantidad(); ++i)
        if (marcado(i))
            r << id(i);
    return r;
}

QStringList ComboMarcas::nombresMarcados() const
{
    QStringList r;
    for (int i = 0; i < cantidad(); ++i)
        if (marcado(i))
            r << nombre(i);
    return r;
}

QString ComboMarcas::texto() const
{
    const QStringList n = nombresMarcados();
    return n.isEmpty() ? m_textoVacio : n.join(m_separador);
}

void ComboMarcas::seleccionaTodo()
{
    for (int i = 0; i < cantidad(); ++i)
        marca(i, true);
}

void ComboMarcas::quitaSeleccion()
{
    for (int i = 0; i < cantidad(); ++i)
        marca(i, false);
}

void ComboMarcas::invierteSeleccion()
{
    for (int i = 0; i < cantidad(); ++i)
        marca(i, !marcado(i));
}

void ComboMarcas::ponSoloLectura(bool soloLectura)
{
    m_soloLectura = soloLectura;
    for (int i = 0; i < cantidad(); ++i)
        m_modelo->item(i)->setFlags(banderas());
}

void ComboMarcas::alterna(int fila)
{
    if (!m_soloLectura)
        marca(fila, !marcado(fila));
}

void ComboMarcas::showPopup()
{
    m_mantener = true;
    m_abierta = true;
    QComboBox::showPopup();
}

void ComboMarcas::hidePopup()
{
    // Un clic en una entrada la marca o desmarca sin cerrar la lista
    if (m_mantener && view()->underMouse())
        return;
    m_mantener = false;
    // QComboBox también la llama al ocultarse el control: sólo avisa si estaba abierta
    const bool estaba = m_abierta;
    m_abierta = false;
    QComboBox::hidePopup();
    if (estaba && !m_soloLectura)
        Q_EMIT cerrada();
}

bool ComboMarcas::eventFilter(QObject *objeto, QEvent *e)
{
    if (objeto == view()->viewport()) {
        if (e->type() == QEvent::MouseButtonRelease) {
            const QModelIndex i = view()->indexAt(static_cast<QMouseEvent *>(e)->position().toPoint());
            if (i.isValid())
                alterna(i.row());
            return true;
        }
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
            const QModelIndex i = view()->indexAt(static_cast<QMouseEvent *>(e)->position().toPoint());
            if (i.isValid())
                view()->setCurrentIndex(i);
            return true;
        }
    } else if (objeto == view() && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(e)->key();
        if (k == Qt::Key_Space) {
            if (view()->currentIndex().isValid())
                alterna(view()->currentIndex().row());
            return true;
        }
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            m_mantener = false;
            hidePopup();
            return true;
        }
    }
    return QComboBox::eventFilter(objeto, e);
}

void ComboMarcas::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    p.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opcion;
    initStyleOption(&opcion);
    opcion.currentText = texto();
    opcion.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opcion);
    p.drawControl(QStyle::CE_ComboBoxLabel, opcion);
}

void ComboMarcas::contextMenuEvent(QContextMenuEvent *e)
{
    if (!m_menu) {
        QComboBox::contextMenuEvent(e);
        return;
    }
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("&Selecionar todo")), &QAction::triggered, this,
            &ComboMarcas::seleccionaTodo);
    connect(menu.addAction(QStringLiteral("&Quitar selección")), &QAction::triggered, this,
            &ComboMarcas::quitaSeleccion);
    connect(menu.addAction(QStringLiteral("&Invertir selección")), &QAction::triggered, this,
            &ComboMarcas::invierteSeleccion);
    menu.exec(e->globalPos());
}
