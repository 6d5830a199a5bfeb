// Impresión del lote: tabla de impresión, ruta de BarTender y una forma real a PDF
#include "ImprimeQt.h"
#include "LotePrueba.h"
#include "Respondedor.h"

#include "common/Dialogos.h"
#include "common/FormatoNumero.h"
#include "db/MemTable.h"
#include "db/fbConsulta.h"
#include "labels/Impresion.h"
#include "labels/ImprimirForma.h"
#include "labels/LoteEtiquetas.h"
#include "labels/col_Cenefa.h"
#include "report/FuenteDatos.h"
#include "report/Informe.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "Codigos.h"

using namespace LotePrueba;

namespace {

class Impresion : public PruebaLote
{
protected:
    // Marca y cantidad del renglón del artículo
    static void ponRenglon(MemTable &t, int id, bool imprimir, int cantidad)
    {
        ASSERT_TRUE(t.busca(QStringLiteral("ID"), id));
        t.edita();
        t.asigna(QStringLiteral("imprimir"), imprimir);
        t.asigna(QStringLiteral("cantidad"), cantidad);
        t.graba();
    }
};

} // namespace

TEST_F(Impresion, TablaDeImpresionYLineasDeBarTender)
{
    Respondedor r;
    auto w = abre();
    const int otro = s_ent->id("SELECT FIRST 1 ARTICULO_ID FROM ARTICULOS WHERE ESTATUS = 'A' AND ARTICULO_ID < 900000 "
                               "ORDER BY ARTICULO_ID");
    for (int id : {kLlave, kTuerca, otro})
        ASSERT_TRUE(w->AgregaArticulo(QString(), id, 1)) << r.textos().join('|').toStdString();
    MemTable &art = w->mArt();
    ponRenglon(art, kLlave, true, 2);
    ponRenglon(art, kTuerca, true, 5);
    ponRenglon(art, otro, false, 3);
    ASSERT_TRUE(art.busca(QStringLiteral("ID"), kTuerca));
    const auto marca = art.marca();

    LoteEtiquetas &lote = w->lote();
    const QStringList lineas = LineasBarTender(lote);
    ASSERT_EQ(lineas.size(), 2);
    EXPECT_EQ(lineas[0].section(',', 1, 1), QStringLiteral("2"));
    EXPECT_EQ(lineas[1].section(',', 1, 1), QStringLiteral("5"));
    // clave, cantidad, Precio1, Precio2, artículo
    EXPECT_EQ(lineas[0], QStringLiteral("PRUEBA-Ñ1,2,103.5,90,Llave de prueba ñandú"));
    EXPECT_EQ(art.marca(), marca); // vuelve al renglón en que estaba

    MemTable &imp = lote.mArtImp();
    EXPECT_EQ(LlenaImpresion(lote), 7);
    ASSERT_EQ(imp.cantidad(), 7);
    EXPECT_EQ(art.marca(), marca);
    imp.primero();
    EXPECT_EQ(imp.texto(QStringLiteral("clave")), QStringLiteral("PRUEBA-Ñ1"));
    EXPECT_EQ(imp.entero(QStringLiteral("cantidad")), 2);
    EXPECT_EQ(imp.moneda(QStringLiteral("precio")), Moneda::deTexto(QStringLiteral("103.5")));
    EXPECT_EQ(imp.moneda(QStringLiteral("Precio2")), Moneda::deTexto(QStringLiteral("90")));
    EXPECT_EQ(imp.texto(QStringLiteral("Clave2")), QString::fromUtf8("EMP-ÁÉ-12"));
    EXPECT_EQ(imp.texto(QStringLiteral("Contenido_Empaque2")), QStringLiteral("12"));
    // La tuerca no tiene fecha de compra ni puntos: 0 y la fecha cero
    imp.ultimo();
    EXPECT_EQ(imp.texto(QStringLiteral("clave")), QStringLiteral("PRUEBA-2"));
    EXPECT_EQ(imp.valor(QStringLiteral("Puntos")).toLongLong(), 0);
    EXPECT_EQ(imp.fecha(QStringLiteral("Fecha_ultima_compra")), QDate(1899, 12, 30));
    QList<qint64> consecutivos;
    for (int i = 0; i < imp.cantidad(); ++i)
        consecutivos << imp.valorEn(i, QStringLiteral("Consecutivo")).toLongLong();
    EXPECT_TRUE(std::is_sorted(consecutivos.begin(), consecutivos.end()));

    // Un renglón marcado con cantidad 0 no agrega filas
    ponRenglon(art, kLlave, true, 0);
    EXPECT_EQ(LlenaImpresion(lote), 5);

    // Contenido del empaque como entero
    EXPECT_EQ(ContenidoEntero(QString()), QStringLiteral("0"));
    EXPECT_EQ(ContenidoEntero(QStringLiteral("12.000")), QStringLiteral("12"));
    EXPECT_EQ(ContenidoEntero(QStringLiteral("2.5")), QStringLiteral("2.5"));
    EXPECT_TRUE(r.textos().isEmpty()) << r.textos().join('|').toStdString();
}

