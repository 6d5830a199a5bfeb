// Lectura y escritura de formas .fr3
#include "report/ArchivoForma.h"

#include "db/fbTexto.h"

#include "Entorno.h"
#include "ImprimeQt.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString Formatos() { return Entorno::fuentes() + QStringLiteral("/Formatos/"); }

// Forma como las que escriben instalaciones antiguas: coma decimal, notación científica,
// objetos y atributos que el motor no conoce, guion, banda de grupo
const char *kFormaVieja = R"(<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Version="4.7" ScriptText.Text="procedure Memo1OnBeforePrint(Sender: TfrxComponent);&#13;&#10;begin&#13;&#10;end;&#13;&#10;begin&#13;&#10;end." Personal="sí">
  <Datasets><item DataSet="frxDBDataset" DataSetName="frxDBDataset"/></Datasets>
  <TfrxDataPage Name="Data" Height="1000" Width="1000"/>
  <TfrxReportPage Name="Page1" PaperWidth="215,9" PaperHeight="2,794E2" PaperSize="1" LeftMargin="4,7625" RightMargin="4.7625" TopMargin="1.27e1" BottomMargin="12,7" Columns="3" ColumnWidth="69,85" ColumnPositions.Text="0&#13;&#10;69,85&#13;&#10;139,7" HGuides.Text="">
    <TfrxPageHeader Name="PageHeader1" Height="22,67718" Left="0" Top="18,89765" Width="778,58323" PrintOnFirstPage="False">
      <TfrxMemoView Name="Memo9" Left="0" Top="0" Width="200" Height="18" Text="Página [Page#] de [TotalPages#]"/>
    </TfrxPageHeader>
    <TfrxGroupHeader Name="GroupHeader1" Height="20" Top="40" Condition="frxDBDataset.&#34;clave&#34;"><TfrxMemoView Name="Memo8" Text="x"/></TfrxGroupHeader>
    <TfrxMasterData Name="MasterData1" Height="9,6E1" Left="0" Top="64,25201" Width="264" Columns="1" DataSet="frxDBDataset" DataSetName="frxDBDataset" RowCount="0" Stretched="True">
      <TfrxMemoView Name="Memo1" Left="3,77953" Top="1,5E0" Width="2,5E2" Height="30" OnBeforePrint="Memo1OnBeforePrint" DisplayFormat.DecimalSeparator="," DisplayFormat.FormatStr="%2.2n" DisplayFormat.Kind="fkNumeric" Font.Charset="1" Font.Color="255" Font.Height="-13" Font.Name="Tahoma" Font.Style="3" Frame.Typ="[ftLeft,ftBottom]" Frame.Width="0,5" HAlign="haRight" VAlign="vaCenter" Rotation="90" HideZeros="True" Text="Precio: [frxDBDataset.&#34;precio&#34;] MXN">
        <Highlight Font.Color="255" Condition="Value &#60; 0"/>
      </TfrxMemoView>
      <TfrxRichView Name="Rich1" Left="10" Top="40" Width="100" Height="20" RichEdit="{\rtf1 hola}"/>
      <TfrxBarCodeView Name="BarCode1" Left="4" Top="50" Width="150" Height="40" BarType="bcCodeEAN13" CalcCheckSum="True" Expression="&#60;frxDBDataset.&#34;clave&#34;&#62;" ShowText="False" Zoom="1,5" Text="750100000000"/>
      <TfrxLineView Name="Line1" Left="0" Top="95" Width="252" Height="0" Frame.Typ="4" Frame.Color="8421504"/>
      <TfrxPictureView Name="Picture1" Left="200" Top="50" Width="40" Height="40" Picture.PropData="0954506E67496D61676589504E47" KeepAspectRatio="False"/>
    </TfrxMasterData>
    <TfrxShapeView Name="Shape1" Left="0" Top="0" Width="10" Height="10" Shape="skEllipse" Color="16776960"/>
  </TfrxReportPage>
  <TfrxDialogPage Name="Dialogo" Width="300" Height="200"/>
</TfrxReport>
)";

