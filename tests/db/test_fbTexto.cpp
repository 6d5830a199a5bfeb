// Sin servidor: página de códigos y traducción de parámetros
#include "ImprimeQt.h"

#include "db/fbConsulta.h"
#include "db/fbScript.h"
#include "db/fbTexto.h"

#include <gtest/gtest.h>

TEST(FbTexto, Cp1252NoEsLatin1)
{
    struct Caso { QString texto; QByteArray bytes; };
    const Caso casos[] = {
        {QStringLiteral("Lápiz"), QByteArray("L\xE1piz")},
        {QStringLiteral("Ñandú"), QByteArray("\xD1" "and\xFA")},
        {QStringLiteral("€ 5"), QByteArray("\x80 5")},
        {QStringLiteral("“ok” – Œ ™ Ÿ"), QByteArray("\x93ok\x94 \x96 \x8C \x99 \x9F")},
    };
    for (const Caso &c : casos) {
        EXPECT_EQ(FbTexto::aCp1252(c.texto), c.bytes);
        EXPECT_EQ(FbTexto::deCp1252(c.bytes), c.texto);
    }
    // Fuera de la página: '?', también fuera del plano básico
    EXPECT_EQ(FbTexto::aCp1252(QStringLiteral("a\u4E2Db\U0001F600c")), QByteArray("a?b?c"));
    // Los huecos de la tabla vuelven igual
    EXPECT_EQ(FbTexto::aCp1252(FbTexto::deCp1252(QByteArray("\x81\x8D\x8F\x90\x9D"))), QByteArray("\x81\x8D\x8F\x90\x9D"));
}

TEST(FbTexto, ParametrosSoloFueraDeLiteralesYComentarios)
{
    struct Caso { QString sql; QString esperado; QStringList nombres; };
    const Caso casos[] = {
        {QStringLiteral("SELECT ':texto', :fecha1 FROM T"), QStringLiteral("SELECT ':texto', ? FROM T"), {"FECHA1"}},
        {QStringLiteral("SELECT \":no\" FROM T WHERE A = :a -- :b\n AND B = :A /* :c */"),
         QStringLiteral("SELECT \":no\" FROM T WHERE A = ? -- :b\n AND B = ? /* :c */"), {"A", "A"}},
        {QStringLiteral("SELECT 'it''s :x', q'{ :y }' FROM T WHERE Z=:z_1"),
         QStringLiteral("SELECT 'it''s :x', q'{ :y }' FROM T WHERE Z=?"), {"Z_1"}},
        {QStringLiteral("SELECT 1 FROM T WHERE H = '10:30'"), QStringLiteral("SELECT 1 FROM T WHERE H = '10:30'"), {}},
        // Variables de PSQL: no son parámetros
        {QStringLiteral("/* x */ execute block (d integer = :desde) returns (n integer) as begin select 1 from t into :n; end"),
         QStringLiteral("/* x */ execute block (d integer = ?) returns (n integer) as begin select 1 from t into :n; end"), {"DESDE"}},
        {QStringLiteral("-- x\nCREATE PROCEDURE P (A INTEGER) AS BEGIN SELECT 1 FROM T WHERE X = :A INTO :B; END"),
         QStringLiteral("-- x\nCREATE PROCEDURE P (A INTEGER) AS BEGIN SELECT 1 FROM T WHERE X = :A INTO :B; END"), {}},
    };
    for (const Caso &c : casos) {
        QStringList nombres;
        EXPECT_EQ(TraduceParametros(c.sql, &nombres), c.esperado);
        EXPECT_EQ(nombres, c.nombres);
    }
}

TEST(FbTexto, GuionSeDivideConSetTerm)
{
    const QString guion = QStringLiteral(
        "-- comentario; con punto y coma\n"
        "CREATE TABLE T (A VARCHAR(10) DEFAULT ';');\n"
        "SET TERM ^ ;\n"
        "CREATE PROCEDURE P AS BEGIN /* ; */ EXIT; END^\n"
        "SET TERM ; ^\n"
        "COMMIT WORK;\n"
        "/* final */");
    const QStringList s = Script::divide(guion);
    ASSERT_EQ(s.size(), 3);
    EXPECT_TRUE(s[0].endsWith(QStringLiteral("DEFAULT ';')")));
    EXPECT_EQ(s[1], QStringLiteral("CREATE PROCEDURE P AS BEGIN /* ; */ EXIT; END"));
    EXPECT_EQ(s[2], QStringLiteral("COMMIT WORK"));
}
