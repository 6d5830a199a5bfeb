#include "db/fbTransaccion.h"

#include "db/fbError.h"

#include <firebird/Interface.h>
#include <ibase.h>

Transaccion::Transaccion(Conexion &conexion) : m_conexion(&conexion) { conexion.registra(this); }

Transaccion::~Transaccion()
{
    // Las consultas que la usan cierran sus cursores y la olvidan
    if (m_conexion)
        m_conexion->avisaFinTransaccion(this);
    liberaFb();
    if (m_conexion)
        m_conexion->quita(this);
}

void Transaccion::inicia()
{
    if (m_tra)
        return;
    if (!m_conexion)
        throw ErrorFb(CodigoFb::SinConexion, QStringLiteral("La transacción no tiene conexión"));
    m_conexion->exigeConexion();
    Fb::Estado est;
    Firebird::IXpbBuilder *tpb = Fb::util()->getXpbBuilder(est.w(), Firebird::IXpbBuilder::TPB, nullptr, 0);
    est.verifica();
    for (unsigned char etiqueta : {isc_tpb_write, isc_tpb_nowait, isc_tpb_rec_version,
                                   isc_tpb_read_committed})
        tpb->insertTag(est.w(), etiqueta);
    const unsigned largo = tpb->getBufferLength(est.w());
    const unsigned char *buf = tpb->getBuffer(est.w());
    Firebird::ITransaction *t = nullptr;
    if (!est.hayError())
        t = m_conexion->atadura()->startTransaction(est.w(), largo, buf);
    tpb->dispose();
    if (est.hayError())
        m_conexion->lanza(est);
    m_tra = t;
    ++m_numero;
}

Firebird::ITransaction *Transaccion::interfaz()
{
    inicia();
    return m_tra;
}

void Transaccion::confirma()
{
    if (!m_tra)
        return;
    Fb::Estado est;
    m_tra->commit(est.w());
    if (est.hayError()) {
        // Sigue activa: el llamador puede deshacer (salvo conexión perdida)
        m_conexion->lanza(est);
    }
    m_tra = nullptr; // commit con éxito suelta la interfaz
}

void Transaccion::deshace()
{
    if (!m_tra)
        return;
    Fb::Estado est;
    m_tra->rollback(est.w());
    if (est.hayError()) {
        m_tra->release();
        m_tra = nullptr;
        m_conexion->lanza(est);
    }
    m_tra = nullptr;
}

void Transaccion::liberaFb() noexcept
{
    if (!m_tra)
        return;
    Fb::Estado est;
    m_tra->rollback(est.w());
    if (est.hayError())
        m_tra->release();
    m_tra = nullptr;
}

void Transaccion::olvidaConexion() noexcept
{
    liberaFb();
    m_conexion = nullptr;
}

GuardaTransaccion::GuardaTransaccion(Transaccion &t) : m_t(t) { m_t.inicia(); }

GuardaTransaccion::~GuardaTransaccion()
{
    if (m_confirmada)
        return;
    try {
        m_t.deshace();
    } catch (...) {
    }
}

void GuardaTransaccion::confirma()
{
    m_t.confirma();
    m_confirmada = true;
}
