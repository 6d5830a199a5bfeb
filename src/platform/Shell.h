#pragma once

#include "common/Escritorio.h" // AbreArchivo y su sustituto para pruebas

#include <QString>
#include <QStringList>

// Ejecuta un programa. Sin esperar: 0 si arrancó, -1 si no.
// Esperando (sin límite de tiempo): su código de salida; -1 si no arrancó o terminó anormalmente.
int EjecutaPrograma(const QString &programa, const QStringList &argumentos, bool esperar,
                    const QString &carpetaTrabajo = {});
