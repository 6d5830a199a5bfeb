#include "labels/ImprimirForma.h"

#include "app/Sesion.h"
#include "common/Dialogos.h"
#include "db/MemTable.h"
#include "report/FuenteDatos.h"
#include "report/VistaPrevia.h"
#include "ErpPrueba.h"
#include "ImprimeQt.h"
#include "Respondedor.h"
#include "SesionPrueba.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QPrintPreviewWidget>
#include <QLabel>
#include <QPrinterInfo>
#include <QSet>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const char *kForma = R"(<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Version="6.0">
  <TfrxReportPage Name="Page1" PaperWidth="100" PaperHeight="50" PaperSize="256" LeftMargin="5" RightMargin="5" TopMargin="5" BottomMargin="5">
    <TfrxMasterData Name="MasterData1" Height="40" Left="0" Top="0" Width="340" DataSet="frxDBDataset" DataSetName="frxDBDataset" RowCount="0">
      <TfrxMemoView Name="Memo1" Left="0" Top="0" Width="330" Height="30" Text="[frxDBDataset.&#34;articulo&#34;] [frxDBDataset.&#34;Nota_General&#34;]"/>
    </TfrxMasterData>
  </TfrxReportPage>
</TfrxReport>
)";

class ImprimirForma : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ErpPrueba::Opciones op;
        op.empresas = {QStringLiteral("Ferreteria_Demo")};
        s_erp = std::make_unique<ErpPrueba::Erp>(ErpPrueba::crea(op));
    }
    static void TearDownTestSuite() { s_erp.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_erp->ok) << s_erp->error.toStdString();
        QString error;
        SesionPrueba::Opciones op;
        op.esquema = !s_esquema;
        m_sesion = SesionPrueba::abre(*s_erp, op, &error);
        ASSERT_TRUE(m_sesion) << error.toStdString();
        s_esquema = true;
        m_carpeta = m_tmp.path() + QStringLiteral("/Formatos/");
        QDir().mkpath(m_carpeta);
        for (const char *n : {"Anaquel", "Chica"}) {
            QFile f(m_carpeta + QLatin1String(n) + QStringLiteral(".fr3"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(kForma);
        }
        m_tabla.agregaCampo(QStringLiteral("articulo"), TipoCampo::Texto, 100);
        m_tabla.agregaCampo(QStringLiteral("Nota_General"), TipoCampo::Texto, 50);
        m_tabla.abre();
        for (const char *a : {"Martillo", "Pinza", "Lápiz"}) {
            m_tabla.agrega();
            m_tabla.asigna(QStringLiteral("articulo"), QString::fromUtf8(a));
            m_tabla.graba();
        }
    }

    std::unique_ptr<TfImprimirForma> dialogo()
    {
        auto d = std::make_unique<TfImprimirForma>();
        d->Sistema = QStringLiteral("EtiquetasTolvanas");
        d->Ventana = QStringLiteral("col_Cenefa");
        d->ponCarpetaFormas(m_carpeta);
        d->ponDatos(&m_datos);
        d->ponTablaNota(&m_tabla);
        d->show();
        return d;
    }

    static std::unique_ptr<ErpPrueba::Erp> s_erp;
    static bool s_esquema;
    std::unique_ptr<Sesion> m_sesion;
    QTemporaryDir m_tmp;
    QString m_carpeta;
    MemTable m_tabla{QStringLiteral("mArtImp")};
    DatosMemTable m_datos{m_tabla};
};
std::unique_ptr<ErpPrueba::Erp> ImprimirForma::s_erp;
bool ImprimirForma::s_esquema = false;

} // namespace

TEST_F(ImprimirForma, SinFormaGuardadaYLuegoRecordada)
{
    Respondedor r;
    {
        auto d = dialogo();
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Imprimir"));
        EXPECT_EQ(d->paginas()->currentIndex(), 0);
        EXPECT_EQ(d->formas(), (QStringList{QStringLiteral("Anaquel"), QStringLiteral("Chica")}));
        EXPECT_EQ(d->eForma()->text(), QStringLiteral(" < Seleccione una forma >"));
        EXPECT_FALSE(d->bImprimir()->isEnabled());
        EXPECT_FALSE(d->bVistaPrevia()->isEnabled());
        EXPECT_FALSE(d->bDiseno()->isHidden()); // la sesión de prueba es del administrador

        // Un clic en el campo gris abre la página de formas y toma el nombre actual
        QTest::mouseClick(d->eForma(), Qt::LeftButton);
        EXPECT_EQ(d->paginas()->currentIndex(), 1);
        EXPECT_EQ(d->forma(), QStringLiteral("Anaquel"));
        d->gFormas()->selectRow(1);
        EXPECT_EQ(d->forma(), QStringLiteral("Chica"));
        EXPECT_TRUE(d->bVistaPrevia()->isEnabled());

        // Vista previa con la nota general en cada fila
        d->mNota()->setPlainText(QStringLiteral("Oferta"));
        GuionDialogos guion;
        int paginas = -1;
        guion.agrega<VistaPrevia>([&](VistaPrevia &v) {
            paginas = v.vista()->pageCount();
            return int(QDialog::Accepted);
        });
        d->bVistaPrevia()->click();
        EXPECT_EQ(guion.ejecutados(), 1);
        EXPECT_GE(paginas, 1);
        for (int i = 0; i < m_tabla.cantidad(); ++i)
            EXPECT_EQ(m_tabla.valorEn(i, QStringLiteral("Nota_General")).toString(), QStringLiteral("Oferta"));
        EXPECT_TRUE(d->isVisible()); // la vista previa no cierra el diálogo

        // Limpiar vacía la nota antes de la siguiente vista previa
        d->bLimpiar()->click();
        d->bVistaPrevia()->click();
        EXPECT_EQ(m_tabla.valorEn(2, QStringLiteral("Nota_General")).toString(), QString());
        EXPECT_TRUE(r.textos().isEmpty()) << r.textos().join(QLatin1Char('|')).toStdString();
    }
    // La misma ventana y el mismo usuario la encuentran elegida
    auto d = dialogo();
    EXPECT_EQ(d->forma(), QStringLiteral("Chica"));
    EXPECT_TRUE(d->bImprimir()->isEnabled());
    QString v;
    m_sesion->registro().ValorRegistro(QStringLiteral("EtiquetasTolvanas"), QStringLiteral("col_Cenefa"),
                                       m_sesion->UsuarioActual, QStringLiteral("Forma"), v, true);
    EXPECT_EQ(v, QStringLiteral("Chica"));
}

