#include "Codigos.h"

#include "report/Composicion.h"

#define ZX_USE_UTF8 // text() en UTF-8
#include <ZXing/ReadBarcode.h>

QString LeeCodigo(const QImage &imagen, ZXing::BarcodeFormats formatos)
{
    const QImage gris = imagen.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView vista(gris.constBits(), gris.width(), gris.height(), ZXing::ImageFormat::Lum,
                                 int(gris.bytesPerLine()));
    ZXing::DecodeHints h;
    h.setTryHarder(true);
    h.setTryRotate(true);
    if (!formatos.empty())
        h.setFormats(formatos);
    const ZXing::Result r = ZXing::ReadBarcode(vista, h);
    return r.isValid() ? QString::fromStdString(r.text()) : QString();
}

QImage RecorteEtiqueta(const QImage &pagina, const BandaColocada &b, int ppp)
{
    return pagina.copy(QRect(int(b.x.pixeles(ppp)), int(b.y.pixeles(ppp)), int(b.ancho.pixeles(ppp)),
                             int(b.alto.pixeles(ppp))));
}
