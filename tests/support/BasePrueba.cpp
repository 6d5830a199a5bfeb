#include "BasePrueba.h"

#include "Entorno.h"

#include "db/fbConexion.h"

namespace BasePrueba {

std::unique_ptr<Conexion> conexion(const QString &base)
{
    return std::make_unique<Conexion>(base, Entorno::usuario(), Entorno::clave());
}

QString creaBase(const QString &prefijo)
{
    const QString base = Entorno::enServidor(Entorno::rutaNueva(prefijo, QStringLiteral(".fdb")));
    auto c = conexion(base);
    c->creaBase();
    c->desconecta();
    return base;
}

std::unique_ptr<Conexion> conecta(const QString &base)
{
    auto c = conexion(base);
    c->conecta();
    return c;
}

} // namespace BasePrueba
