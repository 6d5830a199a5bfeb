// Diseñador de formas: documento (órdenes, rejilla, deshacer), ida y vuelta de las formas
// del programa y una hoja de etiquetas hecha desde cero hasta el PDF.
#include "report/ArchivoForma.h"
#include "report/CodigoBarras.h"
#include "report/DisenadorDocumento.h"
#include "report/FuenteDatos.h"
#include "report/Informe.h"

#include "Entorno.h"
#include "ImprimeQt.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

Longitud mm(double v) { return Longitud::deMm(v); }

QString CarpetaFormatos() { return Entorno::fuentes() + QStringLiteral("/Formatos"); }

// Dígito verificador de EAN-13 sobre 12 dígitos
QString Ean13(const QString &doce)
{
    int suma = 0;
    for (int i = 0; i < 12; ++i)
        suma += doce[i].digitValue() * (i % 2 ? 3 : 1);
    return doce + QString::number((10 - suma % 10) % 10);
}

// Artículos de muestra con los campos de la tabla de impresión
DatosTabla Articulos(int n)
{
    DatosTabla t({QStringLiteral("articulo"), QStringLiteral("clave"), QStringLiteral("precio"), QStringLiteral("Precio2"),
                  QStringLiteral("Nota_General"), QStringLiteral("unidad_venta")});
    for (int i = 0; i < n; ++i)
        t.agregaFila({QStringLiteral("Artículo %1 pinza ñandú").arg(i + 1), Ean13(QStringLiteral("750100%1").arg(100 + i, 6, 10, QLatin1Char('0'))),
                      10.5 + i * 101.25, 9.75 + i, QStringLiteral("Oferta de temporada"), QStringLiteral("PZA")});
    return t;
}

QStringList Decodifica(const QImage &imagen)
{
    const QImage gris = imagen.convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints h;
    h.setTryHarder(true);
    h.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::Code128);
    const auto r = ZXing::ReadBarcodes({gris.constBits(), gris.width(), gris.height(), ZXing::ImageFormat::Lum,
                                        int(gris.bytesPerLine())},
                                       h);
    QStringList l;
    for (const auto &x : r)
        l << QString::fromStdString(x.text());
    return l;
}

QString TextoPdf(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Todas las páginas de una forma con datos, como imágenes
QList<QImage> Paginas(const Plantilla &f, const FuenteDatos &datos, double dpi = 90)
{
    Informe inf;
    inf.ponForma(f);
    inf.ponDatos(&datos);
    QList<QImage> l;
    for (int i = 0; i < inf.numPaginas(); ++i)
        l << inf.imagenPagina(i, dpi);
    return l;
}

Plantilla Lee(const QString &ruta)
{
    Plantilla f;
    QString error;
    EXPECT_TRUE(LeeForma(ruta, f, error)) << error.toStdString();
    return f;
}

} // namespace

// ---------------------------------------------------------------- ida y vuelta

TEST(DisenadorIdaVuelta, CadaFormaDelProgramaGuardadaSinCambiosImprimeIgual)
{
    const QStringList formas = QDir(CarpetaFormatos()).entryList({QStringLiteral("*.fr3")}, QDir::Files);
    ASSERT_FALSE(formas.isEmpty()) << "No hay formas en " << CarpetaFormatos().toStdString();
    QTemporaryDir tmp;
    const DatosTabla datos = Articulos(35);
    for (const QString &nombre : formas) {
        SCOPED_TRACE(nombre.toStdString());
        const QString origen = CarpetaFormatos() + QLatin1Char('/') + nombre;
        DisenadorDocumento doc;
        QString error;
        ASSERT_TRUE(doc.abre(origen, error)) << error.toStdString();
        EXPECT_FALSE(doc.modificado());
        const QString destino = tmp.filePath(nombre);
        ASSERT_TRUE(doc.guarda(destino, error)) << error.toStdString();

        const Plantilla antes = Lee(origen), despues = Lee(destino);
        EXPECT_TRUE(antes == despues) << "el modelo cambió al guardar";
        const QList<QImage> a = Paginas(antes, datos), b = Paginas(despues, datos);
        ASSERT_EQ(a.size(), b.size());
        ASSERT_FALSE(a.isEmpty());
        for (int i = 0; i < a.size(); ++i)
            EXPECT_TRUE(a[i] == b[i]) << "la página " << i + 1 << " se dibuja distinto";

        // Los atributos que el motor no usa siguen en el archivo
        QFile f1(origen), f2(destino);
        ASSERT_TRUE(f1.open(QIODevice::ReadOnly) && f2.open(QIODevice::ReadOnly));
        const QString t1 = QString::fromUtf8(f1.readAll()), t2 = QString::fromUtf8(f2.readAll());
        for (const char *atr : {"ScriptText.Text", "Font.Charset", "ParentFont", "<Datasets>", "ReportOptions.CreateDate"})
            if (t1.contains(QLatin1String(atr))) {
                EXPECT_TRUE(t2.contains(QLatin1String(atr))) << atr;
            }
    }
}

