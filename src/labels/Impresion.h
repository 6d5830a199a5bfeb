#pragma once

#include <QString>
#include <QStringList>

class LoteEtiquetas;
class QWidget;

// Impresión del lote de etiquetas: por formas (tabla de impresión) o por BarTender.

// Contenido del empaque como número entero en texto; vacío da "0". Un contenido con
// decimales se conserva con sus decimales (sin ceros de sobra) para no perder la cantidad.
QString ContenidoEntero(const QString &texto);

// Llena mArtImp: una fila por etiqueta de cada renglón marcado; devuelve cuántas filas
int LlenaImpresion(LoteEtiquetas &lote);
// Líneas del archivo de BarTender para los renglones marcados, en el orden del lote
QStringList LineasBarTender(LoteEtiquetas &lote);

// Ruta de BarTender: guarda el formato, escribe el archivo y arranca el programa
bool ImprimeBarTender(LoteEtiquetas &lote);
// Ruta directa: llena la tabla de impresión y abre el diálogo Imprimir sobre ella
void ImprimeConFormas(LoteEtiquetas &lote, QWidget *padre);
// El botón "Imprimir" de la ventana de etiquetas (elige la ruta por el ajuste "Impresion")
void ImprimeEtiquetas(LoteEtiquetas &lote, QWidget *padre);
