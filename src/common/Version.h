#pragma once

#include <QString>

// Versión del programa: "mayor.menor.revisión.compilación"
QString VersionArchivo();
