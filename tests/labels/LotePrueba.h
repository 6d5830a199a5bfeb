#pragma once
// Apoyo de las pruebas de etiquetas: ERP de prueba con artículos conocidos, sesión y ajustes

#include "BasePrueba.h"
#include "Entorno.h"
#include "ErpPrueba.h"
#include "SesionPrueba.h"

#include "app/Sesion.h"
#include "labels/col_Cenefa.h"
#include "db/Registro.h"
#include "db/fbConsulta.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace LotePrueba {

// Artículos propios de la prueba (ids fijos)
inline constexpr int kLlave = 900001;  // 'Herramientas manuales' (10 %), lista 115, Mayoreo 100, sin impuestos
inline constexpr int kTuerca = 900002; // 'Tornillería' (sin descuento), lista 50, Mayoreo 40
inline constexpr int kBaja = 900003;   // dado de baja (el ERP da -1), sólo código de barras

inline const char *kArticulos = R"SQL(
INSERT INTO ARTICULOS (ARTICULO_ID, NOMBRE, ESTATUS, LINEA_ARTICULO_ID, COSTO_ULTIMA_COMPRA, FECHA_ULTIMA_COMPRA, NOTAS_VENTAS)
  SELECT 900001, 'Llave de prueba ñandú', 'A', LINEA_ARTICULO_ID, 80, DATE '2024-03-01', 'Pregunte por el juego completo'
    FROM LINEAS_ARTICULOS WHERE NOMBRE = 'Herramientas manuales';
INSERT INTO ARTICULOS (ARTICULO_ID, NOMBRE, ESTATUS, LINEA_ARTICULO_ID)
  SELECT 900002, 'Tuerca de prueba', 'A', LINEA_ARTICULO_ID FROM LINEAS_ARTICULOS WHERE NOMBRE = 'Tornillería';
INSERT INTO ARTICULOS (ARTICULO_ID, NOMBRE, ESTATUS, LINEA_ARTICULO_ID)
  SELECT 900003, 'Artículo dado de baja', 'B', LINEA_ARTICULO_ID FROM LINEAS_ARTICULOS WHERE NOMBRE = 'Tornillería';
INSERT INTO CLAVES_ARTICULOS (CLAVE_ARTICULO, ARTICULO_ID, ROL_CLAVE_ART_ID, CONTENIDO_EMPAQUE)
  SELECT 'PRUEBA-Ñ1', 900001, ROL_CLAVE_ART_ID, 1 FROM ROLES_CLAVES_ARTICULOS WHERE NOMBRE = 'Clave principal';
INSERT INTO CLAVES_ARTICULOS (CLAVE_ARTICULO, ARTICULO_ID, ROL_CLAVE_ART_ID, CONTENIDO_EMPAQUE)
  SELECT '7509999000011', 900001, ROL_CLAVE_ART_ID, 1 FROM ROLES_CLAVES_ARTICULOS WHERE NOMBRE = 'Código de barras';
INSERT INTO CLAVES_ARTICULOS (CLAVE_ARTICULO, ARTICULO_ID, ROL_CLAVE_ART_ID, CONTENIDO_EMPAQUE)
  SELECT 'EMP-ÁÉ-12', 900001, ROL_CLAVE_ART_ID, 12 FROM ROLES_CLAVES_ARTICULOS WHERE NOMBRE = 'Código de empaque';
INSERT INTO CLAVES_ARTICULOS (CLAVE_ARTICULO, ARTICULO_ID, ROL_CLAVE_ART_ID, CONTENIDO_EMPAQUE)
  SELECT 'PRUEBA-2', 900002, ROL_CLAVE_ART_ID, 1 FROM ROLES_CLAVES_ARTICULOS WHERE NOMBRE = 'Clave principal';
INSERT INTO CLAVES_ARTICULOS (CLAVE_ARTICULO, ARTICULO_ID, ROL_CLAVE_ART_ID, CONTENIDO_EMPAQUE)
  SELECT '7509999000035', 900003, ROL_CLAVE_ART_ID, 1 FROM ROLES_CLAVES_ARTICULOS WHERE NOMBRE = 'Código de barras';
INSERT INTO PRECIOS_ARTICULOS (ARTICULO_ID, PRECIO_EMPRESA_ID, PRECIO, MONEDA_ID)
  SELECT a.ID, p.PRECIO_EMPRESA_ID,
         DECODE(a.ID, 900001, IIF(p.ID_INTERNO = 'L', 115, 100), 900002, IIF(p.ID_INTERNO = 'L', 50, 40), 10),
         (SELECT MONEDA_ID FROM MONEDAS WHERE ES_MONEDA_LOCAL = 'S')
    FROM PRECIOS_EMPRESA p,
         (SELECT 900001 AS ID FROM RDB$DATABASE UNION ALL SELECT 900002 FROM RDB$DATABASE
          UNION ALL SELECT 900003 FROM RDB$DATABASE) a;
INSERT INTO LIBRES_ARTICULOS (ARTICULO_ID, VALOR_PUNTOS, COLOR, MATERIAL)
  SELECT 900001, 7, LISTA_ATRIB_ID, 'Acero forjado' FROM LISTAS_ATRIBUTOS WHERE VALOR_DESPLEGADO = 'Azul';
