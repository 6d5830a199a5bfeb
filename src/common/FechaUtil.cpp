#include "common/FechaUtil.h"

#include <QDateTime>

#include <cmath>

const QStringList &MesesCortos()
{
    static const QStringList meses = {QString(),
                                      QStringLiteral("Ene"),
                                      QStringLiteral("Feb"),
                                      QStringLiteral("Mar"),
                                      QStringLiteral("Abr"),
                                      QStringLiteral("May"),
                                      QStringLiteral("Jun"),
                                      QStringLiteral("Jul"),
                                      QStringLiteral("Ago"),
                                      QStringLiteral("Sep"),
                                      QStringLiteral("Oct"),
                                      QStringLiteral("Nov"),
                                      QStringLiteral("Dic")};
    return meses;
}

const QStringList &MesesLargos()
{
    static const QStringList meses = {QString(),
                                      QStringLiteral("Enero"),
                                      QStringLiteral("Febrero"),
                                      QStringLiteral("Marzo"),
                                      QStringLiteral("Abril"),
                                      QStringLiteral("Mayo"),
                                      QStringLiteral("Junio"),
                                      QStringLiteral("Julio"),
                                      QStringLiteral("Agosto"),
                                      QStringLiteral("Septiembre"),
                                      QStringLiteral("Octubre"),
                                      QStringLiteral("Noviembre"),
                                      QStringLiteral("Diciembre")};
    return meses;
}

QString MesCorto(int mes)
{
    return mes >= 1 && mes <= 12 ? MesesCortos().at(mes) : QString();
}
QString MesLargo(int mes)
{
    return mes >= 1 && mes <= 12 ? MesesLargos().at(mes) : QString();
}

static QString dosDigitos(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString FechaTexto(const QDate &fecha)
{
    return dosDigitos(fecha.day()) + QLatin1Char('/') + MesCorto(fecha.month()) + QLatin1Char('/') +
           QStringLiteral("%1").arg(fecha.year(), 4, 10, QLatin1Char('0'));
}

QString FechaTextoCorta(const QDate &fecha)
{
    return dosDigitos(fecha.day()) + QLatin1Char('-') + MesCorto(fecha.month());
}

QDate PrimerDiaMes(const QDate &fecha)
{
    return QDate(fecha.year(), fecha.month(), 1);
}
QDate UltimoDiaMes(const QDate &fecha)
{
    return QDate(fecha.year(), fecha.month(), DiasMes(fecha.year(), fecha.month()));
}
QDate PrimerDiaAnio(const QDate &fecha)
{
    return QDate(fecha.year(), 1, 1);
}
QDate UltimoDiaAnio(const QDate &fecha)
{
    return QDate(fecha.year(), 12, 31);
}
int MesFecha(const QDate &fecha)
{
    return fecha.month();
}
int AnioFecha(const QDate &fecha)
{
    return fecha.year();
}
QString NombreMesFecha(const QDate &fecha)
{
    return MesLargo(fecha.month());
}
QString AnioTexto(const QDate &fecha)
{
    return QString::number(fecha.year());
}

bool EsBisiesto(int anio)
{
    return (anio % 4 == 0 && anio % 100 != 0) || anio % 400 == 0;
}

int DiasMes(int anio, int mes)
{
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mes < 1 || mes > 12)
        return 0;
    return dias[mes - 1] + (mes == 2 && EsBisiesto(anio) ? 1 : 0);
}

QDate FechaCero()
{
    return QDate(1899, 12, 30);
}

int DiaANumero(const QDate &fecha)
{
    return int(FechaCero().daysTo(fecha));
}

QDate NumeroADia(int numero)
{
    return FechaCero().addDays(numero);
}

double FechaHoraANumero(const QDateTime &fechaHora)
{
    const double dia = DiaANumero(fechaHora.date());
    const double fraccion = fechaHora.time().msecsSinceStartOfDay() / 86400000.0;
    // Antes de la fecha cero la fracción se suma en valor absoluto (como en el formato de origen)
    return dia < 0 ? dia - fraccion : dia + fraccion;
}

QDateTime NumeroAFechaHora(double numero)
{
    const double entero = std::trunc(numero);
    qint64 ms = qRound64(std::fabs(numero - entero) * 86400000.0);
    QDate dia = NumeroADia(int(entero));
    if (ms >= 86400000) {
        dia = dia.addDays(1);
        ms -= 86400000;
    }
    return QDateTime(dia, QTime::fromMSecsSinceStartOfDay(int(ms)));
}
