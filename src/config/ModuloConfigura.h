#pragma once

#include "app/Modulos.h"
#include "config/Configura.h"

// Módulo 10: ventana de configuración
inline void RegistraModuloConfigura()
{
    RegistraModulo(10, QStringLiteral("TfConfigura"), [] { return CreaConfigura(nullptr); });
}
