#include "labels/LoteEtiquetas.h"

#include "common/Mensaje.h"
#include "common/Util.h"
#include "db/datos.h"
#include "db/MemTable.h"
#include "db/Registro.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbGenerador.h"
#include "db/fbTransaccion.h"

#include <QDate>

#include <cstdlib>

namespace {

const QString kProcPrecio = QStringLiteral("PRECIO_CON_IMPTO_SI");
constexpr int kClientePrecio12 = 654321;

QString S(const char *t)
{
    return QString::fromUtf8(t);
}

// Campos fijos de mArt y mArtImp (este último con ClaveAlt de 100)
void CamposFijos(MemTable &t, int largoClaveAlt)
{
    t.agregaCampo(S("imprimir"), TipoCampo::Booleano);
    t.agregaCampo(S("clave"), TipoCampo::Texto, 30);
    t.agregaCampo(S("articulo"), TipoCampo::Texto, 100);
    t.agregaCampo(S("cantidad"), TipoCampo::Entero);
    t.agregaCampo(S("Consecutivo"), TipoCampo::AutoIncremento);
    t.agregaCampo(S("ID"), TipoCampo::Entero);
    t.agregaCampo(S("dscto"), TipoCampo::Real);
    t.agregaCampo(S("Puntos"), TipoCampo::Entero);
    t.agregaCampo(S("ClaveAlt"), TipoCampo::Texto, largoClaveAlt);
    t.agregaCampo(S("Localizacion"), TipoCampo::Texto, 50);
    t.agregaCampo(S("Costo_ultima_compra"), TipoCampo::Real);
    t.agregaCampo(S("Fecha_ultima_compra"), TipoCampo::Fecha);
    t.ponValorInicial(S("imprimir"), true);
}

// Número NUMERIC leído como texto exacto, en precisión extendida
long double Extendido(const CampoFb &c)
{
    if (c.esNulo())
        return 0;
    const QByteArray t = c.texto().trimmed().toLatin1();
    return std::strtold(t.constData(), nullptr);
}

const QDate kFechaCero(1899, 12, 30);

} // namespace

PrecioEtiqueta CalculaPrecioEtiqueta(Moneda P, long double descuento, bool precSP)
{
    if (P < Moneda())
        return {Moneda(), std::nullopt};
    const long double p = P.aLongDouble();
    const Moneda conDescuento = Moneda::deLongDouble(p - (descuento / 100.0L) * p);
    if (precSP)
        return {P, conDescuento};
    return {conDescuento, conDescuento};
}

LoteEtiquetas::LoteEtiquetas(Conexion &base, Transaccion &lectura, RegistroAjustes &registro, const QString &rutaIni)
    : m_base(base), m_lectura(lectura), m_ajustes(registro, rutaIni), m_mArt(std::make_unique<MemTable>(S("mArt"))),
      m_mArtImp(std::make_unique<MemTable>(S("mArtImp"))), m_mArts(std::make_unique<MemTable>(S("mArts")))
{
    CamposFijos(*m_mArt, 50);
    CamposFijos(*m_mArtImp, 100);
    m_mArt->ordenaPor(S("Consecutivo"));
    m_mArt->creaIndice(S("ID"));
    m_mArtImp->ordenaPor(S("Consecutivo"));
    m_mArts->agregaCampo(S("id"), TipoCampo::Entero);
    m_mArts->agregaCampo(S("Activo"), TipoCampo::Booleano);
    m_mArts->agregaCampo(S("Clave"), TipoCampo::Texto, 20);
    m_mArts->agregaCampo(S("Nombre"), TipoCampo::Texto, 100);

    for (auto *q : {&m_qBusca, &m_qArticulo, &m_qPrecio, &m_qClave, &m_qLista, &m_qAux})
        *q = std::make_unique<Consulta>(base, lectura);
    m_qBusca->agrega(S("SELECT articulo_id"));
    m_qBusca->agrega(S("FROM claves_articulos"));
    m_qBusca->agrega(S("WHERE clave_articulo = :clave_articulo"));

    m_qClave->agrega(S(" SELECT ca.Clave_Articulo,ca.contenido_empaque,"));
    m_qClave->agrega(S("        CASE"));
    m_qClave->agrega(S("        WHEN rca.es_clave_empaque THEN 'S' else 'N'"));
    m_qClave->agrega(S("        End as Clave_Empaque"));
    m_qClave->agrega(S("        From CLAVES_ARTICULOS ca"));
    m_qClave->agrega(S("        Join Roles_Claves_Articulos rca on rca.rol_clave_art_id=:ID"));
    m_qClave->agrega(S("        Where ca.rol_clave_art_id=:ID and Articulo_Id=:IDArt"));

    m_qLista->agrega(S("SELECT valor_desplegado"));
    m_qLista->agrega(S("FROM listas_atributos"));
    m_qLista->agrega(S("WHERE atributo_id = :atrib"));
    m_qLista->agrega(S("  AND lista_atrib_id = :lista"));

    // Procedimiento de precios: su cantidad de parámetros decide cómo se llama
    m_paramsPrecio = ParametrosProcedimiento(base, lectura, kProcPrecio);
    for (int i = 0; i < 12; ++i)
        m_nombresP.push_back(S("p%1").arg(i));
    if (m_paramsPrecio >= 9 && m_paramsPrecio <= 12) {
        QStringList p;
        for (int i = 0; i < m_paramsPrecio; ++i)
            p << S(":p%1").arg(i);
        m_qPrecio->setSql(S("EXECUTE PROCEDURE %1(%2)").arg(kProcPrecio, p.join(S(", "))));
    }
    ConPuntos = true;
    sRol = m_ajustes.registro(S("Rol_clave_etiquetas"));
}

