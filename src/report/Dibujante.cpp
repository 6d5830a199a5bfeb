#include "report/Dibujante.h"

#include "report/CodigoBarras.h"

#include <QFile>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

void Dibujante::aviso(const QString &t)
{
    if (m_avisados.contains(t))
        return;
    m_avisados.insert(t);
    if (m_avisos)
        m_avisos->append(t);
}

QFont Dibujante::fuenteQt(const FuenteVista &f)
{
    QFont q(f.nombre);
    // Font.Height de las formas: alto del carácter en unidades de 1/96 de pulgada
    q.setPixelSize(std::max(1, std::abs(f.alto)));
    q.setBold(f.estilo & 1);
    q.setItalic(f.estilo & 2);
    q.setUnderline(f.estilo & 4);
    q.setStrikeOut(f.estilo & 8);
    q.setHintingPreference(QFont::PreferNoHinting);
    return q;
}

namespace {

Qt::PenStyle EstiloPluma(const QString &e)
{
    if (e == QLatin1String("fsDash")) return Qt::DashLine;
    if (e == QLatin1String("fsDot")) return Qt::DotLine;
    if (e == QLatin1String("fsDashDot")) return Qt::DashDotLine;
    if (e == QLatin1String("fsDashDotDot")) return Qt::DashDotDotLine;
    return Qt::SolidLine;
}

QPen Pluma(const Marco &m)
{
    QColor c = AColorQt(m.color);
    if (!c.isValid())
        return QPen(Qt::NoPen);
    QPen pen(c, std::max(0.1, m.ancho), EstiloPluma(m.estilo));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// Gira el pintor para dibujar dentro de 'r' con la rotación dada; devuelve el rectángulo girado
QRectF Gira(QPainter &p, const QRectF &r, int rotacion)
{
    switch (rotacion) {
    case 90:
        p.translate(r.left(), r.bottom());
        p.rotate(-90);
        return QRectF(0, 0, r.height(), r.width());
    case 180:
        p.translate(r.right(), r.bottom());
        p.rotate(180);
        return QRectF(0, 0, r.width(), r.height());
    case 270:
        p.translate(r.right(), r.top());
        p.rotate(90);
        return QRectF(0, 0, r.height(), r.width());
    default:
        return r;
    }
}

} // namespace

void Dibujante::dibujaPagina(QPainter &p, const PaginaCompuesta &pagina, int totalPaginas)
{
    p.save();
    const QPaintDevice *d = p.device();
    const double ex = d ? d->logicalDpiX() / 96.0 : 1.0;
    const double ey = d ? d->logicalDpiY() / 96.0 : 1.0;
    p.scale(ex, ey);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    ContextoEvaluacion c;
    c.pagina = pagina.numero;
    c.totalPaginas = totalPaginas;
    for (const BandaColocada &b : pagina.bandas) {
        p.save();
        p.translate(b.x.unidades(), b.y.unidades());
        p.setClipRect(QRectF(0, 0, b.ancho.unidades(), b.alto.unidades()), Qt::IntersectClip);
        c.fila = b.fila;
        c.linea = b.linea;
        for (const Vista &v : b.banda->vistas)
            dibujaVista(p, v, c);
        p.restore();
    }
    // Objetos sobre la página, desde la esquina de los márgenes
    if (pagina.pagina && !pagina.pagina->vistas.isEmpty()) {
        p.save();
        p.translate(pagina.pagina->margenIzquierdo.unidades(), pagina.pagina->margenSuperior.unidades());
        c.fila = -1;
        c.linea = 0;
        for (const Vista &v : pagina.pagina->vistas)
            dibujaVista(p, v, c);
        p.restore();
    }
    p.restore();
}

void Dibujante::dibujaVista(QPainter &p, const Vista &v, const ContextoEvaluacion &c)
{
    if (!v.visible || v.tipo == TipoVista::Desconocida)
        return;
    const QRectF r(v.izquierda.unidades(), v.arriba.unidades(), v.ancho.unidades(), v.alto.unidades());
    switch (v.tipo) {
    case TipoVista::Memo: dibujaMemo(p, v, r, c); break;
    case TipoVista::CodigoBarras:
    case TipoVista::Codigo2D: dibujaCodigo(p, v, r, c); break;
    case TipoVista::Imagen: dibujaImagen(p, v, r, c); break;
    case TipoVista::Figura: dibujaFigura(p, v, r); break;
    case TipoVista::Linea: {
        p.save();
        p.setPen(Pluma(v.marco));
        if (v.diagonal || (!v.ancho.esCero() && !v.alto.esCero()))
            p.drawLine(r.topLeft(), r.bottomRight());
        else
            p.drawLine(r.topLeft(), QPointF(r.left() + r.width(), r.top() + r.height()));
        p.restore();
        break;
    }
    case TipoVista::Desconocida: break;
    }
}

void Dibujante::dibujaMarco(QPainter &p, const Vista &v, const QRectF &r)
{
    if (v.marco.lados == 0)
        return;
    p.save();
    p.setPen(Pluma(v.marco));
    if (v.marco.lados & MarcoIzquierdo) p.drawLine(r.topLeft(), r.bottomLeft());
    if (v.marco.lados & MarcoDerecho) p.drawLine(r.topRight(), r.bottomRight());
    if (v.marco.lados & MarcoArriba) p.drawLine(r.topLeft(), r.topRight());
    if (v.marco.lados & MarcoAbajo) p.drawLine(r.bottomLeft(), r.bottomRight());
    p.restore();
}

void Dibujante::dibujaMemo(QPainter &p, const Vista &v, const QRectF &r, const ContextoEvaluacion &c)
{
    const QColor relleno = AColorQt(v.relleno);
    if (relleno.isValid())
        p.fillRect(r, relleno);
    const QString texto = m_ev.textoMemo(v, c);
    if (!texto.isEmpty()) {
        auto f = m_fuentes.find(&v);
        if (f == m_fuentes.end())
            f = m_fuentes.insert(&v, fuenteQt(v.fuente));
        p.save();
        p.setFont(*f);
        QColor color = AColorQt(v.fuente.color);
        p.setPen(color.isValid() ? color : QColor(Qt::black));
        QRectF caja = Gira(p, r, v.rotacion);
        caja.adjust(v.margenX, v.margenY, -v.margenX, -v.margenY);
        int banderas = 0;
        switch (v.alineaH) {
        case AlineaH::Izquierda: banderas |= Qt::AlignLeft; break;
        case AlineaH::Derecha: banderas |= Qt::AlignRight; break;
        case AlineaH::Centro: banderas |= Qt::AlignHCenter; break;
        case AlineaH::Justificado: banderas |= Qt::AlignJustify; break;
        }
        switch (v.alineaV) {
        case AlineaV::Arriba: banderas |= Qt::AlignTop; break;
        case AlineaV::Abajo: banderas |= Qt::AlignBottom; break;
        case AlineaV::Centro: banderas |= Qt::AlignVCenter; break;
        }
        if (v.ajustaLineas)
            banderas |= Qt::TextWordWrap;
        QString t = texto;
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        p.drawText(caja, banderas, t);
        p.restore();
    }
    dibujaMarco(p, v, r);
}

void Dibujante::dibujaCodigo(QPainter &p, const Vista &v, const QRectF &r, const ContextoEvaluacion &c)
{
    const QColor relleno = AColorQt(v.relleno);
    if (relleno.isValid())
        p.fillRect(r, relleno);
    const QString datos = m_ev.datoVista(v, c).toString();
    if (!datos.trimmed().isEmpty()) {
        p.save();
        const QRectF caja = Gira(p, r, v.rotacion);
        const QString tipo = v.tipo == TipoVista::Codigo2D && SimbologiaZint(v.tipoBarras) < 0 ? QStringLiteral("bcCodeQR")
                                                                                              : v.tipoBarras;
        QString error;
        auto f = m_fuentes.find(&v);
        if (f == m_fuentes.end())
            f = m_fuentes.insert(&v, fuenteQt(v.fuente));
        if (!DibujaCodigo(p, tipo, datos, v.muestraTexto, v.calculaVerificador, caja, *f, &error))
            aviso(QStringLiteral("Código de barras %1 (\"%2\"): %3").arg(v.nombre, datos, error));
        p.restore();
    }
    dibujaMarco(p, v, r);
}

void Dibujante::dibujaImagen(QPainter &p, const Vista &v, const QRectF &r, const ContextoEvaluacion &c)
{
    const QColor relleno = AColorQt(v.relleno);
    if (relleno.isValid())
        p.fillRect(r, relleno);
    QImage img;
    if (!v.campo.isEmpty()) {
        const QVariant d = m_ev.datoVista(v, c);
        if (d.typeId() == QMetaType::QByteArray) {
            img = QImage::fromData(d.toByteArray());
        } else {
            const QString ruta = d.toString();
            auto it = m_imagenesDatos.find(ruta);
            if (it == m_imagenesDatos.end())
                it = m_imagenesDatos.insert(ruta, ruta.isEmpty() ? QImage() : QImage(ruta));
            img = *it;
        }
    } else {
        auto it = m_imagenes.find(&v);
        if (it == m_imagenes.end()) {
            QImage i = QImage::fromData(v.bytesImagen());
            if (i.isNull() && !v.datosImagen.isEmpty())
                aviso(QStringLiteral("La imagen de %1 no se puede leer.").arg(v.nombre));
            it = m_imagenes.insert(&v, i);
        }
        img = *it;
    }
    if (!img.isNull()) {
        QRectF destino = r;
        if (!v.estirada) {
            destino.setSize(QSizeF(img.width() * 96.0 / std::max(1, img.logicalDpiX()),
                                   img.height() * 96.0 / std::max(1, img.logicalDpiY())));
        } else if (v.mantieneProporcion) {
            QSizeF t = QSizeF(img.size()).scaled(r.size(), Qt::KeepAspectRatio);
            destino.setSize(t);
        }
        if (v.centrada)
            destino.moveCenter(r.center());
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
        p.drawImage(destino, img);
        p.restore();
    }
    dibujaMarco(p, v, r);
}

void Dibujante::dibujaFigura(QPainter &p, const Vista &v, const QRectF &r)
{
    p.save();
    p.setPen(Pluma(v.marco));
    const QColor relleno = AColorQt(v.relleno);
    p.setBrush(relleno.isValid() ? QBrush(relleno) : QBrush(Qt::NoBrush));
    const QString &f = v.figura;
    if (f == QLatin1String("skEllipse")) {
        p.drawEllipse(r);
    } else if (f == QLatin1String("skRoundRectangle")) {
        const double rad = std::min(r.width(), r.height()) / 4;
        p.drawRoundedRect(r, rad, rad);
    } else if (f == QLatin1String("skTriangle")) {
        p.drawPolygon(QPolygonF({QPointF(r.center().x(), r.top()), r.bottomRight(), r.bottomLeft()}));
    } else if (f == QLatin1String("skDiamond")) {
        p.drawPolygon(QPolygonF({QPointF(r.center().x(), r.top()), QPointF(r.right(), r.center().y()),
                                 QPointF(r.center().x(), r.bottom()), QPointF(r.left(), r.center().y())}));
    } else if (f == QLatin1String("skDiagonal1")) {
        p.drawLine(r.bottomLeft(), r.topRight());
    } else if (f == QLatin1String("skDiagonal2")) {
        p.drawLine(r.topLeft(), r.bottomRight());
    } else {
        p.drawRect(r);
    }
    p.restore();
}
