#pragma once

#include <QString>
#include <QStringList>

// ERP de reemplazo para pruebas: corre erp/crea_erp.sh en una subcarpeta nueva de
// Entorno::carpeta() y devuelve las rutas y cadenas de conexión de sus bases.
namespace ErpPrueba {

struct Opciones
{
    bool servidor = true;     // por el servidor de Entorno (si no, motor incrustado)
    int paramsPrecio = 9;     // parámetros de PRECIO_CON_IMPTO_SI: 9..12
    bool demo = true;         // datos de demostración
    int articulos = 0;        // artículos generados en la primera empresa
    QStringList empresas;     // nombres cortos; vacía = Ferreteria_Demo, Papeleria_Centro
    bool usuarios = true;     // crea los usuarios de Firebird (con servidor)
};

struct Erp
{
    bool ok = false;
    QString error;            // salida de error del guion cuando falla
    QString salida;           // lo que imprimió el guion
    bool servidor = false;
    QString carpeta;          // carpeta local, termina en "/"
    QString config;           // archivo Config.fdb
    QString metadatos;        // archivo Metadatos.fdb
    QStringList empresas;     // nombres cortos, en el orden de creación
    QStringList archivosEmpresa;

    // "127.0.0.1:/ruta" con servidor; la ruta sola con el motor incrustado
    QString conexion(const QString &archivo) const;
    QString configBd() const { return conexion(config); }
    QString metadatosBd() const { return conexion(metadatos); }
    QString empresaBd(int i = 0) const { return conexion(archivosEmpresa.value(i)); }
    // Directorio de datos de un perfil de conexión (con servidor "127.0.0.1:/ruta/")
    QString directorioDatos() const { return conexion(carpeta); }
};

// Usuarios del ERP de demostración (con servidor existen en Firebird con esas claves)
struct UsuarioDemo
{
    const char *nombre;
    const char *clave;
};
inline constexpr UsuarioDemo kSupervisor{"SUPERVISOR", "super123"};
inline constexpr UsuarioDemo kCajero{"CAJERO", "cajero123"};       // sólo la primera empresa
inline constexpr UsuarioDemo kVendedor{"VENDEDOR", "vendedor123"};
inline constexpr UsuarioDemo kConsulta{"CONSULTA", "consulta123"}; // limitado, sin empresas

Erp crea(const Opciones &opciones = {});

} // namespace ErpPrueba
