#include "config/AjustesEtiquetas.h"

#include "common/Util.h"
#include "db/Registro.h"
#include "db/datos.h"
#include "db/fbError.h"
#include "db/fbConsulta.h"
#include "db/fbTransaccion.h"
#include "platform/ArchivoIni.h"

#include <QFileInfo>

namespace {

const QString kCarpeta = QStringLiteral("Etiquetas");
const QString kSeccionIni = QStringLiteral("Etiquetas");

QString siNo(bool valor)
{
    return valor ? QStringLiteral("S") : QStringLiteral("N");
}

// Valor leído o el de omisión si está en blanco
QString oOmision(const QString &valor, const QString &omision)
{
    return EstaVacio(valor) ? omision : valor;
}

// Valor vacío o el de omisión si no hay nada
QString siVacio(const QString &valor, const QString &omision)
{
    return valor.isEmpty() ? omision : valor;
}

// Marca la entrada cuyo id es 'id' (si está)
void marcaId(QList<bool> &marcas, const QStringList &ids, qint64 id)
{
    if (id < 1)
        return;
    const int i = int(ids.indexOf(QString::number(id)));
    if (i >= 0)
        marcas[i] = true;
}

} // namespace

AjustesEtiquetas::AjustesEtiquetas(Conexion &base, Transaccion &lectura, Transaccion &actualizacion,
                                   RegistroAjustes &registro, Tfdatos &datos, QString rutaIni)
    : m_base(base)
    , m_lectura(lectura)
    , m_actualizacion(actualizacion)
    , m_registro(registro)
    , m_datos(datos)
    , m_rutaIni(std::move(rutaIni))
{
    mMonedas.agregaCampo(QStringLiteral("moneda_id"), TipoCampo::Entero);
    mMonedas.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 50);
    mRoles.agregaCampo(QStringLiteral("ID"), TipoCampo::Entero);
    mRoles.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 50);
    mRolalt.agregaCampo(QStringLiteral("ID"), TipoCampo::Entero);
    mRolalt.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 100);
    mAlm.agregaCampo(QStringLiteral("ID"), TipoCampo::Entero);
    mAlm.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 50);
    mPrecio.agregaCampo(QStringLiteral("ID"), TipoCampo::Entero);
    mPrecio.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 35);
    for (MemTable *t : {&mMonedas, &mRoles, &mRolalt, &mAlm, &mPrecio})
        t->abre();
}

AjustesEtiquetas::~AjustesEtiquetas() = default;

qint64 AjustesEtiquetas::idDeAjuste(const QString &valor)
{
    // Un valor que no es número no marca nada (antes impedía abrir la ventana)
    bool ok = false;
    const qint64 n = QuitaBlancos(valor).toLongLong(&ok);
    return ok && n >= 1 ? n : 0;
}

QString AjustesEtiquetas::lee(const QString &clave)
{
    return m_registro.lee(kCarpeta, clave);
}

void AjustesEtiquetas::escribe(const QString &clave, const QString &valor)
{
    m_registro.escribe(kCarpeta, clave, valor);
}

void AjustesEtiquetas::idsYNombres(const QString &sql, QStringList &ids, QStringList &nombres)
{
    Consulta q(m_base, m_lectura);
    q.setSql(sql);
    for (q.ejecuta(); !q.eof(); q.siguiente()) {
        ids << QString::number(q.campo(0).entero());
        nombres << q.campo(1).texto();
    }
}

void AjustesEtiquetas::copiaBusqueda(const MemTable &origen, MemTable &destino)
{
    destino.cierra();
    destino.abre();
    destino.suspendeAvisos();
    for (int f = 0; f < origen.cantidad(); ++f) {
        destino.agrega();
        destino.asigna(0, origen.valorEn(f, 0));
        destino.asigna(1, origen.valorEn(f, 1));
        destino.graba();
    }
    destino.reanudaAvisos();
    destino.primero();
}

void AjustesEtiquetas::llenaBusqueda(MemTable &tabla, const QString &sql)
{
    tabla.cierra();
    tabla.abre();
    Consulta q(m_base, m_lectura);
    q.setSql(sql);
    tabla.suspendeAvisos();
    try {
        for (q.ejecuta(); !q.eof(); q.siguiente()) {
            tabla.agrega();
            tabla.asigna(0, q.campo(0).entero());
            tabla.asigna(1, q.campo(1).texto());
            tabla.graba();
        }
    } catch (...) {
        tabla.reanudaAvisos();
        throw;
    }
    tabla.reanudaAvisos();
    q.cierra();
    tabla.primero();
}

