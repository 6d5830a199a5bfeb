#pragma once

#include "common/Moneda.h"

#include <QDate>
#include <QLocale>
#include <QString>

// Formato de números de todo el programa, sin importar la configuración regional:
// moneda "$", miles ",", decimales ".". Las fechas usan el formato corto del sistema.

constexpr QChar SimboloMoneda = QLatin1Char('$');
constexpr QChar SeparadorMiles = QLatin1Char(',');
constexpr QChar SeparadorDecimal = QLatin1Char('.');

// Locale con esos separadores (para QDoubleSpinBox, validadores, etc.)
QLocale LocaleNumeros();

// Se llama una vez al arrancar: el locale por omisión de Qt (el que usan los controles)
// queda con "." decimal y "," de miles. Si el del sistema ya los usa, se queda él
// (con sus fechas); si no, el español de México, que los usa.
void AplicaFormatoPrograma();
// Locale que AplicaFormatoPrograma pondría partiendo de 'sistema'
QLocale LocalePrograma(const QLocale &sistema);

// 1234.5 con 2 decimales -> "1,234.50"; los decimales se redondean a la par
QString FormatoNumero(double valor, int decimales);
QString FormatoNumero(const Moneda &valor, int decimales = 2);
// Con símbolo: "$1,234.50", "-$3.00"
QString FormatoMoneda(const Moneda &valor, int decimales = 2);
// Agrega separadores de miles a un número ya escrito con "." decimal ("-1234.5" -> "-1,234.5")
QString AgregaMiles(const QString &numero);

// Lee "1,234.50", "$ 12", "-3.5"; ok=false si no es un número
double LeeNumero(const QString &texto, bool *ok = nullptr);
Moneda LeeMoneda(const QString &texto, bool *ok = nullptr);

// Fechas en el formato corto del programa (dd/MM/yyyy)
QString FormatoFechaCorta();
QString FechaCorta(const QDate &fecha);
