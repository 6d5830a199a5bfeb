#include "db/datos.h"

#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbTransaccion.h"

namespace {
Tfdatos *g_datos = nullptr;
} // namespace

Tfdatos &DatosActual()
{
    if (g_datos)
        return *g_datos;
    static Tfdatos propio;
    return propio;
}

void PonDatosActual(Tfdatos *datos)
{
    g_datos = datos;
}

Tfdatos::Tfdatos()
{
    mPreciosEmpresa.agregaCampo(QStringLiteral("ID"), TipoCampo::Entero);
    mPreciosEmpresa.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 50);
    mPreciosEmpresa.abre();

    mCmpPrecios.agregaCampo(QStringLiteral("precio_empresa_id"), TipoCampo::Entero);
    mCmpPrecios.agregaCampo(QStringLiteral("nombre"), TipoCampo::Texto, 15);
    mCmpPrecios.agregaCampo(QStringLiteral("ut_sugerida"), TipoCampo::Real);
    mCmpPrecios.agregaCampo(QStringLiteral("Inc"), TipoCampo::Booleano);
    mCmpPrecios.ponValorInicial(QStringLiteral("Inc"), false);
    mCmpPrecios.abre();
}

Tfdatos::~Tfdatos()
{
    if (g_datos == this)
        g_datos = nullptr;
}

void Tfdatos::ponBase(Conexion &conexion, Transaccion &lectura)
{
    // Consultas nuevas: las anteriores pudieron quedar sin conexión al cerrar la sesión
    Query.reset();
    m_qTabla.reset();
    m_qSP.reset();
    m_conexion = &conexion;
    m_lectura = &lectura;
}

void Tfdatos::quitaBase(const Conexion &conexion)
{
    if (m_conexion != &conexion)
        return;
    Query.reset();
    m_qTabla.reset();
    m_qSP.reset();
    m_conexion = nullptr;
    m_lectura = nullptr;
}

Consulta &Tfdatos::consulta(std::unique_ptr<Consulta> &q)
{
    if (!m_conexion)
        throw ErrorFb(CodigoFb::Interno, QStringLiteral("El módulo de datos no tiene base de datos"));
    if (!q)
        q = std::make_unique<Consulta>(*m_conexion, *m_lectura);
    return *q;
}

void Tfdatos::precios_empresa()
{
    Consulta &q = consulta(Query);
    mPreciosEmpresa.cierra();
    mPreciosEmpresa.abre();
    q.cierra();
    q.setSql(QStringLiteral("SELECT precio_empresa_id, nombre, posicion FROM precios_empresa"));
    mPreciosEmpresa.suspendeAvisos();
    try {
        for (q.ejecuta(); !q.eof(); q.siguiente()) {
            mPreciosEmpresa.agrega();
            mPreciosEmpresa.asigna(0, q.campo(0).entero());
            mPreciosEmpresa.asigna(1, q.campo(1).texto());
            mPreciosEmpresa.graba();
        }
    } catch (...) {
        mPreciosEmpresa.reanudaAvisos();
        q.cierra();
        throw;
    }
    mPreciosEmpresa.reanudaAvisos();
    q.cierra();
    mPreciosEmpresa.primero();
}

bool Tfdatos::cuenta(std::unique_ptr<Consulta> &consultaPrueba, const QString &sql, const QString &parametro,
                     const QString &valor)
{
    Consulta &q = consulta(consultaPrueba);
    q.cierra();
    q.setSql(sql);
    q.asigna(parametro, valor);
    try {
        q.ejecuta();
    } catch (...) {
        q.cierra();
        throw;
    }
    const bool hay = !q.eof() && q.campo(0).entero() > 0;
    q.cierra();
    return hay;
}

bool Tfdatos::VerificaTabla(const QString &T)
{
    return cuenta(m_qTabla, QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = :T"),
                  QStringLiteral("T"), T);
}

bool Tfdatos::VerificaSP(const QString &SP)
{
    return cuenta(m_qSP, QStringLiteral("select count(*) from RDB$PROCEDURES where RDB$PROCEDURE_NAME = :S"),
                  QStringLiteral("S"), SP);
}