TEST(DisenadorIdaVuelta, FormaAntiguaConservaGuionYObjetosDesconocidosTrasEditarla)
{
    // Forma de la instalación anterior: guion, página de datos, banda de grupo, objeto de
    // texto enriquecido, atributos y elementos hijos que el motor no entiende
    const QByteArray xml = R"(<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Version="4.7.9" ScriptLanguage="PascalScript" ScriptText.Text="procedure Memo1OnBeforePrint(Sender: TfrxComponent);&#13;&#10;begin&#13;&#10;  Memo1.Font.Color := clRed;&#13;&#10;end;&#13;&#10;begin&#13;&#10;end.">
  <TfrxDataPage Name="Data" Height="1000" Width="1000"/>
  <TfrxReportPage Name="Page1" PaperWidth="100" PaperHeight="50" PaperSize="256" LeftMargin="2" RightMargin="2" TopMargin="2" BottomMargin="2" HGuides.Text="10">
    <TfrxGroupHeader Name="GroupHeader1" Height="20" Top="0" Width="300" Condition="frxDBDataset.&#34;linea&#34;"/>
    <TfrxMasterData Name="MasterData1" Top="30" Width="360" Height="150" DataSet="frxDBDataset" DataSetName="frxDBDataset" Stretched="True">
      <TfrxMemoView Name="Memo1" Left="5" Top="5" Width="200" Height="20" OnBeforePrint="Memo1OnBeforePrint" Cursor="crHand" Text="[frxDBDataset.&#34;articulo&#34;]">
        <Highlight Font.Color="255" Condition="Value &#60; 0"/>
      </TfrxMemoView>
      <TfrxRichView Name="Rich1" Left="5" Top="40" Width="100" Height="30" RichEdit="7B5C727466317D"/>
    </TfrxMasterData>
  </TfrxReportPage>
</TfrxReport>
)";
    QTemporaryDir tmp;
    const QString ruta = tmp.filePath(QStringLiteral("Antigua.fr3"));
    {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
    }
    DisenadorDocumento doc;
    QString error;
    ASSERT_TRUE(doc.abre(ruta, error)) << error.toStdString();
    const int banda = 1;
    ASSERT_EQ(doc.pagina().bandas[banda].nombre, QStringLiteral("MasterData1"));
    doc.selecciona({banda, 0});
    doc.mueve(mm(2), mm(1));
    doc.cambiaSeleccion({}, [](Vista &v) { v.fuente.ponPuntos(12); });
    ASSERT_TRUE(doc.guarda(ruta, error)) << error.toStdString();

    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString t = QString::fromUtf8(f.readAll());
    for (const char *parte : {"Memo1OnBeforePrint(Sender: TfrxComponent)", "<TfrxDataPage", "<TfrxGroupHeader",
                              "Condition=\"frxDBDataset.&#34;linea&#34;\"", "<TfrxRichView", "RichEdit=\"7B5C727466317D\"",
                              "OnBeforePrint=\"Memo1OnBeforePrint\"", "Cursor=\"crHand\"", "<Highlight", "HGuides.Text=\"10\"",
                              "Stretched=\"True\""})
        EXPECT_TRUE(t.contains(QLatin1String(parte))) << parte;
    // Y el motor lee lo mismo que quedó en el diseñador
    EXPECT_TRUE(Lee(ruta) == doc.forma());
    const Vista &m = Lee(ruta).paginas[0].bandas[banda].vistas[0];
    EXPECT_EQ(m.izquierda, Longitud::deUnidades(5) + mm(2));
    EXPECT_DOUBLE_EQ(m.fuente.puntos(), 12.0);
}

// ---------------------------------------------------------------- hoja de etiquetas desde cero