LoteEtiquetas::~LoteEtiquetas() = default;

void LoteEtiquetas::LeeConfiguracion()
{
    cfg = ::LeeConfiguracion(m_ajustes);
    iMoneda1 = cfg.iMoneda1;
    ModificaPrecio = cfg.ModificaPrecio;
    bModifP1 = cfg.bModifP1;
    sAlmacenLoc = cfg.sAlmacenLoc;
    if (!HayPuntos())
        ConPuntos = false;
    m_articuloListo = false;
}

bool LoteEtiquetas::HayPuntos()
{
    try {
        Consulta &q = *m_qAux;
        q.setSql(S("SELECT atributo_id\nFROM atributos\nWHERE Nombre = 'VALOR_PUNTOS'"));
        q.ejecuta();
        const bool hay = !q.eof() && !q.campo(0).esNulo();
        q.cierra();
        if (!hay)
            return false;
        q.setSql(S("SELECT valor_puntos\nFROM libres_articulos"));
        q.ejecuta();
        q.cierra();
        return true;
    } catch (const ErrorFb &) {
        return false;
    }
}

bool LoteEtiquetas::ExisteCampo2(const QString &tabla, const QString &campo)
{
    Consulta &q = *m_qAux;
    q.setSql(S("select count(*)\nfrom rdb$relation_fields\nwhere rdb$relation_name = :t\n  and rdb$field_name=:f"));
    q.asigna(S("t"), tabla.toUpper());
    q.asigna(S("f"), campo.toUpper());
    q.ejecuta();
    const bool existe = !q.eof() && q.campo(0).entero() > 0;
    q.cierra();
    return existe;
}

QList<LoteEtiquetas::Elemento> LoteEtiquetas::CargaRolesClave()
{
    QList<Elemento> r;
    Consulta &q = *m_qAux;
    q.setSql(S("SELECT ROL_CLAVE_ART_ID, nombre\nFROM ROLES_CLAVES_ARTICULOS\nORDER BY nombre"));
    for (q.ejecuta(); !q.eof(); q.siguiente())
        r.append({int(q.campo(0).entero()), q.campo(1).texto(), false});
    const int n = int(r.size());
    for (int i = 1; i <= n; ++i) {
        const int v = m_ajustes.entero(S("listaClaves%1").arg(i), 0);
        if (v > 0)
            for (Elemento &e : r)
                if (e.id == v)
                    e.marcado = true;
    }
    return r;
}