INSERT INTO NIVELES_ARTICULOS (ARTICULO_ID, ALMACEN_ID, LOCALIZACION)
  SELECT 900001, ALMACEN_ID, 'PASILLO-Ñ-3' FROM ALMACENES WHERE NOMBRE_ABREV = 'GRAL';
COMMIT;
)SQL";

// Ejecuta un guion como SYSDBA (se detiene en el primer error)
inline void Guion(const QString &base, const QString &texto)
{
    auto c = BasePrueba::conecta(base);
    Script s(*c);
    s.setTexto(texto);
    s.ejecuta();
}

inline qint64 Valor(Sesion &s, const QString &sql)
{
    Consulta q(s.fbDatabase, s.fbViewTrans);
    q.setSql(sql);
    q.ejecuta();
    return q.eof() ? -1 : q.campo(0).entero();
}

// ERP de la suite: se crea una vez, con los artículos de la prueba; la carpeta de ajustes
// del usuario (etiquetas.ini) va a una carpeta temporal
struct ErpEtiquetas
{
    ErpPrueba::Erp erp;
    std::unique_ptr<QTemporaryDir> carpeta;
    std::unique_ptr<Sesion> sesion;
    QString error;

    explicit ErpEtiquetas(const ErpPrueba::Opciones &o)
    {
        carpeta = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", carpeta->path().toUtf8());
        qputenv("XDG_DATA_HOME", (carpeta->path() + QStringLiteral("/datos")).toUtf8());
        erp = ErpPrueba::crea(o);
        if (!erp.ok) {
            error = erp.error;
            return;
        }
        Guion(erp.empresaBd(), QString::fromUtf8(kArticulos));
        sesion = SesionPrueba::abre(erp, {}, &error);
    }

    int id(const char *sql) { return int(Valor(*sesion, QString::fromUtf8(sql))); }
    int lista(const char *nombre)
    {
        return int(Valor(*sesion, QStringLiteral("SELECT PRECIO_EMPRESA_ID FROM PRECIOS_EMPRESA WHERE NOMBRE = '%1'")
                                      .arg(QString::fromUtf8(nombre))));
    }
    int rol(const char *nombre)
    {
        return int(
            Valor(*sesion, QStringLiteral("SELECT ROL_CLAVE_ART_ID FROM ROLES_CLAVES_ARTICULOS WHERE NOMBRE = '%1'")
                               .arg(QString::fromUtf8(nombre))));
    }
    void ajusta(const std::map<QString, QString> &valores)
    {
        for (const auto &[k, v] : valores)
            sesion->registro().escribe(QStringLiteral("Etiquetas"), k, v);
    }
    // Ajustes de partida: rol principal, lista y Mayoreo, código de barras y de empaque
    void ajustesBase()
    {
        const auto n = [](int x) { return QString::number(x); };
        ajusta({{QStringLiteral("Rol_clave_etiquetas"), n(rol("Clave principal"))},
                {QStringLiteral("listaprecios1"), n(lista("Precio de lista"))},
                {QStringLiteral("listaprecios2"), n(lista("Mayoreo"))},
                {QStringLiteral("listaprecios3"), QString()},
                {QStringLiteral("listaClaves1"), n(rol("Código de barras"))},
                {QStringLiteral("listaClaves2"), n(rol("Código de empaque"))},
                {QStringLiteral("listaClaves3"), QString()},
                {QStringLiteral("moneda1"), n(id("SELECT MONEDA_ID FROM MONEDAS WHERE ES_MONEDA_LOCAL = 'S'"))},
                {QStringLiteral("Precio promo"), QStringLiteral("N")},
                {QStringLiteral("ModificaPrecio"), QStringLiteral("N")},
                {QStringLiteral("ModifP1"), QStringLiteral("N")},
                {QStringLiteral("SeleccionarPrecio"), QStringLiteral("S")},
                {QStringLiteral("SeleccionarClave"), QStringLiteral("S")},
                {QStringLiteral("AlmacenLocalizacion"), QString()},
                {QStringLiteral("Art s/ registro"), QStringLiteral("N")}});
        for (int k = 1; k <= 8; ++k)
            ajusta({{QStringLiteral("CampoPartEtiqueta%1").arg(k), QString()}});
    }
};

// Fixture común: un ERP por programa de pruebas (opciones de 'opcionesErp'), ajustes de
// partida antes de cada prueba y la ventana de etiquetas abierta con los permisos dados
class PruebaLote : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { creaErp(ErpPrueba::Opciones{}); }
    static void creaErp(const ErpPrueba::Opciones &o)
    {
        delete s_ent;
        s_ent = new ErpEtiquetas(o);
    }
    static void TearDownTestSuite()
    {
        delete s_ent;
        s_ent = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_ent->sesion) << s_ent->error.toStdString();
        s_ent->ajustesBase();
    }
    ErpEtiquetas &e() { return *s_ent; }

    static std::unique_ptr<Tfcol_Cenefa> abre(quint32 acceso = 0xFFFF)
    {
        auto w = std::make_unique<Tfcol_Cenefa>();
        w->Acceso = acceso;
        w->resize(1200, 500);
        w->show();
        return w;
    }

    static inline ErpEtiquetas *s_ent = nullptr;
};

} // namespace LotePrueba