void AjustesEtiquetas::cargaListasCaptura()
{
    MemTable &t = m_datos.mCmpPrecios;
    if (t.estado() != MemTable::Estado::Navegando)
        t.cancela();
    t.cierra();
    t.abre();
    Consulta q(m_base, m_lectura);
    q.agrega(QStringLiteral("SELECT precio_empresa_id, nombre, ut_sugerida, posicion, inc"));
    q.agrega(QStringLiteral("FROM tlv_cmp_precios"));
    q.agrega(QStringLiteral("ORDER BY 3"));
    t.suspendeAvisos();
    try {
        for (q.ejecuta(); !q.eof(); q.siguiente()) {
            t.agrega();
            t.asigna(QStringLiteral("precio_empresa_id"), q.campo(0).entero());
            t.asigna(QStringLiteral("nombre"), q.campo(1).texto());
            t.asigna(QStringLiteral("ut_sugerida"), q.campo(2).esNulo() ? QVariant() : QVariant(q.campo(2).real()));
            t.asigna(QStringLiteral("Inc"), q.campo(4).texto() == QLatin1String("S"));
            t.graba();
        }
    } catch (...) {
        t.reanudaAvisos();
        throw;
    }
    t.reanudaAvisos();
    q.cierra();
    t.primero();
}

