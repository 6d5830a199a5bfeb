// Ventana de configuración sobre el ERP de prueba: lo que abre, lo que guarda y cómo
#include "Entorno.h"
#include "ErpPrueba.h"
#include "ImprimeQt.h"
#include "Respondedor.h"
#include "SesionPrueba.h"

#include "common/Dialogos.h"
#include "config/Configura.h"
#include "config/ControlesConfigura.h"
#include "db/Registro.h"
#include "db/datos.h"
#include "db/fbConsulta.h"
#include "db/fbTransaccion.h"
#include "platform/ArchivoIni.h"

#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

const QString kSinValor = QStringLiteral("<no existe>");
const QString kNulo = QStringLiteral("<nulo>");

class Configura : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // El archivo etiquetas.ini va a una carpeta propia antes de que nadie lo busque
        s_xdg = new QTemporaryDir(Entorno::carpeta() + QStringLiteral("/xdg_XXXXXX"));
        qputenv("XDG_CONFIG_HOME", s_xdg->path().toLocal8Bit());
        ErpPrueba::Opciones op;
        op.empresas = {QStringLiteral("Ferreteria_Demo")};
        s_erp = new ErpPrueba::Erp(ErpPrueba::crea(op));
        ASSERT_TRUE(s_erp->ok) << s_erp->error.toStdString();
        QString error;
        s_sesion = SesionPrueba::abre(*s_erp, {}, &error).release();
        ASSERT_NE(s_sesion, nullptr) << error.toStdString();
        // Cinco listas de precios: dos más, una al principio del orden por nombre
        sql(QStringLiteral("INSERT INTO precios_empresa (nombre, posicion, id_interno) VALUES ('Web', 4, 'P')"));
        sql(QStringLiteral("INSERT INTO precios_empresa (nombre, posicion, id_interno) VALUES ('Afiliados', 5, 'P')"));
    }
    static void TearDownTestSuite()
    {
        delete s_sesion;
        s_sesion = nullptr;
        delete s_erp;
        delete s_xdg;
    }

    void SetUp() override
    {
        ASSERT_NE(s_sesion, nullptr);
        // Base "nueva": sin ajustes de la carpeta Etiquetas ni listas a capturar, sin INI
        sql(QStringLiteral("DELETE FROM tlv_registro WHERE padre_id IN (SELECT registro_id FROM tlv_registro"
                           " WHERE nombre = 'Etiquetas' AND padre_id = 0)"));
        sql(QStringLiteral("DELETE FROM tlv_cmp_precios"));
        QFile::remove(RutaIni());
        ASSERT_TRUE(RutaIni().startsWith(s_xdg->path()));
    }
    void TearDown() override
    {
        if (m_ventana)
            delete m_ventana.data();
    }

    static void sql(const QString &texto)
    {
        Transaccion t(s_sesion->fbDatabase);
        Consulta q(s_sesion->fbDatabase, t);
        q.setSql(texto);
        q.ejecuta();
        t.confirma();
    }

    static qint64 id(const QString &tabla, const QString &campoId, const QString &nombre)
    {
        Transaccion t(s_sesion->fbDatabase);
        Consulta q(s_sesion->fbDatabase, t);
        q.setSql(QStringLiteral("SELECT %1 FROM %2 WHERE nombre = :n").arg(campoId, tabla));
        q.asigna(QStringLiteral("n"), nombre);
        q.ejecuta();
        return q.eof() ? -1 : q.campo(0).entero();
    }
    static QString idPrecio(const QString &nombre)
    {
        return QString::number(id(QStringLiteral("precios_empresa"), QStringLiteral("precio_empresa_id"), nombre));
    }

    // Valor guardado en la carpeta Etiquetas, tal cual en la tabla
    static QString valor(const QString &clave)
    {
        Transaccion t(s_sesion->fbDatabase);
        Consulta q(s_sesion->fbDatabase, t);
        q.setSql(QStringLiteral("SELECT v.valor FROM tlv_registro v JOIN tlv_registro c ON c.registro_id = v.padre_id"
                                " WHERE c.padre_id = 0 AND c.nombre = 'Etiquetas' AND v.nombre = :n"));
        q.asigna(QStringLiteral("n"), clave);
        q.ejecuta();
        if (q.eof())
            return kSinValor;
        return q.campo(0).esNulo() ? kNulo : q.campo(0).texto();
    }

    // Toda la carpeta Etiquetas y las listas a capturar
    static std::map<QString, QString> foto()
    {
        std::map<QString, QString> r;
        Transaccion t(s_sesion->fbDatabase);
        Consulta q(s_sesion->fbDatabase, t);
        q.setSql(QStringLiteral("SELECT v.nombre, v.valor FROM tlv_registro v JOIN tlv_registro c"
                                " ON c.registro_id = v.padre_id WHERE c.padre_id = 0 AND c.nombre = 'Etiquetas'"));
        for (q.ejecuta(); !q.eof(); q.siguiente())
            r[q.campo(0).texto()] = q.campo(1).texto();
        q.cierra();
        for (const QString &f : listasCaptura())
            r[QStringLiteral("cmp:") + f] = f;
        return r;
    }

    // Filas de TLV_CMP_PRECIOS: "id|nombre|ut|posicion|inc" por posición
    static QStringList listasCaptura()
    {
        Transaccion t(s_sesion->fbDatabase);
        Consulta q(s_sesion->fbDatabase, t);
        q.setSql(QStringLiteral("SELECT precio_empresa_id, nombre, ut_sugerida, posicion, inc FROM tlv_cmp_precios"
                                " ORDER BY posicion"));
        QStringList r;
        for (q.ejecuta(); !q.eof(); q.siguiente())
            r << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(q.campo(0).entero())
                     .arg(q.campo(1).texto(), q.campo(2).moneda().texto(2))
                     .arg(q.campo(3).entero())
                     .arg(q.campo(4).texto());
        return r;
    }

    TfConfigura *abre()
    {
        if (m_ventana)
            delete m_ventana.data();
        m_ventana = new TfConfigura(*s_sesion);
        m_ventana->resize(900, 700);
        m_ventana->show();
        return m_ventana.data();
    }

    // Modo edición con lo mínimo que pasa la validación
    TfConfigura *abreEnEdicion()
    {
        TfConfigura *w = abre();
        w->bEdit->click();
        w->vExe->setText(QString());
        w->vListaClaves->marca(0, true);
        return w;
    }

    // Guarda; true si la ventana se cerró
    bool guarda(TfConfigura *w)
    {
        w->bSave->click();
        const bool cerrada = !w->isVisible();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return cerrada;
    }

    static ErpPrueba::Erp *s_erp;
    static Sesion *s_sesion;
    static QTemporaryDir *s_xdg;
    Respondedor m_respondedor;
    QPointer<TfConfigura> m_ventana;
};