TEST_F(Impresion, RutaDeBarTender)
{
    Respondedor r;
    QTemporaryDir tmp;
    auto w = abre();
    ASSERT_TRUE(w->AgregaArticulo(QString(), kLlave, 3));
    LoteEtiquetas &lote = w->lote();
    const QString formatos = tmp.path() + QStringLiteral("/Formatos/");
    QDir().mkpath(formatos);
    for (const char *n : {"Anaquel.btw", "Chica.btw"}) {
        QFile f(formatos + QLatin1String(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString anotado = tmp.path() + QStringLiteral("/argumentos.txt");
    const QString sustituto = tmp.path() + QStringLiteral("/bartender.sh");
    {
        QFile f(sustituto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '%1.tmp' && mv '%1.tmp' '%1'\n")
                    .arg(anotado)
                    .toUtf8());
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    lote.cfg.Bar = true;
    lote.cfg.BarExe = sustituto;
    lote.cfg.BarParam = QStringLiteral("/P /X");
    lote.cfg.BarText = tmp.path() + QStringLiteral("/ARTS_PRECIO.TXT");
    lote.cfg.CarpetaFmt = formatos;
    lote.cfg.Fmt = QStringLiteral("Borrado"); // no está: se usa el primero y queda guardado

    ImprimeEtiquetas(lote, w.get());
    EXPECT_TRUE(r.textos().isEmpty()) << r.textos().join('|').toStdString();
    EXPECT_EQ(s_ent->sesion->ajuste(QStringLiteral("Formato")), QStringLiteral("Anaquel"));
    QFile datos(lote.cfg.BarText);
    ASSERT_TRUE(datos.open(QIODevice::ReadOnly));
    EXPECT_EQ(datos.readAll(), QByteArray("PRUEBA-\xD1" "1,3,103.5,90,Llave de prueba \xF1" "and\xFA\r\n"));
    datos.close();
    QFile args(anotado);
    for (int i = 0; i < 100 && !args.exists(); ++i)
        QTest::qWait(50);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()), QStringLiteral("/f=\"%1Anaquel.btw\"\n/P\n/X\n").arg(formatos));

    // Programa que no arranca: aviso y el archivo queda escrito
    QFile::remove(lote.cfg.BarText);
    lote.cfg.BarExe = tmp.path() + QStringLiteral("/no_existe/bartend.exe");
    ImprimeEtiquetas(lote, w.get());
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("No fue posible imprimir el archivo, inténtelo manualmente"));
    EXPECT_TRUE(QFile::exists(lote.cfg.BarText));

    // Sin renglones marcados: aviso, sin archivo
    QFile::remove(lote.cfg.BarText);
    ponRenglon(w->mArt(), kLlave, false, 3);
    ImprimeEtiquetas(lote, w.get());
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("No hay artículos seleccionados a imprimir"));
    EXPECT_FALSE(QFile::exists(lote.cfg.BarText));
}

TEST_F(Impresion, RutaDirectaAbreElDialogoSobreLaTablaDeImpresion)
{
    Respondedor r;
    auto w = abre();
    ASSERT_TRUE(w->AgregaArticulo(QString(), kLlave, 2));
    ASSERT_TRUE(w->AgregaArticulo(QString(), kTuerca, 1));
    LoteEtiquetas &lote = w->lote();
    lote.cfg.Bar = false;

    // "No" a la pregunta no abre nada
    GuionDialogos guion;
    r.responde(IDNO);
    ImprimeEtiquetas(lote, w.get());
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("¿Desea iniciar la impresión de las etiquetas?"));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Imprimir"));
    EXPECT_EQ(guion.ejecutados(), 0);

    int filas = -1;
    QString sistema, ventana;
    guion.agrega<TfImprimirForma>([&](TfImprimirForma &d) {
        filas = lote.mArtImp().cantidad();
        sistema = d.Sistema;
        ventana = d.Ventana;
        return int(QDialog::Rejected);
    });
    r.responde(IDYES);
    ImprimeEtiquetas(lote, w.get());
    EXPECT_EQ(guion.ejecutados(), 1);
    EXPECT_EQ(filas, 3);
    EXPECT_EQ(sistema, QStringLiteral("EtiquetasTolvanas"));
    EXPECT_EQ(ventana, QStringLiteral("col_Cenefa"));
}

