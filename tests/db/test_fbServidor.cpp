// Conexión, bloqueos entre estaciones y conexión cortada por el servidor
#include "BasePrueba.h"
#include "Entorno.h"
#include "ImprimeQt.h"

#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

QString valorEn(Conexion &c, Transaccion &t, int id)
{
    Consulta q(c, t);
    q.setSql(QStringLiteral("SELECT NOMBRE FROM T WHERE ID = :id"));
    q.asigna(QStringLiteral("id"), id);
    q.ejecuta();
    return q.eof() ? QStringLiteral("<sin fila>") : q.campo(0).texto();
}

QString valor(Conexion &c, int id)
{
    Transaccion t(c);
    return valorEn(c, t, id);
}

} // namespace

TEST(FbServidor, ClaveIncorrectaDaElCodigoDeLogin)
{
    const QString base = BasePrueba::creaBase(QStringLiteral("clave"));
    Conexion c(base, Entorno::usuario(), Entorno::clave() + QStringLiteral("_mal"));
    try {
        c.conecta();
        FAIL() << "conectó con una clave incorrecta";
    } catch (const ErrorFb &e) {
        EXPECT_EQ(e.codigo(), 335544472);
        EXPECT_FALSE(e.texto().isEmpty());
    }
    EXPECT_FALSE(c.conectada());
    c.setClave(Entorno::clave());
    c.conecta();
    EXPECT_TRUE(c.viva());
}

TEST(FbServidor, FilaBloqueadaFallaAlMomentoYDeshacerNoPierdeNada)
{
    const QString base = BasePrueba::creaBase(QStringLiteral("bloqueo"));
    auto c1 = BasePrueba::conecta(base);
    Script s(*c1);
    s.setTexto(QStringLiteral("CREATE TABLE T (ID INTEGER PRIMARY KEY, NOMBRE VARCHAR(20));"
                              "INSERT INTO T VALUES (1, 'A original');"
                              "INSERT INTO T VALUES (2, 'B original');"));
    s.ejecuta();
    auto c2 = BasePrueba::conecta(base);

    Transaccion t1(*c1);
    Consulta u1(*c1, t1);
    u1.setSql(QStringLiteral("UPDATE T SET NOMBRE = :n WHERE ID = :id"));
    u1.asigna(QStringLiteral("n"), QStringLiteral("A de T1"));
    u1.asigna(QStringLiteral("id"), 1);
    u1.ejecuta();

    Transaccion t2(*c2);
    Consulta u2(*c2, t2);
    u2.setSql(QStringLiteral("UPDATE T SET NOMBRE = :n WHERE ID = :id"));
    u2.asigna(QStringLiteral("n"), QStringLiteral("B de T2"));
    u2.asigna(QStringLiteral("id"), 2);
    u2.ejecuta();
    EXPECT_EQ(u2.filasAfectadas(), 1);
    u2.asigna(QStringLiteral("n"), QStringLiteral("A de T2"));
    u2.asigna(QStringLiteral("id"), 1);
    QElapsedTimer reloj;
    reloj.start();
    try {
        u2.ejecuta();
        FAIL() << "la fila bloqueada se actualizó";
    } catch (const ErrorFb &e) {
        EXPECT_EQ(e.codigo(), CodigoFb::Bloqueo) << e.what();
    }
    EXPECT_LT(reloj.elapsed(), 1000); // nowait: no espera al otro
    EXPECT_TRUE(t2.activa());
    // Sólo la sentencia que falló se deshizo: la primera sigue en la transacción
    EXPECT_EQ(valorEn(*c2, t2, 2), QStringLiteral("B de T2"));
    EXPECT_EQ(valorEn(*c2, t2, 1), QStringLiteral("A original"));
    t2.deshace();

    auto c3 = BasePrueba::conecta(base);
    EXPECT_EQ(valor(*c3, 1), QStringLiteral("A original"));
    EXPECT_EQ(valor(*c3, 2), QStringLiteral("B original"));
    t1.confirma();
    EXPECT_EQ(valor(*c3, 1), QStringLiteral("A de T1"));
    EXPECT_EQ(valor(*c3, 2), QStringLiteral("B original"));
}

TEST(FbServidor, ConexionCortadaDaErrorClaroYSeReabre)
{
    const QString base = BasePrueba::creaBase(QStringLiteral("corte"));
    auto c = BasePrueba::conecta(base);
    Transaccion t(*c);
    Consulta q(*c, t);
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS"));
    q.ejecuta();
    const qint64 cuantas = q.campo(0).entero();
    q.cierra();
    const qint64 id = c->idConexion();

    auto admin = BasePrueba::conecta(base);
    Transaccion ta(*admin);
    Consulta corta(*admin, ta);
    corta.setSql(QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = :id"));
    corta.asigna(QStringLiteral("id"), id);
    corta.ejecuta();
    EXPECT_EQ(corta.filasAfectadas(), 1);
    ta.confirma();

    try {
        q.ejecuta();
        FAIL() << "la consulta funcionó sobre una conexión cortada";
    } catch (const ErrorFb &e) {
        EXPECT_NE(e.codigo(), 0);
        EXPECT_TRUE(e.conexionPerdida()) << e.what();
        EXPECT_TRUE(e.texto().contains(QStringLiteral("conexión"))) << e.what();
    }
    EXPECT_FALSE(c->conectada());
    EXPECT_FALSE(t.activa());
    EXPECT_THROW(q.ejecuta(), ErrorFb);

    // Se reabre y los mismos objetos sirven otra vez
    c->conecta();
    q.ejecuta();
    EXPECT_EQ(q.campo(0).entero(), cuantas);
    EXPECT_NE(c->idConexion(), id);
}

TEST(FbServidor, RolYDialecto1)
{
    const QString base = BasePrueba::creaBase(QStringLiteral("rol"));
    {
        auto c = BasePrueba::conecta(base);
        Script s(*c);
        s.setTexto(QStringLiteral("CREATE ROLE USUARIO_PRUEBA; GRANT USUARIO_PRUEBA TO SYSDBA;"));
        s.ejecuta();
    }
    Conexion c(base, Entorno::usuario(), Entorno::clave(), QStringLiteral("USUARIO_PRUEBA"));
    c.setDialecto(1);
    c.conecta();
    Transaccion t(c);
    Consulta q(c, t);
    q.setSql(QStringLiteral("SELECT CURRENT_ROLE, CAST('2024-03-01' AS DATE) FROM RDB$DATABASE"));
    q.ejecuta();
    EXPECT_EQ(q.campo(0).texto(), QStringLiteral("USUARIO_PRUEBA"));
    EXPECT_EQ(q.campo(1).fecha(), QDate(2024, 3, 1)); // en dialecto 1 DATE lleva hora
}
