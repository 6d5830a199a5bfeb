// Árbol de ajustes en la base de la empresa
#include "BasePrueba.h"
#include "ImprimeQt.h"

#include "db/EsquemaSql.h"
#include "db/Registro.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <gtest/gtest.h>

namespace {

// Base con la tabla de ajustes, su generador y su disparador
std::unique_ptr<Conexion> baseConRegistro()
{
    auto c = BasePrueba::conecta(BasePrueba::creaBase(QStringLiteral("registro")));
    Script s(*c);
    s.setContinuaTrasError(true); // lo que depende de objetos del ERP falla aquí y se ignora
    s.setTexto(QStringLiteral("CREATE DOMAIN SI_NO_S AS CHAR(1);\n") + EsquemaSql::Tablas()
               + EsquemaSql::Procedimientos());
    s.ejecuta();
    return c;
}

struct Fila { int id; QString tipo; int padre; QVariant valor; };

QList<Fila> filas(Conexion &c)
{
    Transaccion t(c);
    Consulta q(c, t);
    q.setSql(QStringLiteral("SELECT registro_id, nombre, tipo, padre_id, valor FROM tlv_registro ORDER BY registro_id"));
    QList<Fila> r;
    for (q.ejecuta(); !q.eof(); q.siguiente())
        r.append({int(q.campo(0).entero()), q.campo(1).texto() + QLatin1Char('/') + q.campo(2).texto(),
                  int(q.campo(3).entero()), q.campo(4).variante()});
    return r;
}

} // namespace

TEST(Registro, LeerCreaCarpetaYValorVacios)
{
    auto c = baseConRegistro();
    Transaccion t(*c);
    CacheRegistro cache;
    RegistroAjustes reg(*c, t, cache);
    QString valor = QStringLiteral("basura");
    const int id = reg.ValorRegistro(QStringLiteral("Etiquetas"), {}, {}, QStringLiteral("Rol_clave_etiquetas"), valor, true);
    EXPECT_TRUE(valor.isEmpty());
    const auto f = filas(*c);
    ASSERT_EQ(f.size(), 2);
    EXPECT_EQ(f[0].tipo, QStringLiteral("Etiquetas/F"));
    EXPECT_EQ(f[0].padre, 0);
    EXPECT_FALSE(f[0].valor.isValid()); // NULL
    EXPECT_EQ(f[1].tipo, QStringLiteral("Rol_clave_etiquetas/V"));
    EXPECT_EQ(f[1].padre, f[0].id);
    EXPECT_EQ(f[1].valor, QVariant(QString()));
    EXPECT_EQ(f[1].id, id);
    EXPECT_EQ(cache.cantidad(), 1u);
}

TEST(Registro, EscrituraVisibleYCacheSinSentenciasDeCarpetas)
{
    auto c = baseConRegistro();
    Transaccion t(*c);
    CacheRegistro cache;
    RegistroAjustes reg(*c, t, cache);
    reg.escribe(QStringLiteral("Etiquetas"), QStringLiteral("Impresion"), QStringLiteral("B"));
    // Otra estación (otra conexión, su propia caché) lo lee
    auto otra = BasePrueba::conecta(c->base());
    Transaccion t2(*otra);
    CacheRegistro cache2;
    RegistroAjustes reg2(*otra, t2, cache2);
    EXPECT_EQ(reg2.lee(QStringLiteral("Etiquetas"), QStringLiteral("Impresion")), QStringLiteral("B"));

    // Ruta ya en caché: búsqueda, actualización y búsqueda del valor; nada de carpetas
    const int antes = reg.sentencias();
    reg.escribe(QStringLiteral("Etiquetas"), QStringLiteral("Impresion"), QString::fromUtf8("Añil € 5"));
    EXPECT_EQ(reg.sentencias() - antes, 3);
    EXPECT_EQ(reg2.lee(QStringLiteral("Etiquetas"), QStringLiteral("Impresion")), QString::fromUtf8("Añil € 5"));

    // Tres carpetas
    QString v = QStringLiteral("listado.fr3");
    reg.ValorRegistro(QStringLiteral("ETI"), QStringLiteral("TfImprimirForma"), QStringLiteral("SYSDBA"),
                      QStringLiteral("Forma"), v, false);
    QString leido;
    reg2.ValorRegistro(QStringLiteral("ETI"), QStringLiteral("TfImprimirForma"), QStringLiteral("SYSDBA"),
                       QStringLiteral("Forma"), leido, true);
    EXPECT_EQ(leido, QStringLiteral("listado.fr3"));
}

