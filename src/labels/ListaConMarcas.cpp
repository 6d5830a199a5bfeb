#include "labels/ListaConMarcas.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStylePainter>

ListaConMarcas::ListaConMarcas(const QString &textoVacio, QWidget *padre)
    : QComboBox(padre), m_modelo(new QStandardItemModel(this)), m_textoVacio(textoVacio)
{
    setModel(m_modelo);
    view()->viewport()->installEventFilter(this);
}

void ListaConMarcas::ponElementos(const QList<Elemento> &elementos)
{
    m_modelo->clear();
    for (const Elemento &e : elementos) {
        auto *it = new QStandardItem(e.nombre);
        it->setData(e.id, Qt::UserRole);
        it->setFlags(Qt::ItemIsEnabled | (m_soloLectura ? Qt::NoItemFlags : Qt::ItemIsUserCheckable));
        it->setData(e.marcado ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
        m_modelo->appendRow(it);
    }
    update();
}

int ListaConMarcas::cantidad() const
{
    return m_modelo->rowCount();
}
int ListaConMarcas::id(int fila) const
{
    return m_modelo->item(fila)->data(Qt::UserRole).toInt();
}
QString ListaConMarcas::nombre(int fila) const
{
    return m_modelo->item(fila)->text();
}
bool ListaConMarcas::marcado(int fila) const
{
    return m_modelo->item(fila)->checkState() == Qt::Checked;
}

void ListaConMarcas::ponMarcado(int fila, bool marcado)
{
    m_modelo->item(fila)->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
    update();
}

QList<int> ListaConMarcas::idsMarcados() const
{
    QList<int> r;
    for (int i = 0; i < cantidad(); ++i)
        if (marcado(i))
            r << id(i);
    return r;
}

QStringList ListaConMarcas::nombresMarcados() const
{
    QStringList r;
    for (int i = 0; i < cantidad(); ++i)
        if (marcado(i))
            r << nombre(i);
    return r;
}

QString ListaConMarcas::texto() const
{
    const QStringList n = nombresMarcados();
    return n.isEmpty() ? m_textoVacio : n.join(QStringLiteral(", "));
}

void ListaConMarcas::ponSoloLectura(bool soloLectura)
{
    m_soloLectura = soloLectura;
    for (int i = 0; i < cantidad(); ++i)
        m_modelo->item(i)->setFlags(Qt::ItemIsEnabled | (soloLectura ? Qt::NoItemFlags : Qt::ItemIsUserCheckable));
}

void ListaConMarcas::showPopup()
{
    m_abierta = true;
    QComboBox::showPopup();
}

void ListaConMarcas::hidePopup()
{
    // QComboBox también la llama al ocultarse el control: sólo avisa si estaba abierta
    const bool estaba = m_abierta;
    m_abierta = false;
    QComboBox::hidePopup();
    if (estaba && !m_soloLectura)
        Q_EMIT cerrada();
}

void ListaConMarcas::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText = texto();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    p.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

bool ListaConMarcas::eventFilter(QObject *objeto, QEvent *evento)
{
    // Un clic en un elemento cambia su casilla y deja la lista abierta
    if (objeto == view()->viewport() && evento->type() == QEvent::MouseButtonRelease) {
        const auto *m = static_cast<QMouseEvent *>(evento);
        const QModelIndex i = view()->indexAt(m->position().toPoint());
        if (i.isValid() && !m_soloLectura)
            ponMarcado(i.row(), !marcado(i.row()));
        return true;
    }
    return QComboBox::eventFilter(objeto, evento);
}
