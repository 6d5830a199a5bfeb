// Un lote real de la empresa de demostración impreso con una forma de Formatos/
#include "report/Informe.h"

#include "common/FormatoNumero.h"
#include "db/MemTable.h"
#include "db/fbConexion.h"
#include "db/fbConsulta.h"
#include "db/fbTransaccion.h"

#include "Entorno.h"
#include "ErpPrueba.h"
#include "ImprimeQt.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include "Codigos.h"

#include <gtest/gtest.h>

TEST(LoteDemo, HojaDeAnaquelConArticulosDeLaEmpresaDeDemostracion)
{
    const ErpPrueba::Erp erp = ErpPrueba::crea();
    ASSERT_TRUE(erp.ok) << erp.error.toStdString();
    Conexion c(erp.empresaBd(), Entorno::usuario(), Entorno::clave(), QStringLiteral("USUARIO_MICROSIP"));
    c.conecta();

    // Tabla con los campos de la tabla de impresión, una fila por etiqueta
    MemTable imp("mArtImp");
    imp.agregaCampo("clave", TipoCampo::Texto, 30);
    imp.agregaCampo("articulo", TipoCampo::Texto, 100);
    imp.agregaCampo("cantidad", TipoCampo::Entero);
    imp.agregaCampo("precio", TipoCampo::Real);
    imp.agregaCampo("Nota_General", TipoCampo::Texto, 50);
    imp.abre();
    {
        Transaccion t(c);
        Consulta q(c, t);
        q.agrega("SELECT FIRST 31 A.NOMBRE,");
        q.agrega("  (SELECT FIRST 1 K.CLAVE_ARTICULO FROM CLAVES_ARTICULOS K");
        q.agrega("    WHERE K.ARTICULO_ID = A.ARTICULO_ID ORDER BY K.ROL_CLAVE_ART_ID, K.CLAVE_ARTICULO_ID) AS CLAVE,");
        q.agrega("  (SELECT FIRST 1 P.PRECIO FROM PRECIOS_ARTICULOS P");
        q.agrega("    WHERE P.ARTICULO_ID = A.ARTICULO_ID ORDER BY P.PRECIO_EMPRESA_ID) AS PRECIO");
        q.agrega("FROM ARTICULOS A WHERE A.ESTATUS = 'A' AND EXISTS");
        q.agrega("  (SELECT 1 FROM CLAVES_ARTICULOS K WHERE K.ARTICULO_ID = A.ARTICULO_ID)");
        q.agrega("ORDER BY A.ARTICULO_ID");
        for (q.ejecuta(); !q.eof(); q.siguiente()) {
            imp.agrega();
            imp.asigna("clave", q.campo("CLAVE").texto());
            imp.asigna("articulo", q.campo("NOMBRE").texto());
            imp.asigna("cantidad", 1);
            imp.asigna("precio", q.campo("PRECIO").moneda().redondeada(2).aDouble());
            imp.graba();
        }
    }
    ASSERT_EQ(imp.cantidad(), 31);

    DatosMemTable datos(imp);
    Informe inf;
    ASSERT_TRUE(inf.carga(Entorno::fuentes() + "/Formatos/Anaquel 3x10 Carta.fr3"));
    inf.ponDatos(&datos);
    EXPECT_EQ(inf.numPaginas(), 2); // 30 por hoja
    const QString pdf = Entorno::rutaNueva("lote_demo", ".pdf");
    ASSERT_TRUE(inf.exportaPdf(pdf)) << inf.error().toStdString();
    EXPECT_TRUE(inf.avisos().isEmpty()) << inf.avisos().join('\n').toStdString();

    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString texto =
        QString::fromUtf8(p.readAllStandardOutput()).replace(QChar(0xFB01), "fi").replace(QChar(0xFB02), "fl").simplified();
    bool hayAcentos = false;
    for (int i = 0; i < imp.cantidad(); ++i) {
        imp.irAFila(i);
        const QString nombre = imp.texto("articulo").simplified();
        hayAcentos = hayAcentos || nombre.contains(QRegularExpression("[áéíóúñÁÉÍÓÚÑ]"));
        EXPECT_TRUE(texto.contains(nombre)) << nombre.toStdString();
        const QString precio = FormatoMoneda(Moneda::deDouble(imp.real("precio")));
        EXPECT_TRUE(texto.contains(precio)) << precio.toStdString();
    }
    EXPECT_TRUE(hayAcentos); // los textos Windows-1252 de la base llegan bien al PDF

    // Cada código de barras se lee y da la clave de su artículo
    int leidos = 0;
    for (int pagina = 0; pagina < inf.numPaginas(); ++pagina) {
        const QImage img = inf.imagenPagina(pagina, 300).convertToFormat(QImage::Format_Grayscale8);
        for (const BandaColocada &b : inf.composicion().paginas[pagina].bandas) {
            const QString leido = LeeCodigo(RecorteEtiqueta(img, b, 300), ZXing::BarcodeFormat::Code128);
            EXPECT_FALSE(leido.isEmpty()) << "etiqueta " << b.fila;
            EXPECT_EQ(leido, datos.valor(b.fila, 0).toString());
            ++leidos;
        }
    }
    EXPECT_EQ(leidos, 31);
    QFile::remove(pdf);
}
