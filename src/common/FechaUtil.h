#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Nombres de los meses, índice 1..12 (el 0 queda vacío)
const QStringList &MesesCortos(); // "Ene" .. "Dic"
const QStringList &MesesLargos(); // "Enero" .. "Diciembre"
QString MesCorto(int mes);        // vacío fuera de 1..12
QString MesLargo(int mes);

QString FechaTexto(const QDate &fecha);      // 05/Ene/2024
QString FechaTextoCorta(const QDate &fecha); // 05-Ene

QDate PrimerDiaMes(const QDate &fecha);
QDate UltimoDiaMes(const QDate &fecha);
QDate PrimerDiaAnio(const QDate &fecha); // 1 de enero
QDate UltimoDiaAnio(const QDate &fecha); // 31 de diciembre
int MesFecha(const QDate &fecha);
int AnioFecha(const QDate &fecha);
QString NombreMesFecha(const QDate &fecha); // nombre completo
QString AnioTexto(const QDate &fecha);      // "2024"

int DiasMes(int anio, int mes); // 0 fuera de 1..12
bool EsBisiesto(int anio);

// Números de día contados desde el 30 de diciembre de 1899 (día 0, la "fecha cero")
QDate FechaCero();
int DiaANumero(const QDate &fecha);
QDate NumeroADia(int numero);
// Fecha y hora como número de días con fracción del día
double FechaHoraANumero(const QDateTime &fechaHora);
QDateTime NumeroAFechaHora(double numero);
