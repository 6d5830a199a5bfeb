#pragma once

#include <QString>

// Datos de todos los usuarios (~/.config; las pruebas la mueven con XDG_CONFIG_HOME)
QString CarpetaDatosComunes();
// Datos locales del usuario (~/.local/share; las pruebas la mueven con XDG_DATA_HOME)
QString CarpetaDatosUsuario();
// Nombre de entrada del usuario de Unix
QString NombreUsuarioSistema();