QList<LoteEtiquetas::Elemento> LoteEtiquetas::CargaListasPrecio()
{
    QList<Elemento> r;
    Consulta &q = *m_qAux;
    q.setSql(S("SELECT precio_empresa_id, nombre\nFROM precios_empresa\nORDER BY nombre"));
    for (q.ejecuta(); !q.eof(); q.siguiente())
        r.append({int(q.campo(0).entero()), q.campo(1).texto(), false});
    tIDPrecio.clear();
    tNomPrecio.clear();
    const int n = int(r.size());
    for (int i = 1; i <= n; ++i) {
        const int v = m_ajustes.entero(S("listaprecios%1").arg(i), 0);
        if (v <= 0)
            continue;
        for (Elemento &e : r)
            if (e.id == v && !e.marcado) {
                e.marcado = true;
                tIDPrecio << QString::number(e.id);
                tNomPrecio << e.nombre;
            }
    }
    return r;
}

void LoteEtiquetas::LeeSucursal()
{
    suc_id = 0;
    if (!ExisteCampo2(S("DOCTOS_IN"), S("SUCURSAL_ID")))
        return;
    Consulta &q = *m_qAux;
    q.setSql(S("SELECT  s.sucursal_id\nFROM sucursales s\nWHERE s.es_matriz = true"));
    q.ejecuta();
    if (!q.eof())
        suc_id = int(q.campo(0).entero());
    q.cierra();
}

void LoteEtiquetas::AgregaCampo(const QString &nombre, QChar codigo, int longitud)
{
    auto agrega = [&](MemTable &t, const QString &n, int largoLista) {
        switch (codigo.toUpper().unicode()) {
        case 'N':
            t.agregaCampo(n, TipoCampo::Real);
            break;
        case 'F':
            t.agregaCampo(n, TipoCampo::FechaHora);
            break;
        case 'C':
            t.agregaCampo(n, TipoCampo::Texto, longitud);
            break;
        case 'L':
            t.agregaCampo(n, TipoCampo::Texto, largoLista, true);
            break;
        case 'S':
            t.agregaCampo(n, TipoCampo::Texto, 1);
            break;
        default:
            t.agregaCampo(n, TipoCampo::Texto, longitud > 0 ? longitud : largoLista);
            break; // tipo desconocido: texto
        }
    };
    agrega(*m_mArtImp, nombre == QLatin1String("Precio1") ? S("precio") : nombre, 50);
    agrega(*m_mArt, nombre, 80);
}

void LoteEtiquetas::ArmaCampos()
{
    m_mArt->cierra();
    m_mArtImp->cierra();
    while (m_mArt->numCampos() > kCamposFijos)
        m_mArt->quitaCampo(m_mArt->campos().last().nombre);
    while (m_mArtImp->numCampos() > kCamposFijos)
        m_mArtImp->quitaCampo(m_mArtImp->campos().last().nombre);

    for (int n = 1; n <= tIDPrecio.size(); ++n) {
        AgregaCampo(S("Precio%1").arg(n), QLatin1Char('N'));
        AgregaCampo(S("PrecioSN%1").arg(n), QLatin1Char('N'));
    }
    for (int n = 1; n <= tIDClaves.size(); ++n) {
        AgregaCampo(S("Clave%1").arg(n), QLatin1Char('L'));
        AgregaCampo(S("Contenido_Empaque%1").arg(n), QLatin1Char('L'));
    }

    // Campos particulares elegidos en la configuración
    tCampPart.clear();
    tIDCampPart.clear();
    conCampPart = false;
    m_qParticulares.clear();
    Consulta &q = *m_qAux;
    q.setSql(S("SELECT atributo_id\nFROM atributos\nWHERE clave_objeto = 'ARTICULOS'\nORDER by nombre"));
    int atributos = 0;
    for (q.ejecuta(); !q.eof(); q.siguiente())
        ++atributos;
    for (int k = 1; k <= atributos; ++k) {
        bool ok = false;
        const int id = m_ajustes.registro(S("CampoPartEtiqueta%1").arg(k)).trimmed().toInt(&ok);
        if (!ok || id <= 0)
            continue;
        q.setSql(S("SELECT nombre_columna, tipo, longitud\nFROM atributos\nWHERE atributo_id = :ID"));
        q.asigna(S("ID"), id);
        q.ejecuta();
        if (q.eof())
            continue;
        const QString columna = q.campo(0).texto().trimmed();
        const QString tipo = q.campo(1).texto().trimmed();
        const int longitud = int(q.campo(2).entero());
        q.cierra();
        const QString campo = QLatin1Char('k') + columna;
        if (m_mArt->indiceCampo(campo) >= 0)
            continue; // elegido dos veces
        tIDCampPart << QString::number(id);
        tCampPart << campo;
        conCampPart = true;
        AgregaCampo(campo, tipo.isEmpty() ? QChar() : tipo[0], longitud);
        auto c = std::make_unique<Consulta>(m_base, m_lectura);
        c->agrega(S("SELECT ") + IdentificadorSql(columna));
        c->agrega(S("FROM libres_articulos"));
        c->agrega(S("WHERE articulo_id = :art"));
        m_qParticulares.push_back(std::move(c));
    }

    AgregaCampo(S("Notas_Ventas"), QLatin1Char('L'));
    AgregaCampo(S("Nota_General"), QLatin1Char('L'));
    m_conUltimaCompra = ExisteUltimaCompra();
    m_articuloListo = false;
}

