#include "app/Conecta.h"
#include "app/Empresas.h"
#include "app/Sesion.h"
#include "common/Dialogos.h"
#include "db/Registro.h"
#include "db/datos.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbTransaccion.h"
#include "Entorno.h"
#include "ErpPrueba.h"
#include "ImprimeQt.h"
#include "Respondedor.h"
#include "SesionPrueba.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Un ERP en el servidor para todo el programa; el esquema sólo en la primera empresa
class Conecta : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_erp = std::make_unique<ErpPrueba::Erp>(ErpPrueba::crea());
        if (s_erp->ok)
            s_errorEsquema = SesionPrueba::instalaEsquema(s_erp->empresaBd(0), s_erp->configBd());
    }
    static void TearDownTestSuite() { s_erp.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_erp->ok) << s_erp->error.toStdString();
        ASSERT_TRUE(s_errorEsquema.isEmpty()) << s_errorEsquema.toStdString();
        m_comun = m_tmp.path() + QStringLiteral("/comun/Microsip/ProgramData.xml");
        m_usuario = m_tmp.path() + QStringLiteral("/local/Microsip/ProgramData.xml");
        // Perfil "Pruebas" hacia el ERP del servidor, más otro que va primero en la lista
        QDir().mkpath(QFileInfo(m_comun).absolutePath());
        QFile f(m_comun);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QString dir = s_erp->carpeta;
        f.write(QStringLiteral("<?xml version=\"1.0\"?>\n<ProgramData><LocalMachine><Software><Microsip><Conexiones>"
                               "<Pruebas><Nombre_del_servidor>%1</Nombre_del_servidor>"
                               "<Directorio_de_datos>%2</Directorio_de_datos><Protocolo>0</Protocolo></Pruebas>"
                               "<Aaa_otra><Directorio_de_datos>/no/existe/</Directorio_de_datos></Aaa_otra>"
                               "</Conexiones></Microsip></Software></LocalMachine></ProgramData>")
                    .arg(Entorno::servidor(), dir)
                    .toUtf8());
    }

    FuentePerfiles fuente() const
    {
        return FuentePerfiles(m_comun, m_usuario, m_tmp.path() + QStringLiteral("/Registro.ini"),
                              QString::fromUtf8("José"));
    }

    // Llena el diálogo y pulsa Aceptar
    static void entra(TfConecta &d, const QString &usuario, const QString &clave, const QString &perfil = "Pruebas")
    {
        d.eUsuario()->setText(usuario);
        d.cbConexion()->setCurrentIndex(d.cbConexion()->findText(perfil));
        d.eClave()->setText(clave);
        ASSERT_TRUE(d.bAceptar()->isEnabled());
        d.bAceptar()->click();
    }

    static std::unique_ptr<ErpPrueba::Erp> s_erp;
    static QString s_errorEsquema;
    QTemporaryDir m_tmp;
    QString m_comun, m_usuario;
};
std::unique_ptr<ErpPrueba::Erp> Conecta::s_erp;
QString Conecta::s_errorEsquema;

int eligeEmpresa(TfEmpresas &d, const QString &nombre, QStringList *ofrecidas = nullptr,
                 QString *preseleccion = nullptr)
{
    if (ofrecidas)
        for (int i = 0; i < d.lista()->count(); ++i)
            *ofrecidas << d.lista()->item(i)->text();
    if (preseleccion)
        *preseleccion = d.empresa();
    const auto hay = d.lista()->findItems(nombre, Qt::MatchExactly);
    if (hay.isEmpty())
        return QDialog::Rejected;
    d.lista()->setCurrentItem(hay.first());
    return QDialog::Accepted;
}

} // namespace

TEST_F(Conecta, ClaveIncorrectaDejaElDialogoAbierto)
{
    Respondedor r;
    Sesion s;
    s.ponTerminador([] {});
    TfConecta d(s, fuente());
    d.show();
    ASSERT_EQ(d.cbConexion()->count(), 2);
    EXPECT_EQ(d.cbConexion()->itemText(0), QStringLiteral("Aaa_otra")); // ordenada
    EXPECT_FALSE(d.bAceptar()->isEnabled());

    entra(d, QStringLiteral("VENDEDOR"), QStringLiteral("mala"));
    ASSERT_EQ(r.cuantos(), 1);
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("El nombre de usuario o contraseña no es válido"));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Error de datos"));
    EXPECT_EQ(r.ultimo().flags, MsjError);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(s.fbConfig.conectada());

    // Aceptar sólo con usuario no vacío, clave y perfil
    d.eUsuario()->setText(QStringLiteral("   "));
    EXPECT_FALSE(d.bAceptar()->isEnabled());
    d.eUsuario()->setText(QStringLiteral("x"));
    d.eClave()->clear();
    EXPECT_FALSE(d.bAceptar()->isEnabled());
}