TEST(DisenadorHoja, Etiquetas2x7ConNombrePrecioYEan13HastaElPdf)
{
    DisenadorDocumento doc;
    doc.nuevo();
    ASSERT_EQ(doc.pagina().bandas.size(), 1);
    EXPECT_TRUE(doc.pagina().vistas.isEmpty() && doc.pagina().bandas[0].vistas.isEmpty());
    const int b = 0;
    doc.ponPapel(PapelForma::Carta);
    doc.ponMargenes(mm(5), mm(12.7), mm(5), mm(12.7));
    doc.ponAltoBanda(b, mm(36));
    doc.ponColumnasBanda(b, 2, mm(101.6), mm(2.7));
    ASSERT_NE(doc.bandaEnDiseno(b), nullptr);
    EXPECT_EQ(doc.bandaEnDiseno(b)->etiquetas.size(), 13) << "la hoja tiene 2 x 7 etiquetas";

    doc.agregaEn(TipoVista::Memo, b, mm(3), mm(2), mm(95), mm(8));
    doc.cambiaSeleccion({}, [](Vista &v) {
        v.texto = QStringLiteral("[frxDBDataset.\"articulo\"]");
        v.fuente.ponPuntos(11);
        v.fuente.estilo = 1;
    });
    doc.agregaEn(TipoVista::Memo, b, mm(55), mm(13), mm(43), mm(12));
    doc.cambiaSeleccion({}, [](Vista &v) {
        v.texto = QStringLiteral("[frxDBDataset.\"precio\"]");
        PonFormatoNumero(v, FormatoNumero::Moneda);
        v.fuente.ponPuntos(18);
        v.alineaH = AlineaH::Derecha;
        v.ajustaLineas = false;
    });
    doc.agregaEn(TipoVista::CodigoBarras, b, mm(4), mm(11), mm(46), mm(22));
    doc.cambiaSeleccion({}, [](Vista &v) {
        v.tipoBarras = QStringLiteral("bcCodeEAN13");
        v.expresion = QStringLiteral("<frxDBDataset.\"clave\">");
        v.muestraTexto = true;
    });
    EXPECT_EQ(doc.pagina().bandas[b].vistas.size(), 3);

    QTemporaryDir tmp;
    const QString ruta = tmp.filePath(QStringLiteral("Hoja 2x7.fr3"));
    QString error;
    ASSERT_TRUE(doc.guarda(ruta, error)) << error.toStdString();
    EXPECT_TRUE(Lee(ruta) == doc.forma()) << "el motor lee otro modelo del que se guardó";

    // 16 artículos: una hoja llena y dos etiquetas en la segunda
    const DatosTabla datos = Articulos(16);
    Informe inf;
    ASSERT_TRUE(inf.carga(ruta)) << inf.error().toStdString();
    inf.ponDatos(&datos);
    ASSERT_EQ(inf.numPaginas(), 2);
    const QString pdf = tmp.filePath(QStringLiteral("hoja.pdf"));
    ASSERT_TRUE(inf.exportaPdf(pdf)) << inf.error().toStdString();
    const QString texto = TextoPdf(pdf);
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(texto.contains(datos.valor(i, 0).toString())) << i;
    }
    EXPECT_TRUE(texto.contains(QStringLiteral("$10.50")));
    EXPECT_TRUE(texto.contains(QStringLiteral("$1,529.25"))); // 10.5 + 15 * 101.25

    // Cada etiqueta de la primera hoja: su recorte lleva el código de su artículo
    const double dpi = 300;
    const QImage hoja = inf.imagenPagina(0, dpi);
    QList<QRectF> celdas = {doc.bandaEnDiseno(b)->rect()};
    celdas += doc.bandaEnDiseno(b)->etiquetas;
    ASSERT_EQ(celdas.size(), 14);
    QStringList leidas;
    for (const QRectF &c : celdas) {
        const QRect px = QRectF(c.topLeft() * dpi / 96, c.size() * dpi / 96).toAlignedRect();
        const QStringList l = Decodifica(hoja.copy(px));
        EXPECT_EQ(l.size(), 1);
        leidas += l;
    }
    QStringList esperadas;
    for (int i = 0; i < 14; ++i)
        esperadas << datos.valor(i, 1).toString();
    EXPECT_EQ(leidas, esperadas) << "fila por fila, de izquierda a derecha";
    EXPECT_EQ(Decodifica(inf.imagenPagina(1, dpi)).size(), 2);
}

