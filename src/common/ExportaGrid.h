#pragma once

#include <QString>

class QAbstractItemModel;
class QWidget;

// Pide un nombre con el diálogo "Guardar" y exporta todas las filas del modelo
// (con renglón de encabezados) a un libro .xlsx; luego lo abre con el escritorio.
// Si algo falla muestra el aviso y devuelve false; false también si se cancela.
bool ExportaGrid(QAbstractItemModel *modelo, QWidget *padre = nullptr);

// Escribe el libro sin diálogos. Devuelve el texto del error, vacío si todo salió bien.
QString EscribeLibroXlsx(const QAbstractItemModel &modelo, const QString &ruta);

// Nombre final: sin ".xls"/".xlsx" al final del nombre elegido, más ".xlsx"
QString NombreLibroXlsx(const QString &elegido);
