#include "platform/CarpetasEspeciales.h"
#include "platform/Impresoras.h"
#include "platform/Portapapeles.h"
#include "platform/Shell.h"

#include "Entorno.h"
#include "ImprimeQt.h"

#include <QDeadlineTimer>
#include <QPrinterInfo>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace {

// Pone una variable de entorno mientras vive
class VariableEntorno
{
public:
    VariableEntorno(const char *nombre, const QByteArray &valor)
        : m_nombre(nombre), m_habia(qEnvironmentVariableIsSet(nombre)), m_antes(qgetenv(nombre))
    {
        qputenv(nombre, valor);
    }
    ~VariableEntorno()
    {
        if (m_habia)
            qputenv(m_nombre, m_antes);
        else
            qunsetenv(m_nombre);
    }

private:
    const char *m_nombre;
    bool m_habia;
    QByteArray m_antes;
};

} // namespace

TEST(CarpetasEspeciales, SiguenLasVariablesXdg)
{
    const QString comun = Entorno::rutaNueva(QStringLiteral("xdgconf"), QString());
    const QString usuario = Entorno::rutaNueva(QStringLiteral("xdgdata"), QString());
    VariableEntorno a("XDG_CONFIG_HOME", QFile::encodeName(comun));
    VariableEntorno b("XDG_DATA_HOME", QFile::encodeName(usuario));
    EXPECT_EQ(CarpetaDatosComunes(), comun);
    EXPECT_EQ(CarpetaDatosUsuario(), usuario);
    EXPECT_NE(CarpetaDatosComunes(), CarpetaDatosUsuario());
}

TEST(CarpetasEspeciales, UsuarioDelSistemaAunSinVariables)
{
    const passwd *pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    VariableEntorno a("USER", "otro");
    VariableEntorno b("LOGNAME", "otro");
    EXPECT_EQ(NombreUsuarioSistema(), QString::fromLocal8Bit(pw->pw_name));
}

TEST(Shell, EjecutaProgramaEsperandoDevuelveSuCodigo)
{
    EXPECT_EQ(EjecutaPrograma(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")}, true), 3);
    EXPECT_EQ(EjecutaPrograma(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("true")}, true), 0);
    EXPECT_EQ(EjecutaPrograma(QStringLiteral("/no/existe/programa"), {}, true), -1);
    EXPECT_EQ(EjecutaPrograma(QStringLiteral("/no/existe/programa"), {}, false), -1);
    EXPECT_EQ(EjecutaPrograma(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("kill -9 $$")}, true),
              -1);
}

TEST(Shell, EjecutaProgramaConArgumentosYCarpeta)
{
    const QString carpeta = Entorno::rutaNueva(QStringLiteral("shell"), QString());
    ASSERT_TRUE(QDir().mkpath(carpeta));
    // Argumentos con blancos y comillas llegan íntegros; la carpeta de trabajo se respeta
    const QStringList args = {
        QStringLiteral("-c"),    QStringLiteral("printf '%s|' \"$@\" > salida.txt; pwd >> salida.txt"),
        QStringLiteral("sh"),    QStringLiteral("a b"),
        QStringLiteral("\"c\""), QStringLiteral("Ñ")};
    ASSERT_EQ(EjecutaPrograma(QStringLiteral("/bin/sh"), args, true, carpeta), 0);
    QFile f(carpeta + QStringLiteral("/salida.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QStringLiteral("a b|\"c\"|Ñ|") + QDir(carpeta).canonicalPath() + QLatin1Char('\n'));
}

TEST(Shell, EjecutaProgramaSinEsperar)
{
    const QString marca = Entorno::rutaNueva(QStringLiteral("marca"), QStringLiteral(".txt"));
    ASSERT_EQ(EjecutaPrograma(QStringLiteral("/bin/sh"),
                              {QStringLiteral("-c"), QStringLiteral("sleep 0.2; echo listo > \"$0\""), marca}, false),
              0);
    EXPECT_FALSE(QFile::exists(marca)); // no esperó
    QDeadlineTimer limite(10000);
    while (!QFile::exists(marca) && !limite.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(QFile::exists(marca));
}

TEST(Shell, AbreArchivoPasaPorElSustituto)
{
    RegistroAperturas registro(false);
    EXPECT_FALSE(AbreArchivo(QStringLiteral("/tmp/x.xlsx"))); // "resultado menor a 32"
    EXPECT_EQ(registro.rutas(), QStringList{QStringLiteral("/tmp/x.xlsx")});
}

TEST(Portapapeles, IdaYVuelta)
{
    PonTextoPortapapeles(QStringLiteral("7501234567890\tLápiz"));
    EXPECT_EQ(TextoPortapapeles(), QStringLiteral("7501234567890\tLápiz"));
    PonTextoPortapapeles(QString());
    EXPECT_EQ(TextoPortapapeles(), QString());
}

TEST(Impresoras, EstadosYListaCoherentes)
{
    EXPECT_EQ(DatosDeImpresora(QPrinterInfo()).nombre, QString());
    EXPECT_EQ(EstadoWindows(QPrinter::Idle), 0);
    EXPECT_EQ(EstadoWindows(QPrinter::Active), 1024);
    EXPECT_EQ(EstadoWindows(QPrinter::Error), 2);
    const auto lista = ListaImpresoras();
    QStringList nombres;
    int predeterminadas = 0;
    for (const DatosImpresora &d : lista) {
        nombres << d.nombre;
        EXPECT_FALSE(d.estadoTexto.isEmpty()) << d.nombre.toStdString();
        predeterminadas += d.predeterminada ? 1 : 0;
    }
    EXPECT_EQ(nombres, NombresImpresoras());
    EXPECT_LE(predeterminadas, 1);
    const QString omision = ImpresoraPredeterminada();
    EXPECT_TRUE(omision.isEmpty() || ExisteImpresora(omision));
    EXPECT_FALSE(ExisteImpresora(QString()));
}