// ---------------------------------------------------------------- deshacer

TEST(DisenadorDeshacer, CadaPasoVuelveExactamenteYRehacerLlegaAlFinal)
{
    DisenadorDocumento doc;
    QString error;
    ASSERT_TRUE(doc.abre(CarpetaFormatos() + QStringLiteral("/Anaquel 3x10 Carta.fr3"), error)) << error.toStdString();
    const QList<std::function<void()>> pasos = {
        [&] { doc.selecciona({0, 0}); doc.mueve(mm(1), mm(-1)); },
        [&] { doc.redimensiona(mm(2), mm(1)); },
        [&] { doc.cambiaSeleccion({}, [](Vista &v) { v.texto = QStringLiteral("Hola [frxDBDataset.\"clave\"]"); }); },
        [&] { doc.agregaEn(TipoVista::Figura, 0, mm(1), mm(1), mm(10), mm(5)); },
        [&] { doc.seleccionaVarias({{0, 0}, {0, 1}}); doc.alinea(Alineacion::Izquierdas); },
        [&] { doc.copia(); doc.pega(); },
        [&] { doc.alFondo(); },
        [&] { doc.elimina(); },
        [&] { doc.ponColumnasBanda(0, 2, mm(100), mm(3)); },
        [&] { doc.ponHorizontal(true); },
        [&] { doc.ponColumnasPagina(2, mm(120), mm(5)); },
        [&] { doc.ponPapel(PapelForma::Medida, mm(100), mm(150)); },
    };
    QList<Plantilla> estados = {doc.forma()};
    for (int i = 0; i < pasos.size(); ++i) {
        pasos[i]();
        ASSERT_FALSE(doc.forma() == estados.last()) << "el paso " << i << " no cambió nada";
        estados << doc.forma();
        EXPECT_EQ(doc.pasosDeshacer(), i + 1) << "cada orden es un paso";
    }
    for (int i = int(pasos.size()) - 1; i >= 0; --i) {
        doc.deshacer();
        EXPECT_TRUE(doc.forma() == estados[i]) << "deshacer el paso " << i;
    }
    EXPECT_FALSE(doc.puedeDeshacer());
    for (int i = 1; i <= pasos.size(); ++i) {
        doc.rehacer();
        EXPECT_TRUE(doc.forma() == estados[i]) << "rehacer el paso " << i;
    }
    EXPECT_FALSE(doc.puedeRehacer());
    // Un cambio nuevo tras deshacer borra lo que se podía rehacer
    doc.deshacer();
    doc.selecciona({0, 0});
    doc.mueve(mm(1), Longitud());
    EXPECT_FALSE(doc.puedeRehacer());
}

TEST(DisenadorDeshacer, ArrastreYEscrituraSonUnSoloPaso)
{
    DisenadorDocumento doc;
    const RefVista r = doc.agregaEn(TipoVista::Memo, 0, mm(10), mm(5));
    const Plantilla inicio = doc.forma();
    const int pasos = doc.pasosDeshacer();
    doc.iniciaGesto();
    for (int i = 1; i <= 20; ++i)
        doc.arrastra(mm(i * 0.7), mm(i * 0.3));
    doc.terminaGesto();
    EXPECT_EQ(doc.pasosDeshacer(), pasos + 1);
    EXPECT_EQ(doc.vista(r)->izquierda, mm(24)); // 10 + 14 en la rejilla de 1 mm
    EXPECT_EQ(doc.vista(r)->arriba, mm(11));
    doc.deshacer();
    EXPECT_TRUE(doc.forma() == inicio);

    // Un gesto que no mueve nada no deja paso
    doc.iniciaGesto();
    doc.arrastra(mm(0.2), mm(0.1));
    doc.terminaGesto();
    EXPECT_EQ(doc.pasosDeshacer(), pasos);

    // Escribir letra por letra en el panel: un paso
    for (const QString &t : {QStringLiteral("P"), QStringLiteral("Pr"), QStringLiteral("Pre")})
        doc.cambiaSeleccion(QStringLiteral("texto"), [&](Vista &v) { v.texto = t; });
    EXPECT_EQ(doc.pasosDeshacer(), pasos + 1);
    doc.deshacer();
    EXPECT_EQ(doc.vista(r)->texto, QStringLiteral("Texto"));
}