TEST_F(Impresion, LoteDeLaDemostracionEnLaHojaDeAnaquel)
{
    Respondedor r;
    auto w = abre();
    // 32 artículos de la demostración con su clave principal
    Consulta q(s_ent->sesion->fbDatabase, s_ent->sesion->fbViewTrans);
    q.setSql(QStringLiteral("SELECT FIRST 32 A.ARTICULO_ID FROM ARTICULOS A WHERE A.ESTATUS = 'A' AND A.ARTICULO_ID < 900000 "
                            "AND EXISTS (SELECT 1 FROM CLAVES_ARTICULOS K JOIN ROLES_CLAVES_ARTICULOS R ON "
                            "R.ROL_CLAVE_ART_ID = K.ROL_CLAVE_ART_ID WHERE K.ARTICULO_ID = A.ARTICULO_ID AND "
                            "R.NOMBRE = 'Clave principal') ORDER BY A.ARTICULO_ID"));
    QList<int> ids;
    for (q.ejecuta(); !q.eof(); q.siguiente())
        ids << int(q.campo(0).entero());
    q.cierra();
    ASSERT_EQ(ids.size(), 32);
    for (int id : ids)
        ASSERT_TRUE(w->AgregaArticulo(QString(), id, 1)) << r.textos().join('|').toStdString();
    LoteEtiquetas &lote = w->lote();
    ASSERT_EQ(LlenaImpresion(lote), 32);

    DatosMemTable datos(lote.mArtImp());
    Informe inf;
    ASSERT_TRUE(inf.carga(Entorno::fuentes() + QStringLiteral("/Formatos/Anaquel 3x10 Carta.fr3"))) << inf.error().toStdString();
    inf.ponDatos(&datos);
    EXPECT_EQ(inf.numPaginas(), 2);
    const QString pdf = Entorno::rutaNueva(QStringLiteral("lote"), QStringLiteral(".pdf"));
    ASSERT_TRUE(inf.exportaPdf(pdf)) << inf.error().toStdString();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString texto = QString::fromUtf8(p.readAllStandardOutput())
                              .replace(QChar(0xFB01), QStringLiteral("fi"))
                              .replace(QChar(0xFB02), QStringLiteral("fl"))
                              .simplified();
    MemTable &imp = lote.mArtImp();
    const int cClave = datos.indiceCampo(QStringLiteral("clave"));
    for (int i = 0; i < imp.cantidad(); ++i) {
        const QString nombre = imp.valorEn(i, QStringLiteral("articulo")).toString().simplified();
        EXPECT_TRUE(texto.contains(nombre)) << nombre.toStdString();
        const QString precio = FormatoMoneda(Moneda::deDouble(imp.valorEn(i, QStringLiteral("precio")).toDouble()).redondeada(2));
        EXPECT_TRUE(texto.contains(precio)) << precio.toStdString();
    }
    int leidos = 0;
    for (int pagina = 0; pagina < inf.numPaginas(); ++pagina) {
        const QImage img = inf.imagenPagina(pagina, 300).convertToFormat(QImage::Format_Grayscale8);
        for (const BandaColocada &b : inf.composicion().paginas[pagina].bandas) {
            if (b.fila < 0)
                continue;
            const QString leido = LeeCodigo(RecorteEtiqueta(img, b, 300));
            EXPECT_FALSE(leido.isEmpty()) << "etiqueta " << b.fila;
            EXPECT_EQ(leido, datos.valor(b.fila, cClave).toString());
            ++leidos;
        }
    }
    EXPECT_EQ(leidos, 32);
    QFile::remove(pdf);
}

TEST_F(Impresion, BotonImprimirDeLaVentana)
{
    Respondedor r;
    auto w = abre();
    ASSERT_TRUE(w->AgregaArticulo(QString(), kTuerca, 4));
    w->lote().cfg.Bar = false;
    GuionDialogos guion;
    int filas = -1;
    guion.agrega<TfImprimirForma>([&](TfImprimirForma &) {
        filas = w->lote().mArtImp().cantidad();
        return int(QDialog::Rejected);
    });
    r.responde(IDYES);
    w->bImprimir->click();
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("¿Desea iniciar la impresión de las etiquetas?"));
    EXPECT_EQ(filas, 4);
}

// Los campos particulares llegan a cada etiqueta, leídos del ERP una vez por artículo
TEST_F(Impresion, CamposParticularesEnCadaCopia)
{
    Respondedor r;
    const int color = s_ent->id("SELECT ATRIBUTO_ID FROM ATRIBUTOS WHERE NOMBRE_COLUMNA = 'COLOR'");
    s_ent->ajusta({{QStringLiteral("CampoPartEtiqueta1"), QString::number(color)}});
    auto w = abre();
    ASSERT_TRUE(w->AgregaArticulo(QString(), kLlave, 3));
    LoteEtiquetas &lote = w->lote();
    RegistroSentencias log;
    ASSERT_EQ(LlenaImpresion(lote), 3);
    MemTable &imp = lote.mArtImp();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(imp.valorEn(i, QStringLiteral("kCOLOR")).toString(), QStringLiteral("Azul")) << i;
    int lecturas = 0;
    for (const QString &sql : log.ejecutadas())
        lecturas += sql.contains(QStringLiteral("COLOR"), Qt::CaseInsensitive) ? 1 : 0;
    EXPECT_EQ(lecturas, 1) << log.ejecutadas().join('\n').toStdString();
}
