#pragma once

#include <QString>

#include <memory>

class Conexion;

// Bases de datos desechables en el servidor de pruebas
namespace BasePrueba {

// Crea una base vacía (juego NONE) y devuelve "127.0.0.1:/ruta/x_....fdb"
QString creaBase(const QString &prefijo = QStringLiteral("x"));
// Conexión (sin abrir) como SYSDBA a la base indicada
std::unique_ptr<Conexion> conexion(const QString &base);
// Conexión abierta como SYSDBA
std::unique_ptr<Conexion> conecta(const QString &base);

} // namespace BasePrueba