// ---------------------------------------------------------------- órdenes

TEST(DisenadorOrdenes, RejillaAlineacionOrdenCopiaYSeleccionPorMarco)
{
    DisenadorDocumento doc;
    doc.ponPasoRejilla(mm(2.5));
    // Lo nuevo cae en la rejilla
    const RefVista a = doc.agregaEn(TipoVista::Memo, 0, mm(11.2), mm(3.9), mm(30.1), mm(6.2));
    EXPECT_EQ(doc.vista(a)->izquierda, mm(10));
    EXPECT_EQ(doc.vista(a)->arriba, mm(5));
    EXPECT_EQ(doc.vista(a)->ancho, mm(30));
    doc.ponAjustaRejilla(false);
    const RefVista b = doc.agregaEn(TipoVista::CodigoBarras, 0, mm(40.3), mm(12.1), mm(20), mm(10));
    const RefVista c = doc.agregaEn(TipoVista::Figura, 0, mm(3), mm(14), mm(10), mm(4));
    EXPECT_EQ(doc.vista(b)->izquierda, mm(40.3));

    // Alinear con la primera elegida como guía
    struct Caso
    {
        Alineacion al;
        std::function<void(const Vista &guia, const Vista &otra)> revisa;
    };
    const QList<Caso> casos = {
        {Alineacion::Izquierdas, [](const Vista &g, const Vista &o) { EXPECT_EQ(o.izquierda, g.izquierda); }},
        {Alineacion::Derechas, [](const Vista &g, const Vista &o) { EXPECT_EQ(o.izquierda + o.ancho, g.izquierda + g.ancho); }},
        {Alineacion::Arriba, [](const Vista &g, const Vista &o) { EXPECT_EQ(o.arriba, g.arriba); }},
        {Alineacion::Abajo, [](const Vista &g, const Vista &o) { EXPECT_EQ(o.arriba + o.alto, g.arriba + g.alto); }},
        {Alineacion::CentrosH, [](const Vista &g, const Vista &o) {
             EXPECT_LE(std::abs(((o.izquierda * qint64(2) + o.ancho) - (g.izquierda * qint64(2) + g.ancho)).emu()), 1);
         }},
        {Alineacion::MismoAncho, [](const Vista &g, const Vista &o) { EXPECT_EQ(o.ancho, g.ancho); }},
        {Alineacion::MismoAlto, [](const Vista &g, const Vista &o) { EXPECT_EQ(o.alto, g.alto); }},
    };
    for (const Caso &k : casos) {
        doc.seleccionaVarias({a, b, c});
        doc.alinea(k.al);
        k.revisa(*doc.vista(a), *doc.vista(b));
        k.revisa(*doc.vista(a), *doc.vista(c));
        doc.deshacer();
    }

    // Al frente y al fondo cambian el orden de dibujo
    auto nombres = [&] {
        QStringList l;
        for (const Vista &v : doc.pagina().bandas[0].vistas)
            l << v.nombre;
        return l;
    };
    EXPECT_EQ(nombres(), QStringList({"Memo1", "BarCode1", "Shape1"}));
    doc.selecciona(a);
    doc.alFrente();
    EXPECT_EQ(nombres(), QStringList({"BarCode1", "Shape1", "Memo1"}));
    EXPECT_EQ(doc.vista(doc.seleccion().first())->nombre, QStringLiteral("Memo1"));
    doc.selecciona({0, 1});
    doc.alFondo();
    EXPECT_EQ(nombres(), QStringList({"Shape1", "BarCode1", "Memo1"}));

    // Copiar y pegar: nombres nuevos, un paso de rejilla más allá, y quedan elegidas
    doc.seleccionaVarias({{0, 1}, {0, 2}});
    doc.copia();
    doc.pega();
    EXPECT_EQ(nombres(), QStringList({"Shape1", "BarCode1", "Memo1", "BarCode2", "Memo2"}));
    ASSERT_EQ(doc.seleccion().size(), 2);
    EXPECT_EQ(doc.vista({0, 3})->izquierda, doc.vista({0, 1})->izquierda + doc.pasoRejilla());
    EXPECT_EQ(doc.vista({0, 4})->texto, doc.vista({0, 2})->texto);

    // Marco de selección: lo que toca el rectángulo
    const QRectF r = doc.rectVista({0, 0}).united(doc.rectVista({0, 1}));
    const QList<RefVista> en = doc.vistasEn(r.adjusted(1, 1, -1, -1));
    EXPECT_TRUE(en.contains(RefVista{0, 0}) && en.contains(RefVista{0, 1}));
    // La vista de arriba (la última dibujada) es la que toma el ratón
    EXPECT_EQ(doc.vistaEn(doc.rectVista({0, 4}).center()), (RefVista{0, 4}));

    // Eliminar varias de una vez
    doc.seleccionaVarias({{0, 0}, {0, 3}});
    doc.elimina();
    EXPECT_EQ(nombres(), QStringList({"BarCode1", "Memo1", "Memo2"}));
    EXPECT_TRUE(doc.seleccion().isEmpty());
}