TEST(Registro, RaizSinCacheYTextoLargoFalla)
{
    auto c = baseConRegistro();
    Transaccion t(*c);
    CacheRegistro cache;
    RegistroAjustes reg(*c, t, cache);
    QString v = QStringLiteral("000024");
    reg.ValorRegistro({}, {}, {}, QStringLiteral("Etiquetas_DB"), v, false);
    const auto f = filas(*c);
    ASSERT_EQ(f.size(), 1);
    EXPECT_EQ(f[0].padre, 0);
    EXPECT_EQ(cache.cantidad(), 0u);
    QString leido;
    reg.ValorRegistro({}, {}, {}, QStringLiteral("Etiquetas_DB"), leido, true);
    EXPECT_EQ(leido, QStringLiteral("000024"));

    QString largo(101, QLatin1Char('x'));
    try {
        reg.ValorRegistro({}, {}, {}, QStringLiteral("Largo"), largo, false);
        FAIL() << "un texto de 101 caracteres debe fallar";
    } catch (const ErrorFb &e) {
        EXPECT_EQ(e.codigo(), CodigoFb::Truncado) << e.texto().toStdString();
    }
    QString cien(100, QLatin1Char('y'));
    reg.ValorRegistro({}, {}, {}, QStringLiteral("Largo"), cien, false);
    EXPECT_EQ(reg.lee({}, QStringLiteral("Largo")), QString(100, QLatin1Char('y')));
}

TEST(Registro, DosEstacionesCreanLaMismaFila)
{
    auto c = baseConRegistro();
    // Simula la carrera: justo antes de nuestra alta, otra transacción confirma la misma fila
    Script s(*c);
    s.setTexto(QStringLiteral(R"(
SET TERM ^ ;
CREATE TRIGGER TR_CARRERA FOR TLV_REGISTRO ACTIVE BEFORE INSERT POSITION 5 AS
BEGIN
  IF (NEW.NOMBRE STARTING WITH 'Carrera' AND RDB$GET_CONTEXT('USER_TRANSACTION', 'DENTRO') IS NULL) THEN
    IN AUTONOMOUS TRANSACTION DO
    BEGIN
      RDB$SET_CONTEXT('USER_TRANSACTION', 'DENTRO', '1');
      INSERT INTO TLV_REGISTRO (NOMBRE, TIPO, PADRE_ID, VALOR) VALUES (NEW.NOMBRE, NEW.TIPO, NEW.PADRE_ID, 'de la otra');
    END
END^
SET TERM ; ^
)"));
    s.ejecuta();
    Transaccion t(*c);
    CacheRegistro cache;
    RegistroAjustes reg(*c, t, cache);
    // Leer: la fila de la otra estación se toma tal cual
    QString v;
    const int id = reg.ValorRegistro({}, {}, {}, QStringLiteral("CarreraA"), v, true);
    EXPECT_GT(id, 0);
    EXPECT_EQ(v, QStringLiteral("de la otra"));
    // Escribir: nuestra escritura gana
    QString mio = QStringLiteral("mío");
    EXPECT_GT(reg.ValorRegistro({}, {}, {}, QStringLiteral("CarreraB"), mio, false), 0);
    EXPECT_EQ(reg.lee({}, QStringLiteral("CarreraB")), QStringLiteral("mío"));
}