Plantilla Lee(const QByteArray &bytes, QStringList *avisos = nullptr)
{
    Plantilla p;
    QString error;
    EXPECT_TRUE(LeeFormaDeBytes(bytes, p, error, avisos)) << error.toStdString();
    return p;
}

const Vista *Busca(const Plantilla &p, const QString &nombre)
{
    for (const Pagina &pg : p.paginas) {
        for (const Banda &b : pg.bandas)
            for (const Vista &v : b.vistas)
                if (v.nombre == nombre)
                    return &v;
        for (const Vista &v : pg.vistas)
            if (v.nombre == nombre)
                return &v;
    }
    return nullptr;
}

} // namespace

TEST(LecturaForma, NumerosConComaPuntoYNotacionCientifica)
{
    QStringList avisos;
    const Plantilla p = Lee(kFormaVieja, &avisos);
    ASSERT_EQ(p.paginas.size(), 1);
    const Pagina &pg = p.paginas[0];
    EXPECT_EQ(pg.anchoPapel, Longitud::deMm(215.9));
    EXPECT_EQ(pg.altoPapel, Longitud::deMm(279.4));
    EXPECT_EQ(pg.margenIzquierdo, Longitud::deMm(4.7625));
    EXPECT_EQ(pg.margenDerecho, Longitud::deMm(4.7625));
    EXPECT_EQ(pg.margenSuperior, Longitud::deMm(12.7));
    EXPECT_EQ(pg.columnas, 3);
    EXPECT_EQ(pg.anchoColumna, Longitud::deMm(69.85));
    ASSERT_EQ(pg.posicionesColumnas.size(), 3);
    EXPECT_EQ(pg.posicionesColumnas[2], Longitud::deMm(139.7));
    ASSERT_EQ(pg.bandas.size(), 3);
    const Banda &m = pg.bandas[2];
    EXPECT_EQ(m.tipo, TipoBanda::DatosMaestros);
    EXPECT_EQ(m.alto, Longitud::deUnidades(96));
    EXPECT_EQ(m.conjunto, "frxDBDataset");
    EXPECT_FALSE(pg.bandas[0].enPrimeraPagina);

    const Vista *memo = Busca(p, "Memo1");
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->izquierda, Longitud::deUnidades(3.77953));
    EXPECT_EQ(memo->arriba, Longitud::deUnidades(1.5));
    EXPECT_EQ(memo->ancho, Longitud::deUnidades(250));
    EXPECT_EQ(memo->texto, "Precio: [frxDBDataset.\"precio\"] MXN");
    EXPECT_EQ(memo->formato.clase, "fkNumeric");
    EXPECT_EQ(memo->formato.cadena, "%2.2n");
    EXPECT_EQ(memo->formato.separadorDecimal, ",");
    EXPECT_TRUE(memo->ocultaCeros);
    EXPECT_EQ(memo->fuente.nombre, "Tahoma");
    EXPECT_EQ(memo->fuente.estilo, 3);
    EXPECT_EQ(memo->fuente.color, 255);
    EXPECT_EQ(memo->marco.lados, MarcoIzquierdo | MarcoAbajo);
    EXPECT_DOUBLE_EQ(memo->marco.ancho, 0.5);
    EXPECT_EQ(memo->alineaH, AlineaH::Derecha);
    EXPECT_EQ(memo->alineaV, AlineaV::Centro);
    EXPECT_EQ(memo->rotacion, 90);
    // Atributo desconocido y elemento hijo desconocido se conservan
    EXPECT_TRUE(memo->extras.contains(qMakePair(QStringLiteral("OnBeforePrint"), QStringLiteral("Memo1OnBeforePrint"))));
    EXPECT_TRUE(memo->hijosCrudos.contains("<Highlight")) << memo->hijosCrudos.toStdString();

    const Vista *barras = Busca(p, "BarCode1");
    ASSERT_TRUE(barras);
    EXPECT_EQ(barras->tipo, TipoVista::CodigoBarras);
    EXPECT_EQ(barras->tipoBarras, "bcCodeEAN13");
    EXPECT_EQ(barras->expresion, "<frxDBDataset.\"clave\">");
    EXPECT_TRUE(barras->calculaVerificador);
    EXPECT_FALSE(barras->muestraTexto);
    EXPECT_DOUBLE_EQ(barras->zoom, 1.5);

    const Vista *imagen = Busca(p, "Picture1");
    ASSERT_TRUE(imagen);
    EXPECT_EQ(imagen->bytesImagen(), QByteArray("\x89PNG"));
    EXPECT_FALSE(imagen->mantieneProporcion);

    const Vista *figura = Busca(p, "Shape1");
    ASSERT_TRUE(figura);
    EXPECT_EQ(figura->figura, "skEllipse");
    EXPECT_EQ(AColorQt(figura->relleno), QColor(0, 0xFF, 0xFF));
}

