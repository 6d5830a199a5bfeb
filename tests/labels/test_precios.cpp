// Llamadas a PRECIO_CON_IMPTO_SI según los parámetros que declara el ERP, con un procedimiento
// espía (cabeceras reales del ERP de reemplazo) que anota lo que recibe
#include "ImprimeQt.h"
#include "LotePrueba.h"
#include "Respondedor.h"

#include "db/MemTable.h"
#include "db/fbError.h"
#include "labels/col_Cenefa.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>

using namespace LotePrueba;

namespace {

// Cabecera de n parámetros tomada de erp/sql/precio_con_impto.sql
QString Cabecera(int n)
{
    QFile f(Entorno::fuentes() + QStringLiteral("/erp/sql/precio_con_impto.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString t = QString::fromUtf8(f.readAll());
    const QString marca = QStringLiteral("-- @CABECERA %1\n").arg(n);
    const qsizetype i = t.indexOf(marca);
    if (i < 0)
        return {};
    const qsizetype fin = t.indexOf(QStringLiteral("-- @"), i + marca.size());
    return t.mid(i + marca.size(), fin - i - marca.size());
}

// Versión de 8 parámetros, que el programa no sabe llamar
const char *kCabecera8 = R"SQL(CREATE OR ALTER PROCEDURE PRECIO_CON_IMPTO_SI (
  V_ARTICULO_ID INTEGER, V_PRECIO NUMERIC(18,6), V_CALC_IMPTOS CHAR(1), V_TIPO_PRECIO CHAR(1),
  V_DSCTO_PCTJE NUMERIC(18,6), V_DSCTO_IMPORTE NUMERIC(18,6), V_CLIENTE_ID INTEGER, V_REDONDEAR CHAR(1))
RETURNS (PRECIO_CON_IMPTO NUMERIC(18,6), IMPORTE_IMPTO NUMERIC(18,6))
AS
DECLARE VARIABLE V_VALIDA CHAR(1) = 'S';
DECLARE VARIABLE V_SUCURSAL_ID INTEGER = 0;
DECLARE VARIABLE V_DOCTO_ID INTEGER = 0;
DECLARE VARIABLE V_MONEDA_ID INTEGER = 0;
DECLARE VARIABLE V_FECHA DATE = NULL;
)SQL";

// Cuerpo espía: anota los valores y devuelve el precio recibido; falla con el artículo de baja
const char *kCuerpo = R"SQL(BEGIN
  IF (V_ARTICULO_ID = 900003) THEN EXCEPTION E_PRUEBA_PRECIO;
  INSERT INTO LLAMADAS_PRECIO (ARTICULO, PRECIO, CALC, TIPO, DSCTO, IMPORTE, CLIENTE, MONEDA, FECHA,
                               SUCURSAL, DOCTO, REDONDEAR, VALIDA)
    VALUES (:V_ARTICULO_ID, :V_PRECIO, :V_CALC_IMPTOS, :V_TIPO_PRECIO, :V_DSCTO_PCTJE, :V_DSCTO_IMPORTE,
            :V_CLIENTE_ID, :V_MONEDA_ID, :V_FECHA, :V_SUCURSAL_ID, :V_DOCTO_ID, :V_REDONDEAR, :V_VALIDA);
  PRECIO_CON_IMPTO = V_PRECIO;
  IMPORTE_IMPTO = 0;
  SUSPEND;
END^
)SQL";

const char *kTablaEspia = R"SQL(
CREATE TABLE LLAMADAS_PRECIO (
  ARTICULO INTEGER, PRECIO NUMERIC(18,6), CALC CHAR(1), TIPO CHAR(1), DSCTO NUMERIC(18,6),
  IMPORTE NUMERIC(18,6), CLIENTE INTEGER, MONEDA INTEGER, FECHA DATE, SUCURSAL INTEGER, DOCTO INTEGER,
  REDONDEAR CHAR(1), VALIDA CHAR(1));
CREATE EXCEPTION E_PRUEBA_PRECIO 'Falla de prueba en el precio';
COMMIT;
)SQL";

