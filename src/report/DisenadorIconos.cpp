#include "report/DisenadorIconos.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor Trazo(0x2f, 0x3e, 0x4e);
const QColor Acento(0x1f, 0x6f, 0xd1);
const QColor Rojo(0xc0, 0x39, 0x2b);

void Flecha(QPainter &p, bool derecha)
{
    // Flecha curva de deshacer / rehacer
    p.save();
    if (derecha) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    QPainterPath c;
    c.moveTo(6, 10);
    c.cubicTo(10, 4, 20, 5, 20, 13);
    c.cubicTo(20, 18, 16, 20, 12, 20);
    p.setPen(QPen(Acento, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(c);
    p.setPen(Qt::NoPen);
    p.setBrush(Acento);
    p.drawPolygon(QPolygonF({QPointF(2, 12), QPointF(4, 4), QPointF(10, 10)}));
    p.restore();
}

void Alinear(QPainter &p, const QString &n)
{
    p.setPen(QPen(Acento, 2));
    p.setBrush(QColor(0xc9, 0xdc, 0xf5));
    QPen barra(Trazo, 1.2);
    if (n == QLatin1String("alinIzq") || n == QLatin1String("alinDer") || n == QLatin1String("alinCentroH")) {
        const double x = n == QLatin1String("alinIzq") ? 4 : (n == QLatin1String("alinDer") ? 20 : 12);
        p.drawLine(QPointF(x, 2), QPointF(x, 22));
        p.setPen(barra);
        if (n == QLatin1String("alinIzq")) {
            p.drawRect(QRectF(5, 5, 14, 5));
            p.drawRect(QRectF(5, 14, 9, 5));
        } else if (n == QLatin1String("alinDer")) {
            p.drawRect(QRectF(5, 5, 14, 5));
            p.drawRect(QRectF(10, 14, 9, 5));
        } else {
            p.drawRect(QRectF(4, 5, 16, 5));
            p.drawRect(QRectF(7, 14, 10, 5));
        }
    } else if (n == QLatin1String("alinArriba") || n == QLatin1String("alinAbajo") || n == QLatin1String("alinCentroV")) {
        const double y = n == QLatin1String("alinArriba") ? 4 : (n == QLatin1String("alinAbajo") ? 20 : 12);
        p.drawLine(QPointF(2, y), QPointF(22, y));
        p.setPen(barra);
        if (n == QLatin1String("alinArriba")) {
            p.drawRect(QRectF(5, 5, 5, 14));
            p.drawRect(QRectF(14, 5, 5, 9));
        } else if (n == QLatin1String("alinAbajo")) {
            p.drawRect(QRectF(5, 5, 5, 14));
            p.drawRect(QRectF(14, 10, 5, 9));
        } else {
            p.drawRect(QRectF(5, 4, 5, 16));
            p.drawRect(QRectF(14, 7, 5, 10));
        }
    } else if (n == QLatin1String("mismoAncho")) {
        p.setPen(barra);
        p.drawRect(QRectF(4, 4, 16, 6));
        p.drawRect(QRectF(4, 14, 16, 6));
    } else if (n == QLatin1String("mismoAlto")) {
        p.setPen(barra);
        p.drawRect(QRectF(4, 4, 6, 16));
        p.drawRect(QRectF(14, 4, 6, 16));
    }
}

QPixmap Dibuja(const QString &n)
{
    QPixmap px(24, 24);
    px.fill(Qt::transparent);
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pluma(Trazo, 1.6);
    pluma.setJoinStyle(Qt::RoundJoin);
    p.setPen(pluma);
    if (n == QLatin1String("seleccionar")) {
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(6, 3), QPointF(6, 19), QPointF(10, 15), QPointF(13, 21), QPointF(15.5, 20),
                                 QPointF(12.5, 14), QPointF(18, 14)}));
    } else if (n == QLatin1String("texto")) {
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPixelSize(19);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Trazo);
        p.drawText(QRectF(0, 0, 24, 22), Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(QPen(Acento, 2));
        p.drawLine(QPointF(4, 22), QPointF(20, 22));
    } else if (n == QLatin1String("barras")) {
        const double anchos[] = {1.5, 1, 2.5, 1, 1, 2, 1.5, 1, 2.5};
        double x = 3;
        p.setPen(Qt::NoPen);
        p.setBrush(Trazo);
        for (int i = 0; i < 9; ++i) {
            if (i % 2 == 0)
                p.drawRect(QRectF(x, 3, anchos[i], 15));
            x += anchos[i] + 0.8;
        }
        p.setBrush(Acento);
        p.drawRect(QRectF(3, 20, 18, 2));
    } else if (n == QLatin1String("linea")) {
        p.setPen(QPen(Trazo, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 20), QPointF(20, 4));
    } else if (n == QLatin1String("rectangulo")) {
        p.setBrush(QColor(0xc9, 0xdc, 0xf5));
        p.drawRect(QRectF(3.5, 6.5, 17, 11));
    } else if (n == QLatin1String("imagen")) {
        p.setBrush(QColor(0xe8, 0xf1, 0xfb));
        p.drawRect(QRectF(2.5, 4.5, 19, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3a, 0x9d, 0x5d));
        p.drawPolygon(QPolygonF({QPointF(3.5, 18.5), QPointF(10, 10), QPointF(14, 15), QPointF(16.5, 12.5), QPointF(20.5, 18.5)}));
        p.setBrush(QColor(0xf1, 0xc4, 0x0f));
        p.drawEllipse(QPointF(16.5, 8.5), 2, 2);
    } else if (n == QLatin1String("nuevo")) {
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(5, 2.5), QPointF(14, 2.5), QPointF(19, 7.5), QPointF(19, 21.5), QPointF(5, 21.5)}));
        p.drawPolyline(QPolygonF({QPointF(14, 2.5), QPointF(14, 7.5), QPointF(19, 7.5)}));
    } else if (n == QLatin1String("guardar")) {
        p.setBrush(Acento);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(7, 4, 10, 6));
        p.drawRect(QRectF(6, 13, 12, 7));
        p.setBrush(Acento);
        p.drawRect(QRectF(13, 5, 2, 4));
    } else if (n == QLatin1String("deshacer") || n == QLatin1String("rehacer")) {
        Flecha(p, n == QLatin1String("rehacer"));
    } else if (n == QLatin1String("cortar")) {
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
        p.drawLine(QPointF(9, 16), QPointF(17, 3));
        p.drawLine(QPointF(15, 16), QPointF(7, 3));
    } else if (n == QLatin1String("copiar")) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 3.5, 11, 13));
        p.setBrush(QColor(0xe8, 0xf1, 0xfb));
        p.drawRect(QRectF(9.5, 7.5, 11, 13));
    } else if (n == QLatin1String("pegar")) {
        p.setBrush(QColor(0xd9, 0xa4, 0x41));
        p.drawRoundedRect(QRectF(4, 4, 16, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 8, 10, 11));
        p.setBrush(Trazo);
        p.drawRect(QRectF(9, 2.5, 6, 3));
    } else if (n == QLatin1String("eliminar")) {
        p.setPen(QPen(Rojo, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    } else if (n == QLatin1String("frente") || n == QLatin1String("fondo")) {
        const bool frente = n == QLatin1String("frente");
        p.setBrush(frente ? QColor(0xdd, 0xdd, 0xdd) : Acento);
        p.drawRect(QRectF(3.5, 3.5, 11, 11));
        p.setBrush(frente ? Acento : QColor(0xdd, 0xdd, 0xdd));
        if (!frente) {
            p.setBrush(QColor(0xdd, 0xdd, 0xdd));
            p.drawRect(QRectF(9.5, 9.5, 11, 11));
            p.setBrush(Acento);
            p.drawRect(QRectF(3.5, 3.5, 11, 11));
            p.setBrush(QColor(0xdd, 0xdd, 0xdd));
            p.drawRect(QRectF(9.5, 9.5, 11, 11));
        } else {
            p.drawRect(QRectF(9.5, 9.5, 11, 11));
        }
    } else if (n == QLatin1String("acercar") || n == QLatin1String("alejar") || n == QLatin1String("ancho")) {
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        p.setPen(QPen(Trazo, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
        p.setPen(QPen(Acento, 1.8));
        if (n == QLatin1String("ancho")) {
            p.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
            p.drawLine(QPointF(6.5, 8), QPointF(6.5, 12));
            p.drawLine(QPointF(13.5, 8), QPointF(13.5, 12));
        } else {
            p.drawLine(QPointF(7, 10), QPointF(13, 10));
            if (n == QLatin1String("acercar"))
                p.drawLine(QPointF(10, 7), QPointF(10, 13));
        }
    } else if (n == QLatin1String("rejilla")) {
        p.setPen(QPen(Trazo, 2.2, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                p.drawPoint(QPointF(4.5 + i * 5, 4.5 + j * 5));
        p.setPen(QPen(Acento, 1.6));
        p.drawRect(QRectF(9.5, 9.5, 5, 5));
    } else if (n == QLatin1String("datos")) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 4.5, 17, 15));
        p.fillRect(QRectF(4, 5, 16, 4), Acento);
        p.drawLine(QPointF(3.5, 14), QPointF(20.5, 14));
        p.drawLine(QPointF(10, 9), QPointF(10, 19.5));
    } else if (n == QLatin1String("previa")) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2.5, 15, 19));
        p.setPen(QPen(Acento, 1.4));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(7, 6.5 + i * 4), QPointF(17, 6.5 + i * 4));
    } else {
        Alinear(p, n);
    }
    return px;
}

} // namespace

QIcon IconoDisenador(const QString &nombre)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(nombre);
    if (it == cache.end())
        it = cache.insert(nombre, QIcon(Dibuja(nombre)));
    return *it;
}