ValoresConfigura AjustesEtiquetas::carga()
{
    ValoresConfigura v;
    m_actualizacion.inicia();
    m_lectura.inicia();

    // Listas de precios, roles de clave y monedas
    nombresPrecios.clear();
    tListaPrecios.clear();
    precioLista.clear();
    {
        Consulta q(m_base, m_lectura);
        q.agrega(QStringLiteral("SELECT precio_empresa_id, nombre, id_interno"));
        q.agrega(QStringLiteral("FROM precios_empresa"));
        q.agrega(QStringLiteral("ORDER BY nombre"));
        for (q.ejecuta(); !q.eof(); q.siguiente()) {
            const QString id = QString::number(q.campo(0).entero());
            nombresPrecios << q.campo(1).texto();
            tListaPrecios << id;
            if (q.campo(2).texto() == QLatin1String("L"))
                precioLista = id;
        }
    }
    nombresClaves.clear();
    tListaClaves.clear();
    idsYNombres(QStringLiteral("SELECT ROL_CLAVE_ART_ID, nombre\nFROM ROLES_CLAVES_ARTICULOS\nORDER BY nombre"),
                tListaClaves, nombresClaves);
    monedaLocal = QStringLiteral("-1");
    mMonedas.cierra();
    mMonedas.abre();
    {
        Consulta q(m_base, m_lectura);
        q.agrega(QStringLiteral("SELECT moneda_id, nombre, es_moneda_local"));
        q.agrega(QStringLiteral("FROM monedas"));
        for (q.ejecuta(); !q.eof(); q.siguiente()) {
            mMonedas.agrega();
            mMonedas.asigna(0, q.campo(0).entero());
            mMonedas.asigna(1, q.campo(1).texto());
            mMonedas.graba();
            if (q.campo(2).texto() == QLatin1String("S"))
                monedaLocal = QString::number(q.campo(0).entero());
        }
        mMonedas.primero();
    }

    // Columnas de las hojas de cálculo
    v.excelClave = siVacio(lee(QStringLiteral("ImpExcelClaveStr")), QStringLiteral("A"));
    v.excelNombre = siVacio(lee(QStringLiteral("ImpExcelNombreStr")), QStringLiteral("B"));
    v.excelUnidades = siVacio(lee(QStringLiteral("ImpExcelUnidadesStr")), QStringLiteral("C"));
    v.excelRenglon = siVacio(lee(QStringLiteral("ImpExcelRenglon")), OmisionEtiquetas::kRenglon);
    v.excelClaveCP = siVacio(lee(QStringLiteral("ImpExcelClaveStrCP")), QStringLiteral("A"));
    v.excelCostoCP = siVacio(lee(QStringLiteral("ImpExcelCostoStrCP")), QStringLiteral("B"));
    v.excelRenglonCP = siVacio(lee(QStringLiteral("ImpExcelRenglonCP")), OmisionEtiquetas::kRenglon);

    v.promo = lee(QStringLiteral("Precio promo")) == QLatin1String("S");

    // Roles de clave y almacenes
    const QString sqlRoles = QStringLiteral("SELECT rol_clave_art_id, nombre\nFROM roles_claves_articulos");
    llenaBusqueda(mRoles, sqlRoles);
    v.rolClave = lee(QStringLiteral("Rol_clave_etiquetas"));
    copiaBusqueda(mRoles, mRolalt); // la misma lista: sin volver a consultar
    v.rolAlterna = lee(QStringLiteral("Rol_clave_alterna"));
    llenaBusqueda(mAlm, QStringLiteral("SELECT almacen_id, nombre\nFROM almacenes\nORDER BY nombre"));
    v.almacenLoc = lee(QStringLiteral("AlmacenLocalizacion"));

    // Campos particulares: el número de cada ajuste es el lugar del atributo
    nombresCampos.clear();
    tCamposPart.clear();
    idsYNombres(QStringLiteral("SELECT atributo_id, nombre\nFROM atributos\nWHERE clave_objeto = 'ARTICULOS'\n"
                               "ORDER by nombre"),
                tCamposPart, nombresCampos);
    v.camposPart = QList<bool>(tCamposPart.size(), false);
    for (int i = 1; i <= tCamposPart.size(); ++i)
        marcaId(v.camposPart, tCamposPart, idDeAjuste(lee(QStringLiteral("CampoPartEtiqueta%1").arg(i))));

    // Programas
    v.exePtcomm = oOmision(lee(QStringLiteral("exe_ptcomm")), OmisionEtiquetas::kExePtcomm);
    v.com = oOmision(lee(QStringLiteral("com")), OmisionEtiquetas::kCom);
    v.ptAddress = oOmision(lee(QStringLiteral("pt_address")), OmisionEtiquetas::kDireccion);
    v.barTenderExe = lee(QStringLiteral("BarTenderExe"));
    if (EstaVacio(v.barTenderExe))
        v.barTenderExe.clear();
    v.barTenderParams = oOmision(lee(QStringLiteral("BarTenderParams")), OmisionEtiquetas::kBarTenderParams);
    v.barTenderText = oOmision(lee(QStringLiteral("BarTenderText")), OmisionEtiquetas::kBarTenderText);
    v.carpetaFormatos = oOmision(lee(QStringLiteral("CarpetaFormatos")), OmisionEtiquetas::kCarpetaFormatos);

    // Sí/no: un valor en blanco deja la casilla como está (sin marca)
    struct SiNo
    {
        const char *clave;
        bool *destino;
    };
    const SiNo casillas[] = {
        {"SeleccionarPrecio", &v.seleccionarPrecio}, {"SeleccionarClave", &v.seleccionarClave},
        {"ModificaPrecio", &v.modificaPrecio},       {"ModifP1", &v.modifP1},
        {"DescArtsCostoCero", &v.descArtsCostoCero}, {"UsarMarckup", &v.usarMarckup},
        {"AumentarMarckup", &v.aumentarMarckup},     {"DisminuirMarckup", &v.disminuirMarckup},
        {"ActualizarMarckup", &v.actualizarMarckup},
    };
    for (const SiNo &c : casillas) {
        const QString valor = lee(QString::fromLatin1(c.clave));
        if (!EstaVacio(valor))
            *c.destino = valor == QLatin1String("S");
    }
    const QString impresion = lee(QStringLiteral("Impresion"));
    v.impresion.clear();
    if (impresion == QLatin1String("C") || impresion == QLatin1String("B"))
        v.impresion = impresion;
    if (v.impresion == QLatin1String("C")) {
        // Impresión directa: los campos de BarTender quedan vacíos
        v.barTenderExe.clear();
        v.barTenderParams.clear();
        v.barTenderText.clear();
        v.carpetaFormatos.clear();
    }

    // Listas de precios y roles elegidos
    v.listaPrecios = QList<bool>(tListaPrecios.size(), false);
    for (int j = 1; j <= tListaPrecios.size(); ++j)
        marcaId(v.listaPrecios, tListaPrecios, idDeAjuste(lee(QStringLiteral("listaprecios%1").arg(j))));
    if (!v.listaPrecios.contains(true) && !precioLista.isEmpty())
        marcaId(v.listaPrecios, tListaPrecios, precioLista.toLongLong());
    v.listaClaves = QList<bool>(tListaClaves.size(), false);
    for (int k = 1; k <= tListaClaves.size(); ++k)
        marcaId(v.listaClaves, tListaClaves, idDeAjuste(lee(QStringLiteral("listaClaves%1").arg(k))));

    v.moneda1 = lee(QStringLiteral("moneda1"));
    if (EstaVacio(v.moneda1))
        v.moneda1 = monedaLocal;

    const QString folio = lee(QStringLiteral("FolioCambioPrecios"));
    v.folio = EstaVacio(folio) ? folio : FolioNormal(folio);

    // Listas de precios a capturar
    m_datos.ponBase(m_base, m_lectura);
    m_datos.precios_empresa();
    llenaBusqueda(mPrecio, QStringLiteral("SELECT precio_empresa_id, nombre\nFROM precios_empresa\nORDER BY 2"));
    cargaListasCaptura();
    return v;
}