void LoteEtiquetas::Limpia()
{
    m_mArt->cierra();
    m_mArt->abre();
    m_mArtImp->cierra();
    m_mArtImp->abre();
}

int LoteEtiquetas::enteroAjuste(const QString &clave, const QString &valor)
{
    bool ok = false;
    const int n = valor.trimmed().toInt(&ok);
    if (!ok)
        throw ErrorEtiquetas(S("El ajuste \"%1\" no es un número entero válido: \"%2\".").arg(clave, valor));
    return n;
}

int LoteEtiquetas::rolClave() const
{
    return enteroAjuste(S("Rol_clave_etiquetas"), sRol);
}

bool LoteEtiquetas::ExisteUltimaCompra()
{
    Tfdatos &datos = DatosActual();
    if (!datos.tieneBase())
        datos.ponBase(m_base, m_lectura);
    return datos.VerificaSP(S("GET_ULTCOM_ART"));
}

void LoteEtiquetas::preparaArticulo()
{
    Consulta &q = *m_qArticulo;
    q.limpia();
    q.agrega(S("  SELECT a.nombre, a.estatus, a.unidad_venta,c.clave_articulo,"));
    q.agrega(S("    (select descuento FROM TLV_GET_DSCTO_ART(0,a.articulo_id,current_date,current_time,0)),"));
    // Sin el procedimiento de la última compra, lo que guarda el artículo
    if (m_conUltimaCompra) {
        q.agrega(S("    (select costo_ultima_compra from get_ultcom_art(a.articulo_id)),"));
        q.agrega(S("    (select fecha_ultima_compra from get_ultcom_art(a.articulo_id))"));
    } else {
        q.agrega(S("    a.costo_ultima_compra,"));
        q.agrega(S("    a.fecha_ultima_compra"));
    }
    q.agrega(S(",a.NOTAS_VENTAS"));
    // El almacén va como parámetro, nunca pegado al texto
    if (!EstaVacio(sAlmacenLoc))
        q.agrega(S("    ,(select localizacion from niveles_articulos where articulo_id = a.articulo_id and almacen_id "
                   "= :alm) loc"));
    if (ConPuntos)
        q.agrega(S("  ,l.valor_puntos"));
    const int N = int(tIDPrecio.size());
    for (int n = 1; n <= N; ++n)
        q.agrega(S(", p%1.precio as precio%1").arg(n));
    q.agrega(S("  FROM articulos a"));
    const QString margen(50, QLatin1Char(' '));
    for (int n = 1; n <= N; ++n) {
        q.agrega(S("    LEFT JOIN precios_articulos p%1 on (p%1.articulo_id=a.articulo_id)").arg(n));
        q.agrega(margen + S("and (p%1.precio_empresa_id=:pr%1)").arg(n));
        q.agrega(margen + S("and (p%1.moneda_id= :monId)").arg(n));
    }
    q.agrega(S("    LEFT JOIN libres_articulos l on l.articulo_id = a.articulo_id"));
    q.agrega(S("    LEFT JOIN claves_articulos c on c.articulo_id = a.articulo_id and c.rol_clave_art_id = :rol"));
    q.agrega(QString());
    q.agrega(S("  WHERE a.articulo_id=:id "));
    q.prepara();
    m_colLoc = EstaVacio(sAlmacenLoc) ? -1 : q.indiceCampo(S("loc"));
    m_colPuntos = ConPuntos ? q.indiceCampo(S("valor_puntos")) : -1;
    m_colPrecio.clear();
    m_nombresPr.clear();
    for (int n = 1; n <= N; ++n) {
        m_colPrecio.push_back(q.indiceCampo(S("precio%1").arg(n)));
        m_nombresPr.push_back(S("pr%1").arg(n));
    }

    // Posiciones de los campos del renglón en la estructura actual
    const MemTable &t = *m_mArt;
    CamposRenglon &c = m_campos;
    c.id = t.indiceCampo(S("ID"));
    c.clave = t.indiceCampo(S("clave"));
    c.articulo = t.indiceCampo(S("articulo"));
    c.imprimir = t.indiceCampo(S("imprimir"));
    c.cantidad = t.indiceCampo(S("cantidad"));
    c.dscto = t.indiceCampo(S("dscto"));
    c.costo = t.indiceCampo(S("Costo_ultima_compra"));
    c.fecha = t.indiceCampo(S("Fecha_ultima_compra"));
    c.notas = t.indiceCampo(S("Notas_Ventas"));
    c.localizacion = t.indiceCampo(S("Localizacion"));
    c.puntos = t.indiceCampo(S("Puntos"));
    c.precio.clear();
    c.precioSN.clear();
    c.claveRol.clear();
    c.empaque.clear();
    for (int n = 1; n <= N; ++n) {
        c.precio.push_back(t.indiceCampo(S("Precio%1").arg(n)));
        c.precioSN.push_back(t.indiceCampo(S("PrecioSN%1").arg(n)));
    }
    for (int n = 1; n <= tIDClaves.size(); ++n) {
        c.claveRol.push_back(t.indiceCampo(S("Clave%1").arg(n)));
        c.empaque.push_back(t.indiceCampo(S("Contenido_Empaque%1").arg(n)));
    }
    m_articuloListo = true;
}

