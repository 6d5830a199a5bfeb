// ERP de reemplazo (erp/crea_erp.sh) visto por la capa Firebird del programa
#include "ErpPrueba.h"
#include "Entorno.h"
#include "ImprimeQt.h"

#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbTransaccion.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<Conexion> conecta(const QString &base, const QString &usuario = Entorno::usuario(),
                                  const QString &clave = Entorno::clave())
{
    auto c = std::make_unique<Conexion>(base, usuario, clave, QStringLiteral("USUARIO_MICROSIP"));
    c->conecta();
    return c;
}

qint64 entero(Conexion &c, const QString &sql)
{
    Transaccion t(c);
    Consulta q(c, t);
    q.setSql(sql);
    q.ejecuta();
    return q.eof() ? -1 : q.campo(0).entero();
}

bool ean13Valido(const QString &k)
{
    if (k.size() != 13)
        return false;
    int suma = 0;
    for (int i = 0; i < 12; ++i)
        suma += k[i].digitValue() * (i % 2 ? 3 : 1);
    return (10 - suma % 10) % 10 == k[12].digitValue();
}

// Un ERP de demostración por el servidor para toda la suite
class ErpDemo : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_erp = std::make_unique<ErpPrueba::Erp>(ErpPrueba::crea());
    }
    static void TearDownTestSuite() { s_erp.reset(); }
    void SetUp() override
    {
        ASSERT_TRUE(s_erp->ok) << s_erp->error.toStdString();
        m_c = conecta(s_erp->empresaBd());
        m_t = std::make_unique<Transaccion>(*m_c);
    }
    void TearDown() override
    {
        m_t.reset();
        m_c.reset();
    }
    // Id del artículo cuyo nombre empieza así
    qint64 articulo(const char *nombre)
    {
        Consulta q(*m_c, *m_t);
        q.setSql(QStringLiteral("SELECT MIN(articulo_id) FROM articulos WHERE nombre STARTING WITH :n"));
        q.asigna(QStringLiteral("n"), QString::fromUtf8(nombre));
        q.ejecuta();
        return q.campo(0).esNulo() ? 0 : q.campo(0).entero();
    }

    static std::unique_ptr<ErpPrueba::Erp> s_erp;
    std::unique_ptr<Conexion> m_c;
    std::unique_ptr<Transaccion> m_t;
};
std::unique_ptr<ErpPrueba::Erp> ErpDemo::s_erp;

} // namespace

TEST_F(ErpDemo, SistemaEmpresasUsuariosYVersion)
{
    auto cfg = conecta(s_erp->configBd());
    Transaccion t(*cfg);
    Consulta q(*cfg, t);
    q.setSql(QStringLiteral("select nombre_corto from empresas order by nombre_corto"));
    QStringList empresas;
    for (q.ejecuta(); !q.eof(); q.siguiente())
        empresas << q.campo(0).texto();
    EXPECT_EQ(empresas, (QStringList{QStringLiteral("Ferreteria_Demo"), QStringLiteral("Papeleria_Centro")}));

    // El cajero está limitado a la primera empresa; CONSULTA limitado y sin empresas
    Consulta l(*cfg, t);
    l.setSql(QStringLiteral("select e.nombre_corto from empresas e join empresas_usuarios u on e.empresa_id=u.empresa_id "
                            "where u.usuario_id=(select usuario_id from usuarios where nombre=:n and tipo='U' "
                            "and acceso_empresas='L')"));
    l.asigna(QStringLiteral("n"), QStringLiteral("CAJERO"));
    l.ejecuta();
    ASSERT_FALSE(l.eof());
    EXPECT_EQ(l.campo(0).texto(), QStringLiteral("Ferreteria_Demo"));
    EXPECT_FALSE(l.siguiente());
    l.asigna(QStringLiteral("n"), QStringLiteral("CONSULTA"));
    l.ejecuta();
    EXPECT_TRUE(l.eof());

    // Nodos nuevos de REGISTRY toman id de ID_CATALOGOS
    Consulta r(*cfg, t);
    r.setSql(QStringLiteral("INSERT INTO registry (nombre, tipo, padre_id) VALUES ('PRUEBA', 'L', 0) RETURNING elemento_id"));
    r.ejecuta();
    EXPECT_GE(r.campo(0).entero(), 1000);
    t.deshace();

    auto meta = conecta(s_erp->metadatosBd());
    Transaccion tm(*meta);
    Consulta v(*meta, tm);
    v.setSql(QStringLiteral("SELECT substring(max(v.version_sis) from 1 for 3), max(v.version_sis) version "
                            "FROM versiones_sis v JOIN sistemas s on s.sistema_id = v.sistema_id "
                            "WHERE s.nombre = :s"));
    v.asigna(QStringLiteral("s"), QStringLiteral("Microsip - Administración"));
    v.ejecuta();
    ASSERT_FALSE(v.eof());
    EXPECT_LE(v.campo(0).texto().toInt(), 720);
    EXPECT_EQ(v.campo(1).texto(), QStringLiteral("72001"));
}

