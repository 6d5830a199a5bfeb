// Impresión a una impresora por nombre, sin diálogo, a través de CUPS (impresora PDF de pruebas)
#include "report/Informe.h"

#include "Entorno.h"
#include "ImprimeQt.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QThread>

#include "Codigos.h"

#include <gtest/gtest.h>

namespace {

const QString kImpresora = QStringLiteral("EtiquetasPDF");

// Carpetas donde cups-pdf deja los archivos
QStringList CarpetasCupsPdf()
{
    const QString usuario = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
    return {QDir::homePath() + "/PDF", "/var/spool/cups-pdf/" + usuario, "/var/spool/cups-pdf/ANONYMOUS"};
}

QString EsperaPdf(const QString &marca, int segundos)
{
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < segundos * 1000) {
        for (const QString &c : CarpetasCupsPdf())
            for (const QFileInfo &f : QDir(c).entryInfoList({"*" + marca + "*.pdf"}, QDir::Files))
                if (f.size() > 0) {
                    // Que cups-pdf termine de escribirlo
                    QThread::msleep(500);
                    return f.absoluteFilePath();
                }
        QThread::msleep(200);
    }
    return {};
}

} // namespace

TEST(ImpresoraPdf, ImprimeEnLaImpresoraPorNombreYSaleUnPdf)
{
    if (QPrinterInfo::printerInfo(kImpresora).isNull())
        GTEST_SKIP() << "No está la impresora EtiquetasPDF (scripts/impresora_pdf.sh la crea)";
    DatosTabla datos({"clave", "articulo", "precio"});
    datos.agregaFila({"7501000000005", QString::fromUtf8("Escuadra de aluminio"), 25.5});
    datos.agregaFila({"7501000000012", QString::fromUtf8("Compás escolar"), 1234.5});
    Informe inf;
    ASSERT_TRUE(inf.carga(Entorno::fuentes() + "/Formatos/Anaquel 3x10 Carta.fr3"));
    inf.ponDatos(&datos);
    const QString marca = QStringLiteral("prueba%1").arg(QDateTime::currentMSecsSinceEpoch());
    inf.ponTitulo(marca);
    ASSERT_TRUE(inf.imprime(kImpresora)) << inf.error().toStdString();

    const QString pdf = EsperaPdf(marca, 60);
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf no dejó el archivo en " << CarpetasCupsPdf().join(", ").toStdString();
    // cups-pdf vuelve a escribir las fuentes sin su tabla de texto: se comprueba lo impreso
    // leyendo los códigos de la página rasterizada en el lugar de cada etiqueta
    const QString png = Entorno::rutaNueva("impreso", "");
    QProcess p;
    p.start("pdftoppm", {"-r", "300", "-f", "1", "-l", "1", "-singlefile", "-png", pdf, png});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QImage pagina(png + ".png");
    ASSERT_FALSE(pagina.isNull());
    EXPECT_NEAR(pagina.width(), 2550, 3); // carta a 300 ppp
    const auto &bandas = inf.composicion().paginas[0].bandas;
    ASSERT_EQ(bandas.size(), 2);
    for (const BandaColocada &b : bandas) {
        const QString leido = LeeCodigo(RecorteEtiqueta(pagina, b, 300), ZXing::BarcodeFormat::Code128);
        EXPECT_FALSE(leido.isEmpty()) << "etiqueta " << b.fila;
        EXPECT_EQ(leido, datos.valor(b.fila, 0).toString());
    }
    QFile::remove(png + ".png");
    QFile::remove(pdf);
}

TEST(ImpresoraPdf, ImpresoraQueNoExisteDaError)
{
    DatosTabla datos({"clave"});
    Informe inf;
    ASSERT_TRUE(inf.carga(Entorno::fuentes() + "/Formatos/Termica 50x25.fr3"));
    inf.ponDatos(&datos);
    EXPECT_FALSE(inf.imprime("NoHayTalImpresora"));
    EXPECT_EQ(inf.error(), "No existe la impresora \"NoHayTalImpresora\".");
}
