#include "Respondedor.h"

Respondedor::Respondedor(int preguntaOmision) : m_omision(preguntaOmision)
{
    m_anterior = PonRespondedorMensaje([this](const QString &texto, const QString &titulo, int flags) {
        m_mensajes << MensajeMostrado{texto, titulo, flags};
        if (!MensajeEsPregunta(flags))
            return (flags & 0x0F) == 1 && !m_cola.isEmpty() ? m_cola.takeFirst() : IDOK;
        return m_cola.isEmpty() ? m_omision : m_cola.takeFirst();
    });
}

Respondedor::~Respondedor()
{
    PonRespondedorMensaje(std::move(m_anterior));
}

Respondedor &Respondedor::responde(int boton)
{
    m_cola << boton;
    return *this;
}

QStringList Respondedor::textos() const
{
    QStringList r;
    for (const MensajeMostrado &m : m_mensajes)
        r << m.texto;
    return r;
}