TEST_F(ErpDemo, UsuariosConClaveYRol)
{
    auto c = conecta(s_erp->empresaBd(), QString::fromLatin1(ErpPrueba::kCajero.nombre),
                     QString::fromLatin1(ErpPrueba::kCajero.clave));
    EXPECT_GT(entero(*c, QStringLiteral("select count(*) from articulos")), 200);
    EXPECT_GT(entero(*c, QStringLiteral("select count(*) from precio_con_impto_si(0, 1, 'S', 'P', 0, 0, 0, 'N', 'N')")), 0);
    try {
        conecta(s_erp->configBd(), QStringLiteral("CAJERO"), QStringLiteral("mala"));
        ADD_FAILURE() << "conectó con una clave equivocada";
    } catch (const ErrorFb &e) {
        EXPECT_EQ(e.codigo(), 335544472);
    }
}

TEST_F(ErpDemo, NombresAcentuadosEnWindows1252)
{
    Consulta q(*m_c, *m_t);
    q.setSql(QStringLiteral("SELECT nombre FROM articulos WHERE articulo_id = :id"));
    q.asigna(QStringLiteral("id"), articulo("Martillo de u"));
    q.ejecuta();
    ASSERT_FALSE(q.eof());
    EXPECT_TRUE(q.campo(0).bytes().startsWith(QByteArray("Martillo de u\xF1" "a curva")));
    EXPECT_EQ(q.campo(0).texto(), QStringLiteral("Martillo de uña curva mango de fibra de vidrio 16 oz"));
    EXPECT_GT(entero(*m_c, QStringLiteral("select count(*) from articulos where nombre containing ','")), 10);
    // El rol con acento se encuentra por su nombre
    q.setSql(QStringLiteral("SELECT count(*) FROM roles_claves_articulos WHERE nombre = :n"));
    q.asigna(QStringLiteral("n"), QStringLiteral("Código de barras"));
    q.ejecuta();
    EXPECT_EQ(q.campo(0).entero(), 1);
}

TEST_F(ErpDemo, ClavesEan13YPrecios)
{
    Consulta q(*m_c, *m_t);
    q.setSql(QStringLiteral("SELECT c.clave_articulo FROM claves_articulos c JOIN roles_claves_articulos r "
                            "ON r.rol_clave_art_id = c.rol_clave_art_id WHERE r.nombre = :n"));
    q.asigna(QStringLiteral("n"), QStringLiteral("Código de barras"));
    int n = 0;
    for (q.ejecuta(); !q.eof(); q.siguiente(), ++n)
        EXPECT_TRUE(ean13Valido(q.campo(0).texto())) << q.campo(0).texto().toStdString();
    EXPECT_EQ(n, entero(*m_c, QStringLiteral("select count(*) from articulos")));
    // Cada artículo tiene precio en las tres listas, en la moneda local
    EXPECT_EQ(entero(*m_c, QStringLiteral("select count(*) from precios_articulos p join monedas m on "
                                          "m.moneda_id = p.moneda_id where m.es_moneda_local = 'S'")),
              3 * n);
    EXPECT_EQ(entero(*m_c, QStringLiteral("select count(*) from precios_empresa where id_interno = 'L'")), 1);
    // El id -1 deja que el ERP asigne el del renglón de precio
    const qint64 art = articulo("Martillo");
    Consulta b(*m_c, *m_t);
    b.setSql(QStringLiteral("DELETE FROM precios_articulos WHERE articulo_id = :a"));
    b.asigna(QStringLiteral("a"), art);
    b.ejecuta();
    Consulta i(*m_c, *m_t);
    i.setSql(QStringLiteral("INSERT INTO precios_articulos (precio_articulo_id, articulo_id, precio_empresa_id, "
                            "precio, moneda_id, margen, fecha_hora_ult_modif) VALUES (-1, :a, "
                            "(select min(precio_empresa_id) from precios_empresa), 1, "
                            "(select moneda_id from monedas where es_moneda_local='S'), 0, current_timestamp) "
                            "RETURNING precio_articulo_id"));
    i.asigna(QStringLiteral("a"), art);
    i.ejecuta();
    EXPECT_GE(i.campo(0).entero(), 1000);
    m_t->deshace();
}