TEST_F(Conecta, RecuerdaUsuarioPerfilYEmpresa)
{
    Respondedor r;
    {
        Sesion s;
        s.ponTerminador([] {});
        GuionDialogos guion;
        QStringList ofrecidas;
        guion.agrega<TfEmpresas>([&](TfEmpresas &e) {
            return eligeEmpresa(e, QStringLiteral("Ferreteria_Demo"), &ofrecidas);
        });
        TfConecta d(s, fuente());
        d.show();
        entra(d, QStringLiteral(" supervisor "), QStringLiteral("super123"));
        EXPECT_TRUE(r.textos().isEmpty()) << r.textos().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(guion.ejecutados(), 1);
        EXPECT_EQ(ofrecidas, (QStringList{QStringLiteral("Ferreteria_Demo"), QStringLiteral("Papeleria_Centro")}));
        EXPECT_EQ(s.userid, QStringLiteral("supervisor")); // sin blancos y sin pasar a mayúsculas
        EXPECT_EQ(s.Empresa, QStringLiteral("Ferreteria_Demo"));
        EXPECT_GT(s.EmpresaID, 0);
        EXPECT_TRUE(s.fbDatabase.conectada());
        EXPECT_TRUE(s.fbMetadatos.conectada());
        EXPECT_TRUE(s.fbDatabase.base().endsWith(QStringLiteral("/Ferreteria_Demo.fdb")));

        // En el árbol registry del ERP: SUPERVISOR / Microsip / Empresa = id
        Consulta q(s.fbConfig, s.fbConfigTrans);
        q.setSql(QStringLiteral("select v.valor, v.tipo, m.tipo, u.tipo from registry v join registry m on "
                                "m.elemento_id=v.padre_id join registry u on u.elemento_id=m.padre_id "
                                "where v.nombre='Empresa' and m.nombre='Microsip' and u.nombre='SUPERVISOR' "
                                "and u.padre_id=0"));
        q.ejecuta();
        ASSERT_FALSE(q.eof());
        EXPECT_EQ(q.campo(0).texto(), QString::number(s.EmpresaID));
        EXPECT_EQ(q.campo(1).texto() + q.campo(2).texto() + q.campo(3).texto(), QStringLiteral("VLL"));
        q.cierra();
    }
    // Archivo del usuario con el elemento Jos_
    QFile f(m_usuario);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray xml = f.readAll();
    EXPECT_TRUE(xml.contains("<Jos_>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<Usuario>supervisor</Usuario>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<Conexi_n>Pruebas</Conexi_n>")) << xml.constData();

    // Siguiente inicio: ofrece usuario, perfil y empresa; la clave toma el foco
    {
        Sesion s;
        s.ponTerminador([] {});
        TfConecta d(s, fuente());
        d.show();
        QApplication::setActiveWindow(&d);
        EXPECT_EQ(d.eUsuario()->text(), QStringLiteral("supervisor"));
        EXPECT_EQ(d.cbConexion()->currentText(), QStringLiteral("Pruebas"));
        EXPECT_EQ(QApplication::focusWidget(), d.eClave());
        GuionDialogos guion;
        QString preseleccion;
        guion.agrega<TfEmpresas>([&](TfEmpresas &e) {
            return eligeEmpresa(e, QStringLiteral("Papeleria_Centro"), nullptr, &preseleccion);
        });
        d.eClave()->setText(QStringLiteral("super123"));
        d.bAceptar()->click();
        EXPECT_EQ(preseleccion, QStringLiteral("Ferreteria_Demo"));
        EXPECT_EQ(d.empresaRecordada(), QStringLiteral("Ferreteria_Demo"));
        // Papelería no tiene el esquema: el supervisor no pasa y se le pide SYSDBA
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(r.ultimo().texto,
                  QStringLiteral("Es necesario actualizar la base de datos, para hacerlo debe entrar con el usuario SYSDBA"));
        EXPECT_EQ(d.eUsuario()->text(), QStringLiteral("SYSDBA"));
        EXPECT_TRUE(d.eClave()->text().isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), d.eClave());
    }
}