AjustesEtiquetas::Falla AjustesEtiquetas::valida(const ValoresConfigura &v)
{
    if (!EstaVacio(v.exePtcomm) && !QFileInfo(v.exePtcomm).isFile())
        return Falla::ExePtcomm;
    if (!v.listaPrecios.contains(true))
        return Falla::SinPrecio;
    if (!v.listaClaves.contains(true))
        return Falla::SinClave;
    if (v.usarMarckup && !v.aumentarMarckup && !v.disminuirMarckup)
        return Falla::Markup;
    return Falla::Ninguna;
}

QString AjustesEtiquetas::mensaje(Falla falla)
{
    switch (falla) {
    case Falla::ExePtcomm:
        return QStringLiteral("Indique un archivo válido para el programa ptComm");
    case Falla::SinPrecio:
        return QStringLiteral("Seleccione una lista de precios");
    case Falla::SinClave:
        return QStringLiteral("Seleccione una clave");
    case Falla::Markup:
        return QStringLiteral("Seleccione si aumentar o disminuir el Markup.");
    case Falla::Ninguna:
        break;
    }
    return {};
}

void AjustesEtiquetas::guardaListasCaptura()
{
    // Transacción propia: se confirma entera o se deshace entera, sin tocar lo pendiente de otros
    Transaccion trans(m_base);
    GuardaTransaccion guarda(trans);
    Consulta borra(m_base, trans);
    borra.setSql(QStringLiteral("DELETE FROM tlv_cmp_precios"));
    borra.ejecuta();
    Consulta inserta(m_base, trans);
    inserta.agrega(QStringLiteral("INSERT INTO tlv_cmp_precios"));
    inserta.agrega(QStringLiteral("(precio_empresa_id, nombre, ut_sugerida, posicion, inc)"));
    inserta.agrega(QStringLiteral("VALUES (:precio_empresa_id, :nombre, :ut_sugerida, :posicion, :inc)"));
    inserta.prepara();

    MemTable &t = m_datos.mCmpPrecios;
    if (t.estado() != MemTable::Estado::Navegando)
        t.graba();
    const int cId = t.indiceCampo(QStringLiteral("precio_empresa_id"));
    const int cNombre = t.indiceCampo(QStringLiteral("nombre"));
    const int cUt = t.indiceCampo(QStringLiteral("ut_sugerida"));
    const int cInc = t.indiceCampo(QStringLiteral("Inc"));
    int posicion = 0;
    for (int fila = 0; fila < t.cantidad(); ++fila) {
        const QString nombre = t.valorEn(fila, cNombre).toString();
        if (EstaVacio(nombre))
            continue;
        inserta.asigna(QStringLiteral("precio_empresa_id"), t.valorEn(fila, cId));
        inserta.asigna(QStringLiteral("nombre"), nombre);
        inserta.asigna(QStringLiteral("ut_sugerida"), t.valorEn(fila, cUt));
        inserta.asigna(QStringLiteral("posicion"), posicion);
        inserta.asigna(QStringLiteral("inc"), siNo(t.valorEn(fila, cInc).toBool()));
        inserta.ejecuta();
        ++posicion;
    }
    guarda.confirma();
}

