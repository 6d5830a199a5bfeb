#include "report/CodigoBarras.h"

#include <QPaintDevice>
#include <QPainter>

#include <zint.h>

#include <cmath>
#include <memory>

int SimbologiaZint(const QString &tipo)
{
    static const QList<QPair<QString, int>> tabla = {
        {"bcCode128", BARCODE_CODE128},   {"bcCode128A", BARCODE_CODE128}, {"bcCode128B", BARCODE_CODE128B},
        {"bcCode128C", BARCODE_CODE128},  {"bcCodeEAN13", BARCODE_EANX},   {"bcCodeEAN8", BARCODE_EANX},
        {"bcCodeEAN128", BARCODE_GS1_128}, {"bcCodeEAN128A", BARCODE_GS1_128}, {"bcCodeEAN128B", BARCODE_GS1_128},
        {"bcCodeEAN128C", BARCODE_GS1_128}, {"bcCode39", BARCODE_CODE39},  {"bcCode39Extended", BARCODE_EXCODE39},
        {"bcCode93", BARCODE_CODE93},     {"bcCode93Extended", BARCODE_CODE93}, {"bcCodeUPC_A", BARCODE_UPCA},
        {"bcCodeUPC_E0", BARCODE_UPCE},   {"bcCodeUPC_E1", BARCODE_UPCE},  {"bcCode_2_5_interleaved", BARCODE_C25INTER},
        {"bcCode_2_5_industrial", BARCODE_C25IND}, {"bcCode_2_5_matrix", BARCODE_C25STANDARD},
        {"bcCodeCodabar", BARCODE_CODABAR}, {"bcCodeMSI", BARCODE_MSI_PLESSEY}, {"bcCodePostNet", BARCODE_POSTNET},
        {"bcCodeQR", BARCODE_QRCODE},     {"bcQR", BARCODE_QRCODE},        {"bcCodeDataMatrix", BARCODE_DATAMATRIX},
        {"bcCodePDF417", BARCODE_PDF417}, {"bcCodeAztec", BARCODE_AZTEC},  {"bcCodeMaxiCode", BARCODE_MAXICODE},
        {"bcGS1DataMatrix", BARCODE_DATAMATRIX},
    };
    for (const auto &t : tabla)
        if (t.first.compare(tipo, Qt::CaseInsensitive) == 0)
            return t.second;
    return -1;
}

namespace {

struct BorraSimbolo
{
    void operator()(zint_symbol *s) const { ZBarcode_Delete(s); }
};
using Simbolo = std::unique_ptr<zint_symbol, BorraSimbolo>;

bool Digitos(const QString &t)
{
    if (t.isEmpty())
        return false;
    for (QChar c : t)
        if (!c.isDigit())
            return false;
    return true;
}

SimboloBarras Codifica(int simbologia, const QString &tipo, const QByteArray &datos, bool muestraTexto, bool verificador,
                       double altoBarras)
{
    SimboloBarras r;
    Simbolo s(ZBarcode_Create());
    s->symbology = simbologia;
    s->show_hrt = muestraTexto ? 1 : 0;
    s->input_mode = UNICODE_MODE;
    if (altoBarras > 0)
        s->height = float(altoBarras);
    if (simbologia == BARCODE_CODE39 || simbologia == BARCODE_EXCODE39)
        s->option_2 = verificador ? 1 : 0;
    if (simbologia == BARCODE_GS1_128) {
        s->input_mode = GS1_MODE | GS1PARENS_MODE;
    }
    if (simbologia == BARCODE_QRCODE)
        s->option_1 = 2; // corrección M
    Q_UNUSED(tipo);
    const int e = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char *>(datos.constData()), int(datos.size()));
    if (e >= ZINT_ERROR) {
        r.error = QString::fromLatin1(s->errtxt);
        return r;
    }
    if (ZBarcode_Buffer_Vector(s.get(), 0) >= ZINT_ERROR) {
        r.error = QString::fromLatin1(s->errtxt);
        return r;
    }
    const zint_vector *v = s->vector;
    r.valido = true;
    r.bidimensional = simbologia == BARCODE_QRCODE || simbologia == BARCODE_DATAMATRIX || simbologia == BARCODE_AZTEC ||
                      simbologia == BARCODE_MAXICODE;
    r.legible = QString::fromUtf8(reinterpret_cast<const char *>(s->text));
    r.ancho = v->width;
    r.alto = v->height;
    for (const zint_vector_rect *x = v->rectangles; x; x = x->next)
        r.barras.append(QRectF(x->x, x->y, x->width, x->height));
    for (const zint_vector_string *t = v->strings; t; t = t->next)
        r.textos.append({QPointF(t->x, t->y), t->fsize, t->halign,
                         QString::fromUtf8(reinterpret_cast<const char *>(t->text), t->length)});
    return r;
}

} // namespace

