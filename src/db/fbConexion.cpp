#include "db/fbConexion.h"

#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbTexto.h"
#include "db/fbTransaccion.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QFile>

#include <algorithm>

Conexion::Conexion(const QString &base, const QString &usuario, const QString &clave, const QString &rol)
    : m_base(base), m_usuario(usuario), m_clave(clave), m_rol(rol)
{
}

Conexion::~Conexion()
{
    desconecta();
    const auto dependientes = m_dependientes;
    m_dependientes.clear();
    for (DependienteFb *d : dependientes)
        d->olvidaConexion();
}

void Conexion::registra(DependienteFb *d)
{
    if (std::find(m_dependientes.begin(), m_dependientes.end(), d) == m_dependientes.end())
        m_dependientes.push_back(d);
}

void Conexion::quita(DependienteFb *d) noexcept
{
    m_dependientes.erase(std::remove(m_dependientes.begin(), m_dependientes.end(), d), m_dependientes.end());
}

void Conexion::avisaFinTransaccion(Transaccion *t) noexcept
{
    const auto dependientes = m_dependientes;
    for (DependienteFb *d : dependientes)
        if (d != t)
            d->olvidaTransaccion(t);
}

void Conexion::lanza(Fb::Estado &estado)
{
    if (!estado.hayError())
        throw ErrorFb(CodigoFb::Interno, QStringLiteral("Error desconocido de Firebird"));
    try {
        estado.verifica();
    } catch (const ErrorFb &e) {
        lanza(e);
    }
    throw ErrorFb(CodigoFb::Interno, QStringLiteral("Error desconocido de Firebird"));
}

void Conexion::lanza(const ErrorFb &error)
{
    if (error.conexionPerdida()) {
        desconecta();
        throw ErrorFb(error.codigo(),
                      QStringLiteral("Se perdió la conexión con la base de datos: %1").arg(error.texto()));
    }
    throw error;
}

void Conexion::exigeConexion() const
{
    if (!m_atadura)
        throw ErrorFb(CodigoFb::SinConexion, QStringLiteral("No hay conexión con la base de datos"));
}

void Conexion::adjunta(bool crear, int tamPagina)
{
    desconecta();
    Fb::Estado est;
    Firebird::IXpbBuilder *dpb = Fb::util()->getXpbBuilder(est.w(), Firebird::IXpbBuilder::DPB, nullptr, 0);
    est.verifica();
    Firebird::IProvider *proveedor = nullptr;
    try {
        auto cadena = [&](unsigned char etiqueta, const QString &valor) {
            if (valor.isEmpty())
                return;
            const QByteArray b = FbTexto::aCp1252(valor);
            dpb->insertBytes(est.w(), etiqueta, b.constData(), unsigned(b.size()));
            est.verifica();
        };
        cadena(isc_dpb_user_name, m_usuario);
        cadena(isc_dpb_password, m_clave);
        cadena(isc_dpb_sql_role_name, m_rol);
        cadena(isc_dpb_lc_ctype, m_lcCtype.isEmpty() ? QStringLiteral("NONE") : m_lcCtype);
        dpb->insertInt(est.w(), isc_dpb_sql_dialect, m_dialecto);
        est.verifica();
        if (crear) {
            if (tamPagina > 0) {
                dpb->insertInt(est.w(), isc_dpb_page_size, tamPagina);
                est.verifica();
            }
            const QByteArray juego("NONE");
            dpb->insertBytes(est.w(), isc_dpb_set_db_charset, juego.constData(), unsigned(juego.size()));
            est.verifica();
        }
        proveedor = Fb::maestro()->getDispatcher();
        const QByteArray ruta = QFile::encodeName(m_base);
        const unsigned largo = dpb->getBufferLength(est.w());
        const unsigned char *buf = dpb->getBuffer(est.w());
        est.verifica();
        Firebird::IAttachment *a = crear ? proveedor->createDatabase(est.w(), ruta.constData(), largo, buf)
                                         : proveedor->attachDatabase(est.w(), ruta.constData(), largo, buf);
        est.verifica();
        m_atadura = a;
        ++m_generacion;
    } catch (...) {
        dpb->dispose();
        if (proveedor)
            proveedor->release();
        throw;
    }
    dpb->dispose();
    proveedor->release();
}

void Conexion::conecta() { adjunta(false, 0); }

void Conexion::creaBase(int tamPagina) { adjunta(true, tamPagina); }

void Conexion::desconecta() noexcept
{
    // Primero las sentencias y cursores, luego las transacciones
    for (int nivel = 0; nivel <= 1; ++nivel) {
        const auto dependientes = m_dependientes;
        for (DependienteFb *d : dependientes)
            if (d->nivelFb() == nivel)
                d->liberaFb();
    }
    if (!m_atadura)
        return;
    Fb::Estado est;
    m_atadura->detach(est.w());
    // Con éxito, detach suelta la interfaz; si falló (conexión caída) hay que soltarla
    if (est.hayError())
        m_atadura->release();
    m_atadura = nullptr;
    ++m_generacion;
}

void Conexion::borraBase()
{
    exigeConexion();
    for (int nivel = 0; nivel <= 1; ++nivel) {
        const auto dependientes = m_dependientes;
        for (DependienteFb *d : dependientes)
            if (d->nivelFb() == nivel)
                d->liberaFb();
    }
    Fb::Estado est;
    m_atadura->dropDatabase(est.w());
    if (est.hayError())
        lanza(est);
    m_atadura = nullptr;
    ++m_generacion;
}

bool Conexion::viva()
{
    if (!m_atadura)
        return false;
    Fb::Estado est;
    m_atadura->ping(est.w());
    return !est.hayError();
}

qint64 Conexion::idConexion()
{
    Transaccion t(*this);
    Consulta q(*this, t);
    q.setSql(QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE"));
    q.ejecuta();
    const qint64 id = q.campo(0).entero();
    q.cierra();
    t.confirma();
    return id;
}
