#pragma once

#include "report/Plantilla.h"

#include <QString>
#include <QVariant>

// Formatos de presentación de las formas (DisplayFormat): cadenas de Format de Delphi
// ("%2.2n", "%2.0n", "%2.2m", "%2.2f", "%d") y patrones de FormatFloat ("###,##0", "#,##0.00").
// Moneda "$", decimales "." y miles "," salvo que la vista diga otros separadores.

struct SeparadoresFormato
{
    QString decimal = QStringLiteral(".");
    QString miles = QStringLiteral(",");
    QString moneda = QStringLiteral("$");
};

QString FormatoDelphi(const QString &formato, const QVariant &valor, const SeparadoresFormato &s = {});
QString FormatoFlotante(const QString &patron, double valor, const SeparadoresFormato &s = {});
// Texto de un valor según el formato de la vista (sin formato: el valor tal cual)
QString TextoConFormato(const QVariant &valor, const FormatoVista &formato, bool ocultaCeros);
// Número de un valor (número, o texto "1,234.50", "10.5", "10,5"); false si no lo es
bool ValorNumerico(const QVariant &valor, double &numero);
