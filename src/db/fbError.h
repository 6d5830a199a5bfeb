#pragma once

#include <QString>

#include <exception>
#include <memory>
#include <string>

namespace Firebird {
class IMaster;
class IUtil;
class IStatus;
class CheckStatusWrapper;
} // namespace Firebird

// Error de Firebird: el primer código isc_arg_gds y el texto del servidor.
class ErrorFb : public std::exception
{
public:
    ErrorFb(qint64 codigo, const QString &texto);
    // Lee el vector de estado (no lo limpia)
    static ErrorFb deEstado(Firebird::IStatus *estado);

    qint64 codigo() const { return m_codigo; }
    QString texto() const { return m_texto; }
    const char *what() const noexcept override { return m_what.c_str(); }
    // Errores que indican que la conexión con el servidor se perdió
    bool conexionPerdida() const;

private:
    qint64 m_codigo;
    QString m_texto;
    std::string m_what;
};

// Códigos de uso frecuente
namespace CodigoFb {
constexpr qint64 UsuarioOClave = 335544472;   // login
constexpr qint64 Bloqueo = 335544336;         // deadlock: conflicto de actualización (nowait)
constexpr qint64 Actualizacion = 335544878;   // update_conflict
constexpr qint64 ConexionCerrada = 335544856; // att_shutdown
constexpr qint64 SinConexion = 335544324;     // bad_db_handle
constexpr qint64 Truncado = 335544321;        // arith_except / truncación
constexpr qint64 Interno = 0;                 // errores de esta capa
} // namespace CodigoFb

namespace Fb {

Firebird::IMaster *maestro();
Firebird::IUtil *util();

// Vector de estado propio (se libera al salir del ámbito)
class Estado
{
public:
    Estado();
    ~Estado();
    Estado(const Estado &) = delete;
    Estado &operator=(const Estado &) = delete;

    Firebird::CheckStatusWrapper *w() { return m_envoltura.get(); }
    bool hayError() const;
    // Lanza ErrorFb si hubo error
    void verifica();
    void limpia();

private:
    Firebird::IStatus *m_estado;
    std::unique_ptr<Firebird::CheckStatusWrapper> m_envoltura;
};

} // namespace Fb
