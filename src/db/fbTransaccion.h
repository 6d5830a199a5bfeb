#pragma once

#include "db/fbConexion.h"

namespace Firebird {
class ITransaction;
}

// Transacción de lectura y escritura: write, nowait, rec_version, read_committed.
class Transaccion : public DependienteFb
{
public:
    explicit Transaccion(Conexion &conexion);
    ~Transaccion() override; // deshace si sigue activa
    Transaccion(const Transaccion &) = delete;
    Transaccion &operator=(const Transaccion &) = delete;

    void inicia();   // no hace nada si ya está activa
    void confirma(); // commit; sin transacción activa no hace nada
    void deshace();  // rollback; sin transacción activa no hace nada
    bool activa() const { return m_tra != nullptr; }

    Conexion *conexion() const { return m_conexion; }
    // Uso interno: interfaz activa (inicia si hace falta)
    Firebird::ITransaction *interfaz();
    // Cambia cada vez que empieza una transacción nueva
    quint64 numero() const { return m_numero; }

protected:
    int nivelFb() const override { return 1; }
    void liberaFb() noexcept override;
    void olvidaConexion() noexcept override;

private:
    Conexion *m_conexion;
    Firebird::ITransaction *m_tra = nullptr;
    quint64 m_numero = 0;
};

// Inicia la transacción si hace falta y la deshace al salir salvo que se confirme.
class GuardaTransaccion
{
public:
    explicit GuardaTransaccion(Transaccion &t);
    ~GuardaTransaccion();
    GuardaTransaccion(const GuardaTransaccion &) = delete;
    GuardaTransaccion &operator=(const GuardaTransaccion &) = delete;

    void confirma();

private:
    Transaccion &m_t;
    bool m_confirmada = false;
};