TEST_F(ErpDemo, UltimaCompraYExistencias)
{
    // La última compra es el renglón de compra más reciente no cancelado
    Consulta u(*m_c, *m_t);
    u.setSql(QStringLiteral("SELECT FIRST 1 d.articulo_id, d.costo_unitario, d.fecha FROM doctos_in_det d "
                            "JOIN doctos_in di ON di.docto_in_id = d.docto_in_id JOIN conceptos_in c ON "
                            "c.concepto_in_id = di.concepto_in_id WHERE c.nombre = 'Compra' AND di.cancelado = 'N' "
                            "ORDER BY d.fecha DESC"));
    u.ejecuta();
    ASSERT_FALSE(u.eof());
    const qint64 art = u.campo(0).entero();
    Consulta g(*m_c, *m_t);
    g.setSql(QStringLiteral("SELECT costo_ultima_compra, fecha_ultima_compra FROM get_ultcom_art(:a)"));
    g.asigna(QStringLiteral("a"), art);
    g.ejecuta();
    EXPECT_EQ(g.campo(0).moneda(), u.campo(1).moneda());
    EXPECT_EQ(g.campo(1).fecha(), u.campo(2).fecha());
    // Sin compras: el costo guardado en el artículo
    const qint64 sinCompra = entero(*m_c, QStringLiteral(
        "select min(articulo_id) from articulos a where not exists (select 1 from doctos_in_det d join doctos_in di "
        "on di.docto_in_id = d.docto_in_id join conceptos_in c on c.concepto_in_id = di.concepto_in_id "
        "where d.articulo_id = a.articulo_id and c.id_interno = 'C' and di.cancelado = 'N')"));
    g.asigna(QStringLiteral("a"), sinCompra);
    g.ejecuta();
    Consulta a(*m_c, *m_t);
    a.setSql(QStringLiteral("select costo_ultima_compra from articulos where articulo_id = :a"));
    a.asigna(QStringLiteral("a"), sinCompra);
    a.ejecuta();
    EXPECT_EQ(g.campo(0).moneda(), a.campo(0).moneda());

    // Existencias: entradas menos salidas por almacén y hasta una fecha
    struct Caso { const char *almacen; const char *fecha; };
    const Caso casos[] = {{"GRAL", "2024-10-04"}, {"GRAL", "2099-01-01"}, {"NORTE", "2099-01-01"}, {nullptr, "2099-01-01"}};
    Consulta e(*m_c, *m_t), s(*m_c, *m_t);
    e.setSql(QStringLiteral("SELECT existencia FROM exival_art(:a, :alm, :f, 'N')"));
    s.setSql(QStringLiteral("SELECT COALESCE(SUM(IIF(d.tipo_movto = 'E', d.unidades, -d.unidades)), 0) FROM doctos_in_det d "
                            "JOIN doctos_in di ON di.docto_in_id = d.docto_in_id WHERE d.articulo_id = :a AND "
                            "(:alm = 0 OR d.almacen_id = :alm) AND d.fecha <= :f AND di.cancelado = 'N'"));
    const qint64 vendido = entero(*m_c, QStringLiteral(
        "select min(d.articulo_id) from doctos_in_det d where d.tipo_movto = 'S' and exists (select 1 from "
        "doctos_in_det n join almacenes a on a.almacen_id = n.almacen_id where n.articulo_id = d.articulo_id and "
        "a.nombre_abrev = 'NORTE')"));
    for (const Caso &k : casos) {
        qint64 alm = 0;
        if (k.almacen)
            alm = entero(*m_c, QStringLiteral("select almacen_id from almacenes where nombre_abrev = '%1'")
                                   .arg(QLatin1String(k.almacen)));
        for (Consulta *q : {&e, &s}) {
            q->asigna(QStringLiteral("a"), vendido);
            q->asigna(QStringLiteral("alm"), alm);
            q->asigna(QStringLiteral("f"), QDate::fromString(QLatin1String(k.fecha), Qt::ISODate));
            q->ejecuta();
        }
        EXPECT_EQ(e.campo(0).moneda(), s.campo(0).moneda()) << (k.almacen ? k.almacen : "todos") << " " << k.fecha;
        EXPECT_GT(e.campo(0).real(), 0);
    }
}