TEST(DisenadorOrdenes, PapelOrientacionColumnasYFormatos)
{
    DisenadorDocumento doc;
    EXPECT_EQ(doc.papel(), PapelForma::Carta);
    doc.ponPapel(PapelForma::A4);
    EXPECT_EQ(doc.pagina().tamanoPapel, 9);
    EXPECT_EQ(doc.pagina().anchoPapel, mm(210));
    doc.ponHorizontal(true);
    EXPECT_EQ(doc.pagina().anchoPapel, mm(297));
    EXPECT_EQ(doc.pagina().altoPapel, mm(210));
    doc.ponPapel(PapelForma::Carta); // sigue horizontal
    EXPECT_EQ(doc.pagina().anchoPapel, mm(279.4));
    doc.ponHorizontal(false);
    doc.ponPapel(PapelForma::Medida, mm(50), mm(25));
    EXPECT_EQ(doc.papel(), PapelForma::Medida);
    EXPECT_EQ(doc.pagina().tamanoPapel, 256);

    doc.ponPapel(PapelForma::Carta);
    doc.ponMargenes(mm(5), mm(5), mm(5), mm(5));
    doc.ponAltoBanda(0, mm(50));
    doc.ponColumnasPagina(3, mm(65), mm(3));
    EXPECT_EQ(doc.pagina().posicionesColumnas, QList<Longitud>({mm(0), mm(68), mm(136)}));
    EXPECT_EQ(doc.espacioColumnasPagina(), mm(3));
    // 3 columnas de página x 5 filas de 50 mm en 269.4 mm útiles
    EXPECT_EQ(doc.bandaEnDiseno(0)->etiquetas.size(), 14);
    doc.ponColumnasPagina(1, mm(65), mm(3));
    EXPECT_EQ(doc.pagina().columnas, 0);
    EXPECT_TRUE(doc.pagina().posicionesColumnas.isEmpty());

    Vista v;
    for (FormatoNumero f : {FormatoNumero::Moneda, FormatoNumero::EnteroMiles, FormatoNumero::Ninguno}) {
        PonFormatoNumero(v, f);
        EXPECT_EQ(FormatoDeVista(v), f);
    }
    v.formato = {QStringLiteral("fkNumeric"), QStringLiteral("###,##0"), {}, {}};
    EXPECT_EQ(FormatoDeVista(v), FormatoNumero::EnteroMiles);
    v.formato = {QStringLiteral("fkNumeric"), QStringLiteral("%2.3f"), {}, {}};
    EXPECT_EQ(FormatoDeVista(v), FormatoNumero::Otro);
}

TEST(DisenadorOrdenes, ImagenDeArchivoQuedaDentroDeLaForma)
{
    QTemporaryDir tmp;
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    const QString png = tmp.filePath(QStringLiteral("logo.png"));
    ASSERT_TRUE(img.save(png));
    DisenadorDocumento doc;
    doc.agregaEn(TipoVista::Imagen, 0, mm(2), mm(2), mm(20), mm(10));
    QString error;
    ASSERT_TRUE(doc.ponImagenDeArchivo(png, error)) << error.toStdString();
    EXPECT_FALSE(doc.ponImagenDeArchivo(tmp.filePath(QStringLiteral("no.png")), error));
    EXPECT_FALSE(error.isEmpty());
    const QString ruta = tmp.filePath(QStringLiteral("logo.fr3"));
    ASSERT_TRUE(doc.guarda(ruta, error));
    QFile::remove(png);
    const Plantilla f = Lee(ruta);
    const QImage leida = QImage::fromData(f.paginas[0].bandas[0].vistas[0].bytesImagen());
    ASSERT_FALSE(leida.isNull());
    EXPECT_EQ(leida.size(), img.size());
    EXPECT_EQ(leida.pixelColor(5, 5), QColor(200, 30, 30));
    // Y se imprime
    DatosTabla datos = Articulos(1);
    const QImage pagina = Paginas(f, datos, 96).value(0);
    const QPointF o = doc.origenUnidades(0);
    EXPECT_EQ(pagina.pixelColor(QPoint(int(o.x() + mm(5).unidades()), int(o.y() + mm(5).unidades()))), QColor(200, 30, 30));
}

