// Consultas contra el servidor de pruebas
#include "BasePrueba.h"
#include "ImprimeQt.h"

#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <gtest/gtest.h>

namespace {

class FbConsulta : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        base = new QString(BasePrueba::creaBase(QStringLiteral("consulta")));
        auto c = BasePrueba::conecta(*base);
        Script s(*c);
        s.setTexto(QStringLiteral(
            "CREATE TABLE ART (ID INTEGER NOT NULL PRIMARY KEY, NOMBRE VARCHAR(40), CLAVE CHAR(10),"
            " PRECIO NUMERIC(18,4), COSTO NUMERIC(15,2), FACTOR DOUBLE PRECISION, ALTA DATE,"
            " CAMBIO TIMESTAMP, NOTAS BLOB SUB_TYPE TEXT, ACTIVO BOOLEAN, CHICO SMALLINT);\n"
            "CREATE SEQUENCE GEN_ART;\n"
            "SET TERM ^ ;\n"
            "CREATE PROCEDURE ALTA_ART (ID INTEGER) RETURNS (NUEVO INTEGER) AS\n"
            "BEGIN INSERT INTO ART (ID, NOMBRE) VALUES (:ID, 'proc'); NUEVO = :ID; SUSPEND; END^\n"
            "SET TERM ; ^\n"));
        s.ejecuta();
    }
    static void TearDownTestSuite() { delete base; }

    void SetUp() override
    {
        c = BasePrueba::conecta(*base);
        t = std::make_unique<Transaccion>(*c);
        Consulta q(*c, *t);
        q.setSql(QStringLiteral("DELETE FROM ART"));
        q.ejecuta();
        t->confirma();
    }

    static QString *base;
    std::unique_ptr<Conexion> c;
    std::unique_ptr<Transaccion> t;
};
QString *FbConsulta::base = nullptr;

} // namespace

TEST_F(FbConsulta, TextoWindows1252ExactoIdaYVuelta)
{
    Consulta ins(*c, *t);
    ins.setSql(QStringLiteral("INSERT INTO ART (ID, NOMBRE) VALUES (:id, :nombre)"));
    Consulta sel(*c, *t);
    sel.agrega(QStringLiteral("SELECT NOMBRE, OCTET_LENGTH(NOMBRE) AS LARGO,"));
    sel.agrega(QStringLiteral("  CAST(NOMBRE AS VARCHAR(40) CHARACTER SET OCTETS) AS CRUDO"));
    sel.agrega(QStringLiteral("FROM ART WHERE ID = :id"));
    struct Caso { QString texto; QByteArray bytes; };
    const Caso casos[] = {
        {QStringLiteral("Lápiz"), QByteArray("L\xE1piz")},
        {QStringLiteral("Ñandú"), QByteArray("\xD1" "and\xFA")},
        {QStringLiteral("€ 5"), QByteArray("\x80 5")},
    };
    int id = 0;
    for (const Caso &caso : casos) {
        ++id;
        ins.asigna(QStringLiteral("id"), id);
        ins.asigna(QStringLiteral("nombre"), caso.texto);
        ins.ejecuta();
        sel.asigna(QStringLiteral("id"), id);
        sel.ejecuta();
        ASSERT_FALSE(sel.eof());
        EXPECT_EQ(sel.campo(QStringLiteral("nombre")).texto(), caso.texto);
        EXPECT_EQ(sel.campo(QStringLiteral("LARGO")).entero(), caso.bytes.size());
        EXPECT_EQ(sel.campo(QStringLiteral("CRUDO")).bytes(), caso.bytes);
        sel.cierra();
    }
    // El literal en el texto SQL viaja igual
    sel.setSql(QStringLiteral("SELECT ASCII_VAL(SUBSTRING('€á' FROM 1 FOR 1)), ASCII_VAL(SUBSTRING('€á' FROM 2 FOR 1)) FROM RDB$DATABASE"));
    sel.ejecuta();
    EXPECT_EQ(sel.campo(0).entero(), 0x80);
    EXPECT_EQ(sel.campo(1).entero(), 0xE1);
}

