#include "db/Registro.h"

#include "db/fbError.h"
#include "db/fbTransaccion.h"
#include "platform/CarpetasEspeciales.h"

#include <QDir>

namespace {
// Violación del índice único (dos estaciones creando la misma fila)
constexpr qint64 kDuplicado = 335544349;
constexpr qint64 kClaveUnica = 335544665;
} // namespace

CacheRegistro &CacheRegistro::global()
{
    static CacheRegistro cache;
    return cache;
}

bool CacheRegistro::busca(const QString &clave, int *id) const
{
    const auto it = m_mapa.find(clave);
    if (it == m_mapa.end())
        return false;
    *id = it->second;
    return true;
}

void CacheRegistro::agrega(const QString &clave, int id)
{
    if (id > 0)
        m_mapa.emplace(clave, id);
}

RegistroAjustes::RegistroAjustes(Conexion &conexion, Transaccion &actualizacion, CacheRegistro &cache)
    : m_cache(cache)
    , m_qReg(conexion, actualizacion)
    , m_qRegUpd(conexion, actualizacion)
    , m_qRegIns(conexion, actualizacion)
{
    m_qRegUpd.ponActualizacion(true);
    m_qRegIns.ponActualizacion(true);
    m_qRegUpd.setSql(QStringLiteral(
        "UPDATE tlv_registro SET tipo = :tipo, valor = :valor WHERE nombre = :nombre and padre_id = :padre_id"));
    m_qRegIns.setSql(QStringLiteral(
        "INSERT INTO tlv_registro (nombre, tipo, padre_id, valor) VALUES (:nombre, :tipo, :padre_id, :valor)"));
}

int RegistroAjustes::busca(const QString &nombre, int padreId, QString *valor, bool *encontrado)
{
    if (m_qReg.sql().isEmpty())
        m_qReg.setSql(QStringLiteral("SELECT registro_id,valor FROM tlv_registro WHERE nombre = :nombre and padre_id = :padre"));
    m_qReg.asigna(QStringLiteral("nombre"), nombre);
    m_qReg.asigna(QStringLiteral("padre"), padreId);
    ++m_sentencias;
    m_qReg.ejecuta();
    int id = 0;
    *encontrado = !m_qReg.eof();
    if (*encontrado) {
        id = int(m_qReg.campo(0).entero());
        if (valor)
            *valor = m_qReg.campo(1).texto();
    }
    m_qReg.cierra();
    return id;
}

int RegistroAjustes::NodoRegistro(const QString &nombre, QChar tipo, QString &valor, int padreId, bool leer)
{
    bool encontrado = false;
    QString leido;
    int id = busca(nombre, padreId, &leido, &encontrado);
    if (leer && encontrado) {
        if (tipo == QLatin1Char('V'))
            valor = leido;
        return id;
    }
    const QVariant valorSql = tipo == QLatin1Char('V') ? QVariant(valor) : QVariant();
    m_qRegUpd.asigna(QStringLiteral("tipo"), QString(tipo));
    m_qRegUpd.asigna(QStringLiteral("valor"), valorSql);
    m_qRegUpd.asigna(QStringLiteral("nombre"), nombre);
    m_qRegUpd.asigna(QStringLiteral("padre_id"), padreId);
    ++m_sentencias;
    m_qRegUpd.ejecuta();
    if (m_qRegUpd.filasAfectadas() == 0) {
        m_qRegIns.asigna(QStringLiteral("nombre"), nombre);
        m_qRegIns.asigna(QStringLiteral("tipo"), QString(tipo));
        m_qRegIns.asigna(QStringLiteral("padre_id"), padreId);
        m_qRegIns.asigna(QStringLiteral("valor"), valorSql);
        ++m_sentencias;
        try {
            m_qRegIns.ejecuta();
        } catch (const ErrorFb &e) {
            // Otra estación creó la misma fila al mismo tiempo: se usa la suya
            const bool duplicado = e.codigo() == kDuplicado || e.codigo() == kClaveUnica;
            if (!duplicado)
                throw;
            // La sentencia fallida no deshace nada: lo anterior ya se confirmó
            if (leer) {
                id = busca(nombre, padreId, &leido, &encontrado);
                if (tipo == QLatin1Char('V'))
                    valor = leido;
                return id;
            }
            // Al escribir, el valor propio gana: se actualiza la fila ya existente
            m_qRegUpd.ejecuta();
        }
    }
    id = busca(nombre, padreId, nullptr, &encontrado);
    return id;
}

int RegistroAjustes::RutaRegistro(const QString &carpeta1, const QString &carpeta2, const QString &carpeta3,
                                  QString &valor, bool leer)
{
    const QString clave = carpeta1 + QLatin1Char('*') + carpeta2 + QLatin1Char('*') + carpeta3;
    int id = 0;
    if (m_cache.busca(clave, &id))
        return id;
    for (const QString &c : {carpeta1, carpeta2, carpeta3}) {
        if (c.isEmpty())
            continue;
        id = NodoRegistro(c, QLatin1Char('F'), valor, id, leer);
        if (leer && id == 0)
            return 0;
    }
    m_cache.agrega(clave, id);
    return id;
}

int RegistroAjustes::ValorRegistro(const QString &carpeta1, const QString &carpeta2, const QString &carpeta3,
                                   const QString &nombre, QString &valor, bool leer)
{
    if (leer)
        valor.clear();
    QString sinUso;
    const int padre = RutaRegistro(carpeta1, carpeta2, carpeta3, leer ? sinUso : valor, leer);
    return NodoRegistro(nombre, QLatin1Char('V'), valor, padre, leer);
}

QString RegistroAjustes::lee(const QString &carpeta1, const QString &nombre)
{
    QString v;
    ValorRegistro(carpeta1, QString(), QString(), nombre, v, true);
    return v;
}

void RegistroAjustes::escribe(const QString &carpeta1, const QString &nombre, const QString &valor)
{
    QString v = valor;
    ValorRegistro(carpeta1, QString(), QString(), nombre, v, false);
}

QString CarpetaEspecial(CarpetaSistema carpeta)
{
    return carpeta == CarpetaSistema::DatosComunes ? CarpetaDatosComunes() : CarpetaDatosUsuario();
}

QString RutaIni()
{
    const QString carpeta = CarpetaEspecial(CarpetaSistema::DatosComunes) + QStringLiteral("/Tolvanix/");
    QDir().mkpath(carpeta);
    return carpeta + QStringLiteral("etiquetas.ini");
}