TEST(LecturaForma, LoDesconocidoSeOmiteConAvisoYSeConserva)
{
    QStringList avisos;
    const Plantilla p = Lee(kFormaVieja, &avisos);
    const QString todos = avisos.join('\n');
    EXPECT_TRUE(todos.contains("TfrxRichView")) << todos.toStdString();
    EXPECT_TRUE(todos.contains("TfrxGroupHeader")) << todos.toStdString();
    EXPECT_TRUE(todos.contains("guion")) << todos.toStdString();
    EXPECT_TRUE(todos.contains("Dialogo")) << todos.toStdString();
    const Vista *rich = Busca(p, "Rich1");
    ASSERT_TRUE(rich);
    EXPECT_EQ(rich->tipo, TipoVista::Desconocida);
    EXPECT_EQ(p.otros.size(), 3); // Datasets, TfrxDataPage, TfrxDialogPage
}

TEST(LecturaForma, BytesWindows1252SeLeenSinRechazar)
{
    const QString texto = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport><TfrxReportPage Name=\"P\">"
        "<TfrxMasterData Name=\"M\" Height=\"10\"><TfrxMemoView Name=\"Memo1\" Text=\"Lápiz € año – “ok”\"/>"
        "<TfrxMemoView Name=\"Memo2\" Memo.UTF8=\"%1\"/></TfrxMasterData></TfrxReportPage></TfrxReport>");
    // Memo.UTF8 lleva los bytes UTF-8 dentro de un archivo Windows-1252
    const QString utf8ComoAnsi = FbTexto::deCp1252(QStringLiteral("Señal").toUtf8());
    const QByteArray bytes = FbTexto::aCp1252(texto.arg(utf8ComoAnsi));
    ASSERT_TRUE(bytes.contains('\xE1')); // 'á' de un solo byte: no es UTF-8
    const Plantilla p = Lee(bytes);
    ASSERT_TRUE(Busca(p, "Memo1"));
    EXPECT_EQ(Busca(p, "Memo1")->texto, QStringLiteral("Lápiz € año – “ok”"));
    EXPECT_EQ(Busca(p, "Memo2")->texto, QStringLiteral("Señal"));
}

TEST(LecturaForma, ArchivoDanadoDaErrorEnEspanol)
{
    struct Caso
    {
        const char *nombre;
        QByteArray bytes;
        const char *esperado;
    };
    const Caso casos[] = {
        {"vacío", "", "vacío"},
        {"sólo blancos", "  \n ", "vacío"},
        {"truncado", "<?xml version=\"1.0\"?><TfrxReport><TfrxReportPage Name=\"P\"><TfrxMasterData", "no se puede leer"},
        {"sin cerrar", "<TfrxReport><TfrxReportPage Name=\"P\">", "termina antes de tiempo"},
        {"etiquetas cruzadas", "<TfrxReport><TfrxReportPage></TfrxReport></TfrxReportPage>", "XML no válido"},
        {"otra raíz", "<?xml version=\"1.0\"?><Report><Page/></Report>", "TfrxReport"},
        {"no es XML", "PK\x03\x04\x00\x00binario", "XML no válido"},
        {"atributo sin comillas", "<TfrxReport><TfrxReportPage Name=P/></TfrxReport>", "XML no válido"},
    };
    for (const Caso &c : casos) {
        Plantilla p;
        p.paginas.append(Pagina{});
        QString error;
        EXPECT_FALSE(LeeFormaDeBytes(c.bytes, p, error, nullptr, "rota.fr3")) << c.nombre;
        EXPECT_TRUE(error.startsWith("La forma rota.fr3 no se puede leer")) << c.nombre << ": " << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.esperado))) << c.nombre << ": " << error.toStdString();
        EXPECT_TRUE(p.paginas.isEmpty()) << c.nombre; // nunca media forma
    }
    Plantilla p;
    QString error;
    EXPECT_FALSE(LeeForma("/no/existe/Anaquel.fr3", p, error));
    EXPECT_EQ(error, "No se encontró la forma /no/existe/Anaquel.fr3.");
}