ErpPrueba::Erp *Configura::s_erp = nullptr;
Sesion *Configura::s_sesion = nullptr;
QTemporaryDir *Configura::s_xdg = nullptr;

// Claves que la ventana lee al abrir (en esta empresa: 5 listas, 3 roles, 6 atributos)
QStringList clavesLeidas()
{
    QStringList r{QStringLiteral("ImpExcelClaveStr"), QStringLiteral("ImpExcelNombreStr"),
                  QStringLiteral("ImpExcelUnidadesStr"), QStringLiteral("ImpExcelRenglon"),
                  QStringLiteral("ImpExcelClaveStrCP"), QStringLiteral("ImpExcelCostoStrCP"),
                  QStringLiteral("ImpExcelRenglonCP"), QStringLiteral("Precio promo"),
                  QStringLiteral("Rol_clave_etiquetas"), QStringLiteral("Rol_clave_alterna"),
                  QStringLiteral("AlmacenLocalizacion"), QStringLiteral("exe_ptcomm"), QStringLiteral("com"),
                  QStringLiteral("pt_address"), QStringLiteral("BarTenderExe"), QStringLiteral("BarTenderParams"),
                  QStringLiteral("BarTenderText"), QStringLiteral("CarpetaFormatos"),
                  QStringLiteral("SeleccionarPrecio"), QStringLiteral("SeleccionarClave"),
                  QStringLiteral("ModificaPrecio"), QStringLiteral("ModifP1"), QStringLiteral("DescArtsCostoCero"),
                  QStringLiteral("UsarMarckup"), QStringLiteral("AumentarMarckup"),
                  QStringLiteral("DisminuirMarckup"), QStringLiteral("ActualizarMarckup"),
                  QStringLiteral("Impresion"), QStringLiteral("moneda1"), QStringLiteral("FolioCambioPrecios")};
    for (int i = 1; i <= 5; ++i)
        r << QStringLiteral("listaprecios%1").arg(i);
    for (int i = 1; i <= 3; ++i)
        r << QStringLiteral("listaClaves%1").arg(i);
    for (int i = 1; i <= 6; ++i)
        r << QStringLiteral("CampoPartEtiqueta%1").arg(i);
    return r;
}

} // namespace

TEST_F(Configura, BaseNuevaMuestraLasOmisionesYDejaLasClavesVacias)
{
    TfConfigura *w = abre();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Configuración"));
    EXPECT_EQ(w->vExe->text(), QStringLiteral("C:\\Tolvanix\\Etiquetas\\ptComm\\PtComm.exe"));
    EXPECT_EQ(w->vCOM->value(), 1);
    EXPECT_EQ(w->vAddress->text(), QStringLiteral("A"));
    EXPECT_EQ(w->vExcelClave->text(), QStringLiteral("A"));
    EXPECT_EQ(w->vExcelNombre->text(), QStringLiteral("B"));
    EXPECT_EQ(w->vExcelUnidades->text(), QStringLiteral("C"));
    EXPECT_EQ(w->vExcelRenglon->value(), 2);
    EXPECT_EQ(w->vExcelClaveCP->text(), QStringLiteral("A"));
    EXPECT_EQ(w->vExcelCostoCP->text(), QStringLiteral("B"));
    EXPECT_EQ(w->vExcelRenglonCP->value(), 2);
    // La lista "L" marcada, la moneda local elegida; listas por nombre
    EXPECT_EQ(w->vListaPrecios->texto(), QStringLiteral("Precio de lista"));
    EXPECT_EQ(w->vListaPrecios->cantidad(), 5);
    EXPECT_EQ(w->vListaClaves->texto(), QString());
    EXPECT_EQ(w->vMoneda1->currentText(), QStringLiteral("Moneda nacional"));
    EXPECT_EQ(w->vMoneda1->placeholderText(), QStringLiteral(" < Seleccione una moneda >"));
    EXPECT_EQ(w->vRol->currentIndex(), -1);
    EXPECT_EQ(w->vAlmacenLoc->currentIndex(), -1);
    EXPECT_EQ(w->vFolio->text(), QString());
    // Grupo de BarTender oculto, con sus omisiones mientras Impresion está en blanco
    EXPECT_TRUE(w->gBarTender->isHidden());
    EXPECT_EQ(w->vBarExe2->text(), QString());
    EXPECT_EQ(w->vBarParam2->text(), QStringLiteral("/P /X"));
    EXPECT_EQ(w->vBarText2->text(), QStringLiteral("C:\\Tolvanix\\Etiquetas\\ARTS_PRECIO.TXT"));
    EXPECT_EQ(w->btFormaros->text(), QStringLiteral("C:\\Tolvanix\\Etiquetas\\Formatos\\"));
    EXPECT_FALSE(w->rCom->isChecked());
    EXPECT_FALSE(w->rBar->isChecked());
    EXPECT_EQ(m_respondedor.cuantos(), 0) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();

    // Cada clave leída quedó guardada vacía
    for (const QString &c : clavesLeidas())
        EXPECT_EQ(valor(c), QString()) << c.toStdString();
    EXPECT_EQ(valor(QStringLiteral("Formato")), kSinValor); // una que la ventana no lee
}

