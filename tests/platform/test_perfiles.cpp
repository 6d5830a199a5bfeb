#include "platform/ArchivoIni.h"
#include "platform/PerfilesErp.h"
#include "ImprimeQt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void escribe(const QString &ruta, const QByteArray &contenido)
{
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenido);
}

QByteArray lee(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Perfiles, DireccionYRutas)
{
    struct Caso { int protocolo; const char *servidor, *directorio, *db, *config, *empresa; };
    const Caso casos[] = {
        {1, "SERV", "Microsip datos\\", "\\\\SERV\\Microsip datos\\", "\\\\SERV\\Microsip datos\\System\\Config.fdb",
         "\\\\SERV\\Microsip datos\\EMP.fdb"},
        {0, "", "C:\\Microsip datos\\", "C:\\Microsip datos\\", "C:\\Microsip datos\\System\\Config.fdb",
         "C:\\Microsip datos\\EMP.fdb"},
        {0, "192.168.1.5", "C:\\Datos\\", "192.168.1.5:C:\\Datos\\", "192.168.1.5:C:\\Datos\\System\\Config.fdb",
         "192.168.1.5:C:\\Datos\\EMP.fdb"},
        {2, "127.0.0.1", "/srv/erp/", "127.0.0.1:/srv/erp/", "127.0.0.1:/srv/erp/System/Config.fdb",
         "127.0.0.1:/srv/erp/EMP.fdb"},
        {0, "", "/home/a/erp/", "/home/a/erp/", "/home/a/erp/System/Config.fdb", "/home/a/erp/EMP.fdb"},
    };
    for (const auto &c : casos) {
        const QString db = DireccionPerfil(c.protocolo, QString::fromUtf8(c.servidor), QString::fromUtf8(c.directorio));
        EXPECT_EQ(db.toStdString(), c.db);
        EXPECT_EQ(RutaSistema(db, QStringLiteral("Config.fdb")).toStdString(), c.config);
        EXPECT_EQ(RutaEmpresa(db, QStringLiteral("EMP")).toStdString(), c.empresa);
    }
    EXPECT_EQ(ElementoUsuario(QString::fromUtf8("José")), QStringLiteral("Jos_"));
    EXPECT_EQ(ElementoUsuario(QString::fromUtf8("áéíóúÁñ")), QString::fromUtf8("_____Áñ"));
    EXPECT_EQ(ElementoUsuario(QString(300, QLatin1Char('x'))).size(), 255);
}