TEST_F(ErpDemo, PoliticasYDescuentoMaximo)
{
    const qint64 cuaderno = articulo("Cuaderno profesional de raya");
    Consulta p(*m_c, *m_t);
    p.setSql(QStringLiteral("SELECT descuento, es_exclusivo, tipo_dscto FROM get_pols_dscto_art(0, :a, current_date, "
                            "current_time, 0)"));
    p.asigna(QStringLiteral("a"), cuaderno);
    QStringList vistas;
    for (p.ejecuta(); !p.eof(); p.siguiente())
        vistas << QStringLiteral("%1%2%3").arg(p.campo(0).real()).arg(p.campo(1).texto(), p.campo(2).texto());
    EXPECT_EQ(vistas, (QStringList{QStringLiteral("5NP"), QStringLiteral("10NC")}));
    Consulta m(*m_c, *m_t);
    m.setSql(QStringLiteral("EXECUTE PROCEDURE get_dscto_max_art(:a, current_date)"));
    m.asigna(QStringLiteral("a"), cuaderno);
    m.ejecuta();
    EXPECT_DOUBLE_EQ(m.campo(0).real(), 12);
    // 12 unidades alcanzan la política de mayoreo; el cliente 1 la suya
    p.setSql(QStringLiteral("SELECT count(*) FROM get_pols_dscto_art(1, :a, current_date, current_time, 12)"));
    p.asigna(QStringLiteral("a"), cuaderno);
    p.ejecuta();
    EXPECT_EQ(p.campo(0).entero(), 4);
    m.asigna(QStringLiteral("a"), articulo("Martillo"));
    m.ejecuta();
    EXPECT_DOUBLE_EQ(m.campo(0).real(), 100);
}

TEST_F(ErpDemo, ProcedimientosDeClaveYPrecioDeLista)
{
    const qint64 art = articulo("Martillo de u");
    Consulta q(*m_c, *m_t);
    q.setSql(QStringLiteral("SELECT clave_articulo FROM get_clave_art(:a)"));
    q.asigna(QStringLiteral("a"), art);
    q.ejecuta();
    EXPECT_EQ(q.campo(0).texto(), QStringLiteral("HER-0001"));
    // precios_art con los argumentos del archivo de la colectora: precio de lista con IVA
    q.setSql(QStringLiteral("select precio1 from precios_art(:a, 'S', 12345, (select precio_empresa_id from "
                            "precios_empresa where id_interno = 'L'), 0, 0, 0)"));
    q.asigna(QStringLiteral("a"), art);
    q.ejecuta();
    EXPECT_EQ(q.campo(0).moneda(), Moneda::deTexto(QStringLiteral("219.24")));
}