class PreciosErp : public PruebaLote
{
protected:
    static void SetUpTestSuite()
    {
        ErpPrueba::Opciones o;
        o.demo = false;
        o.empresas = {QStringLiteral("Ferreteria_Demo")};
        creaErp(o);
        if (s_ent->sesion)
            Guion(s_ent->erp.empresaBd(), QString::fromUtf8(kTablaEspia));
    }

    // Cambia el procedimiento por el espía de n parámetros
    void espia(int n)
    {
        const QString cab = n == 8 ? QString::fromUtf8(kCabecera8) : Cabecera(n);
        ASSERT_FALSE(cab.isEmpty()) << n;
        // Por la conexión de la sesión: otra conexión lo encontraría en uso
        Script s(e().sesion->fbDatabase);
        s.setTexto(QStringLiteral("SET TERM ^ ;\n") + cab + QString::fromUtf8(kCuerpo) +
                   QStringLiteral("SET TERM ; ^\nCOMMIT;\n"));
        s.ejecuta();
    }
    // Llamadas anotadas por el espía (en la transacción de lectura de la sesión)
    QList<QVariantList> llamadas()
    {
        QList<QVariantList> r;
        Consulta q(e().sesion->fbDatabase, e().sesion->fbViewTrans);
        q.setSql(
            QStringLiteral("SELECT ARTICULO, PRECIO, CALC, TIPO, DSCTO, IMPORTE, CLIENTE, MONEDA, FECHA, SUCURSAL, "
                           "DOCTO, REDONDEAR, VALIDA FROM LLAMADAS_PRECIO"));
        for (q.ejecuta(); !q.eof(); q.siguiente()) {
            QVariantList v;
            for (int i = 0; i < q.numCampos(); ++i)
                v << q.campo(i).variante();
            r << v;
        }
        Consulta borra(e().sesion->fbDatabase, e().sesion->fbViewTrans);
        borra.setSql(QStringLiteral("DELETE FROM LLAMADAS_PRECIO"));
        borra.ejecuta();
        return r;
    }
};

} // namespace

// 9, 10, 11 y 12 parámetros: valores por posición; 10 y 11 llevan la sucursal matriz,
// 12 la fecha de hoy y la moneda
TEST_F(PreciosErp, ValoresPorCantidadDeParametros)
{
    const int matriz = e().id("SELECT SUCURSAL_ID FROM SUCURSALES WHERE ES_MATRIZ");
    const int moneda = e().id("SELECT MONEDA_ID FROM MONEDAS WHERE ES_MONEDA_LOCAL = 'S'");
    ASSERT_GT(matriz, 0);
    const QVariant hoy(QDate::currentDate());
    const QVariant sinFecha;
    const QString S = QStringLiteral("S"), N = QStringLiteral("N"), P = QStringLiteral("P");
    using V = QVariantList;
    const qint64 id = kLlave;
    struct Caso
    {
        int params;
        QVariantList esperado; // ARTICULO, PRECIO, CALC, TIPO, DSCTO, IMPORTE, CLIENTE, MONEDA, FECHA, SUCURSAL, DOCTO,
                               // REDONDEAR, VALIDA
    };
    const Caso casos[] = {
        {9, V{id, 115.0, S, P, 0.0, 0.0, qint64(0), qint64(0), sinFecha, qint64(0), qint64(0), N, S}},
        {10, V{id, 115.0, S, P, 0.0, 0.0, qint64(0), qint64(0), sinFecha, qint64(matriz), qint64(0), N, S}},
        {11, V{id, 115.0, S, P, 0.0, 0.0, qint64(0), qint64(0), sinFecha, qint64(matriz), qint64(0), N, S}},
        {12, V{id, 115.0, S, P, 0.0, 0.0, qint64(654321), qint64(moneda), hoy, qint64(0), qint64(0), N, S}},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.params);
        espia(c.params);
        Respondedor r;
        auto w = abre();
        EXPECT_EQ(w->lote().parametrosPrecio(), c.params);
        EXPECT_EQ(w->lote().suc_id, matriz);
        llamadas();
        ASSERT_TRUE(w->AgregaArticulo(QString(), kLlave, 1)) << r.textos().join(QLatin1Char('|')).toStdString();
        const auto ll = llamadas();
        ASSERT_EQ(ll.size(), 2); // una por lista
        EXPECT_EQ(ll[0], c.esperado);
        EXPECT_DOUBLE_EQ(ll[1][1].toDouble(), 100.0); // Mayoreo
        EXPECT_DOUBLE_EQ(w->mArt().real(QStringLiteral("Precio1")), 115.0);
        EXPECT_DOUBLE_EQ(w->mArt().real(QStringLiteral("Precio2")), 100.0);
        EXPECT_EQ(r.cuantos(), 0);
    }
}

