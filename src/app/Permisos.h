#pragma once

#include <QString>

#include <functional>

class Sesion;

// Tabla de accesos de la sesión (Sesion::Permisos): un juego de bits por número de módulo.

// Carga tras el inicio de sesión: el administrador tiene 65535 en todo; los demás, sus
// filas de tlv_permisos. Permisos[0] queda en 1. Los errores de la base llegan al llamador.
void CargaPermisos(Sesion &s);
// Vuelve a leer las filas de tlv_permisos del usuario (también el administrador): las filas
// presentes reemplazan su entrada, las demás se conservan. Avisa a los observadores.
void RefrescaPermisos(Sesion &s);
// Aviso tras RefrescaPermisos (la ventana principal habilita su cinta); devuelve el anterior
using ObservadorPermisos = std::function<void()>;
ObservadorPermisos PonObservadorPermisos(ObservadorPermisos f);

// Entrada del módulo (0 fuera de 0..191)
quint32 PermisoModulo(const Sesion &s, int modulo);

// Todos los bits de 'bits' en la entrada del módulo; si no, pregunta si otro usuario lo
// autoriza y, con Sí, pide su acceso (Autoriza).
bool TienePermiso(int modulo, quint32 bits, const QString &accion);
bool TienePermiso(Sesion &s, int modulo, quint32 bits, const QString &accion);

// Autorización de otro usuario con su propia contraseña (TfAcceso). SYSDBA siempre autoriza;
// otro usuario, cuando su fila del módulo comparte algún bit con 'bits'.
bool Autoriza(int modulo, quint32 bits, bool soloSysdba);
bool Autoriza(Sesion &s, int modulo, quint32 bits, bool soloSysdba);