Moneda LoteEtiquetas::precioConImpuesto(int id, Moneda precio)
{
    if (m_paramsPrecio < 9 || m_paramsPrecio > 12) {
        // Versión del ERP que este programa no sabe llamar: sin precio, y se avisa una vez
        if (!m_avisoPrecio) {
            m_avisoPrecio = true;
            const QString causa = m_paramsPrecio < 0 ? S("no existe en la base de la empresa")
                                                     : S("declara %1 parámetros").arg(m_paramsPrecio);
            Mensaje(S("El procedimiento de precios del ERP (PRECIO_CON_IMPTO_SI) es de una versión no "
                      "soportada: %1. Las etiquetas quedarán sin precio.")
                        .arg(causa),
                    TituloAviso(), MsjAdvertencia);
        }
        return Moneda();
    }
    Consulta &q = *m_qPrecio;
    auto p = [&](int i, const QVariant &v) { q.asigna(m_nombresP[size_t(i)], v); };
    const QVariant cero(qint64(0));
    p(0, qint64(id));
    p(1, QVariant::fromValue(precio));
    p(2, S("S"));
    if (m_paramsPrecio == 12) {
        p(3, qint64(kClientePrecio12));
        p(4, qint64(iMoneda1));
        p(5, QDate::currentDate());
        p(6, S("P"));
        p(7, cero);
        p(8, cero);
        p(9, cero);
        p(10, S("N"));
        p(11, S("S"));
    } else {
        p(3, S("P"));
        p(4, cero);
        p(5, cero);
        p(6, cero);
        p(7, S("N"));
        p(8, S("S"));
        if (m_paramsPrecio >= 10)
            p(9, qint64(suc_id));
        if (m_paramsPrecio == 11)
            p(10, cero);
    }
    q.ejecuta();
    const Moneda r = q.eof() ? Moneda() : q.campo(0).moneda();
    q.cierra();
    return r;
}

