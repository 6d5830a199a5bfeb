// Guiones con SET TERM, procedimientos, disparadores y generadores
#include "BasePrueba.h"
#include "ImprimeQt.h"

#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbGenerador.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <gtest/gtest.h>

TEST(FbScript, ProcedimientosDisparadorYGenerador)
{
    auto c = BasePrueba::conecta(BasePrueba::creaBase(QStringLiteral("guion")));
    Script s(*c);
    s.setTexto(QStringLiteral(R"(
/* Tabla con disparador que toma el id del generador */
CREATE TABLE ART (ID INTEGER NOT NULL PRIMARY KEY, NOMBRE VARCHAR(30), PRECIO NUMERIC(15,2));
CREATE GENERATOR GEN_ART;
SET TERM ^ ;
CREATE TRIGGER ART_BI FOR ART BEFORE INSERT AS
BEGIN
  IF (NEW.ID IS NULL) THEN NEW.ID = GEN_ID(GEN_ART, 1); -- ; dentro del cuerpo
END^
CREATE PROCEDURE PRECIO_CON_IVA (ID INTEGER, TASA NUMERIC(9,4)) RETURNS (PRECIO NUMERIC(15,2)) AS
BEGIN
  SELECT PRECIO * (1 + :TASA / 100) FROM ART WHERE ID = :ID INTO :PRECIO;
END^
CREATE PROCEDURE LISTA (DESDE INTEGER) RETURNS (ID INTEGER, NOMBRE VARCHAR(30)) AS
BEGIN
  FOR SELECT ID, NOMBRE FROM ART WHERE ID >= :DESDE ORDER BY ID INTO :ID, :NOMBRE DO SUSPEND;
END^
SET TERM ; ^
INSERT INTO ART (NOMBRE, PRECIO) VALUES ('Martillo; de uña', 100.00);
INSERT INTO ART (NOMBRE, PRECIO) VALUES ('Pinza', 55.50);
COMMIT WORK;
)"));
    std::vector<ResultadoSentenciaFb> hechas;
    s.setAlEjecutar([&](const ResultadoSentenciaFb &r) { hechas.push_back(r); });
    EXPECT_EQ(s.ejecuta(), 0);
    ASSERT_EQ(hechas.size(), 8u);
    EXPECT_TRUE(hechas[2].sentencia.startsWith(QStringLiteral("CREATE TRIGGER")));

    Transaccion t(*c);
    // Ejecutable con salida
    Consulta e(*c, t);
    e.setSql(QStringLiteral("EXECUTE PROCEDURE PRECIO_CON_IVA(:id, :tasa)"));
    e.asigna(QStringLiteral("id"), 1);
    e.asigna(QStringLiteral("tasa"), QStringLiteral("16"));
    e.ejecuta();
    ASSERT_FALSE(e.eof());
    EXPECT_EQ(e.campo(QStringLiteral("precio")).moneda(), Moneda::deDiezmilesimas(1160000));
    // Seleccionable
    Consulta l(*c, t);
    l.setSql(QStringLiteral("SELECT * FROM LISTA(:desde)"));
    l.asigna(QStringLiteral("desde"), 1);
    QStringList nombres;
    for (l.ejecuta(); !l.eof(); l.siguiente())
        nombres << l.campo(QStringLiteral("NOMBRE")).texto();
    EXPECT_EQ(nombres, (QStringList{QStringLiteral("Martillo; de uña"), QStringLiteral("Pinza")}));

    // EXECUTE BLOCK: el parámetro de la cabecera se asigna, las variables del cuerpo no se tocan
    Consulta b(*c, t);
    b.agrega(QStringLiteral("EXECUTE BLOCK (DESDE INTEGER = :desde) RETURNS (N INTEGER) AS"));
    b.agrega(QStringLiteral("DECLARE X INTEGER;"));
    b.agrega(QStringLiteral("BEGIN SELECT COUNT(*) FROM ART WHERE ID >= :DESDE INTO :X; N = :X; SUSPEND; END"));
    b.asigna(QStringLiteral("desde"), 2);
    b.ejecuta();
    ASSERT_FALSE(b.eof());
    EXPECT_EQ(b.campo(QStringLiteral("N")).entero(), 1);

    EXPECT_EQ(ParametrosProcedimiento(*c, t, QStringLiteral("precio_con_iva")), 2);
    EXPECT_EQ(ParametrosProcedimiento(*c, t, QStringLiteral("NO_HAY")), -1);

    EXPECT_TRUE(ExisteGenerador(*c, t, QStringLiteral("gen_art")));
    EXPECT_FALSE(ExisteGenerador(*c, t, QStringLiteral("GEN_OTRO")));
    EXPECT_EQ(SiguienteGenerador(*c, t, QStringLiteral("GEN_ART"), 10), 12);
    t.confirma();
    CreaGenerador(*c, QStringLiteral("GEN_OTRO"), 100);
    EXPECT_TRUE(ExisteGenerador(*c, t, QStringLiteral("GEN_OTRO")));
    EXPECT_EQ(SiguienteGenerador(*c, t, QStringLiteral("GEN_OTRO")), 101);
}

TEST(FbScript, ContinuaTrasErroresYAvisaCadaSentencia)
{
    auto c = BasePrueba::conecta(BasePrueba::creaBase(QStringLiteral("errores")));
    Script s(*c);
    s.setTexto(QStringLiteral("CREATE TABLE A (X INTEGER);\n"
                              "INSERT INTO A VALUES (5);\n"
                              "CREATE TABLE A (X INTEGER);\n"
                              "INSERT INTO NO_EXISTE VALUES (1);\n"
                              "CREATE TABLE B (X INTEGER);\n"
                              "INSERT INTO B VALUES (1);\n"));
    std::vector<ResultadoSentenciaFb> hechas;
    s.setAlEjecutar([&](const ResultadoSentenciaFb &r) { hechas.push_back(r); });
    s.setContinuaTrasError(true);
    EXPECT_EQ(s.ejecuta(), 2);
    ASSERT_EQ(hechas.size(), 6u);
    const bool okEsperado[] = {true, true, false, false, true, true};
    for (size_t i = 0; i < hechas.size(); ++i) {
        EXPECT_EQ(hechas[i].ok, okEsperado[i]) << hechas[i].sentencia.toStdString();
        EXPECT_EQ(hechas[i].codigo != 0, !okEsperado[i]);
        EXPECT_EQ(hechas[i].error.isEmpty(), okEsperado[i]);
    }
    Transaccion t(*c);
    Consulta q(*c, t);
    q.setSql(QStringLiteral("SELECT (SELECT COUNT(*) FROM B), (SELECT SUM(X) FROM A) FROM RDB$DATABASE"));
    q.ejecuta();
    EXPECT_EQ(q.campo(0).entero(), 1);
    EXPECT_EQ(q.campo(1).entero(), 5); // el DDL que falló no se llevó el INSERT anterior
    EXPECT_EQ(hechas[2].codigo, 335544351) << hechas[2].error.toStdString(); // no_meta_update
    EXPECT_TRUE(hechas[2].error.contains(QStringLiteral("already exists"))) << hechas[2].error.toStdString();

    // Sin continuar: lanza en el primer error
    Script s2(*c);
    s2.setTexto(QStringLiteral("CREATE TABLE A (X INTEGER); CREATE TABLE C (X INTEGER);"));
    EXPECT_THROW(s2.ejecuta(), ErrorFb);
}
