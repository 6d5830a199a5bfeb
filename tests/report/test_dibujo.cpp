// Dibujo de formas: PDF con texto buscable, códigos que se leen, herramienta de línea de órdenes
#include "report/ArchivoForma.h"
#include "report/CodigoBarras.h"
#include "report/Informe.h"
#include "report/VistaPrevia.h"

#include "common/Dialogos.h"
#include "db/MemTable.h"

#include "Entorno.h"
#include "ImprimeQt.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>

#include "Codigos.h"

#include <gtest/gtest.h>

namespace {

QString Forma(const QString &nombre) { return Entorno::fuentes() + "/Formatos/" + nombre + ".fr3"; }

QString Ean13(const QString &doce)
{
    int s = 0;
    for (int i = 0; i < 12; ++i)
        s += doce[i].digitValue() * (i % 2 ? 3 : 1);
    return doce + QString::number((10 - s % 10) % 10);
}

// Tabla con los campos de la tabla de impresión
std::unique_ptr<MemTable> TablaImpresion(int filas)
{
    auto t = std::make_unique<MemTable>("mArtImp");
    t->agregaCampo("clave", TipoCampo::Texto, 30);
    t->agregaCampo("articulo", TipoCampo::Texto, 100);
    t->agregaCampo("cantidad", TipoCampo::Entero);
    t->agregaCampo("Consecutivo", TipoCampo::AutoIncremento);
    t->agregaCampo("precio", TipoCampo::Real);
    t->agregaCampo("Precio2", TipoCampo::Real);
    t->agregaCampo("Nota_General", TipoCampo::Texto, 50);
    t->abre();
    const QStringList nombres = {"Martillo de uña", "Pinza de electricista", "Cuaderno profesional", "Lápiz adhesivo",
                                 "Taladro 1/2\"", "Cinta métrica 5 m", "Tijeras escolares"};
    for (int i = 0; i < filas; ++i) {
        t->agrega();
        t->asigna("clave", Ean13(QStringLiteral("7501%1").arg(i * 7919 % 100000000, 8, 10, QLatin1Char('0'))));
        t->asigna("articulo", QStringLiteral("%1 N%2").arg(nombres[i % nombres.size()]).arg(i));
        t->asigna("cantidad", 1);
        t->asigna("precio", 10.5 + i * 1.25);
        t->asigna("Precio2", i % 2 ? 9.0 + i : 0.0);
        t->asigna("Nota_General", QStringLiteral("Oferta de temporada"));
        t->graba();
    }
    return t;
}

QStringList Decodifica(const QImage &imagen, ZXing::BarcodeFormats formatos = {})
{
    const QString leido = LeeCodigo(imagen, formatos);
    return leido.isEmpty() ? QStringList() : QStringList{leido};
}

QString Ejecuta(const QString &programa, const QStringList &args, int *codigo = nullptr, QString *errores = nullptr)
{
    QProcess p;
    p.start(programa, args);
    EXPECT_TRUE(p.waitForFinished(120000)) << programa.toStdString();
    if (codigo)
        *codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (errores)
        *errores = QString::fromLocal8Bit(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Texto del PDF, sin ligaduras ("ﬁ" -> "fi")
QString TextoPdf(const QString &ruta)
{
    return Ejecuta("pdftotext", {"-layout", ruta, "-"}).replace(QChar(0xFB01), "fi").replace(QChar(0xFB02), "fl");
}

int PaginasPdf(const QString &ruta)
{
    const QString info = Ejecuta("pdfinfo", {ruta});
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString Herramienta() { return QCoreApplication::applicationDirPath() + "/etiquetas-pdf"; }

} // namespace

TEST(DibujoForma, HojaDeAnaquelAPdfConTextoYCodigosQueSeLeen)
{
    const int n = 35;
    auto tabla = TablaImpresion(n);
    DatosMemTable datos(*tabla);
    Informe inf;
    ASSERT_TRUE(inf.carga(Forma("Anaquel 3x10 Carta"))) << inf.error().toStdString();
    inf.ponDatos(&datos);
    EXPECT_EQ(inf.numPaginas(), 2);

    const QString pdf = Entorno::rutaNueva("anaquel", ".pdf");
    ASSERT_TRUE(inf.exportaPdf(pdf)) << inf.error().toStdString();
    EXPECT_EQ(PaginasPdf(pdf), 2);
    const QString texto = TextoPdf(pdf);
    for (int i = 0; i < n; ++i) {
        tabla->irAFila(i);
        // El nombre puede partirse en dos renglones: se busca su última palabra y el precio
        EXPECT_TRUE(texto.contains(QStringLiteral("N%1").arg(i))) << i;
        const QString precio = QStringLiteral("$%1").arg(tabla->real("precio"), 0, 'f', 2);
        EXPECT_TRUE(texto.contains(precio)) << precio.toStdString();
    }
    EXPECT_TRUE(texto.contains("Martillo de uña")) << texto.left(400).toStdString();
    EXPECT_TRUE(inf.avisos().isEmpty()) << inf.avisos().join('\n').toStdString();

    // Cada etiqueta recortada de la página dibujada a 300 ppp da su clave
    const double dpi = 300;
    int leidos = 0;
    for (int pagina = 0; pagina < inf.numPaginas(); ++pagina) {
        const QImage img = inf.imagenPagina(pagina, dpi);
        ASSERT_FALSE(img.isNull());
        for (const BandaColocada &b : inf.composicion().paginas[pagina].bandas) {
            const QRect r(int(b.x.pixeles(dpi)), int(b.y.pixeles(dpi)), int(b.ancho.pixeles(dpi)), int(b.alto.pixeles(dpi)));
            const QStringList leido = Decodifica(img.copy(r), ZXing::BarcodeFormat::Code128);
            ASSERT_EQ(leido.size(), 1) << "etiqueta " << b.fila;
            EXPECT_EQ(leido[0], datos.valor(b.fila, datos.indiceCampo("clave")).toString());
            ++leidos;
        }
    }
    EXPECT_EQ(leidos, n);
    QFile::remove(pdf);
}

TEST(DibujoForma, DosPreciosConNotaYEan13)
{
    auto tabla = TablaImpresion(4);
    DatosMemTable datos(*tabla);
    Informe inf;
    ASSERT_TRUE(inf.carga(Forma("Dos Precios")));
    inf.ponDatos(&datos);
    const QString pdf = Entorno::rutaNueva("dosprecios", ".pdf");
    ASSERT_TRUE(inf.exportaPdf(pdf));
    const QString texto = TextoPdf(pdf);
    EXPECT_TRUE(texto.contains("$10.50"));
    EXPECT_TRUE(texto.contains("$10.00")); // Precio2 de la fila 1
    EXPECT_EQ(texto.count("Oferta de temporada"), 4);
    EXPECT_EQ(texto.count("Mayoreo:"), 4);
    // HideZeros: las filas pares no tienen precio 2
    EXPECT_FALSE(texto.contains("$0.00"));
    QStringList claves;
    for (int i = 0; i < 4; ++i)
        claves << datos.valor(i, 0).toString();
    const QImage img = inf.imagenPagina(0, 300);
    QStringList leidas;
    for (const BandaColocada &b : inf.composicion().paginas[0].bandas)
        leidas += Decodifica(RecorteEtiqueta(img, b, 300), ZXing::BarcodeFormat::EAN13);
    EXPECT_EQ(leidas, claves);
    QFile::remove(pdf);
}

TEST(DibujoForma, CadaTipoDeCodigoSeLee)
{
    struct Caso
    {
        const char *tipo;
        const char *datos;
        ZXing::BarcodeFormat formato;
        const char *leido;
        int rotacion = 0;
    };
    const Caso casos[] = {
        {"bcCode128", "ABC-123 xyz", ZXing::BarcodeFormat::Code128, "ABC-123 xyz"},
        {"bcCode128A", "ABC123", ZXing::BarcodeFormat::Code128, "ABC123"},
        {"bcCode128B", "abc123", ZXing::BarcodeFormat::Code128, "abc123"},
        {"bcCode128C", "12345678", ZXing::BarcodeFormat::Code128, "12345678"},
        {"bcCode128C", "1234567", ZXing::BarcodeFormat::Code128, "01234567"},
        {"bcCodeEAN13", "750100000000", ZXing::BarcodeFormat::EAN13, "7501000000005"},
        {"bcCodeEAN13", "7501000000005", ZXing::BarcodeFormat::EAN13, "7501000000005", 90},
        {"bcCodeEAN8", "1234567", ZXing::BarcodeFormat::EAN8, "12345670"},
        {"bcCodeUPC_A", "03600029145", ZXing::BarcodeFormat::UPCA, "036000291452"},
        {"bcCode39", "abc-123", ZXing::BarcodeFormat::Code39, "ABC-123"},
        {"bcCode93", "ABC-123", ZXing::BarcodeFormat::Code93, "ABC-123"},
        {"bcCodeEAN128", "(01)07501000000005", ZXing::BarcodeFormat::Code128, "0107501000000005"},
        {"bcCodeQR", "https://tienda.mx/artículo?c=7501", ZXing::BarcodeFormat::QRCode, "https://tienda.mx/artículo?c=7501"},
        {"bcCode128", "7501000000005", ZXing::BarcodeFormat::Code128, "7501000000005", 180},
    };
    for (const Caso &c : casos) {
        Plantilla p;
        Pagina pg;
        pg.anchoPapel = Longitud::deMm(80);
        pg.altoPapel = Longitud::deMm(50);
        pg.margenIzquierdo = pg.margenDerecho = pg.margenSuperior = pg.margenInferior = Longitud::deMm(5);
        Banda b;
        b.filas = 1;
        b.alto = Longitud::deMm(40);
        Vista v;
        v.tipo = QString(c.tipo) == "bcCodeQR" ? TipoVista::Codigo2D : TipoVista::CodigoBarras;
        v.clase = v.tipo == TipoVista::Codigo2D ? "TfrxBarcode2DView" : "TfrxBarCodeView";
        v.nombre = "Codigo";
        v.tipoBarras = c.tipo;
        v.texto = c.datos;
        v.rotacion = c.rotacion;
        v.izquierda = Longitud::deMm(5);
        v.arriba = Longitud::deMm(5);
        v.ancho = Longitud::deMm(c.rotacion == 90 ? 25 : 55);
        v.alto = Longitud::deMm(c.rotacion == 90 ? 35 : 25);
        b.vistas << v;
        pg.bandas << b;
        p.paginas << pg;
        Informe inf;
        inf.ponForma(p);
        const QStringList leido = Decodifica(inf.imagenPagina(0, 300), c.formato);
        EXPECT_EQ(leido, QStringList{QString::fromUtf8(c.leido)}) << c.tipo << " " << c.datos << " " << inf.avisos().join(' ').toStdString();
    }
    // Datos que el tipo no admite: aviso, sin caída
    EXPECT_FALSE(CodificaBarras("bcCodeEAN13", "ABC", true, false).valido);
    EXPECT_FALSE(CodificaBarras("bcNoExiste", "1", true, false).valido);
}

TEST(DibujoForma, FormaQueNoExisteNoImprimeNada)
{
    Informe inf;
    EXPECT_FALSE(inf.carga(Forma("Ya no existe")));
    EXPECT_TRUE(inf.error().startsWith("No se encontró la forma ")) << inf.error().toStdString();
    EXPECT_TRUE(inf.vacio());
    EXPECT_EQ(inf.numPaginas(), 0);
}

TEST(DibujoForma, VistaPreviaConPaginas)
{
    auto tabla = TablaImpresion(31);
    DatosMemTable datos(*tabla);
    Informe inf;
    ASSERT_TRUE(inf.carga(Forma("Anaquel 3x10 Carta")));
    inf.ponDatos(&datos);
    GuionDialogos guion;
    int paginas = -1;
    guion.agrega<VistaPrevia>([&](VistaPrevia &v) {
        paginas = v.vista()->pageCount();
        v.accionAcercar()->trigger();
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(inf.vistaPrevia(), int(QDialog::Accepted));
    EXPECT_EQ(guion.ejecutados(), 1);
    EXPECT_TRUE(guion.errores().isEmpty());
    EXPECT_EQ(paginas, 2);
}

TEST(HerramientaPdf, FormaYCsvAPdfSinVentanas)
{
    ASSERT_TRUE(QFile::exists(Herramienta())) << "falta compilar etiquetas-pdf";
    const QString csv = Entorno::rutaNueva("datos", ".csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Windows-1252, punto y coma, comillas con comillas dobles y un salto dentro
        f.write(QByteArray("clave;articulo;precio;Precio2;Nota_General\r\n"
                           "7501000000005;\"Tornillo \"\"pija\"\" 1\xBD\";12.5;0;\"Nota\r\nlarga\"\r\n"
                           "7501000000012;Cart\xF3n;1234.5;1000;\r\n"));
    }
    const QString pdf = Entorno::rutaNueva("herramienta", ".pdf");
    int codigo = -1;
    QString err;
    const QString salida = Ejecuta(Herramienta(), {Forma("Termica 50x25"), csv, pdf}, &codigo, &err);
    EXPECT_EQ(codigo, 0) << err.toStdString();
    EXPECT_TRUE(salida.contains("2 páginas, 2 etiquetas")) << salida.toStdString();
    EXPECT_EQ(PaginasPdf(pdf), 2);
    const QString texto = TextoPdf(pdf);
    EXPECT_TRUE(texto.contains("Tornillo \"pija\" 1½")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("Cartón"));
    EXPECT_TRUE(texto.contains("$1,234.50"));

    // Errores: mensaje en español y código distinto de cero
    struct Caso
    {
        QStringList args;
        const char *mensaje;
    };
    const QString rota = Entorno::rutaNueva("rota", ".fr3");
    {
        QFile f(rota);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<TfrxReport><TfrxReportPage");
    }
    const Caso casos[] = {
        {{Forma("No existe"), csv, pdf}, "No se encontró la forma"},
        {{rota, csv, pdf}, "no se puede leer"},
        {{Forma("Termica 50x25"), "/no/hay/datos.csv", pdf}, "No se pudo abrir el archivo de datos"},
        {{Forma("Termica 50x25"), csv, "/no/hay/carpeta/x.pdf"}, "No se pudo"},
        {{Forma("Termica 50x25")}, "Uso:"},
    };
    for (const Caso &c : casos) {
        Ejecuta(Herramienta(), c.args, &codigo, &err);
        EXPECT_NE(codigo, 0) << c.args.join(' ').toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.mensaje))) << err.toStdString();
    }
    // Un campo que no existe es un aviso, no un error
    const QString csv2 = Entorno::rutaNueva("datos", ".csv");
    {
        QFile f(csv2);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("clave,nombre\n7501000000005,Sin precio\n");
    }
    Ejecuta(Herramienta(), {Forma("Termica 50x25"), csv2, pdf}, &codigo, &err);
    EXPECT_EQ(codigo, 0);
    EXPECT_TRUE(err.contains("\"articulo\"")) << err.toStdString();
    for (const QString &f : {csv, csv2, pdf, rota})
        QFile::remove(f);
}

TEST(DibujoForma, CalibracionDesplazaLaPagina)
{
    auto tabla = TablaImpresion(3);
    DatosMemTable datos(*tabla);
    Informe inf;
    ASSERT_TRUE(inf.carga(Forma("Anaquel 3x10 Carta")));
    inf.ponDatos(&datos);
    // Primera columna y renglón con tinta
    auto borde = [](const QImage &img) {
        QPoint r(img.width(), img.height());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 128) {
                    r.setX(std::min(r.x(), x));
                    r.setY(std::min(r.y(), y));
                }
        return r;
    };
    const QPoint antes = borde(inf.imagenPagina(0, 100));
    inf.ponCalibracion(Longitud::deMm(10), Longitud::deMm(-5));
    const QPoint despues = borde(inf.imagenPagina(0, 100));
    EXPECT_NEAR(despues.x() - antes.x(), 39.4, 2); // 10 mm a 100 ppp
    EXPECT_NEAR(despues.y() - antes.y(), -19.7, 2);
}