bool AjustesEtiquetas::guarda(const ValoresConfigura &v, QString *errorPrecios)
{
    escribe(QStringLiteral("exe_ptcomm"), v.exePtcomm);
    escribe(QStringLiteral("com"), v.com);
    escribe(QStringLiteral("pt_address"), v.ptAddress);

    // Listas elegidas: primero se vacían todas (también en el INI), luego 1, 2, ... sin huecos
    ArchivoIni ini(m_rutaIni);
    auto guardaMarcas = [&](const QString &prefijo, const QStringList &ids, const QList<bool> &marcas) {
        for (int p = 1; p <= ids.size(); ++p) {
            const QString clave = prefijo + QString::number(p);
            ini.escribeTexto(kSeccionIni, clave, QString());
            escribe(clave, QString());
        }
        int p = 0;
        for (int i = 0; i < ids.size() && i < marcas.size(); ++i)
            if (marcas[i])
                escribe(prefijo + QString::number(++p), ids[i]);
    };
    guardaMarcas(QStringLiteral("listaprecios"), tListaPrecios, v.listaPrecios);
    guardaMarcas(QStringLiteral("listaClaves"), tListaClaves, v.listaClaves);

    escribe(QStringLiteral("moneda1"), v.moneda1);
    escribe(QStringLiteral("SeleccionarPrecio"), siNo(v.seleccionarPrecio));
    escribe(QStringLiteral("SeleccionarClave"), siNo(v.seleccionarClave));
    escribe(QStringLiteral("ModificaPrecio"), siNo(v.modificaPrecio));
    escribe(QStringLiteral("FolioCambioPrecios"), FolioRelleno(v.folio, 9));
    escribe(QStringLiteral("BarTenderExe"), v.barTenderExe);
    escribe(QStringLiteral("BarTenderParams"), v.barTenderParams);
    escribe(QStringLiteral("BarTenderText"), v.barTenderText);
    escribe(QStringLiteral("CarpetaFormatos"), v.carpetaFormatos);
    escribe(QStringLiteral("Impresion"), QStringLiteral("C"));
    escribe(QStringLiteral("ModifP1"), siNo(v.modifP1));

    try {
        guardaListasCaptura();
    } catch (const ErrorFb &e) {
        if (errorPrecios)
            *errorPrecios = e.texto();
        return false;
    }

    escribe(QStringLiteral("ImpExcelClaveStr"), v.excelClave);
    escribe(QStringLiteral("ImpExcelNombreStr"), v.excelNombre);
    escribe(QStringLiteral("ImpExcelUnidadesStr"), v.excelUnidades);
    escribe(QStringLiteral("ImpExcelRenglon"), v.excelRenglon);
    escribe(QStringLiteral("Rol_clave_etiquetas"), v.rolClave);
    escribe(QStringLiteral("Rol_clave_alterna"), v.rolAlterna);
    escribe(QStringLiteral("AlmacenLocalizacion"), v.almacenLoc);
    escribe(QStringLiteral("ImpExcelClaveStrCP"), v.excelClaveCP);
    escribe(QStringLiteral("ImpExcelCostoStrCP"), v.excelCostoCP);
    escribe(QStringLiteral("ImpExcelRenglonCP"), v.excelRenglonCP);
    escribe(QStringLiteral("Precio promo"), siNo(v.promo));

    for (int p = 1; p <= tCamposPart.size(); ++p) {
        const bool marcado = p <= v.camposPart.size() && v.camposPart[p - 1];
        escribe(QStringLiteral("CampoPartEtiqueta%1").arg(p), marcado ? tCamposPart[p - 1] : QString());
    }

    escribe(QStringLiteral("DescArtsCostoCero"), siNo(v.descArtsCostoCero));
    escribe(QStringLiteral("UsarMarckup"), siNo(v.usarMarckup));
    escribe(QStringLiteral("AumentarMarckup"), siNo(v.aumentarMarckup));
    escribe(QStringLiteral("DisminuirMarckup"), siNo(v.disminuirMarckup));
    escribe(QStringLiteral("ActualizarMarckup"), siNo(v.actualizarMarckup));
    return true;
}