TEST_F(FbConsulta, ParametroJuntoALiteralConDosPuntos)
{
    Consulta q(*c, *t);
    q.agrega(QStringLiteral("SELECT ':texto' AS LIT, CAST(:fecha1 AS DATE) AS F -- :otro"));
    q.agrega(QStringLiteral("/* :mas */ FROM RDB$DATABASE"));
    q.asigna(QStringLiteral("fecha1"), QDate(2024, 2, 29));
    EXPECT_EQ(q.nombresParametros(), QStringList{QStringLiteral("FECHA1")});
    EXPECT_THROW(q.asigna(QStringLiteral("texto"), QStringLiteral("x")), ErrorFb);
    q.ejecuta();
    EXPECT_EQ(q.campo(QStringLiteral("lit")).texto(), QStringLiteral(":texto"));
    EXPECT_EQ(q.campo(QStringLiteral("F")).fecha(), QDate(2024, 2, 29));
}

TEST_F(FbConsulta, TiposNulosYMonedaExacta)
{
    Consulta q(*c, *t);
    q.setSql(QStringLiteral("INSERT INTO ART (ID, NOMBRE, CLAVE, PRECIO, COSTO, FACTOR, ALTA, CAMBIO, NOTAS, ACTIVO, CHICO)"
                            " VALUES (:id, :nombre, :clave, :precio, :costo, :factor, :alta, :cambio, :notas, :activo, :chico)"));
    const QString notas = QStringLiteral("Línea 1\n") + QString(40000, QLatin1Char('x')) + QStringLiteral("€");
    q.asigna(QStringLiteral("id"), 1);
    q.asigna(QStringLiteral("nombre"), QStringLiteral("Cinta métrica"));
    q.asigna(QStringLiteral("clave"), QStringLiteral("A-1"));
    q.asigna(QStringLiteral("precio"), Moneda::deDiezmilesimas(12345678901234));
    q.asigna(QStringLiteral("costo"), QStringLiteral("1234567890123.45")); // texto a NUMERIC
    q.asigna(QStringLiteral("factor"), 1.16);
    q.asigna(QStringLiteral("alta"), QDate(2023, 12, 31));
    q.asigna(QStringLiteral("cambio"), QDateTime(QDate(2024, 1, 2), QTime(13, 14, 15, 120)));
    q.asigna(QStringLiteral("notas"), notas);
    q.asigna(QStringLiteral("activo"), true);
    q.asigna(QStringLiteral("chico"), QStringLiteral("7"));
    q.ejecuta();
    EXPECT_EQ(q.filasAfectadas(), 1);
    q.asigna(QStringLiteral("id"), 2);
    for (const char *n : {"nombre", "clave", "precio", "costo", "factor", "alta", "cambio", "notas", "activo", "chico"})
        q.asignaNulo(QString::fromLatin1(n));
    q.ejecuta();

    Consulta s(*c, *t);
    s.setSql(QStringLiteral("SELECT * FROM ART ORDER BY ID"));
    s.ejecuta();
    ASSERT_FALSE(s.eof());
    EXPECT_EQ(s.campo(QStringLiteral("NOMBRE")).texto(), QStringLiteral("Cinta métrica"));
    EXPECT_EQ(s.campo(QStringLiteral("CLAVE")).texto(), QStringLiteral("A-1")); // CHAR sin relleno
    EXPECT_EQ(s.campo(QStringLiteral("CLAVE")).bytes().size(), 10);
    EXPECT_EQ(s.campo(QStringLiteral("PRECIO")).moneda().diezmilesimas(), 12345678901234);
    EXPECT_EQ(s.campo(QStringLiteral("PRECIO")).texto(), QStringLiteral("1234567890.1234"));
    EXPECT_EQ(s.campo(QStringLiteral("COSTO")).moneda().diezmilesimas(), 12345678901234500);
    EXPECT_DOUBLE_EQ(s.campo(QStringLiteral("FACTOR")).real(), 1.16);
    EXPECT_EQ(s.campo(QStringLiteral("ALTA")).fecha(), QDate(2023, 12, 31));
    EXPECT_EQ(s.campo(QStringLiteral("CAMBIO")).fechaHora(), QDateTime(QDate(2024, 1, 2), QTime(13, 14, 15, 120)));
    EXPECT_EQ(s.campo(QStringLiteral("NOTAS")).texto(), notas);
    EXPECT_TRUE(s.campo(QStringLiteral("ACTIVO")).booleano());
    EXPECT_EQ(s.campo(QStringLiteral("CHICO")).variante(), QVariant(qint64(7)));
    EXPECT_EQ(s.campo(QStringLiteral("costo")).variante().metaType().id(), QMetaType::Double);
    ASSERT_TRUE(s.siguiente());
    for (int i = 1; i < s.numCampos(); ++i) {
        EXPECT_TRUE(s.campo(i).esNulo()) << s.nombreCampo(i).toStdString();
        EXPECT_FALSE(s.campo(i).variante().isValid());
    }
    EXPECT_FALSE(s.siguiente());
    EXPECT_TRUE(s.eof());
    EXPECT_THROW(s.campo(QStringLiteral("NO_EXISTE")), ErrorFb);
}

