#pragma once

#include <QList>
#include <QString>

class QAbstractItemModel;
class QAbstractItemView;
class QWidget;

// Pide un nombre con el diálogo "Guardar" y exporta todas las filas del modelo
// (con renglón de encabezados, grupos expandidos) a un libro .xlsx; luego lo abre con el escritorio.
// 'columnas': columnas del modelo en el orden de salida (vacío = todas).
// Si algo falla muestra el aviso y devuelve false; false también si se cancela.
bool ExportaGrid(QAbstractItemModel *modelo, QWidget *padre = nullptr, const QList<int> &columnas = {});
// Igual, con las columnas visibles de la vista en su orden en pantalla
bool ExportaGrid(QAbstractItemView *vista);

// Escribe el libro sin diálogos. Devuelve el texto del error, vacío si todo salió bien.
// Números como números (con el formato que muestra la rejilla: miles, decimales, "$"),
// importes (Moneda) con dos decimales, fechas como fechas, lo demás como texto.
QString EscribeLibroXlsx(const QAbstractItemModel &modelo, const QString &ruta, const QList<int> &columnas = {});

// Nombre final: sin ".xls"/".xlsx" al final del nombre elegido, más ".xlsx"
QString NombreLibroXlsx(const QString &elegido);
