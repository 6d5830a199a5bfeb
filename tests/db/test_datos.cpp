// Módulo de datos: listas de precios del ERP, listas a capturar y pruebas del esquema
#include "BasePrueba.h"
#include "ImprimeQt.h"

#include "db/datos.h"
#include "db/fbConexion.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <gtest/gtest.h>

namespace {

// Base con las listas de precios (ids fuera de orden), una tabla propia y un procedimiento
class Datos : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_base = new QString(BasePrueba::creaBase(QStringLiteral("datos")));
        auto c = BasePrueba::conecta(*s_base);
        Script s(*c);
        s.setTexto(QStringLiteral(
            "CREATE TABLE PRECIOS_EMPRESA (PRECIO_EMPRESA_ID INTEGER NOT NULL PRIMARY KEY,"
            " NOMBRE VARCHAR(30) NOT NULL, POSICION SMALLINT);\n"
            "CREATE TABLE TLV_MENUSISTEMA (TAG INTEGER);\n"
            "SET TERM ^ ;\n"
            "CREATE PROCEDURE GET_ULTCOM_ART (A INTEGER) RETURNS (C NUMERIC(18,6)) AS BEGIN C = 0; SUSPEND; END^\n"
            "SET TERM ; ^\n"));
        s.ejecuta();
    }
    static void TearDownTestSuite()
    {
        delete s_base;
        s_base = nullptr;
    }

    void SetUp() override
    {
        conexion = BasePrueba::conecta(*s_base);
        lectura = std::make_unique<Transaccion>(*conexion);
        datos = std::make_unique<Tfdatos>();
        datos->ponBase(*conexion, *lectura);
    }

    void ejecuta(const QString &sql)
    {
        Transaccion t(*conexion);
        Consulta q(*conexion, t);
        q.setSql(sql);
        q.ejecuta();
        t.confirma();
    }

    QStringList nombres()
    {
        QStringList r;
        MemTable &t = datos->mPreciosEmpresa;
        for (int f = 0; f < t.cantidad(); ++f)
            r << QString::number(t.valorEn(f, QStringLiteral("ID")).toLongLong()) + QLatin1Char('=') +
                     t.valorEn(f, QStringLiteral("Nombre")).toString();
        return r;
    }

    static QString *s_base;
    std::unique_ptr<Conexion> conexion;
    std::unique_ptr<Transaccion> lectura;
    std::unique_ptr<Tfdatos> datos;
};
QString *Datos::s_base = nullptr;

} // namespace

TEST_F(Datos, PruebasDelEsquemaSinCambiarMayusculas)
{
    EXPECT_TRUE(datos->VerificaTabla(QStringLiteral("TLV_MENUSISTEMA")));
    EXPECT_FALSE(datos->VerificaTabla(QStringLiteral("tlv_menusistema")));
    EXPECT_FALSE(datos->VerificaTabla(QStringLiteral("TLV_NO_EXISTE")));
    EXPECT_TRUE(datos->VerificaSP(QStringLiteral("GET_ULTCOM_ART")));
    EXPECT_FALSE(datos->VerificaSP(QStringLiteral("get_ultcom_art")));
    // Una tabla no es un procedimiento ni al revés
    EXPECT_FALSE(datos->VerificaSP(QStringLiteral("TLV_MENUSISTEMA")));
    EXPECT_FALSE(datos->VerificaTabla(QStringLiteral("GET_ULTCOM_ART")));
    // La consulta queda cerrada: la transacción de lectura puede confirmarse y seguir
    lectura->confirma();
    EXPECT_TRUE(datos->VerificaTabla(QStringLiteral("TLV_MENUSISTEMA")));
}

TEST_F(Datos, ListasDePreciosSeRecarganVacias)
{
    ejecuta(QStringLiteral("DELETE FROM precios_empresa"));
    datos->precios_empresa();
    EXPECT_EQ(datos->mPreciosEmpresa.cantidad(), 0);

    ejecuta(QStringLiteral("INSERT INTO precios_empresa VALUES (42, 'Precio de lista', 1)"));
    ejecuta(QStringLiteral("INSERT INTO precios_empresa VALUES (7, 'Mayoreo ñandú', 2)"));
    lectura->confirma(); // lo nuevo se ve en la siguiente transacción de lectura
    datos->precios_empresa();
    const QStringList leidos = nombres();
    ASSERT_EQ(leidos.size(), 2);
    EXPECT_TRUE(leidos.contains(QStringLiteral("42=Precio de lista")));
    EXPECT_TRUE(leidos.contains(QStringLiteral("7=Mayoreo ñandú")));
    EXPECT_EQ(datos->mPreciosEmpresa.indiceCampo(QStringLiteral("posicion")), -1); // no se guarda

    // Recargar no acumula; la lista borrada desaparece
    ejecuta(QStringLiteral("DELETE FROM precios_empresa WHERE precio_empresa_id = 7"));
    lectura->confirma();
    datos->precios_empresa();
    EXPECT_EQ(nombres(), QStringList{QStringLiteral("42=Precio de lista")});
}

TEST_F(Datos, SinBaseLanzaYCmpPreciosEmpiezaSinAumentar)
{
    Tfdatos sinBase;
    EXPECT_THROW(sinBase.precios_empresa(), ErrorFb);
    EXPECT_THROW(sinBase.VerificaTabla(QStringLiteral("X")), ErrorFb);

    MemTable &t = datos->mCmpPrecios;
    EXPECT_EQ(t.nombresCampos(), (QStringList{QStringLiteral("precio_empresa_id"), QStringLiteral("nombre"),
                                             QStringLiteral("ut_sugerida"), QStringLiteral("Inc")}));
    t.agrega();
    EXPECT_FALSE(t.esNulo(QStringLiteral("Inc")));
    EXPECT_FALSE(t.booleano(QStringLiteral("Inc")));
    t.asigna(QStringLiteral("nombre"), QStringLiteral("Mayoreo de temporada")); // 20 letras
    t.graba();
    EXPECT_EQ(t.texto(QStringLiteral("nombre")), QStringLiteral("Mayoreo de temp"));
}

TEST_F(Datos, AccesoGlobal)
{
    Tfdatos &propio = DatosActual();
    EXPECT_EQ(&DatosActual(), &propio); // el mismo en cada llamada
    {
        Tfdatos programa;
        PonDatosActual(&programa);
        EXPECT_EQ(&DatosActual(), &programa);
    } // al destruirse deja de ser el actual
    EXPECT_EQ(&DatosActual(), &propio);
}

TEST_F(Datos, ErroresDeLaBaseLleganAlLlamador)
{
    conexion->desconecta();
    EXPECT_THROW(datos->precios_empresa(), ErrorFb);
}