TEST_F(Configura, ModoConsultaYModoEdicion)
{
    TfConfigura *w = abre();
    EXPECT_FALSE(w->modoEdicion());
    EXPECT_TRUE(w->vAddress->isReadOnly());
    EXPECT_TRUE(w->vFolio->isReadOnly());
    EXPECT_TRUE(w->vCOM->isReadOnly());
    EXPECT_TRUE(w->vExe->soloLectura());
    EXPECT_TRUE(w->vExe->boton()->isHidden());
    EXPECT_TRUE(w->vMoneda1->soloLectura());
    EXPECT_FALSE(w->chPromo->isEnabled());
    EXPECT_FALSE(w->ram->isEnabled());
    EXPECT_FALSE(w->vListaPrecios->isEnabled());
    EXPECT_FALSE(w->cmClavealt->isEnabled());
    // La rejilla: solo "Aumentar" se puede tocar
    QAbstractItemModel *m = w->cxGridDB2->model();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Tipos de precio"));
    EXPECT_EQ(m->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(), QStringLiteral("Aumentar / Disminuir"));

    // Un clic en la lista de solo lectura no la cambia
    QTest::mouseClick(w->vMoneda1, Qt::LeftButton);
    EXPECT_EQ(w->vMoneda1->currentText(), QStringLiteral("Moneda nacional"));

    w->bEdit->click();
    w->bEdit->click(); // sigue abajo
    EXPECT_TRUE(w->modoEdicion());
    EXPECT_FALSE(w->vAddress->isReadOnly());
    EXPECT_FALSE(w->vExe->soloLectura());
    EXPECT_FALSE(w->vExe->boton()->isHidden());
    EXPECT_FALSE(w->vMoneda1->soloLectura());
    EXPECT_TRUE(w->chPromo->isEnabled());
    EXPECT_TRUE(w->vListaPrecios->isEnabled());
    EXPECT_FALSE(w->cmClavealt->isEnabled());
    EXPECT_TRUE(w->cxGridDB2->isEnabled());

    // Lo escrito pasa a mayúsculas; el botón del archivo abre el selector con su filtro
    w->vFolio->clear();
    QTest::keyClicks(w->vFolio, QStringLiteral("cp12"));
    EXPECT_EQ(w->vFolio->text(), QStringLiteral("CP12"));
    GuionArchivos archivos;
    archivos.agrega(QStringLiteral("/opt/ptcomm/PtComm.exe"));
    w->vExe->boton()->click();
    EXPECT_EQ(w->vExe->text(), QStringLiteral("/opt/ptcomm/PtComm.exe"));
    ASSERT_EQ(archivos.solicitudes().size(), 1);
    EXPECT_EQ(archivos.solicitudes()[0].filtro, QStringLiteral("Ejecutables (*.exe)"));
}

