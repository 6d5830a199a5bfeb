#include "db/MemTableModelo.h"

#include "db/MemTable.h"

MemTableModelo::MemTableModelo(MemTable *tabla, QObject *padre)
    : QAbstractTableModel(padre)
    , m_tabla(tabla)
{
    connect(tabla, &MemTable::antesDeInsertar, this, [this](int p) { beginInsertRows({}, p, p); });
    connect(tabla, &MemTable::insertada, this, [this](int) { endInsertRows(); });
    connect(tabla, &MemTable::antesDeBorrar, this, [this](int p) { beginRemoveRows({}, p, p); });
    connect(tabla, &MemTable::borrada, this, [this](int) { endRemoveRows(); });
    connect(tabla, &MemTable::cambiada, this, [this](int p) {
        if (columnCount() > 0)
            emit dataChanged(index(p, 0), index(p, columnCount() - 1));
    });
    connect(tabla, &MemTable::antesDeReiniciar, this, [this] {
        if (!m_enReinicio) {
            m_enReinicio = true;
            beginResetModel();
        }
    });
    connect(tabla, &MemTable::reiniciada, this, [this] {
        if (m_todas) {
            m_columnas.clear();
            for (const QString &n : m_tabla->nombresCampos())
                m_columnas.append({n, n, false, {}});
        }
        if (m_enReinicio) {
            m_enReinicio = false;
            endResetModel();
        }
    });
    // Si la tabla desaparece antes que el modelo, la rejilla queda vacía
    connect(tabla, &QObject::destroyed, this, [this] {
        if (!m_enReinicio)
            beginResetModel();
        m_enReinicio = false;
        endResetModel();
    });
    for (const QString &n : tabla->nombresCampos())
        m_columnas.append({n, n, false, {}});
}

void MemTableModelo::ponColumnas(const QList<Columna> &columnas)
{
    // Con los avisos suspendidos el modelo ya está en reinicio: basta cambiar las columnas
    const bool reinicia = !m_enReinicio;
    if (reinicia)
        beginResetModel();
    m_columnas = columnas;
    m_todas = false;
    if (reinicia)
        endResetModel();
}

void MemTableModelo::enlazaSeleccion(QItemSelectionModel *seleccion)
{
    for (const auto &c : std::as_const(m_enlaces))
        disconnect(c);
    m_enlaces.clear();
    m_seleccion = seleccion;
    if (!seleccion || !m_tabla)
        return;
    // De la tabla a la vista
    const auto aVista = [this](int fila) {
        if (!m_seleccion || m_sincronizando || m_enReinicio || fila < 0 || fila >= rowCount())
            return;
        m_sincronizando = true;
        const int columna = m_seleccion->currentIndex().isValid() ? m_seleccion->currentIndex().column() : 0;
        m_seleccion->setCurrentIndex(index(fila, columna),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_sincronizando = false;
    };
    m_enlaces << connect(m_tabla, &MemTable::filaActualCambiada, this, aVista);
    // De la vista a la tabla
    m_enlaces << connect(seleccion, &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &actual) {
        if (m_sincronizando || !m_tabla || !actual.isValid() || actual.row() == m_tabla->recno())
            return;
        m_sincronizando = true;
        m_tabla->irAFila(actual.row());
        m_sincronizando = false;
    });
    aVista(m_tabla->recno());
}

int MemTableModelo::columnaDeCampo(const QString &campo) const
{
    for (int i = 0; i < m_columnas.size(); ++i)
        if (m_columnas[i].campo.compare(campo, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int MemTableModelo::campo(int columna) const
{
    if (!m_tabla || columna < 0 || columna >= m_columnas.size())
        return -1;
    return m_tabla->indiceCampo(m_columnas[columna].campo);
}

int MemTableModelo::rowCount(const QModelIndex &padre) const
{
    return (padre.isValid() || !m_tabla || m_enReinicio) ? 0 : m_tabla->cantidad();
}

int MemTableModelo::columnCount(const QModelIndex &padre) const { return padre.isValid() ? 0 : int(m_columnas.size()); }

QVariant MemTableModelo::data(const QModelIndex &indice, int rol) const
{
    const int c = campo(indice.column());
    if (!indice.isValid() || c < 0 || indice.row() >= rowCount())
        return {};
    const QVariant v = m_tabla->valorEn(indice.row(), c);
    const bool booleano = m_tabla->campos()[c].tipo == TipoCampo::Booleano;
    switch (rol) {
    case Qt::DisplayRole: {
        if (booleano)
            return {};
        const Columna &col = m_columnas[indice.column()];
        if (col.formato)
            return col.formato(v);
        if (v.userType() == QMetaType::fromType<Moneda>().id())
            return v.value<Moneda>().texto(2);
        return v;
    }
    case Qt::EditRole:
        if (v.userType() == QMetaType::fromType<Moneda>().id())
            return v.value<Moneda>().aDouble();
        return v;
    case Qt::CheckStateRole:
        if (booleano)
            return v.toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole: {
        const TipoCampo t = m_tabla->campos()[c].tipo;
        if (t == TipoCampo::Entero || t == TipoCampo::Real || t == TipoCampo::Moneda || t == TipoCampo::AutoIncremento)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    default:
        return {};
    }
}

bool MemTableModelo::setData(const QModelIndex &indice, const QVariant &valor, int rol)
{
    const int c = campo(indice.column());
    if (!indice.isValid() || c < 0 || !(flags(indice) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    QVariant v = valor;
    if (rol == Qt::CheckStateRole)
        v = QVariant(valor.toInt() == Qt::Checked);
    else if (rol != Qt::EditRole)
        return false;
    return m_tabla->asignaEn(indice.row(), c, v);
}

Qt::ItemFlags MemTableModelo::flags(const QModelIndex &indice) const
{
    const int c = campo(indice.column());
    if (!indice.isValid() || c < 0)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_columnas[indice.column()].editable) {
        if (m_tabla->campos()[c].tipo == TipoCampo::Booleano)
            f |= Qt::ItemIsUserCheckable;
        else
            f |= Qt::ItemIsEditable;
    }
    return f;
}

QVariant MemTableModelo::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < m_columnas.size())
        return m_columnas[seccion].titulo;
    if (orientacion == Qt::Vertical && rol == Qt::DisplayRole)
        return seccion + 1;
    return {};
}