TEST(EscrituraForma, IdaYVueltaDaElMismoModeloYConservaLoDesconocido)
{
    QStringList archivos;
    for (const QString &f : QDir(Formatos()).entryList({"*.fr3"}, QDir::Files))
        archivos << Formatos() + f;
    ASSERT_EQ(archivos.size(), 4);
    QList<QByteArray> fuentes;
    for (const QString &a : archivos) {
        QFile f(a);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        fuentes << f.readAll();
    }
    fuentes << QByteArray(kFormaVieja);
    for (const QByteArray &original : fuentes) {
        const Plantilla a = Lee(original);
        const QByteArray escrito = EscribeForma(a);
        const Plantilla b = Lee(escrito);
        EXPECT_TRUE(a == b) << escrito.toStdString();
        // Escribir lo leído otra vez da los mismos bytes
        EXPECT_EQ(EscribeForma(b), escrito);
        EXPECT_TRUE(escrito.contains("&#34;") || !original.contains("&#34;"));
    }
    const QByteArray escrito = EscribeForma(Lee(kFormaVieja));
    for (const char *debe : {"<TfrxRichView Name=\"Rich1\"", "RichEdit=\"{\\rtf1 hola}\"", "<TfrxGroupHeader Name=\"GroupHeader1\"",
                             "Condition=\"frxDBDataset.&#34;clave&#34;\"", "<Highlight Font.Color=\"255\"",
                             "OnBeforePrint=\"Memo1OnBeforePrint\"", "<TfrxDialogPage Name=\"Dialogo\"", "<TfrxDataPage Name=\"Data\"",
                             "Personal=\"sí\"", "HGuides.Text=\"\"", "Stretched=\"True\""})
        EXPECT_TRUE(escrito.contains(debe)) << debe;
    // El orden de los hijos de la raíz se respeta
    EXPECT_LT(escrito.indexOf("<Datasets"), escrito.indexOf("<TfrxDataPage"));
    EXPECT_LT(escrito.indexOf("<TfrxDataPage"), escrito.indexOf("<TfrxReportPage"));
    EXPECT_LT(escrito.indexOf("<TfrxReportPage"), escrito.indexOf("<TfrxDialogPage"));
}

TEST(EscrituraForma, UnCambioDelModeloSeGuardaYSeLee)
{
    const QString ruta = Entorno::rutaNueva("forma", ".fr3");
    Plantilla p = Lee(kFormaVieja);
    Banda &m = p.paginas[0].bandas[2];
    Vista nueva;
    nueva.tipo = TipoVista::CodigoBarras;
    nueva.clase = "TfrxBarCodeView";
    nueva.nombre = "BarCode2";
    nueva.tipoBarras = "bcCodeQR";
    nueva.expresion = "<frxDBDataset.\"clave\">";
    nueva.izquierda = Longitud::deMm(10);
    nueva.ancho = Longitud::deMm(20.5);
    nueva.alto = Longitud::deMm(20.5);
    nueva.ponImagenPng("\x89PNG");
    m.vistas.append(nueva);
    p.paginas[0].margenIzquierdo = Longitud::deMm(3.3);
    QString error;
    ASSERT_TRUE(GuardaForma(p, ruta, error)) << error.toStdString();
    Plantilla leida;
    ASSERT_TRUE(LeeForma(ruta, leida, error)) << error.toStdString();
    EXPECT_TRUE(leida == p);
    EXPECT_EQ(Busca(leida, "BarCode2")->bytesImagen(), QByteArray("\x89PNG"));
    QFile::remove(ruta);
}