TEST_F(Configura, ListasCamposYFolioSeGuardanPorPosicion)
{
    // Cuatro atributos de artículos: dos pasan a otro objeto durante la prueba
    sql(QStringLiteral("UPDATE atributos SET clave_objeto = 'CLIENTES' WHERE nombre IN ('Color', 'Material')"));
    struct Restaura
    {
        ~Restaura()
        {
            Configura::sql(QStringLiteral(
                "UPDATE atributos SET clave_objeto = 'ARTICULOS' WHERE nombre IN ('Color', 'Material')"));
        }
    } restaura;
    // El INI tenía valores viejos
    ArchivoIni ini(RutaIni());
    ini.escribeTexto(QStringLiteral("Etiquetas"), QStringLiteral("listaprecios1"), QStringLiteral("99"));
    ini.escribeTexto(QStringLiteral("Etiquetas"), QStringLiteral("listaClaves2"), QStringLiteral("98"));

    TfConfigura *w = abreEnEdicion();
    // Orden por nombre: Afiliados, Distribuidor, Mayoreo, Precio de lista, Web
    ASSERT_EQ(w->ajustes().nombresPrecios,
              (QStringList{QStringLiteral("Afiliados"), QStringLiteral("Distribuidor"), QStringLiteral("Mayoreo"),
                           QStringLiteral("Precio de lista"), QStringLiteral("Web")}));
    w->vListaPrecios->quitaSeleccion();
    for (int i : {4, 0, 2}) // marcadas en otro orden
        w->vListaPrecios->marca(i, true);
    EXPECT_EQ(w->vListaPrecios->texto(), QStringLiteral("Afiliados,Mayoreo,Web"));
    w->vListaClaves->marca(0, false);
    w->vListaClaves->marca(1, true);
    ASSERT_EQ(w->vCamposPart->cantidad(), 4);
    w->vCamposPart->marca(1, true);
    w->vCamposPart->marca(3, true);
    w->vFolio->setText(QStringLiteral("A1"));
    ASSERT_TRUE(guarda(w)) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(valor(QStringLiteral("listaprecios1")), idPrecio(QStringLiteral("Afiliados")));
    EXPECT_EQ(valor(QStringLiteral("listaprecios2")), idPrecio(QStringLiteral("Mayoreo")));
    EXPECT_EQ(valor(QStringLiteral("listaprecios3")), idPrecio(QStringLiteral("Web")));
    EXPECT_EQ(valor(QStringLiteral("listaprecios4")), QString());
    EXPECT_EQ(valor(QStringLiteral("listaprecios5")), QString());
    const auto rol = [](const char *n) {
        return QString::number(id(QStringLiteral("roles_claves_articulos"), QStringLiteral("rol_clave_art_id"),
                                  QString::fromUtf8(n)));
    };
    EXPECT_EQ(valor(QStringLiteral("listaClaves1")), rol("Código de barras"));
    EXPECT_EQ(valor(QStringLiteral("listaClaves2")), QString());
    const auto atributo = [](const char *n) {
        return QString::number(id(QStringLiteral("atributos"), QStringLiteral("atributo_id"), QString::fromUtf8(n)));
    };
    // Por nombre: Fecha de revisión, Garantía (meses), Hecho en México, VALOR_PUNTOS
    EXPECT_EQ(valor(QStringLiteral("CampoPartEtiqueta1")), QString());
    EXPECT_EQ(valor(QStringLiteral("CampoPartEtiqueta2")), atributo("Garantía (meses)"));
    EXPECT_EQ(valor(QStringLiteral("CampoPartEtiqueta3")), QString());
    EXPECT_EQ(valor(QStringLiteral("CampoPartEtiqueta4")), atributo("VALOR_PUNTOS"));
    EXPECT_EQ(valor(QStringLiteral("FolioCambioPrecios")), QStringLiteral("A00000001"));
    // El INI queda en blanco, una clave por lista y por rol
    for (int p = 1; p <= 5; ++p) {
        EXPECT_TRUE(ini.existeClave(QStringLiteral("Etiquetas"), QStringLiteral("listaprecios%1").arg(p)));
        EXPECT_EQ(ini.leeTexto(QStringLiteral("Etiquetas"), QStringLiteral("listaprecios%1").arg(p), QStringLiteral("x")),
                  QString());
    }
    EXPECT_EQ(ini.leeTexto(QStringLiteral("Etiquetas"), QStringLiteral("listaClaves2"), QStringLiteral("x")), QString());
    EXPECT_TRUE(ini.existeClave(QStringLiteral("Etiquetas"), QStringLiteral("listaClaves3")));

    // Al abrir de nuevo se ve lo guardado
    w = abre();
    EXPECT_EQ(w->vListaPrecios->marcas(), (QList<bool>{true, false, true, false, true}));
    EXPECT_EQ(w->vListaClaves->marcas(), (QList<bool>{false, true, false}));
    EXPECT_EQ(w->vCamposPart->marcas(), (QList<bool>{false, true, false, true}));
    EXPECT_EQ(w->vFolio->text(), QStringLiteral("A1"));

    // Folios: vacío y más largo que nueve
    struct Caso
    {
        const char *escrito, *guardado, *mostrado;
    };
    for (const Caso &c : {Caso{"", "000000000", ""}, Caso{"A1234567890", "A1234567890", "A1234567890"},
                          Caso{"CP120", "CP0000120", "CP120"}}) {
        w = abreEnEdicion();
        w->vFolio->setText(QString::fromUtf8(c.escrito));
        ASSERT_TRUE(guarda(w)) << c.escrito;
        EXPECT_EQ(valor(QStringLiteral("FolioCambioPrecios")), QString::fromUtf8(c.guardado)) << c.escrito;
        w = abre();
        EXPECT_EQ(w->vFolio->text(), QString::fromUtf8(c.mostrado)) << c.escrito;
    }
}

TEST_F(Configura, ValoresNoNumericosNoMarcanNada)
{
    TfConfigura *w = abre();
    delete w;
    sql(QStringLiteral("UPDATE tlv_registro SET valor = 'abc' WHERE nombre IN ('listaprecios1', 'moneda1',"
                       " 'CampoPartEtiqueta1', 'Rol_clave_etiquetas', 'com')"));
    sql(QStringLiteral("UPDATE tlv_registro SET valor = '%1' WHERE nombre = 'listaprecios2'")
            .arg(idPrecio(QStringLiteral("Web"))));
    w = abre();
    EXPECT_EQ(m_respondedor.cuantos(), 0);
    EXPECT_EQ(w->vListaPrecios->texto(), QStringLiteral("Web"));
    EXPECT_EQ(w->vMoneda1->currentIndex(), -1);
    EXPECT_EQ(w->vRol->currentIndex(), -1);
    EXPECT_EQ(w->vCamposPart->texto(), QString());
    EXPECT_EQ(w->vCOM->value(), 1);
}