TEST_F(FbConsulta, ReutilizaLaPreparadaYReturning)
{
    Consulta ins(*c, *t);
    ins.setSql(QStringLiteral("INSERT INTO ART (ID, NOMBRE, PRECIO) VALUES (NEXT VALUE FOR GEN_ART, :n, :p) RETURNING ID, PRECIO"));
    qint64 anterior = 0;
    for (int i = 0; i < 5; ++i) {
        ins.asigna(QStringLiteral("n"), QStringLiteral("Art %1").arg(i));
        ins.asigna(QStringLiteral("p"), Moneda::deDiezmilesimas(10000 * i + 5));
        ins.ejecuta();
        ASSERT_FALSE(ins.eof());
        EXPECT_GT(ins.campo(QStringLiteral("ID")).entero(), anterior);
        anterior = ins.campo(QStringLiteral("ID")).entero();
        EXPECT_EQ(ins.campo(QStringLiteral("PRECIO")).moneda(), Moneda::deDiezmilesimas(10000 * i + 5));
    }
    Consulta sel(*c, *t);
    sel.setSql(QStringLiteral("SELECT NOMBRE FROM ART WHERE PRECIO = :p"));
    for (int i : {3, 1, 4}) {
        sel.asigna(QStringLiteral("p"), Moneda::deDiezmilesimas(10000 * i + 5));
        sel.ejecuta();
        ASSERT_FALSE(sel.eof());
        EXPECT_EQ(sel.campo(0).texto(), QStringLiteral("Art %1").arg(i));
        EXPECT_FALSE(sel.siguiente());
    }
    // UPDATE ... RETURNING: la fila tocada, o eof si no hubo
    Consulta upd(*c, *t);
    upd.setSql(QStringLiteral("UPDATE ART SET PRECIO = PRECIO * 2 WHERE ID = :id RETURNING OLD.PRECIO, NEW.PRECIO"));
    upd.asigna(QStringLiteral("id"), anterior);
    upd.ejecuta();
    ASSERT_FALSE(upd.eof());
    EXPECT_EQ(upd.campo(1).moneda(), upd.campo(0).moneda() * 2);
    upd.asigna(QStringLiteral("id"), -1);
    upd.ejecuta();
    EXPECT_TRUE(upd.eof());
    EXPECT_EQ(upd.filasAfectadas(), 0);

    // Un parámetro que no cabe da un error claro, no un recorte
    Consulta largo(*c, *t);
    largo.setSql(QStringLiteral("UPDATE ART SET NOMBRE = :n WHERE ID = -1"));
    largo.asigna(QStringLiteral("n"), QString(41, QLatin1Char('z')));
    EXPECT_THROW(largo.ejecuta(), ErrorFb);
}

