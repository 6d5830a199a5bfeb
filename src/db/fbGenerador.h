#pragma once

#include <QString>

class Conexion;
class Transaccion;

// Nombre SQL de un objeto: tal cual si es un identificador simple, si no entre comillas dobles
QString IdentificadorSql(const QString &nombre);

// GEN_ID(nombre, incremento)
qint64 SiguienteGenerador(Conexion &conexion, Transaccion &trans, const QString &nombre, qint64 incremento = 1);
bool ExisteGenerador(Conexion &conexion, Transaccion &trans, const QString &nombre);
// Crea el generador (confirmado) con su valor inicial; no hace nada si ya existe
void CreaGenerador(Conexion &conexion, const QString &nombre, qint64 valorInicial = 0);

// Parámetros de entrada declarados del procedimiento; -1 si no existe
int ParametrosProcedimiento(Conexion &conexion, Transaccion &trans, const QString &nombre);
bool ExisteProcedimiento(Conexion &conexion, Transaccion &trans, const QString &nombre);