TEST_F(Configura, CasillasSiNoIdaYVuelta)
{
    // Cada clave con su control: solo esa en "S" al abrir, y se guarda igual
    const QStringList claves{QStringLiteral("SeleccionarPrecio"), QStringLiteral("SeleccionarClave"),
                             QStringLiteral("ModificaPrecio"),    QStringLiteral("ModifP1"),
                             QStringLiteral("DescArtsCostoCero"), QStringLiteral("UsarMarckup"),
                             QStringLiteral("AumentarMarckup"),   QStringLiteral("DisminuirMarckup"),
                             QStringLiteral("ActualizarMarckup"), QStringLiteral("Precio promo")};
    auto controles = [](TfConfigura *w) {
        return QList<QAbstractButton *>{w->chPrecio,    w->chklistaClaves,      w->ChPreciosModif, w->chModifP1,
                                        w->chDescArtsCostoCero, w->chkMarckup, w->ram,           w->rDm,
                                        w->ChkActmark,  w->chPromo};
    };
    delete abre(); // crea las claves vacías
    for (int i = 0; i < claves.size(); ++i) {
        QStringList si{claves[i]};
        if (claves[i] == QLatin1String("UsarMarckup"))
            si << QStringLiteral("AumentarMarckup"); // si no, no pasa la validación
        for (const QString &c : claves)
            sql(QStringLiteral("UPDATE tlv_registro SET valor = '%1' WHERE nombre = '%2'")
                    .arg(si.contains(c) ? QStringLiteral("S") : QStringLiteral("N"), c));
        TfConfigura *w = abreEnEdicion();
        const QList<QAbstractButton *> b = controles(w);
        for (int j = 0; j < claves.size(); ++j)
            EXPECT_EQ(b[j]->isChecked(), si.contains(claves[j])) << claves[i].toStdString() << " / " << claves[j].toStdString();
        ASSERT_TRUE(guarda(w)) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();
        for (const QString &c : claves)
            EXPECT_EQ(valor(c), si.contains(c) ? QStringLiteral("S") : QStringLiteral("N"))
                << claves[i].toStdString() << " / " << c.toStdString();
    }
}

TEST_F(Configura, ListasDeUnaEleccionYColumnasIdaYVuelta)
{
    TfConfigura *w = abreEnEdicion();
    w->vMoneda1->setCurrentIndex(w->vMoneda1->findText(QStringLiteral("Dólar estadounidense")));
    w->vRol->setCurrentIndex(w->vRol->findText(QStringLiteral("Código de barras")));
    w->vAlmacenLoc->setCurrentIndex(w->vAlmacenLoc->findText(QStringLiteral("Bodega norte")));
    w->vExcelClave->setText(QStringLiteral("AB"));
    w->vExcelNombre->setText(QStringLiteral("D"));
    w->vExcelUnidades->setText(QStringLiteral("XFD"));
    w->vExcelRenglon->setValue(7);
    w->vExcelClaveCP->setText(QStringLiteral("C"));
    w->vExcelCostoCP->setText(QStringLiteral("E"));
    w->vExcelRenglonCP->setValue(3);
    w->vCOM->setValue(19);
    w->vAddress->setText(QStringLiteral("C"));
    ASSERT_TRUE(guarda(w)) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(valor(QStringLiteral("moneda1")),
              QString::number(id(QStringLiteral("monedas"), QStringLiteral("moneda_id"),
                                 QStringLiteral("Dólar estadounidense"))));
    EXPECT_EQ(valor(QStringLiteral("Rol_clave_etiquetas")),
              QString::number(id(QStringLiteral("roles_claves_articulos"), QStringLiteral("rol_clave_art_id"),
                                 QStringLiteral("Código de barras"))));
    EXPECT_EQ(valor(QStringLiteral("AlmacenLocalizacion")),
              QString::number(id(QStringLiteral("almacenes"), QStringLiteral("almacen_id"),
                                 QStringLiteral("Bodega norte"))));
    EXPECT_EQ(valor(QStringLiteral("Rol_clave_alterna")), QString());
    const std::pair<const char *, const char *> guardados[] = {
        {"ImpExcelClaveStr", "AB"}, {"ImpExcelNombreStr", "D"},  {"ImpExcelUnidadesStr", "XFD"},
        {"ImpExcelRenglon", "7"},   {"ImpExcelClaveStrCP", "C"}, {"ImpExcelCostoStrCP", "E"},
        {"ImpExcelRenglonCP", "3"}, {"com", "19"},               {"pt_address", "C"}};
    for (const auto &[clave, esperado] : guardados)
        EXPECT_EQ(valor(QString::fromLatin1(clave)), QString::fromLatin1(esperado)) << clave;

    w = abre();
    EXPECT_EQ(w->vMoneda1->currentText(), QStringLiteral("Dólar estadounidense"));
    EXPECT_EQ(w->vRol->currentText(), QStringLiteral("Código de barras"));
    EXPECT_EQ(w->vAlmacenLoc->currentText(), QStringLiteral("Bodega norte"));
    EXPECT_EQ(w->vExcelUnidades->text(), QStringLiteral("XFD"));
    EXPECT_EQ(w->vExcelRenglon->value(), 7);
    EXPECT_EQ(w->vExcelRenglonCP->value(), 3);
    EXPECT_EQ(w->vCOM->value(), 19);
    EXPECT_EQ(w->vAddress->text(), QStringLiteral("C"));
}