void LoteEtiquetas::agregaArticuloBd(int id, int cantidad)
{
    const int rol = rolClave();
    qint64 almacen = 0;
    if (!EstaVacio(sAlmacenLoc)) {
        bool ok = false;
        almacen = sAlmacenLoc.trimmed().toLongLong(&ok);
        if (!ok)
            throw ErrorEtiquetas(S("El almacén para la localización (ajuste \"AlmacenLocalizacion\") no es un "
                                   "número entero: \"%1\". Corríjalo en la configuración.")
                                     .arg(sAlmacenLoc));
    }
    if (!m_articuloListo)
        preparaArticulo();

    Consulta &q = *m_qArticulo;
    const int N = int(tIDPrecio.size());
    for (int n = 1; n <= N; ++n)
        q.asigna(m_nombresPr[size_t(n - 1)], qint64(tIDPrecio[n - 1].toLongLong()));
    if (N > 0)
        q.asigna(S("monId"), qint64(iMoneda1));
    q.asigna(S("rol"), qint64(rol));
    q.asigna(S("id"), qint64(id));
    if (m_colLoc >= 0 || !EstaVacio(sAlmacenLoc))
        q.asigna(S("alm"), almacen);
    q.ejecuta();
    if (q.eof())
        throw ErrorEtiquetas(S("No fue posible encontrar el artículo"));

    const QString nombre = q.campo(0).texto();
    const QString clave = q.campo(3).texto();
    const long double descuento = Extendido(q.campo(4));
    const double costo = q.campo(5).real();
    const QDate fecha = q.campo(6).esNulo() ? kFechaCero : q.campo(6).fecha();
    const QString notas = q.campo(7).texto();
    const QString loc = m_colLoc >= 0 ? q.campo(m_colLoc).texto() : QString();
    const qint64 puntos = m_colPuntos >= 0 ? q.campo(m_colPuntos).entero() : 0;
    std::vector<Moneda> listas;
    listas.reserve(size_t(N));
    for (int n = 0; n < N; ++n)
        listas.push_back(q.campo(m_colPrecio[size_t(n)]).moneda());
    q.cierra();

    std::vector<PrecioEtiqueta> precios;
    precios.reserve(size_t(N));
    for (int n = 0; n < N; ++n)
        precios.push_back(CalculaPrecioEtiqueta(precioConImpuesto(id, listas[size_t(n)]), descuento, precSP));

    const int M = int(tIDClaves.size());
    QStringList claves, contenidos;
    for (int n = 0; n < M; ++n) {
        Consulta &c = *m_qClave;
        c.asigna(S("ID"), qint64(tIDClaves[n].toLongLong()));
        c.asigna(S("IDArt"), qint64(id));
        c.ejecuta();
        if (c.eof()) {
            claves << QString();
            contenidos << S("0");
        } else {
            claves << c.campo(0).texto();
            contenidos << QString::number(c.campo(1).real(), 'g', 15);
        }
        c.cierra();
    }

    // Con todo leído se escribe el renglón; si algo falla no queda a medias
    MemTable &t = *m_mArt;
    const CamposRenglon &c = m_campos;
    t.agrega();
    try {
        t.asigna(c.id, id);
        t.asigna(c.clave, clave);
        t.asigna(c.articulo, nombre);
        t.asigna(c.imprimir, true);
        t.asigna(c.cantidad, cantidad);
        t.asigna(c.dscto, double(descuento));
        t.asigna(c.costo, costo);
        t.asigna(c.fecha, fecha);
        t.asigna(c.notas, notas);
        if (!EstaVacio(sAlmacenLoc))
            t.asigna(c.localizacion, loc);
        if (ConPuntos)
            t.asigna(c.puntos, puntos);
        for (int n = 0; n < N; ++n) {
            const PrecioEtiqueta &p = precios[size_t(n)];
            t.asigna(c.precio[size_t(n)], p.Precio.aDouble());
            t.asigna(c.precioSN[size_t(n)], p.PrecioSN ? QVariant(p.PrecioSN->aDouble()) : QVariant());
        }
        for (int n = 0; n < M; ++n) {
            t.asigna(c.claveRol[size_t(n)], claves[n]);
            t.asigna(c.empaque[size_t(n)], contenidos[n]);
        }
        t.graba();
    } catch (...) {
        t.cancela();
        throw;
    }
}

