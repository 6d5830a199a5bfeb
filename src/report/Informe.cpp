#include "report/Informe.h"

#include "report/ArchivoForma.h"
#include "report/VistaPrevia.h"

#include <QFileInfo>
#include <QPaintDevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

Informe::Informe() : m_dibujante(std::make_unique<Dibujante>(m_evaluador, &m_avisos)) {}
Informe::~Informe() = default;

void Informe::reinicia()
{
    m_evaluador.limpia();
    m_dibujante = std::make_unique<Dibujante>(m_evaluador, &m_avisos);
    m_composicion = {};
    m_compuesto = false;
}

bool Informe::carga(const QString &ruta)
{
    m_avisos.clear();
    m_evaluador.olvidaAvisos();
    m_error.clear();
    m_ruta = ruta;
    Plantilla f;
    const bool ok = LeeForma(ruta, f, m_error, &m_avisos);
    m_forma = ok ? std::move(f) : Plantilla{};
    reinicia();
    return ok;
}

void Informe::ponForma(const Plantilla &forma)
{
    m_forma = forma;
    m_error.clear();
    reinicia();
}

void Informe::vacia()
{
    m_forma = {};
    reinicia();
}

void Informe::ponDatos(const FuenteDatos *datos, const QString &alias)
{
    m_evaluador.agregaDatos(alias, datos);
    reinicia();
}

void Informe::quitaDatos()
{
    m_evaluador.quitaDatos();
    reinicia();
}

const Composicion &Informe::composicion()
{
    if (!m_compuesto) {
        m_composicion = Compone(m_forma, [this](const Banda &b) { return m_evaluador.filasDe(b); }, m_primeraPosicion);
        m_compuesto = true;
    }
    return m_composicion;
}

QString Informe::titulo() const
{
    if (!m_titulo.isEmpty())
        return m_titulo;
    const QString base = QFileInfo(m_ruta).completeBaseName();
    return base.isEmpty() ? QStringLiteral("Etiquetas") : base;
}

void Informe::ponCalibracion(Longitud dx, Longitud dy, double escala)
{
    m_dx = dx;
    m_dy = dy;
    m_escala = escala > 0 ? escala : 1.0;
}

void Informe::dibuja(QPainter &p, const PaginaCompuesta &pagina)
{
    const bool calibrada = !m_dx.esCero() || !m_dy.esCero() || m_escala != 1.0;
    if (calibrada) {
        p.save();
        const QPaintDevice *d = p.device();
        p.translate(m_dx.pixeles(d ? d->logicalDpiX() : 96), m_dy.pixeles(d ? d->logicalDpiY() : 96));
        p.scale(m_escala, m_escala);
    }
    m_dibujante->dibujaPagina(p, pagina, int(m_composicion.paginas.size()));
    if (calibrada)
        p.restore();
}

void Informe::dibujaPagina(QPainter &p, int indice)
{
    const Composicion &c = composicion();
    if (indice < 0 || indice >= c.paginas.size())
        return;
    dibuja(p, c.paginas[indice]);
}

namespace {

QPageLayout Diseno(const Pagina &p)
{
    const QSizeF mm(p.anchoPapel.mm(), p.altoPapel.mm());
    // El tamaño se da en vertical; la orientación lo gira
    const bool horizontal = mm.width() > mm.height();
    const QPageSize tam(horizontal ? mm.transposed() : mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    return QPageLayout(tam, horizontal ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

} // namespace

bool Informe::exportaPdf(const QString &ruta)
{
    m_error.clear();
    const Composicion &c = composicion();
    QPdfWriter pdf(ruta);
    pdf.setResolution(600);
    pdf.setCreator(QStringLiteral("Etiquetas"));
    pdf.setTitle(titulo());
    if (!c.paginas.isEmpty())
        pdf.setPageLayout(Diseno(*c.paginas[0].pagina));
    QPainter p;
    if (!p.begin(&pdf)) {
        m_error = QStringLiteral("No se pudo crear el archivo PDF %1.").arg(ruta);
        return false;
    }
    for (int i = 0; i < c.paginas.size(); ++i) {
        if (i > 0) {
            if (c.paginas[i].pagina != c.paginas[i - 1].pagina)
                pdf.setPageLayout(Diseno(*c.paginas[i].pagina));
            pdf.newPage();
        }
        dibuja(p, c.paginas[i]);
    }
    if (!p.end()) {
        m_error = QStringLiteral("No se pudo escribir el archivo PDF %1.").arg(ruta);
        return false;
    }
    return true;
}

void Informe::preparaImpresora(QPrinter &impresora)
{
    impresora.setFullPage(true);
    const Composicion &c = composicion();
    if (!c.paginas.isEmpty())
        impresora.setPageLayout(Diseno(*c.paginas[0].pagina));
}

bool Informe::imprimeEn(QPrinter &impresora)
{
    m_error.clear();
    const Composicion &c = composicion();
    if (c.paginas.isEmpty())
        return true;
    impresora.setFullPage(true);
    QPainter p;
    if (!p.begin(&impresora)) {
        m_error = QStringLiteral("No se pudo imprimir en %1.").arg(impresora.printerName());
        return false;
    }
    for (int i = 0; i < c.paginas.size(); ++i) {
        if (i > 0) {
            if (c.paginas[i].pagina != c.paginas[i - 1].pagina)
                impresora.setPageLayout(Diseno(*c.paginas[i].pagina));
            impresora.newPage();
        }
        dibuja(p, c.paginas[i]);
    }
    p.end();
    return true;
}

bool Informe::imprime(const QString &nombre, int copias)
{
    m_error.clear();
    if (QPrinterInfo::printerInfo(nombre).isNull()) {
        m_error = QStringLiteral("No existe la impresora \"%1\".").arg(nombre);
        return false;
    }
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setPrinterName(nombre);
    impresora.setCopyCount(std::max(1, copias));
    impresora.setDocName(titulo());
    preparaImpresora(impresora);
    return imprimeEn(impresora);
}

QImage Informe::imagenPagina(int indice, double dpi)
{
    const Composicion &c = composicion();
    if (indice < 0 || indice >= c.paginas.size())
        return {};
    const Pagina &pg = *c.paginas[indice].pagina;
    const QSize tam(int(std::ceil(pg.anchoPapel.pixeles(dpi))), int(std::ceil(pg.altoPapel.pixeles(dpi))));
    QImage img(tam, QImage::Format_RGB32);
    img.fill(Qt::white);
    const int dpm = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    QPainter p(&img);
    dibuja(p, c.paginas[indice]);
    p.end();
    return img;
}

int Informe::vistaPrevia(QWidget *padre, const QString &impresora)
{
    VistaPrevia v(*this, impresora, padre);
    return v.ejecuta();
}