SimboloBarras CodificaBarras(const QString &tipoBarras, const QString &datosOriginal, bool muestraTexto, bool verificador,
                             double altoBarras)
{
    int simb = SimbologiaZint(tipoBarras);
    if (simb < 0) {
        SimboloBarras r;
        r.error = QStringLiteral("Tipo de código de barras no soportado: %1").arg(tipoBarras);
        return r;
    }
    QString datos = datosOriginal.trimmed();
    if (datos.isEmpty()) {
        SimboloBarras r;
        r.error = QStringLiteral("Sin datos para el código de barras");
        return r;
    }
    // EAN y UPC: sin el dígito verificador, zint lo calcula; con él, lo comprueba
    if (tipoBarras.compare(QLatin1String("bcCodeEAN8"), Qt::CaseInsensitive) == 0 && Digitos(datos) && datos.size() > 8)
        datos = datos.left(8);
    if (simb == BARCODE_CODE39)
        datos = datos.toUpper();
    if (simb == BARCODE_GS1_128 && !datos.contains(QLatin1Char('(')) && !datos.contains(QLatin1Char('['))) {
        // Sin identificadores de aplicación: Code 128 común
        simb = BARCODE_CODE128;
    }
    if (tipoBarras.compare(QLatin1String("bcCode128C"), Qt::CaseInsensitive) == 0 && Digitos(datos) && datos.size() % 2)
        datos.prepend(QLatin1Char('0'));
    return Codifica(simb, tipoBarras, datos.toUtf8(), muestraTexto, verificador, altoBarras);
}

void DibujaBarras(QPainter &p, const SimboloBarras &s, const QRectF &destino, const QString &fuente)
{
    if (!s.valido || s.ancho <= 0 || s.alto <= 0 || destino.isEmpty())
        return;
    double sx = destino.width() / s.ancho;
    double sy = destino.height() / s.alto;
    QPointF origen = destino.topLeft();
    if (s.bidimensional) {
        sx = sy = std::min(sx, sy);
        origen += QPointF((destino.width() - s.ancho * sx) / 2, (destino.height() - s.alto * sy) / 2);
    }
    p.save();
    // En imágenes, módulos de pixeles enteros para que el código quede nítido
    const int tipoDisp = p.device() ? p.device()->devType() : 0;
    const QTransform t = p.deviceTransform();
    const bool raster = (tipoDisp == QInternal::Image || tipoDisp == QInternal::Pixmap) && t.type() <= QTransform::TxScale;
    if (raster) {
        const double dx = sx * t.m11();
        if (dx >= 1) {
            const double modulo = std::floor(dx) / t.m11();
            const double extra = (sx - modulo) * s.ancho;
            sx = modulo;
            if (s.bidimensional) {
                const double dy = sy * t.m22();
                sy = std::floor(dy) / t.m22();
                origen = destino.topLeft() + QPointF((destino.width() - s.ancho * sx) / 2, (destino.height() - s.alto * sy) / 2);
            } else {
                origen.rx() += extra / 2;
            }
            // Origen en un pixel entero
            const QPointF d = t.map(origen);
            origen = t.inverted().map(QPointF(std::round(d.x()), std::round(d.y())));
        }
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const QRectF &b : s.barras)
        p.drawRect(QRectF(origen.x() + b.x() * sx, origen.y() + b.y() * sy, b.width() * sx, b.height() * sy));
    if (!s.textos.isEmpty()) {
        p.setPen(Qt::black);
        for (const auto &tx : s.textos) {
            QFont f(fuente.isEmpty() ? QStringLiteral("Arial") : fuente);
            const double tam = tx.tamano * std::min(sx, sy * 1.2);
            f.setPixelSize(std::max(1, int(std::lround(tam))));
            p.setFont(f);
            const QPointF base(origen.x() + tx.posicion.x() * sx, origen.y() + tx.posicion.y() * sy);
            const double w = 2000;
            const double h = tam * 2;
            QRectF caja(base.x() - w / 2, base.y() - h, w, h);
            Qt::Alignment a = Qt::AlignHCenter;
            if (tx.alineacion == 1) {
                caja.moveLeft(base.x());
                a = Qt::AlignLeft;
            } else if (tx.alineacion == 2) {
                caja.moveRight(base.x());
                a = Qt::AlignRight;
            }
            p.drawText(caja, int(a | Qt::AlignBottom) | Qt::TextDontClip, tx.texto);
        }
    }
    p.restore();
}

bool DibujaCodigo(QPainter &p, const QString &tipoBarras, const QString &datos, bool muestraTexto, bool verificador,
                  const QRectF &destino, const QFont &fuente, QString *error)
{
    // El texto legible lo pone el dibujo con la fuente de la vista, debajo de las barras
    SimboloBarras s = CodificaBarras(tipoBarras, datos, false, verificador);
    if (!s.valido) {
        if (error)
            *error = s.error;
        return false;
    }
    QRectF barras = destino;
    QRectF texto;
    if (muestraTexto && !s.bidimensional) {
        const double alto = std::min(destino.height() / 3, fuente.pixelSize() * 1.2);
        texto = QRectF(destino.left(), destino.bottom() - alto, destino.width(), alto);
        barras.setBottom(texto.top());
    }
    if (!s.bidimensional && barras.width() > 0) {
        // Alto de barras para que el símbolo tenga la proporción del rectángulo
        const double deseado = barras.height() * s.ancho / barras.width();
        if (deseado > 1 && std::abs(deseado - s.alto) > 0.01) {
            SimboloBarras t = CodificaBarras(tipoBarras, datos, false, verificador, deseado);
            if (t.valido)
                s = t;
        }
    }
    DibujaBarras(p, s, barras, fuente.family());
    if (!texto.isEmpty()) {
        p.save();
        p.setFont(fuente);
        p.setPen(Qt::black);
        p.drawText(texto, int(Qt::AlignHCenter | Qt::AlignVCenter), s.legible.isEmpty() ? datos : s.legible);
        p.restore();
    }
    return true;
}