TEST_F(Conecta, EmpresasSegunElUsuario)
{
    Respondedor r;
    // El cajero sólo tiene una empresa: no hay diálogo de empresas
    {
        Sesion s;
        s.ponTerminador([] {});
        GuionDialogos guion;
        TfConecta d(s, fuente());
        d.show();
        entra(d, QStringLiteral("CAJERO"), QStringLiteral("cajero123"));
        EXPECT_EQ(guion.ejecutados(), 0);
        EXPECT_EQ(d.result(), QDialog::Accepted) << r.textos().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(s.Empresa, QStringLiteral("Ferreteria_Demo"));
    }
    // Limitado sin empresas: lista vacía, Aceptar deshabilitado; cancelar deja el diálogo abierto
    {
        Sesion s;
        s.ponTerminador([] {});
        GuionDialogos guion;
        int filas = -1;
        bool aceptarHabilitado = true;
        guion.agrega<TfEmpresas>([&](TfEmpresas &e) {
            filas = e.lista()->count();
            aceptarHabilitado = e.bAceptar()->isEnabled();
            return int(QDialog::Rejected);
        });
        TfConecta d(s, fuente());
        d.show();
        entra(d, QStringLiteral("CONSULTA"), QStringLiteral("consulta123"));
        EXPECT_EQ(guion.ejecutados(), 1);
        EXPECT_EQ(filas, 0);
        EXPECT_FALSE(aceptarHabilitado);
        EXPECT_TRUE(d.isVisible());
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_FALSE(s.fbDatabase.conectada());
    }
}

TEST_F(Conecta, AdministradorEnMinusculasPasaSinEsquema)
{
    Respondedor r;
    Sesion s;
    s.ponTerminador([] {});
    GuionDialogos guion;
    guion.agrega<TfEmpresas>([&](TfEmpresas &e) { return eligeEmpresa(e, QStringLiteral("Papeleria_Centro")); });
    TfConecta d(s, fuente());
    d.show();
    entra(d, QStringLiteral("  sys dba "), Entorno::clave()); // los blancos se quitan
    EXPECT_EQ(d.result(), QDialog::Accepted) << r.textos().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(s.fbConfig.usuario(), QStringLiteral("sysdba"));
    EXPECT_FALSE(s.VerificaBD(true));
    EXPECT_TRUE(r.textos().isEmpty());
}

TEST_F(Conecta, PerfilSinDireccionNoSeIntenta)
{
    // Sustituto del registro: un perfil sin "Directorio de datos"
    const QString ini = m_tmp.path() + QStringLiteral("/Registro.ini");
    QFile::remove(m_comun);
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsip\\Conexiones\\Roto]\r\n"
                           "Protocolo=0\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Microsip\\Barra Microsip]\r\n"
                           "Usuario=CAJERO\r\nConexión=Roto\r\n")
                .toUtf8());
    f.close();
    Respondedor r;
    Sesion s;
    s.ponTerminador([] {});
    TfConecta d(s, fuente());
    d.show();
    ASSERT_EQ(d.cbConexion()->count(), 1);
    EXPECT_EQ(d.eUsuario()->text(), QStringLiteral("CAJERO"));
    d.eClave()->setText(QStringLiteral("x"));
    d.bAceptar()->click();
    ASSERT_EQ(r.cuantos(), 1);
    EXPECT_TRUE(r.ultimo().texto.contains(QStringLiteral("Roto"))) << r.ultimo().texto.toStdString();
    EXPECT_FALSE(s.fbConfig.conectada());
    EXPECT_TRUE(d.isVisible());
}

