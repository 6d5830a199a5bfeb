#pragma once

#include <QImage>
#include <QString>

#include <ZXing/BarcodeFormat.h>

struct BandaColocada;

// Código de barras leído con ZXing en la imagen; "" si no hay ninguno. Uno por imagen:
// ReadBarcodes de esta versión falla con varios códigos lineales iguales.
QString LeeCodigo(const QImage &imagen, ZXing::BarcodeFormats formatos = {});
// Recorte de una etiqueta colocada, en la imagen de su página dibujada a 'ppp'
QImage RecorteEtiqueta(const QImage &pagina, const BandaColocada &b, int ppp);
