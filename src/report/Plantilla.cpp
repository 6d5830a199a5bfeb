#include "report/Plantilla.h"

#include <QtEndian>

#include <cmath>

QColor AColorQt(ColorForma c)
{
    if (c == ColorNinguno || c == 0x20000000) // clNone, clDefault
        return {};
    if (c < 0) {
        // Colores del sistema (0x80000000 | índice)
        switch (c & 0xFF) {
        case 5:  return QColor(Qt::white);           // clWindow
        case 15: return QColor(0xF0, 0xF0, 0xF0);    // clBtnFace
        case 14: return QColor(Qt::white);           // clHighlightText
        case 13: return QColor(0x00, 0x78, 0xD7);    // clHighlight
        default: return QColor(Qt::black);           // clWindowText y demás textos
        }
    }
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

ColorForma DeColorQt(const QColor &c)
{
    if (!c.isValid() || c.alpha() == 0)
        return ColorNinguno;
    return ColorForma(c.red() | (c.green() << 8) | (c.blue() << 16));
}

double FuenteVista::puntos() const
{
    // Font.Height negativo: alto del carácter en pixeles de 96 por pulgada
    return std::abs(alto) * 72.0 / 96.0;
}

void FuenteVista::ponPuntos(double pt)
{
    alto = -int(std::lround(pt * 96.0 / 72.0));
}

QByteArray Vista::bytesImagen() const
{
    // Clase de Delphi (cadena corta) y luego los datos; TBitmap y TJPEGImage llevan antes su tamaño
    const QByteArray &d = datosImagen;
    if (d.isEmpty())
        return {};
    const int n = quint8(d[0]);
    if (n == 0 || n + 1 > d.size())
        return d; // bytes sin clase: la imagen tal cual
    const QByteArray clase = d.mid(1, n);
    for (char ch : clase)
        if (!(QChar::fromLatin1(ch).isLetterOrNumber() || ch == '_'))
            return d;
    QByteArray resto = d.mid(1 + n);
    if (resto.size() >= 4) {
        const quint32 tam = qFromLittleEndian<quint32>(resto.constData());
        if (tam == quint32(resto.size() - 4))
            resto.remove(0, 4);
    }
    return resto;
}

void Vista::ponImagenPng(const QByteArray &png)
{
    const QByteArray clase("TPngObject");
    datosImagen.clear();
    datosImagen.append(char(clase.size()));
    datosImagen.append(clase);
    datosImagen.append(png);
}

QString NombreAlineaH(AlineaH a)
{
    switch (a) {
    case AlineaH::Izquierda: return QStringLiteral("haLeft");
    case AlineaH::Derecha: return QStringLiteral("haRight");
    case AlineaH::Centro: return QStringLiteral("haCenter");
    case AlineaH::Justificado: return QStringLiteral("haBlock");
    }
    return {};
}

QString NombreAlineaV(AlineaV a)
{
    switch (a) {
    case AlineaV::Arriba: return QStringLiteral("vaTop");
    case AlineaV::Abajo: return QStringLiteral("vaBottom");
    case AlineaV::Centro: return QStringLiteral("vaCenter");
    }
    return {};
}
