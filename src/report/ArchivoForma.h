#pragma once

#include "report/Plantilla.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Lectura y escritura de formas .fr3 (XML con raíz TfrxReport).
// La lectura acepta UTF-8 o bytes Windows-1252, decimales con "," o ".", notación científica;
// lo desconocido se conserva y se anota en 'avisos'. Un archivo dañado da 'error' en español.

bool LeeForma(const QString &ruta, Plantilla &forma, QString &error, QStringList *avisos = nullptr);
bool LeeFormaDeBytes(const QByteArray &bytes, Plantilla &forma, QString &error, QStringList *avisos = nullptr,
                     const QString &nombre = {});

// XML de la forma (UTF-8), con lo desconocido en su lugar
QByteArray EscribeForma(const Plantilla &forma);
bool GuardaForma(const Plantilla &forma, const QString &ruta, QString &error);

// Número como lo escriben las formas: "215,9", "1.5E-5"; ok=false si no es número
double NumeroForma(const QString &texto, bool *ok = nullptr);
// Escapado de atributos al estilo de las formas (&#34; para comillas, &#13;&#10; para saltos)
QString EscapaForma(const QString &texto);