bool LoteEtiquetas::AgregaArticulo(const QString &clave, int id, int cantidad)
{
    if (cantidad < 1)
        cantidad = 1;
    try {
        if (id == 0)
            id = BuscaIdPorClave(clave);
        if (id == 0) {
            Mensaje(S("No fue posible encontrar el artículo"), TituloAviso(), MsjInformacion);
            return false;
        }
        MemTable &t = *m_mArt;
        if (t.busca(S("ID"), id)) {
            t.edita();
            t.asigna(S("cantidad"), t.entero(S("cantidad")) + cantidad);
            t.graba();
            return true;
        }
        agregaArticuloBd(id, cantidad);
        return true;
    } catch (const ErrorFb &e) {
        if (m_mArt->estado() == MemTable::Estado::Insertando)
            m_mArt->cancela();
        Mensaje(S("No se pudo agregar el artículo.\r") + e.texto(), TituloAviso(), MsjError);
    } catch (const ErrorEtiquetas &e) {
        Mensaje(e.texto(), TituloAviso(), MsjInformacion);
    } catch (const std::exception &e) {
        if (m_mArt->estado() == MemTable::Estado::Insertando)
            m_mArt->cancela();
        Mensaje(S("No se pudo agregar el artículo.\r") + QString::fromUtf8(e.what()), TituloAviso(), MsjError);
    }
    return false;
}

bool LoteEtiquetas::AgregaNoRegistrado(const QString &clave, const QString &nombre, const QString &extra,
                                       const QString &cantidad)
{
    if (EstaVacio(nombre)) {
        Mensaje(S("El artículo con clave ") + clave + S(" no tiene nombre."), TituloAviso(), MsjInformacion);
        return false;
    }
    bool ok = false;
    const int n = cantidad.trimmed().toInt(&ok);
    if (!ok) {
        Mensaje(S("\"%1\" no es un número entero válido.").arg(cantidad), TituloAviso(), MsjInformacion);
        return false;
    }
    MemTable &t = *m_mArt;
    t.agrega();
    t.asigna(S("clave"), clave);
    t.asigna(S("articulo"), nombre);
    t.asigna(S("imprimir"), true);
    t.asigna(S("cantidad"), n);
    t.asigna(S("Localizacion"), extra);
    t.graba();
    return true;
}

int LoteEtiquetas::BuscaIdPorClave(const QString &clave)
{
    Consulta &q = *m_qBusca;
    q.asigna(S("clave_articulo"), clave);
    q.ejecuta();
    const int id = q.eof() ? 0 : int(q.campo(0).entero());
    q.cierra();
    return id;
}

void LoteEtiquetas::LlenaCamposParticulares()
{
    if (!conCampPart)
        return;
    const QVariant idArt = m_mArt->valor(S("ID"));
    for (int i = 0; i < tCampPart.size(); ++i) {
        const QString &campo = tCampPart[i];
        QVariant v;
        if (idArt.isValid() && !idArt.isNull()) {
            Consulta &q = *m_qParticulares[size_t(i)];
            q.asigna(S("art"), idArt.toLongLong());
            q.ejecuta();
            if (!q.eof())
                v = q.campo(0).variante();
            q.cierra();
            const int c = m_mArt->indiceCampo(campo);
            if (c >= 0 && m_mArt->campos()[c].marcaLista) {
                // El valor es el id de un elemento de la lista del atributo
                Consulta &l = *m_qLista;
                l.asigna(S("atrib"), qint64(tIDCampPart[i].toLongLong()));
                l.asigna(S("lista"), v);
                l.ejecuta();
                v = l.eof() ? QVariant() : l.campo(0).variante();
                l.cierra();
            }
        }
        m_mArtImp->asigna(campo, v);
    }
}

bool LoteEtiquetas::PrecioEditable(int n) const
{
    if (bModifP1)
        return true;
    if (!ModificaPrecio)
        return false;
    const MemTable &t = *m_mArt;
    const int c = t.indiceCampo(S("Precio%1").arg(n));
    if (c < 0 || !t.activa() || (t.recno() < 0 && t.estado() == MemTable::Estado::Navegando))
        return true; // sin renglón el precio cuenta como cero
    return t.real(c) == 0;
}
