#pragma once

#include "db/MemTable.h"
#include "common/ComboMarcas.h"
#include "db/MemTableModelo.h"

#include <QComboBox>
#include <QList>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWidget>

#include <functional>

class MemTable;
class QLineEdit;
class QStandardItemModel;
class QToolButton;

// Lista de una sola elección (Nombre a la vista, ID guardado) que puede quedar de solo lectura
class ComboLista : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboLista(QWidget *padre = nullptr);

    // Entradas desde una tabla de búsqueda: campo de id y campo de nombre
    void llena(const MemTable &tabla, const QString &campoId, const QString &campoNombre);
    // Elige la entrada del id (por valor numérico); sin ella no queda ninguna elegida
    void eligeId(const QString &id);
    QString idElegido() const; // vacío si no hay

    void setSoloLectura(bool si) { m_soloLectura = si; }
    bool soloLectura() const { return m_soloLectura; }

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    bool m_soloLectura = false;
};

// Campo de texto con botón para elegir un archivo (o una carpeta)
class CampoArchivo : public QWidget
{
    Q_OBJECT
public:
    // filtro con la forma de Qt: "Ejecutables (*.exe)"; vacío y carpeta=true: elige carpeta
    CampoArchivo(const QString &filtro, bool carpeta, QWidget *padre = nullptr);

    QString text() const;
    void setText(const QString &texto);
    void setSoloLectura(bool si); // solo lectura y sin botón
    bool soloLectura() const;
    QLineEdit *editor() const { return m_editor; }
    QToolButton *boton() const { return m_boton; }

private:
    void examina();
    QLineEdit *m_editor;
    QToolButton *m_boton;
    QString m_filtro;
    bool m_carpeta;
};

// Texto en mayúsculas mientras se escribe
void SoloMayusculas(QLineEdit *editor);

// Modelo de la rejilla de listas a capturar (con la ayuda de la cabecera)
class ModeloCaptura : public MemTableModelo
{
    Q_OBJECT
public:
    using MemTableModelo::MemTableModelo;
    QStringList ayudas; // por columna
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
};

// Editores de la rejilla: lista de precios (de una tabla de búsqueda), texto corto, porcentaje
class DelegadoCaptura : public QStyledItemDelegate
{
    Q_OBJECT
public:
    DelegadoCaptura(const MemTable &precios, QObject *padre = nullptr);
    QWidget *createEditor(QWidget *padre, const QStyleOptionViewItem &opcion, const QModelIndex &indice) const override;
    void setEditorData(QWidget *editor, const QModelIndex &indice) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *modelo, const QModelIndex &indice) const override;

private:
    const MemTable &m_precios;
};

// Rejilla con Enter para avanzar; avisa Enter (también al cerrar un editor con Enter)
// y la entrada del foco
class RejillaCaptura : public QTableView
{
    Q_OBJECT
public:
    using QTableView::QTableView;
    std::function<void()> alPulsarEnter;
    std::function<void()> alEntrar;
    std::function<void()> alBorrar; // Ctrl+Supr
    // Pasa a la tabla lo que se está editando
    void confirmaEdicion();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint pista) override;
};

// "0.00###": dos decimales al menos y hasta cinco
QString FormatoPorcentaje(double valor);
