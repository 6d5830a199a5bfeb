#pragma once

#include <QString>

#include <vector>

namespace Firebird {
class IAttachment;
}

class Conexion;
class ErrorFb;
class Transaccion;
namespace Fb {
class Estado;
}

// Objeto que guarda interfaces de una conexión (transacciones, sentencias).
// La conexión le pide soltarlas antes de cerrar o reconectar.
class DependienteFb
{
public:
    virtual ~DependienteFb() = default;

protected:
    friend class Conexion;
    virtual int nivelFb() const = 0;            // 0 se suelta antes que 1
    virtual void liberaFb() noexcept = 0;       // suelta sus interfaces sin usarlas más
    virtual void olvidaConexion() noexcept = 0; // la conexión se destruye
    virtual void olvidaTransaccion(Transaccion *) noexcept {} // la transacción se destruye
};

// Conexión a una base Firebird. "servidor:/ruta.fdb" usa el servidor;
// una ruta sola usa el motor incrustado.
class Conexion
{
public:
    Conexion() = default;
    explicit Conexion(const QString &base, const QString &usuario = {}, const QString &clave = {},
                      const QString &rol = {});
    ~Conexion();
    Conexion(const Conexion &) = delete;
    Conexion &operator=(const Conexion &) = delete;

    void setBase(const QString &base) { m_base = base; }
    QString base() const { return m_base; }
    void setUsuario(const QString &usuario) { m_usuario = usuario; }
    QString usuario() const { return m_usuario; }
    void setClave(const QString &clave) { m_clave = clave; }
    void setRol(const QString &rol) { m_rol = rol; }
    QString rol() const { return m_rol; }
    // lc_ctype, "NONE" por omisión. El texto viaja siempre como bytes Windows-1252 (FbTexto),
    // así que sólo NONE o WIN1252 tienen sentido aquí.
    void setJuegoCaracteres(const QString &lcCtype) { m_lcCtype = lcCtype; }
    QString juegoCaracteres() const { return m_lcCtype; }
    void setDialecto(int dialecto) { m_dialecto = dialecto == 1 ? 1 : 3; }
    int dialecto() const { return m_dialecto; }

    // Conecta; si ya había una conexión (viva o caída) la suelta antes
    void conecta();
    // Suelta sentencias y transacciones dependientes y cierra; no lanza
    void desconecta() noexcept;
    bool conectada() const { return m_atadura != nullptr; }
    // Crea la base (juego NONE, página por omisión si 0) y queda conectada
    void creaBase(int tamPagina = 0);
    // Borra la base conectada (DROP DATABASE)
    void borraBase();
    // Comprueba con el servidor que la conexión sigue viva
    bool viva();
    // CURRENT_CONNECTION del servidor
    qint64 idConexion();

    // Uso interno de la capa
    Firebird::IAttachment *atadura() const { return m_atadura; }
    unsigned generacion() const { return m_generacion; }
    void registra(DependienteFb *d);
    void quita(DependienteFb *d) noexcept;
    // Avisa a los dependientes que la transacción se destruye
    void avisaFinTransaccion(Transaccion *t) noexcept;
    // Convierte el estado en ErrorFb; si la conexión se perdió, la suelta. Siempre lanza.
    [[noreturn]] void lanza(Fb::Estado &estado);
    [[noreturn]] void lanza(const ErrorFb &error);
    // Lanza si no hay conexión
    void exigeConexion() const;

private:
    void adjunta(bool crear, int tamPagina);

    QString m_base;
    QString m_usuario;
    QString m_clave;
    QString m_rol;
    QString m_lcCtype = QStringLiteral("NONE");
    int m_dialecto = 3;
    Firebird::IAttachment *m_atadura = nullptr;
    unsigned m_generacion = 0;
    std::vector<DependienteFb *> m_dependientes;
};