TEST(Perfiles, XmlComunYDelUsuario)
{
    QTemporaryDir tmp;
    const QString comun = tmp.path() + QStringLiteral("/comun/Microsip/ProgramData.xml");
    const QString usuario = tmp.path() + QStringLiteral("/local/Microsip/ProgramData.xml");
    escribe(comun, "<?xml version=\"1.0\"?>\n<ProgramData><LocalMachine><Software><Microsip><Conexiones>"
                   "<Zeta><Nombre_del_servidor>srv</Nombre_del_servidor><Directorio_de_datos>C:\\D\\</Directorio_de_datos>"
                   "<Protocolo>1</Protocolo></Zeta>"
                   "<Alfa><Directorio_de_datos>/datos/</Directorio_de_datos></Alfa>"
                   "<SinDir><Nombre_del_servidor>x</Nombre_del_servidor></SinDir>"
                   "</Conexiones></Microsip></Software></LocalMachine></ProgramData>");
    escribe(usuario, "<ProgramData><CurrentUser><Jos_><Software><Microsip><Barra_Microsip>"
                     "<Usuario>cajero</Usuario><Conexi_n>Zeta</Conexi_n>"
                     "</Barra_Microsip></Microsip></Software></Jos_></CurrentUser></ProgramData>");

    FuentePerfiles f(comun, usuario, tmp.path() + QStringLiteral("/Registro.ini"), QString::fromUtf8("José"));
    ASSERT_TRUE(f.usaXml());
    ASSERT_TRUE(f.lee()) << f.error().toStdString();
    ASSERT_EQ(f.perfiles().size(), 2); // el perfil sin directorio no cuenta
    EXPECT_EQ(f.perfiles()[0].nombre, QStringLiteral("Alfa"));
    EXPECT_EQ(f.perfiles()[0].DB(), QStringLiteral("/datos/"));
    EXPECT_EQ(f.perfiles()[1].DB(), QStringLiteral("\\\\srv\\C:\\D\\"));
    EXPECT_EQ(f.ultimoUsuario(), QStringLiteral("cajero"));
    EXPECT_EQ(f.ultimaConexion(), QStringLiteral("Zeta"));

    f.guardaUltimo(QStringLiteral("admin"), QStringLiteral("Alfa"));
    const QByteArray escrito = lee(usuario);
    EXPECT_TRUE(escrito.contains("\n  <CurrentUser>")) << escrito.constData(); // sangría de dos blancos
    FuentePerfiles otra(comun, usuario, QString(), QString::fromUtf8("José"));
    ASSERT_TRUE(otra.lee());
    EXPECT_EQ(otra.ultimoUsuario(), QStringLiteral("admin"));
    EXPECT_EQ(otra.ultimaConexion(), QStringLiteral("Alfa"));
    // Otro usuario de la sesión no ve el acceso de José
    FuentePerfiles ana(comun, usuario, QString(), QStringLiteral("ana"));
    ASSERT_TRUE(ana.lee());
    EXPECT_TRUE(ana.ultimoUsuario().isEmpty());
}

TEST(Perfiles, XmlSinArchivoDelUsuarioLoCreaAlGuardar)
{
    QTemporaryDir tmp;
    const QString comun = tmp.path() + QStringLiteral("/c/ProgramData.xml");
    const QString usuario = tmp.path() + QStringLiteral("/u/Microsip/ProgramData.xml");
    escribe(comun, "<ProgramData><LocalMachine><Software><Microsip><Conexiones><Demo>"
                   "<Directorio_de_datos>/d/</Directorio_de_datos></Demo></Conexiones></Microsip></Software>"
                   "</LocalMachine></ProgramData>");
    FuentePerfiles f(comun, usuario, QString(), QStringLiteral("pepe"));
    ASSERT_TRUE(f.lee());
    EXPECT_TRUE(f.ultimoUsuario().isEmpty());
    f.guardaUltimo(QStringLiteral("SYSDBA"), QStringLiteral("Demo"));
    FuentePerfiles g(comun, usuario, QString(), QStringLiteral("pepe"));
    ASSERT_TRUE(g.lee());
    EXPECT_EQ(g.ultimoUsuario(), QStringLiteral("SYSDBA"));
    EXPECT_EQ(g.ultimaConexion(), QStringLiteral("Demo"));
}

TEST(Perfiles, XmlMalFormadoDaError)
{
    QTemporaryDir tmp;
    const QString comun = tmp.path() + QStringLiteral("/ProgramData.xml");
    escribe(comun, "<ProgramData><LocalMachine>");
    FuentePerfiles f(comun, tmp.path() + QStringLiteral("/u.xml"), QString(), QStringLiteral("x"));
    EXPECT_FALSE(f.lee());
    EXPECT_FALSE(f.error().isEmpty());
    EXPECT_TRUE(f.perfiles().isEmpty());
}

