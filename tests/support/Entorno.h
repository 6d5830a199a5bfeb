#pragma once

#include <QString>

// Datos del entorno de pruebas que prepara scripts/pruebas.sh.
namespace Entorno {

QString servidor();       // ETQ_FB_SERVIDOR (127.0.0.1)
QString usuario();        // ETQ_FB_USUARIO (SYSDBA)
QString clave();          // ETQ_FB_CLAVE
QString carpeta();        // ETQ_PRUEBAS_DIR, se crea si falta
QString fuentes();        // raíz del código fuente
// Ruta única dentro de la carpeta de pruebas, p. ej. rutaNueva("emp", ".fdb")
QString rutaNueva(const QString &prefijo, const QString &extension);
// "127.0.0.1:/ruta/archivo.fdb"
QString enServidor(const QString &ruta);

} // namespace Entorno
