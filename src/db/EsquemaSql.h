#pragma once

#include <QString>
#include <QStringList>

// Guiones del esquema propio del complemento en la base de la empresa.
namespace EsquemaSql {

inline const QString VersionEsquema = QStringLiteral("000024");

QString Tablas();
QString Datos();
QString Indices();
QString Procedimientos(); // terminador "^"
QString Permisos();

// Objetos que deben existir tras instalar: nombre y tipo
struct Objeto
{
    QString nombre;
    enum Tipo { Tabla, Generador, Procedimiento, Disparador, Indice, Columna } tipo;
    QString tabla; // para columnas
};
QList<Objeto> ObjetosRequeridos();

} // namespace EsquemaSql
