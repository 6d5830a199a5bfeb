#pragma once

#include <QString>
#include <QStringList>

// Funciones de texto, folios y estado de impresora.

QString QuitaBlancos(const QString &texto);                     // quita espacios, CR y LF
bool EstaVacio(const QString &texto);                           // nada queda tras QuitaBlancos
QString QuitaTexto(const QString &texto, const QString &parte); // hasta que no quede ninguna
QString RepiteTexto(const QString &parte, int n);               // vacío si n <= 0
// Limpia la lista y agrega los trozos de 'texto' en mayúsculas cortados en 'separador'
void SeparaLista(QStringList &lista, const QString &texto, const QString &separador);

// Número entero al inicio del texto (blancos, signo, hexadecimal tras "$"); 0 si no hay
qint64 TextoEntero(const QString &texto);
// Número real al inicio del texto con "." decimal; 0 si no hay
double TextoReal(const QString &texto);

// Letras de columna de hoja de cálculo a número: A = 1, AA = 27; 0 si hay otro carácter
int ColumnaExcel(const QString &letras);

// Folios: prefijo de letras A..Z y número
QString FolioNormal(const QString &folio);
QString FolioSiguiente(const QString &folio, int ancho);
QString FolioRelleno(const QString &folio, int ancho);

// Texto del estado de una impresora (un solo valor PRINTER_STATUS_*); vacío si no es uno de ellos
QString EstadoImpresora(qint64 estado);