TEST(DisenadorOrdenes, CadaTipoDeCodigoDelPanelSeDibujaConSuMuestra)
{
    const auto tipos = TiposDeBarras();
    EXPECT_GE(tipos.size(), 15);
    for (const auto &t : tipos) {
        const SimboloBarras s = CodificaBarras(t.first, MuestraBarras(t.first), true, false);
        EXPECT_TRUE(s.valido) << t.first.toStdString() << ": " << s.error.toStdString();
    }
}

TEST(DisenadorOrdenes, BandasNuevasSeAcomodanComoSeImprimen)
{
    DisenadorDocumento doc;
    doc.ponMargenes(mm(10), mm(10), mm(10), mm(10));
    const Longitud yDatos = doc.bandaEnDiseno(0)->y;
    EXPECT_EQ(yDatos, mm(10));
    const int enc = doc.agregaBanda(TipoBanda::EncabezadoPagina);
    const int pie = doc.agregaBanda(TipoBanda::PiePagina);
    ASSERT_EQ(enc, 1);
    ASSERT_EQ(pie, 2);
    doc.ponAltoBanda(enc, mm(15));
    // El encabezado arriba, los datos debajo, el pie al fondo del área útil
    EXPECT_EQ(doc.bandaEnDiseno(enc)->y, mm(10));
    EXPECT_EQ(doc.bandaEnDiseno(0)->y, mm(25));
    EXPECT_EQ(doc.bandaEnDiseno(pie)->y + doc.bandaEnDiseno(pie)->alto, doc.pagina().altoPapel - mm(10));
    // Un objeto en el pie queda en su sitio de la página
    const RefVista r = doc.agregaEn(TipoVista::Memo, pie, mm(1), mm(1));
    EXPECT_EQ(doc.bandaEn(doc.rectVista(r).center()), pie);
    EXPECT_EQ(doc.vistaEn(doc.rectVista(r).center()), r);
    const Plantilla conPie = doc.forma();
    doc.quitaBanda(pie);
    EXPECT_EQ(doc.pagina().bandas.size(), 2);
    EXPECT_TRUE(doc.seleccion().isEmpty());
    doc.deshacer();
    EXPECT_TRUE(doc.forma() == conPie);
}

TEST(DisenadorOrdenes, LoCopiadoSePegaEnOtraFormaYLasBandasSiguenAlAreaUtil)
{
    DisenadorDocumento a;
    a.agregaEn(TipoVista::Memo, 0, mm(2), mm(2));
    a.cambiaSeleccion({}, [](Vista &v) { v.texto = QStringLiteral("[frxDBDataset.\"articulo\"]"); });
    a.copia();
    DisenadorDocumento b;
    QString error;
    ASSERT_TRUE(b.abre(CarpetaFormatos() + QStringLiteral("/Termica 50x25.fr3"), error)) << error.toStdString();
    const int n = int(b.pagina().bandas[0].vistas.size());
    b.pega();
    ASSERT_EQ(b.pagina().bandas[0].vistas.size(), n + 1);
    EXPECT_EQ(b.pagina().bandas[0].vistas.last().texto, QStringLiteral("[frxDBDataset.\"articulo\"]"));

    DisenadorDocumento c; // carta con márgenes de 10 mm
    EXPECT_EQ(c.pagina().bandas[0].ancho, mm(195.9));
    c.ponMargenes(mm(5), mm(10), mm(5), mm(10));
    EXPECT_EQ(c.pagina().bandas[0].ancho, mm(205.9));
    c.ponHorizontal(true);
    EXPECT_EQ(c.pagina().bandas[0].ancho, mm(269.4));
    c.ponPapel(PapelForma::A4);
    EXPECT_EQ(c.pagina().bandas[0].ancho, mm(287));
}
