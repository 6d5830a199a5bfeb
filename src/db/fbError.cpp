#include "db/fbError.h"

#include "db/fbTexto.h"

#include <firebird/Interface.h>

#include <memory>

ErrorFb::ErrorFb(qint64 codigo, const QString &texto)
    : m_codigo(codigo), m_texto(texto)
{
    m_what = (QStringLiteral("[%1] ").arg(codigo) + texto).toStdString();
}

ErrorFb ErrorFb::deEstado(Firebird::IStatus *estado)
{
    qint64 codigo = 0;
    const intptr_t *v = estado->getErrors();
    while (v && v[0] != isc_arg_end) {
        if (v[0] == isc_arg_gds) {
            codigo = v[1];
            break;
        }
        v += (v[0] == isc_arg_cstring) ? 3 : 2;
    }
    char buf[2048];
    const unsigned n = Fb::util()->formatStatus(buf, sizeof(buf), estado);
    QString texto = FbTexto::deCp1252(buf, qsizetype(qMin<unsigned>(n, sizeof(buf) - 1))).trimmed();
    if (texto.isEmpty())
        texto = QStringLiteral("Error de Firebird %1").arg(codigo);
    return ErrorFb(codigo, texto);
}

bool ErrorFb::conexionPerdida() const
{
    switch (m_codigo) {
    case 335544856: // att_shutdown
    case 335544324: // bad_db_handle
    case 335544721: // network_error
    case 335544726: // net_read_err
    case 335544727: // net_write_err
    case 335544741: // lost_db_connection
    case 335544648: // conn_lost
    case 335545019: // shutdown
        return true;
    default:
        return false;
    }
}

namespace Fb {

Firebird::IMaster *maestro()
{
    static Firebird::IMaster *m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil *util()
{
    static Firebird::IUtil *u = maestro()->getUtilInterface();
    return u;
}

Estado::Estado()
    : m_estado(maestro()->getStatus()),
      m_envoltura(std::make_unique<Firebird::CheckStatusWrapper>(m_estado))
{
}

Estado::~Estado()
{
    m_envoltura.reset();
    m_estado->dispose();
}

bool Estado::hayError() const
{
    return (m_estado->getState() & Firebird::IStatus::STATE_ERRORS) != 0;
}

void Estado::verifica()
{
    if (hayError()) {
        ErrorFb e = ErrorFb::deEstado(m_estado);
        m_estado->init();
        throw e;
    }
}

void Estado::limpia() { m_estado->init(); }

} // namespace Fb