TEST_F(FbConsulta, ModoActualizacionConfirmaCadaSentencia)
{
    Consulta q(*c, *t);
    q.ponActualizacion(true);
    q.setSql(QStringLiteral("INSERT INTO ART (ID, NOMBRE) VALUES (:id, 'x')"));
    q.asigna(QStringLiteral("id"), 10);
    q.ejecuta();
    EXPECT_FALSE(t->activa());
    q.asigna(QStringLiteral("id"), 11);
    q.ejecuta();
    // Un procedimiento seleccionable que escribe se confirma al terminar su cursor
    Consulta p(*c, *t);
    p.ponActualizacion(true);
    p.setSql(QStringLiteral("SELECT NUEVO FROM ALTA_ART(:id)"));
    p.asigna(QStringLiteral("id"), 12);
    p.ejecuta();
    ASSERT_FALSE(p.eof());
    EXPECT_EQ(p.campo(QStringLiteral("nuevo")).entero(), 12);
    EXPECT_FALSE(p.siguiente());
    EXPECT_FALSE(t->activa());

    // Otra conexión ya ve las tres filas
    auto otra = BasePrueba::conecta(*base);
    Transaccion t2(*otra);
    Consulta s(*otra, t2);
    s.setSql(QStringLiteral("SELECT COUNT(*) FROM ART WHERE ID IN (10, 11, 12)"));
    s.ejecuta();
    EXPECT_EQ(s.campo(0).entero(), 3);
    {
        Consulta borra(*c, *t);
        borra.setSql(QStringLiteral("DELETE FROM ART WHERE ID = 12"));
        borra.ejecuta();
        t->confirma();
    }

    // Sin modo actualización, deshacer pierde el cambio; la guarda deshace sola
    {
        Consulta sin(*c, *t);
        GuardaTransaccion g(*t);
        sin.setSql(QStringLiteral("DELETE FROM ART WHERE ID = 10"));
        sin.ejecuta();
        EXPECT_EQ(sin.filasAfectadas(), 1);
    }
    EXPECT_FALSE(t->activa());
    s.ejecuta();
    EXPECT_EQ(s.campo(0).entero(), 2);
}

TEST_F(FbConsulta, SobreviveASuTransaccionYASuConexion)
{
    Consulta ins(*c, *t);
    ins.setSql(QStringLiteral("INSERT INTO ART (ID) VALUES (:id)"));
    for (int id : {1, 2, 3}) {
        ins.asigna(QStringLiteral("id"), id);
        ins.ejecuta();
    }
    t->confirma();

    // La transacción se destruye con el cursor abierto
    auto t2 = std::make_unique<Transaccion>(*c);
    Consulta q(*c, *t2);
    q.setSql(QStringLiteral("SELECT ID FROM ART ORDER BY ID"));
    q.ejecuta();
    ASSERT_FALSE(q.eof());
    t2.reset();
    EXPECT_FALSE(q.siguiente());
    EXPECT_THROW(q.ejecuta(), ErrorFb);

    // La conexión se destruye antes que su transacción y su consulta
    auto c2 = BasePrueba::conecta(*base);
    auto t3 = std::make_unique<Transaccion>(*c2);
    auto q3 = std::make_unique<Consulta>(*c2, *t3);
    q3->setSql(QStringLiteral("SELECT ID FROM ART"));
    q3->ejecuta();
    c2.reset();
    EXPECT_THROW(q3->ejecuta(), ErrorFb);
    EXPECT_THROW(t3->inicia(), ErrorFb);
    q3.reset();
    t3.reset();

    // Una transacción de otra conexión no sirve
    auto c3 = BasePrueba::conecta(*base);
    EXPECT_THROW(Consulta(*c3, *t), ErrorFb);
}