TEST_F(Conecta, VersionDelErpYEsquema)
{
    Respondedor r;
    QString error;
    SesionPrueba::Opciones op;
    op.empresa = 1;
    op.esquema = false;
    auto s = SesionPrueba::abre(*s_erp, op, &error);
    ASSERT_TRUE(s) << error.toStdString();
    int terminado = 0;
    s->ponTerminador([&] { ++terminado; });

    // Versión del ERP: 72099 pasa, 72100 no
    auto ponVersion = [&](const char *v) {
        Consulta q(s->fbMetadatos, s->fbMetaTrans);
        q.ponActualizacion(true);
        q.setSql(QStringLiteral("update versiones_sis set version_sis=:v where version_sis=(select max(version_sis) "
                                "from versiones_sis where sistema_id=1)"));
        q.asigna(QStringLiteral("v"), QString::fromLatin1(v));
        q.ejecuta();
    };
    ponVersion("72099");
    EXPECT_TRUE(s->VersionErpValida());
    EXPECT_EQ(s->VersionErp, QStringLiteral("7.20.99"));
    ponVersion("72100");
    EXPECT_FALSE(s->VersionErpValida());
    EXPECT_FALSE(s->VerificaBD(true)); // aun callado avisa y termina
    EXPECT_EQ(terminado, 1);
    EXPECT_EQ(r.ultimo().texto,
              QStringLiteral("Etiquetas Tolvanas 2024 no es compatible con la versión de Microsip 7.21.0"));
    ponVersion("72001");
    EXPECT_EQ((s->VersionErpValida(), s->VersionErp), QStringLiteral("7.20.1"));

    // Esquema: falta, 000023, 000024, 000025
    r.limpia();
    EXPECT_FALSE(s->VerificaBD(true));
    EXPECT_TRUE(r.textos().isEmpty());
    EXPECT_FALSE(s->VerificaBD(false));
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("Es necesario actualizar la base de datos para continuar"));
    EXPECT_FALSE(s->ExisteTabla(QStringLiteral("tlv_registro")));

    ASSERT_EQ(SesionPrueba::instalaEsquema(s_erp->empresaBd(1)), QString());
    EXPECT_TRUE(s->ExisteTabla(QStringLiteral(" tlv_registro ")));
    struct Caso { const char *version; bool ok; const char *aviso; };
    const Caso casos[] = {
        {"000023", false, "Es necesario actualizar la base de datos para continuar"},
        {"000025", false, "La base de datos no es compatible, debe actualizar el sistema Tolvani"},
        {"000024", true, ""},
    };
    for (const Caso &c : casos) {
        r.limpia();
        QString v = QString::fromLatin1(c.version);
        s->registro().ValorRegistro({}, {}, {}, QStringLiteral("Etiquetas_DB"), v, false);
        EXPECT_EQ(s->VerificaBD(false), c.ok) << c.version;
        EXPECT_EQ(r.textos().join(QString()), QString::fromUtf8(c.aviso)) << c.version;
    }
    EXPECT_EQ(terminado, 1);
}

TEST_F(Conecta, UsuarioConElRolLeeYEscribeLasTablasPropias)
{
    QString error;
    SesionPrueba::Opciones op;
    op.usuario = QString::fromLatin1(ErpPrueba::kVendedor.nombre);
    op.clave = QString::fromLatin1(ErpPrueba::kVendedor.clave);
    op.esquema = false; // ya instalado en la primera empresa
    auto s = SesionPrueba::abre(*s_erp, op, &error);
    ASSERT_TRUE(s) << error.toStdString();
    EXPECT_EQ(s->fbDatabase.rol(), QStringLiteral("USUARIO_MICROSIP"));
    EXPECT_TRUE(s->VerificaBD(true));

    s->registro().escribe(QStringLiteral("Etiquetas"), QStringLiteral("PruebaRol"), QStringLiteral("S"));
    EXPECT_EQ(s->ajuste(QStringLiteral("PruebaRol")), QStringLiteral("S"));

    Consulta q(s->fbDatabase, s->fbUpdateTrans);
    q.ponActualizacion(true);
    q.setSql(QStringLiteral("insert into tlv_permisos (modulo, usuario, acceso) values (90, 'VENDEDOR', 8)"));
    q.ejecuta();
    q.setSql(QStringLiteral("select acceso from tlv_permisos where modulo=90 and usuario='VENDEDOR'"));
    q.ejecuta();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.campo(0).entero(), 8);
    q.cierra();
    q.setSql(QStringLiteral("delete from tlv_permisos where usuario='VENDEDOR'"));
    q.ejecuta();
    EXPECT_EQ(q.filasAfectadas(), 1);

    // Sin el rol, la misma lectura se niega
    Conexion sinRol(s_erp->empresaBd(0), op.usuario, op.clave);
    sinRol.conecta();
    Transaccion t(sinRol);
    Consulta n(sinRol, t);
    n.setSql(QStringLiteral("select count(*) from tlv_registro"));
    EXPECT_THROW(n.ejecuta(), ErrorFb);
}

// El módulo de datos del programa no se queda con la base de una sesión cerrada
TEST(SesionDatos, CerrarLaSesionOlvidaSuBase)
{
    Tfdatos datos;
    PonDatosActual(&datos);
    auto otra = std::make_unique<Sesion>();
    {
        Sesion s;
        datos.ponBase(otra->fbDatabase, otra->fbViewTrans);
    }
    EXPECT_TRUE(datos.tieneBase()); // la sesión cerrada no era la suya
    {
        Sesion s;
        datos.ponBase(s.fbDatabase, s.fbViewTrans);
    }
    EXPECT_FALSE(datos.tieneBase());
    PonDatosActual(nullptr);
}