// Otra cantidad de parámetros: sin llamar al procedimiento, precio 0 y un solo aviso
TEST_F(PreciosErp, VersionNoSoportada)
{
    espia(8);
    Respondedor r;
    auto w = abre();
    RegistroSentencias bitacora;
    ASSERT_TRUE(w->AgregaArticulo(QString(), kLlave, 1));
    ASSERT_TRUE(w->AgregaArticulo(QString(), kTuerca, 1));
    for (const QString &s : bitacora.ejecutadas())
        EXPECT_FALSE(s.contains(QStringLiteral("PRECIO_CON_IMPTO_SI")));
    ASSERT_EQ(r.cuantos(), 1);
    EXPECT_TRUE(r.ultimo().texto.contains(QStringLiteral("versión no soportada")));
    MemTable &t = w->mArt();
    for (int id : {kLlave, kTuerca}) {
        ASSERT_TRUE(t.busca(QStringLiteral("ID"), id));
        EXPECT_DOUBLE_EQ(t.real(QStringLiteral("Precio1")), 0.0);
        EXPECT_DOUBLE_EQ(t.real(QStringLiteral("Precio2")), 0.0); // no el de la lista anterior
    }
}

// Un error de la base a media alta no deja el renglón; el lote sigue sirviendo
TEST_F(PreciosErp, ErrorDeLaBaseDescartaElRenglon)
{
    espia(9);
    Respondedor r;
    auto w = abre();
    ASSERT_TRUE(w->AgregaArticulo(QString(), kLlave, 1));
    EXPECT_FALSE(w->AgregaArticulo(QStringLiteral("7509999000035"), 0, 1));
    EXPECT_TRUE(r.ultimo().texto.startsWith(QStringLiteral("No se pudo agregar el artículo.\r")));
    EXPECT_TRUE(r.ultimo().texto.contains(QStringLiteral("Falla de prueba en el precio")));
    EXPECT_EQ(w->mArt().cantidad(), 1);
    EXPECT_EQ(w->mArt().estado(), MemTable::Estado::Navegando);
    ASSERT_TRUE(w->AgregaArticulo(QString(), kTuerca, 2));
    EXPECT_EQ(w->mArt().cantidad(), 2);
    llamadas();
}

// Sin GET_ULTCOM_ART el costo y la fecha salen del artículo (va al final: borra el procedimiento)
TEST_F(PreciosErp, SinProcedimientoDeUltimaCompra)
{
    espia(9);
    Script s(e().sesion->fbDatabase);
    s.setTexto(QStringLiteral("DROP PROCEDURE GET_ULTCOM_ART;\nCOMMIT;\n"));
    s.ejecuta();
    Respondedor r;
    auto w = abre();
    ASSERT_TRUE(w->AgregaArticulo(QString(), kLlave, 1)) << r.textos().join(QLatin1Char('|')).toStdString();
    EXPECT_DOUBLE_EQ(w->mArt().real(QStringLiteral("Costo_ultima_compra")), 80.0);
    EXPECT_EQ(w->mArt().fecha(QStringLiteral("Fecha_ultima_compra")), QDate(2024, 3, 1));
    llamadas();
}