TEST_F(Configura, RejillaDePreciosACapturar)
{
    const QString lista = idPrecio(QStringLiteral("Precio de lista"));
    const QString mayoreo = idPrecio(QStringLiteral("Mayoreo"));
    const QString web = idPrecio(QStringLiteral("Web"));
    const QString distribuidor = idPrecio(QStringLiteral("Distribuidor"));
    sql(QStringLiteral("INSERT INTO tlv_cmp_precios (precio_empresa_id, nombre, ut_sugerida, posicion, inc)"
                       " VALUES (%1, 'Lista', 10, 0, 'S')").arg(lista));
    sql(QStringLiteral("INSERT INTO tlv_cmp_precios (precio_empresa_id, nombre, ut_sugerida, posicion, inc)"
                       " VALUES (%1, 'Mayoreo', 5.5, 1, 'N')").arg(mayoreo));
    const QStringList antes = listasCaptura();

    TfConfigura *w = abreEnEdicion();
    QAbstractItemModel *m = w->cxGridDB2->model();
    // Se cargan en el orden del margen
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("Mayoreo"));
    EXPECT_EQ(m->index(0, 2).data().toString(), QStringLiteral("5.50"));
    EXPECT_EQ(m->index(0, 3).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    EXPECT_EQ(m->index(1, 1).data().toString(), QStringLiteral("Lista"));
    EXPECT_EQ(m->index(1, 3).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

    // Un renglón repetido: falla el guardado y las filas de antes siguen
    w->agregaRenglon();
    ASSERT_TRUE(m->setData(m->index(2, 0), mayoreo.toLongLong()));
    ASSERT_TRUE(m->setData(m->index(2, 1), QStringLiteral("Otra")));
    w->vFolio->setText(QStringLiteral("B7"));
    EXPECT_FALSE(guarda(w));
    ASSERT_EQ(m_respondedor.cuantos(), 1);
    EXPECT_TRUE(m_respondedor.ultimo().texto.startsWith(QStringLiteral("Error al guardar los precios: \r\r")))
        << m_respondedor.ultimo().texto.toStdString();
    EXPECT_GT(m_respondedor.ultimo().texto.size(), 36);
    EXPECT_EQ(m_respondedor.ultimo().titulo, QStringLiteral("Error"));
    EXPECT_EQ(m_respondedor.ultimo().flags, MsjError);
    EXPECT_EQ(listasCaptura(), antes);
    // Lo de antes del reemplazo quedó escrito; lo de después no
    EXPECT_EQ(valor(QStringLiteral("FolioCambioPrecios")), QStringLiteral("B00000007"));
    EXPECT_EQ(valor(QStringLiteral("ImpExcelClaveStr")), QString());

    // Se corrige; un renglón sin nombre corto no se guarda ni cuenta posición
    ASSERT_TRUE(m->setData(m->index(2, 0), web.toLongLong()));
    ASSERT_TRUE(m->setData(m->index(2, 2), 7.25));
    ASSERT_TRUE(m->setData(m->index(2, 3), int(Qt::Checked), Qt::CheckStateRole));
    w->agregaRenglon();
    ASSERT_TRUE(m->setData(m->index(3, 0), distribuidor.toLongLong()));
    ASSERT_TRUE(m->setData(m->index(3, 1), QStringLiteral("   ")));
    // El renglón sin nombre va antes que uno con nombre
    w->agregaRenglon();
    ASSERT_TRUE(m->setData(m->index(4, 0), distribuidor.toLongLong()));
    ASSERT_TRUE(m->setData(m->index(4, 1), QStringLiteral("Distrib")));
    ASSERT_TRUE(guarda(w)) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(listasCaptura(), (QStringList{mayoreo + QStringLiteral("|Mayoreo|5.50|0|N"),
                                            lista + QStringLiteral("|Lista|10.00|1|S"),
                                            web + QStringLiteral("|Otra|7.25|2|S"),
                                            distribuidor + QStringLiteral("|Distrib|0.00|3|N")}))
        << listasCaptura().join(QLatin1Char(' ')).toStdString();
}

TEST_F(Configura, GuardarSinModificarNoEscribeNada)
{
    sql(QStringLiteral("INSERT INTO tlv_cmp_precios (precio_empresa_id, nombre, ut_sugerida, posicion, inc)"
                       " VALUES (%1, 'Lista', 10, 0, 'N')").arg(idPrecio(QStringLiteral("Precio de lista"))));
    TfConfigura *w = abre();
    const auto antes = foto();
    w->vFolio->setText(QStringLiteral("Z9"));
    w->vListaPrecios->marca(0, true);
    QAbstractItemModel *m = w->cxGridDB2->model();
    ASSERT_TRUE(m->setData(m->index(0, 3), int(Qt::Checked), Qt::CheckStateRole)); // se puede aun en consulta
    EXPECT_FALSE(m->setData(m->index(0, 1), QStringLiteral("Otro")));               // esta no
    EXPECT_TRUE(guarda(w));
    EXPECT_EQ(foto(), antes);
    EXPECT_EQ(m_respondedor.cuantos(), 0);
}

TEST_F(Configura, Validaciones)
{
    QTemporaryDir dir;
    const QString exe = dir.path() + QStringLiteral("/PtComm.exe");
    {
        QFile f(exe);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    struct Caso
    {
        const char *nombre;
        std::function<void(TfConfigura *)> cambia;
        const char *mensaje; // nullptr: guarda
        int pagina;          // pestaña que queda (-1: la que estaba)
    };
    const QString exeExiste = exe;
    const Caso casos[] = {
        {"ruta en blanco", [](TfConfigura *w) { w->vExe->setText(QStringLiteral("  ")); }, nullptr, 0},
        {"archivo que existe", [exeExiste](TfConfigura *w) { w->vExe->setText(exeExiste); }, nullptr, 0},
        {"archivo que falta", [exeExiste](TfConfigura *w) { w->vExe->setText(exeExiste + QStringLiteral("x")); },
         "Indique un archivo válido para el programa ptComm", 0},
        {"sin lista de precios", [](TfConfigura *w) { w->vListaPrecios->quitaSeleccion(); },
         "Seleccione una lista de precios", 0},
        {"sin rol de clave", [](TfConfigura *w) { w->vListaClaves->quitaSeleccion(); }, "Seleccione una clave", 1},
        {"markup sin aumentar ni disminuir", [](TfConfigura *w) { w->chkMarckup->setChecked(true); },
         "Seleccione si aumentar o disminuir el Markup.", -1},
        {"markup que disminuye",
         [](TfConfigura *w) {
             w->chkMarckup->setChecked(true);
             w->rDm->setChecked(true);
         },
         nullptr, 0},
    };
    for (const Caso &c : casos) {
        m_respondedor.limpia();
        TfConfigura *w = abreEnEdicion();
        w->Paginas->setCurrentIndex(2);
        c.cambia(w);
        const bool cerrada = guarda(w);
        if (!c.mensaje) {
            EXPECT_TRUE(cerrada) << c.nombre << ": " << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(m_respondedor.cuantos(), 0) << c.nombre;
            continue;
        }
        EXPECT_FALSE(cerrada) << c.nombre;
        ASSERT_EQ(m_respondedor.cuantos(), 1) << c.nombre;
        EXPECT_EQ(m_respondedor.ultimo().texto, QString::fromUtf8(c.mensaje)) << c.nombre;
        EXPECT_EQ(m_respondedor.ultimo().titulo, QStringLiteral("Aviso del sistema")) << c.nombre;
        EXPECT_EQ(m_respondedor.ultimo().flags, MsjInformacion) << c.nombre;
        EXPECT_EQ(w->Paginas->currentIndex(), c.pagina < 0 ? 2 : c.pagina) << c.nombre;
        EXPECT_TRUE(w->modoEdicion()) << c.nombre;
    }
    // Lo último guardado: disminuir el markup
    EXPECT_EQ(valor(QStringLiteral("UsarMarckup")), QStringLiteral("S"));
    EXPECT_EQ(valor(QStringLiteral("AumentarMarckup")), QStringLiteral("N"));
    EXPECT_EQ(valor(QStringLiteral("DisminuirMarckup")), QStringLiteral("S"));
}

TEST_F(Configura, BarTenderPrimeroConOmisionesLuegoVacio)
{
    TfConfigura *w = abreEnEdicion();
    ASSERT_TRUE(guarda(w)) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(valor(QStringLiteral("BarTenderExe")), QString());
    EXPECT_EQ(valor(QStringLiteral("BarTenderParams")), QStringLiteral("/P /X"));
    EXPECT_EQ(valor(QStringLiteral("BarTenderText")), QStringLiteral("C:\\Tolvanix\\Etiquetas\\ARTS_PRECIO.TXT"));
    EXPECT_EQ(valor(QStringLiteral("CarpetaFormatos")), QStringLiteral("C:\\Tolvanix\\Etiquetas\\Formatos\\"));
    EXPECT_EQ(valor(QStringLiteral("Impresion")), QStringLiteral("C"));
    // Otros valores de la primera vez
    EXPECT_EQ(valor(QStringLiteral("com")), QStringLiteral("1"));
    EXPECT_EQ(valor(QStringLiteral("pt_address")), QStringLiteral("A"));
    EXPECT_EQ(valor(QStringLiteral("moneda1")),
              QString::number(id(QStringLiteral("monedas"), QStringLiteral("moneda_id"),
                                 QStringLiteral("Moneda nacional"))));
    EXPECT_EQ(valor(QStringLiteral("ImpExcelRenglon")), QStringLiteral("2"));
    EXPECT_EQ(valor(QStringLiteral("ImpExcelCostoStrCP")), QStringLiteral("B"));
    EXPECT_EQ(valor(QStringLiteral("Precio promo")), QStringLiteral("N"));
    EXPECT_EQ(valor(QStringLiteral("Rol_clave_etiquetas")), QString());

    // Con "C" guardado: impresión directa, campos vacíos y bloqueados, rejilla apagada
    w = abre();
    EXPECT_TRUE(w->rCom->isChecked());
    EXPECT_EQ(w->vBarParam2->text(), QString());
    EXPECT_EQ(w->vBarText2->text(), QString());
    EXPECT_TRUE(w->vBarParam2->isReadOnly());
    EXPECT_FALSE(w->cxGridDB2->isEnabled());
    w->bEdit->click();
    EXPECT_TRUE(w->cxGridDB2->isEnabled());
    w->vExe->setText(QString());
    ASSERT_TRUE(guarda(w)) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();
    for (const char *c : {"BarTenderExe", "BarTenderParams", "BarTenderText", "CarpetaFormatos"})
        EXPECT_EQ(valor(QString::fromLatin1(c)), QString()) << c;
    EXPECT_EQ(valor(QStringLiteral("Impresion")), QStringLiteral("C"));
}

TEST_F(Configura, TecladoDeLaRejilla)
{
    TfConfigura *w = abre();
    RejillaCaptura *g = w->cxGridDB2;
    MemTable &t = DatosActual().mCmpPrecios;
    QFocusEvent entra(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(g, &entra);
    EXPECT_EQ(t.cantidad(), 0); // en consulta no agrega

    w->bEdit->click();
    QApplication::sendEvent(g, &entra);
    ASSERT_EQ(t.cantidad(), 1); // entrar en edición con la tabla vacía agrega uno
    QAbstractItemModel *m = g->model();
    EXPECT_EQ(g->currentIndex(), m->index(0, 0));
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(g->currentIndex(), m->index(0, 1));
    // Escribir el nombre en su editor y Enter: se guarda y pasa al porcentaje
    g->edit(g->currentIndex());
    auto *editor = qobject_cast<QLineEdit *>(g->indexWidget(g->currentIndex()));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("Menudeo"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(m->index(0, 1).data().toString(), QStringLiteral("Menudeo"));
    EXPECT_EQ(g->currentIndex(), m->index(0, 2));
    // Sin lista de precios, Enter en el porcentaje vuelve al principio del mismo renglón
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(t.cantidad(), 1);
    EXPECT_EQ(g->currentIndex(), m->index(0, 0));
    // Con lista, Enter en "Aumentar" agrega un renglón y va a él
    ASSERT_TRUE(m->setData(m->index(0, 0), idPrecio(QStringLiteral("Web")).toLongLong()));
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("Web"));
    g->setCurrentIndex(m->index(0, 3));
    QTest::keyClick(g, Qt::Key_Enter);
    EXPECT_EQ(t.cantidad(), 2);
    EXPECT_EQ(g->currentIndex(), m->index(1, 0));
    EXPECT_FALSE(m->index(1, 3).data(Qt::CheckStateRole).toInt() == Qt::Checked);
    // Ctrl+Supr borra sin preguntar
    QTest::keyClick(g, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(t.cantidad(), 1);
    EXPECT_EQ(m_respondedor.cuantos(), 0);
}

TEST(ConfiguraFormato, PorcentajeConDosACincoDecimales)
{
    EXPECT_EQ(FormatoPorcentaje(5), QStringLiteral("5.00"));
    EXPECT_EQ(FormatoPorcentaje(12.5), QStringLiteral("12.50"));
    EXPECT_EQ(FormatoPorcentaje(1.23456), QStringLiteral("1.23456"));
    EXPECT_EQ(FormatoPorcentaje(1.234564), QStringLiteral("1.23456"));
    EXPECT_EQ(FormatoPorcentaje(-3.125), QStringLiteral("-3.125"));
    EXPECT_EQ(FormatoPorcentaje(-0.000001), QStringLiteral("0.00"));
}

TEST(ConfiguraLista, MenuDeMarcas)
{
    ComboMarcas c;
    c.ponElementos({QStringLiteral("Uno"), QStringLiteral("Dos, con coma"), QStringLiteral("Tres")});
    c.marca(1, true);
    EXPECT_EQ(c.texto(), QStringLiteral("Dos, con coma"));
    c.invierteSeleccion();
    EXPECT_EQ(c.marcas(), (QList<bool>{true, false, true}));
    c.seleccionaTodo();
    EXPECT_EQ(c.texto(), QStringLiteral("Uno,Dos, con coma,Tres"));
    c.quitaSeleccion();
    EXPECT_EQ(c.texto(), QString());

    // Un clic en la lista desplegada marca y la deja abierta; otro desmarca
    c.show();
    c.showPopup();
    QWidget *vista = c.view()->viewport();
    const QPoint punto = c.view()->visualRect(c.model()->index(2, 0)).center();
    QTest::mouseClick(vista, Qt::LeftButton, {}, punto);
    EXPECT_EQ(c.marcas(), (QList<bool>{false, false, true}));
    EXPECT_TRUE(c.view()->isVisible());
    QTest::mouseClick(vista, Qt::LeftButton, {}, punto);
    EXPECT_EQ(c.texto(), QString());
    // Espacio alterna la entrada actual
    c.view()->setCurrentIndex(c.model()->index(0, 0));
    QTest::keyClick(c.view(), Qt::Key_Space);
    EXPECT_EQ(c.texto(), QStringLiteral("Uno"));
    c.hidePopup();
}

#if __has_include("labels/col_Cenefa.h")
#include "common/ComboMarcas.h"
#include "labels/col_Cenefa.h"

TEST_F(Configura, LaVentanaDeEtiquetasAbreConLoElegido)
{
    TfConfigura *w = abreEnEdicion();
    w->vListaPrecios->quitaSeleccion();
    for (int i : {0, 2, 4}) // Afiliados, Mayoreo, Web
        w->vListaPrecios->marca(i, true);
    w->vListaClaves->quitaSeleccion();
    w->vListaClaves->marca(1, true); // Código de barras
    w->vListaClaves->marca(2, true); // Código de empaque
    w->chPrecio->setChecked(true);   // se puede cambiar la lista de precios
    w->chklistaClaves->setChecked(false);
    w->vRol->setCurrentIndex(0);
    ASSERT_TRUE(guarda(w)) << m_respondedor.textos().join(QLatin1Char('\n')).toStdString();

    std::unique_ptr<TMForm> etiquetas(CreaCol_Cenefa(nullptr));
    ASSERT_NE(etiquetas, nullptr);
    etiquetas->setAttribute(Qt::WA_DeleteOnClose, false);
    etiquetas->show();
    auto *e = qobject_cast<Tfcol_Cenefa *>(etiquetas.get());
    ASSERT_NE(e, nullptr);
    QStringList precios = e->cbPrecio->nombresMarcados();
    precios.sort();
    EXPECT_EQ(precios, (QStringList{QStringLiteral("Afiliados"), QStringLiteral("Mayoreo"), QStringLiteral("Web")}));
    QStringList claves = e->cbClaves->nombresMarcados();
    claves.sort();
    EXPECT_EQ(claves, (QStringList{QStringLiteral("Código de barras"), QStringLiteral("Código de empaque")}));
    EXPECT_FALSE(e->cbPrecio->soloLectura());
    EXPECT_TRUE(e->cbClaves->soloLectura());
    for (const MensajeMostrado &m : m_respondedor.mensajes())
        ADD_FAILURE() << m.texto.toStdString();
}
#endif