TEST(Perfiles, SustitutoDelRegistro)
{
    QTemporaryDir tmp;
    const QString reg = tmp.path() + QStringLiteral("/Microsip/Registro.ini");
    escribe(reg, QString::fromUtf8("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsip\\Conexiones\\Servidor central]\n"
                                   "Protocolo=0\nNombre del servidor=127.0.0.1\nDirectorio de datos=/srv/erp/\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsip\\Conexiones\\Local]\n"
                                   "Directorio de datos=C:\\Microsip datos\\\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsip\\Conexiones\\Roto]\n\n"
                                   "[HKEY_CURRENT_USER\\Software\\Microsip\\Barra Microsip]\n"
                                   "Usuario=ventas\nConexión=Local\n")
                     .toUtf8());
    FuentePerfiles f(tmp.path() + QStringLiteral("/no/ProgramData.xml"), QString(), reg, QStringLiteral("x"));
    ASSERT_FALSE(f.usaXml());
    ASSERT_TRUE(f.lee());
    ASSERT_EQ(f.perfiles().size(), 3);
    EXPECT_EQ(f.perfiles()[0].nombre, QStringLiteral("Local"));
    EXPECT_EQ(f.perfiles()[0].DB(), QStringLiteral("C:\\Microsip datos\\"));
    EXPECT_FALSE(f.perfil(QStringLiteral("Roto"))->conDireccion);
    EXPECT_EQ(f.perfil(QStringLiteral("Servidor central"))->DB(), QStringLiteral("127.0.0.1:/srv/erp/"));
    EXPECT_EQ(f.ultimoUsuario(), QStringLiteral("ventas"));
    EXPECT_EQ(f.ultimaConexion(), QStringLiteral("Local"));

    f.guardaUltimo(QStringLiteral("SYSDBA"), QStringLiteral("Servidor central"));
    ASSERT_TRUE(f.lee());
    EXPECT_EQ(f.ultimoUsuario(), QStringLiteral("SYSDBA"));
    EXPECT_EQ(f.ultimaConexion(), QStringLiteral("Servidor central"));
    EXPECT_EQ(f.perfiles().size(), 3); // las demás secciones siguen intactas
}

TEST(ArchivoIni, LeeYEscribeSinPerderLineas)
{
    QTemporaryDir tmp;
    const QString ruta = tmp.path() + QStringLiteral("/sub/etiquetas.ini");
    ArchivoIni ini(ruta);
    EXPECT_EQ(ini.leeTexto(QStringLiteral("Etiquetas"), QStringLiteral("Impresion"), QStringLiteral("F")),
              QStringLiteral("F")); // archivo inexistente: omisión
    ASSERT_TRUE(ini.escribeTexto(QStringLiteral("Etiquetas"), QStringLiteral("Impresion"), QStringLiteral("B")));
    ASSERT_TRUE(ini.escribeBooleano(QStringLiteral("Etiquetas"), QStringLiteral("Precio"), true));
    ASSERT_TRUE(ini.escribeTexto(QStringLiteral("Otra"), QStringLiteral("x"), QStringLiteral("1")));
    ASSERT_TRUE(ini.escribeEntero(QStringLiteral("ETIQUETAS"), QStringLiteral("copias"), 3));
    ASSERT_TRUE(ini.escribeTexto(QStringLiteral("etiquetas"), QStringLiteral("IMPRESION"), QString::fromUtf8("Añil")));
    EXPECT_EQ(QString::fromUtf8(lee(ruta)),
              QString::fromUtf8("[Etiquetas]\nIMPRESION=Añil\nPrecio=1\ncopias=3\n\n[Otra]\nx=1\n"));
    EXPECT_TRUE(ini.leeBooleano(QStringLiteral("Etiquetas"), QStringLiteral("Precio"), false));
    EXPECT_EQ(ini.leeEntero(QStringLiteral("Etiquetas"), QStringLiteral("Copias"), 0), 3);
    EXPECT_EQ(ini.leeEntero(QStringLiteral("Etiquetas"), QStringLiteral("Impresion"), 7), 7);
    EXPECT_TRUE(ini.existeClave(QStringLiteral("otra"), QStringLiteral("X")));
    EXPECT_FALSE(ini.existeClave(QStringLiteral("otra"), QStringLiteral("y")));
    EXPECT_EQ(ini.claves(QStringLiteral("Etiquetas")),
              (QStringList{QStringLiteral("IMPRESION"), QStringLiteral("Precio"), QStringLiteral("copias")}));
}