// Cada cantidad de parámetros de PRECIO_CON_IMPTO_SI, con los valores que envía el programa
TEST(ErpPrecioConImpuesto, CantidadesDeParametros)
{
    for (int n = 9; n <= 12; ++n) {
        SCOPED_TRACE(n);
        ErpPrueba::Opciones o;
        o.paramsPrecio = n;
        o.demo = false;
        o.articulos = 20;
        o.empresas = {QStringLiteral("Precios%1").arg(n)};
        o.usuarios = false;
        const ErpPrueba::Erp erp = ErpPrueba::crea(o);
        ASSERT_TRUE(erp.ok) << erp.error.toStdString();
        auto c = conecta(erp.empresaBd());
        EXPECT_EQ(entero(*c, QStringLiteral("select count(*) from rdb$procedure_parameters where "
                                            "rdb$procedure_name = 'PRECIO_CON_IMPTO_SI' and rdb$parameter_type = 0")),
                  n);
        const qint64 moneda = entero(*c, QStringLiteral("select moneda_id from monedas where es_moneda_local = 'S'"));
        const qint64 sucursal = entero(*c, QStringLiteral("select sucursal_id from sucursales s where s.es_matriz = true"));
        Transaccion t(*c);
        Consulta q(*c, t);
        QString sql;
        switch (n) {
        case 9: sql = QStringLiteral("EXECUTE PROCEDURE PRECIO_CON_IMPTO_SI(:a, :p, 'S', 'P', 0, 0, 0, 'N', 'S')"); break;
        case 10: sql = QStringLiteral("EXECUTE PROCEDURE PRECIO_CON_IMPTO_SI(:a, :p, 'S', 'P', 0, 0, 0, 'N', 'S', :s)"); break;
        case 11: sql = QStringLiteral("EXECUTE PROCEDURE PRECIO_CON_IMPTO_SI(:a, :p, 'S', 'P', 0, 0, 0, 'N', 'S', :s, 0)"); break;
        default: sql = QStringLiteral("EXECUTE PROCEDURE PRECIO_CON_IMPTO_SI(:a, :p, 'S', 654321, :m, current_date, 'P', 0, 0, 0, 'N', 'S')");
        }
        q.setSql(sql);
        // Artículos generados: la clave G000010 lleva IVA 0 %, G000011 IVA 16 %
        struct Caso { const char *clave; const char *precio; const char *esperado; };
        const Caso casos[] = {{"G000011", "100", "116"}, {"G000011", "115.50", "133.98"}, {"G000010", "100", "100"}};
        for (const Caso &k : casos) {
            const qint64 art = entero(*c, QStringLiteral("select articulo_id from claves_articulos where clave_articulo = '%1'")
                                              .arg(QLatin1String(k.clave)));
            q.asigna(QStringLiteral("a"), art);
            q.asigna(QStringLiteral("p"), Moneda::deTexto(QLatin1String(k.precio)));
            if (n == 10 || n == 11)
                q.asigna(QStringLiteral("s"), sucursal);
            if (n == 12)
                q.asigna(QStringLiteral("m"), moneda);
            q.ejecuta();
            EXPECT_EQ(q.campo(0).moneda(), Moneda::deTexto(QLatin1String(k.esperado))) << k.clave << " " << k.precio;
        }
        // Un artículo que no existe da -1
        q.asigna(QStringLiteral("a"), qint64(-5));
        q.ejecuta();
        EXPECT_EQ(q.campo(0).moneda(), Moneda::deTexto(QStringLiteral("-1")));
    }
}

TEST(ErpGenerador, ArticulosConClavesPreciosEImpuestosEnMotorIncrustado)
{
    ErpPrueba::Opciones o;
    o.servidor = false;
    o.demo = false;
    o.articulos = 1000;
    o.empresas = {QStringLiteral("Grande")};
    const ErpPrueba::Erp erp = ErpPrueba::crea(o);
    ASSERT_TRUE(erp.ok) << erp.error.toStdString();
    EXPECT_TRUE(erp.salida.contains(QStringLiteral("Generador: 1000 art"))) << erp.salida.toStdString();
    auto c = conecta(erp.empresaBd());
    EXPECT_EQ(entero(*c, QStringLiteral("select count(*) from articulos")), 1000);
    EXPECT_EQ(entero(*c, QStringLiteral("select count(*) from claves_articulos")), 2000);
    EXPECT_EQ(entero(*c, QStringLiteral("select count(*) from precios_articulos")), 3000);
    EXPECT_EQ(entero(*c, QStringLiteral("select count(*) from impuestos_articulos")), 1000);
    EXPECT_EQ(entero(*c, QStringLiteral("select count(distinct clave_articulo) from claves_articulos")), 2000);
    Transaccion t(*c);
    Consulta q(*c, t);
    q.setSql(QStringLiteral("select clave_articulo from claves_articulos where char_length(clave_articulo) = 13"));
    int n = 0;
    for (q.ejecuta(); !q.eof(); q.siguiente(), ++n)
        ASSERT_TRUE(ean13Valido(q.campo(0).texto())) << q.campo(0).texto().toStdString();
    EXPECT_EQ(n, 1000);
}
