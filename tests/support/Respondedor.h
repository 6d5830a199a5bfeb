#pragma once

#include "common/Mensaje.h"

#include <QList>
#include <QString>
#include <QStringList>

// Mensaje mostrado durante una prueba
struct MensajeMostrado
{
    QString texto;
    QString titulo;
    int flags = 0;
};

// Mientras vive, Mensaje no muestra nada: anota cada mensaje y contesta.
// Los avisos (sólo Aceptar) se contestan IDOK sin tocar la cola; las preguntas (Sí/No)
// y las cajas Aceptar/Cancelar toman la siguiente respuesta de la cola; sin respuestas
// pendientes, las preguntas reciben 'preguntaOmision' y Aceptar/Cancelar, IDOK.
class Respondedor
{
public:
    explicit Respondedor(int preguntaOmision = IDYES);
    ~Respondedor();
    Respondedor(const Respondedor &) = delete;
    Respondedor &operator=(const Respondedor &) = delete;

    Respondedor &responde(int boton); // a la cola de preguntas
    void ponOmision(int boton) { m_omision = boton; }

    const QList<MensajeMostrado> &mensajes() const { return m_mensajes; }
    int cuantos() const { return int(m_mensajes.size()); }
    QStringList textos() const;
    MensajeMostrado ultimo() const { return m_mensajes.isEmpty() ? MensajeMostrado{} : m_mensajes.last(); }
    int pendientes() const { return int(m_cola.size()); }
    void limpia() { m_mensajes.clear(); }

private:
    int m_omision;
    QList<int> m_cola;
    QList<MensajeMostrado> m_mensajes;
    RespondedorMensaje m_anterior;
};
