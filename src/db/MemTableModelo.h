#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QPointer>
#include <functional>

class MemTable;

// Adaptador de una MemTable para las rejillas de Qt
class MemTableModelo : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Columna
    {
        QString campo;
        QString titulo;
        bool editable = false;
        std::function<QString(const QVariant &)> formato; // texto mostrado (opcional)
    };

    explicit MemTableModelo(MemTable *tabla, QObject *padre = nullptr);

    // Sin columnas definidas se muestran todos los campos
    void ponColumnas(const QList<Columna> &columnas);
    const QList<Columna> &columnas() const { return m_columnas; }
    int columnaDeCampo(const QString &campo) const;
    MemTable *tabla() const { return m_tabla; }

    // La fila actual de la tabla y la fila actual de la vista se siguen una a la otra
    void enlazaSeleccion(QItemSelectionModel *seleccion);

    int rowCount(const QModelIndex &padre = {}) const override;
    int columnCount(const QModelIndex &padre = {}) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &indice, const QVariant &valor, int rol = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;

private:
    int campo(int columna) const;

    QPointer<MemTable> m_tabla;
    QList<Columna> m_columnas;
    bool m_todas = true;
    bool m_enReinicio = false;
    QPointer<QItemSelectionModel> m_seleccion;
    bool m_sincronizando = false;
    QList<QMetaObject::Connection> m_enlaces;
};
