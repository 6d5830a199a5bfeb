#pragma once

// Objetos del ERP de los que depende el programa: tablas con las columnas que se leen o
// escriben, procedimientos con sus entradas y las salidas que se usan, generador, rol y
// dominio. Nada fuera de esta lista se toca en las bases del ERP. Los nombres van en
// mayúsculas, como los guarda Firebird. El ERP de reemplazo (erp/) debe tenerlos todos.

#include <array>

namespace ErpObjetos {

enum class BaseErp { Config, Metadatos, Empresa };

struct TablaErp
{
    BaseErp base;
    const char *nombre;
    const char *columnas; // separadas por comas
    const char *uso;
};

struct ProcedimientoErp
{
    BaseErp base;
    const char *nombre;
    int entradasMin; // PRECIO_CON_IMPTO_SI cambia con la versión del ERP: 9 a 12
    int entradasMax;
    const char *salidas; // las que se leen, separadas por comas
    const char *uso;
};

inline constexpr std::array kTablas{
    // Config.fdb
    TablaErp{BaseErp::Config, "USUARIOS", "USUARIO_ID,NOMBRE,TIPO,ACCESO_EMPRESAS",
             "usuario al conectarse, empresas permitidas, lista del editor de permisos"},
    TablaErp{BaseErp::Config, "EMPRESAS", "EMPRESA_ID,NOMBRE_CORTO", "empresas y archivo de su base"},
    TablaErp{BaseErp::Config, "EMPRESAS_USUARIOS", "EMPRESA_ID,USUARIO_ID", "empresas de un usuario limitado"},
    TablaErp{BaseErp::Config, "REGISTRY", "ELEMENTO_ID,NOMBRE,TIPO,PADRE_ID,VALOR",
             "última empresa del usuario, periodo de la lista de cambios de precio"},
    TablaErp{BaseErp::Config, "RB_FOLDER", "FOLDER_ID,NAME,PARENT_ID", "carpetas de reportes del instalador"},
    // Metadatos.fdb
    TablaErp{BaseErp::Metadatos, "VERSIONES_SIS", "VERSION_SIS,SISTEMA_ID", "versión del ERP"},
    TablaErp{BaseErp::Metadatos, "SISTEMAS", "SISTEMA_ID,NOMBRE", "sistema 'Microsip - Administración'"},
    // Base de la empresa
    TablaErp{BaseErp::Empresa, "ARTICULOS",
             "ARTICULO_ID,NOMBRE,ESTATUS,UNIDAD_VENTA,LINEA_ARTICULO_ID,COSTO_ULTIMA_COMPRA,NOTAS_VENTAS",
             "artículos de etiquetas, colectora y cambios de precio"},
    TablaErp{BaseErp::Empresa, "CLAVES_ARTICULOS", "ARTICULO_ID,CLAVE_ARTICULO,ROL_CLAVE_ART_ID,CONTENIDO_EMPAQUE",
             "claves por rol y búsqueda por clave"},
    TablaErp{BaseErp::Empresa, "ROLES_CLAVES_ARTICULOS", "ROL_CLAVE_ART_ID,NOMBRE,ES_CLAVE_EMPAQUE",
             "roles de clave de las etiquetas"},
    TablaErp{BaseErp::Empresa, "LINEAS_ARTICULOS", "LINEA_ARTICULO_ID,NOMBRE", "filtro por línea"},
    TablaErp{BaseErp::Empresa, "ALMACENES", "ALMACEN_ID,NOMBRE", "existencia y localización"},
    TablaErp{BaseErp::Empresa, "CLASIFICADORES_CAT", "CLASIFICADOR_ID,NOMBRE", "filtro por clasificador"},
    TablaErp{BaseErp::Empresa, "CLASIFICADORES_CAT_VALORES", "VALOR_CLASIF_ID,CLASIFICADOR_ID",
             "filtro por clasificador"},
    TablaErp{BaseErp::Empresa, "ELEMENTOS_CAT_CLASIF", "ELEMENTO_ID,VALOR_CLASIF_ID", "filtro por clasificador"},
    TablaErp{BaseErp::Empresa, "PRECIOS_EMPRESA", "PRECIO_EMPRESA_ID,NOMBRE,POSICION,ID_INTERNO", "listas de precios"},
    TablaErp{BaseErp::Empresa, "PRECIOS_ARTICULOS",
             "PRECIO_ARTICULO_ID,ARTICULO_ID,PRECIO_EMPRESA_ID,PRECIO,MONEDA_ID,MARGEN,MARKUP,FECHA_HORA_ULT_MODIF",
             "precios; la única tabla del ERP que se escribe (aplicar un cambio de precios)"},
    TablaErp{BaseErp::Empresa, "MONEDAS", "MONEDA_ID,NOMBRE,ES_MONEDA_LOCAL", "moneda local de los precios"},
    TablaErp{BaseErp::Empresa, "IMPUESTOS", "IMPUESTO_ID,PCTJE_IMPUESTO", "precios con impuestos"},
    TablaErp{BaseErp::Empresa, "IMPUESTOS_ARTICULOS", "ARTICULO_ID,IMPUESTO_ID", "impuestos de cada artículo"},
    TablaErp{BaseErp::Empresa, "LIBRES_ARTICULOS", "ARTICULO_ID,VALOR_PUNTOS",
             "puntos y campos particulares (columnas de ATRIBUTOS.NOMBRE_COLUMNA)"},
    TablaErp{BaseErp::Empresa, "ATRIBUTOS", "ATRIBUTO_ID,NOMBRE,CLAVE_OBJETO,NOMBRE_COLUMNA,TIPO,LONGITUD",
             "campos particulares de los artículos"},
    TablaErp{BaseErp::Empresa, "LISTAS_ATRIBUTOS", "LISTA_ATRIB_ID,ATRIBUTO_ID,VALOR_DESPLEGADO",
             "valores de los campos particulares de lista"},
    TablaErp{BaseErp::Empresa, "NIVELES_ARTICULOS", "ARTICULO_ID,ALMACEN_ID,LOCALIZACION", "localización"},
    TablaErp{BaseErp::Empresa, "SUCURSALES", "SUCURSAL_ID,ES_MATRIZ", "sucursal matriz para los precios"},
    TablaErp{BaseErp::Empresa, "DOCTOS_IN", "DOCTO_IN_ID,ALMACEN_ID,CONCEPTO_IN_ID,FOLIO,NATURALEZA_CONCEPTO,FECHA",
             "entradas de inventario; SUCURSAL_ID es opcional y se prueba antes"},
    TablaErp{BaseErp::Empresa, "DOCTOS_IN_DET",
             "DOCTO_IN_DET_ID,DOCTO_IN_ID,CLAVE_ARTICULO,ARTICULO_ID,UNIDADES,COSTO_UNITARIO",
             "renglones de las entradas de inventario"},
    TablaErp{BaseErp::Empresa, "CONCEPTOS_IN", "CONCEPTO_IN_ID,NOMBRE", "concepto de las entradas"},
    TablaErp{BaseErp::Empresa, "REGISTRY", "ELEMENTO_ID,NOMBRE,PADRE_ID,VALOR",
             "nombre de la empresa y periodo de captura del ERP"},
};

inline constexpr std::array kProcedimientos{
    ProcedimientoErp{BaseErp::Empresa, "GET_ULTCOM_ART", 1, 1, "COSTO_ULTIMA_COMPRA,FECHA_ULTIMA_COMPRA",
                     "última compra (opcional: sin él se usa ARTICULOS.COSTO_ULTIMA_COMPRA)"},
    ProcedimientoErp{BaseErp::Empresa, "GET_CLAVE_ART", 1, 1, "CLAVE_ARTICULO", "clave principal"},
    ProcedimientoErp{BaseErp::Empresa, "EXIVAL_ART", 4, 4, "EXISTENCIA", "existencia en un almacén"},
    ProcedimientoErp{BaseErp::Empresa, "PRECIOS_ART", 7, 7, "PRECIO1", "precio del archivo de la colectora"},
    ProcedimientoErp{BaseErp::Empresa, "PRECIO_CON_IMPTO_SI", 9, 12, "PRECIO_CON_IMPTO",
                     "precio con impuestos de las etiquetas (primera salida)"},
    ProcedimientoErp{BaseErp::Empresa, "GET_POLS_DSCTO_ART", 5, 5, "DESCUENTO,ES_EXCLUSIVO,TIPO_DSCTO",
                     "políticas de descuento (desde TLV_GET_DSCTO_ART)"},
    ProcedimientoErp{BaseErp::Empresa, "GET_DSCTO_MAX_ART", 2, 2, "DESCUENTO_MAXIMO",
                     "descuento máximo (desde TLV_GET_DSCTO_ART)"},
};

// Generador de ids del árbol REGISTRY de Config.fdb
inline constexpr char kGeneradorCatalogos[] = "ID_CATALOGOS";
// Rol con el que se conecta todo usuario (en las tres bases)
inline constexpr char kRolErp[] = "USUARIO_MICROSIP";
// Dominio S/N que usan las columnas INC del esquema propio
inline constexpr char kDominioSiNo[] = "SI_NO_S";
// Sistema cuya versión se revisa en Metadatos.fdb
inline constexpr char16_t kSistemaAdministracion[] = u"Microsip - Administración";

} // namespace ErpObjetos