TEST_F(ImprimirForma, FormaBorradaSeAvisaYNoImprime)
{
    Respondedor r;
    QString v = QStringLiteral("Borrada");
    m_sesion->registro().ValorRegistro(QStringLiteral("EtiquetasTolvanas"), QStringLiteral("col_Cenefa"),
                                       m_sesion->UsuarioActual, QStringLiteral("Forma"), v, false);
    auto d = dialogo();
    EXPECT_EQ(d->forma(), QStringLiteral("Borrada"));
    GuionDialogos guion;
    d->bVistaPrevia()->click();
    d->bImprimir()->click();
    EXPECT_EQ(guion.ejecutados(), 0); // ni vista previa ni impresión
    ASSERT_EQ(r.cuantos(), 2);
    EXPECT_TRUE(r.ultimo().texto.startsWith(QStringLiteral("No se encontró la forma \"Borrada\"")))
        << r.ultimo().texto.toStdString();
    EXPECT_TRUE(d->isVisible());
    EXPECT_NE(d->result(), QDialog::Accepted);
}

TEST_F(ImprimirForma, CarpetaVaciaOFaltanteYDisenoSoloParaElAdministrador)
{
    Respondedor r;
    {
        auto d = std::make_unique<TfImprimirForma>();
        const QString nueva = m_tmp.path() + QStringLiteral("/otra/Formatos/");
        d->ponCarpetaFormas(nueva);
        d->show();
        EXPECT_TRUE(d->formas().isEmpty());
        EXPECT_TRUE(QDir(nueva).exists());
    }
    // El administrador abre el diseñador sobre la forma elegida y la nota pasa a la tabla
    {
        auto d = dialogo();
        d->ponForma(QStringLiteral("Chica"));
        d->mNota()->setPlainText(QStringLiteral("Nota"));
        GuionDialogos guion;
        d->bDiseno()->click();
        EXPECT_EQ(guion.clases(), QStringList{QStringLiteral("TfDisenador")});
        EXPECT_EQ(m_tabla.valorEn(0, QStringLiteral("Nota_General")).toString(), QStringLiteral("Nota"));
        EXPECT_EQ(d->forma(), QStringLiteral("Chica"));
        EXPECT_TRUE(r.textos().isEmpty()) << r.textos().join(QLatin1Char('|')).toStdString();
    }
    // Un usuario que no es el administrador no ve "Diseño"
    m_sesion->UsuarioActual = QStringLiteral("VENDEDOR");
    auto d = dialogo();
    EXPECT_TRUE(d->bDiseno()->isHidden());
}

// "Imprimir" manda un trabajo real a la impresora PDF de CUPS elegida en la lista
TEST_F(ImprimirForma, ImprimeEnLaImpresoraElegida)
{
    const QString impresora = QStringLiteral("EtiquetasPDF");
    if (QPrinterInfo::printerInfo(impresora).isNull())
        GTEST_SKIP() << "No está la impresora EtiquetasPDF (scripts/impresora_pdf.sh la crea)";
    const QString usuario = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
    const QStringList carpetas{QDir::homePath() + QStringLiteral("/PDF"),
                               QStringLiteral("/var/spool/cups-pdf/") + usuario,
                               QStringLiteral("/var/spool/cups-pdf/ANONYMOUS")};
    auto pdfs = [&] {
        QSet<QString> r;
        for (const QString &c : carpetas)
            for (const QFileInfo &f : QDir(c).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
                r << f.absoluteFilePath();
        return r;
    };
    const QSet<QString> antes = pdfs();

    Respondedor r;
    auto d = dialogo();
    d->cbImpresora()->setCurrentIndex(d->cbImpresora()->findText(impresora));
    EXPECT_EQ(ImpresoraActual(), impresora);
    EXPECT_FALSE(d->lEstado()->text().isEmpty());
    d->ponForma(QStringLiteral("Anaquel"));
    d->bImprimir()->click();
    EXPECT_TRUE(r.textos().isEmpty()) << r.textos().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(d->result(), QDialog::Accepted);

    QString nuevo;
    for (int i = 0; i < 300 && nuevo.isEmpty(); ++i) {
        const QSet<QString> ahora = pdfs() - antes;
        for (const QString &f : ahora)
            if (QFileInfo(f).size() > 0)
                nuevo = f;
        if (nuevo.isEmpty())
            QTest::qWait(200);
    }
    ASSERT_FALSE(nuevo.isEmpty()) << "cups-pdf no dejó el archivo";
    QTest::qWait(500);
    QFile f(nuevo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    f.close();
    QFile::remove(nuevo);
}
