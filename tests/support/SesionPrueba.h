#pragma once

#include "ErpPrueba.h"

#include "app/Sesion.h"

#include <memory>

// Sesión abierta sobre un ERP de prueba, sin diálogos: las tres bases conectadas como
// 'usuario', la empresa 'indice' elegida y, si se pide, el esquema propio instalado
// (como SYSDBA, antes de conectar). La sesión queda como SesionActual().
namespace SesionPrueba {
struct Opciones
{
    QString usuario;    // vacío: el SYSDBA del entorno
    QString clave;
    int empresa = 0;
    bool esquema = true; // instala el esquema propio en la empresa
};

// Devuelve nula (y 'error') cuando no se pudo
std::unique_ptr<Sesion> abre(const ErpPrueba::Erp &erp, const Opciones &opciones, QString *error = nullptr);

// Instala el esquema propio en la base indicada como SYSDBA; "" si todo quedó instalado
QString instalaEsquema(const QString &baseEmpresa, const QString &configBd = {});
} // namespace SesionPrueba
