#include "common/FormatoNumero.h"

#include <cmath>

QLocale LocaleNumeros()
{
    QLocale l = QLocale::c();
    l.setNumberOptions(QLocale::DefaultNumberOptions); // con separador de miles
    return l;
}

QLocale LocalePrograma(const QLocale &sistema)
{
    const bool sirve = sistema.decimalPoint() == QString(SeparadorDecimal) &&
                       sistema.groupSeparator() == QString(SeparadorMiles) && sistema.language() != QLocale::C;
    QLocale l = sirve ? sistema : QLocale(QLocale::Spanish, QLocale::Mexico);
    l.setNumberOptions(QLocale::DefaultNumberOptions);
    return l;
}

void AplicaFormatoPrograma()
{
    QLocale::setDefault(LocalePrograma(QLocale::system()));
}

QString AgregaMiles(const QString &numero)
{
    qsizetype inicio = 0;
    if (numero.startsWith(QLatin1Char('-')) || numero.startsWith(QLatin1Char('+')))
        inicio = 1;
    qsizetype fin = numero.indexOf(QLatin1Char('.'), inicio);
    if (fin < 0)
        fin = numero.size();
    QString r = numero;
    for (qsizetype p = fin - 3; p > inicio; p -= 3)
        r.insert(p, SeparadorMiles);
    return r;
}

QString FormatoNumero(double valor, int decimales)
{
    if (!std::isfinite(valor))
        return QString::number(valor);
    decimales = qBound(0, decimales, 15);
    if (decimales <= 4 && std::fabs(valor) < 9e14)
        return FormatoNumero(Moneda::deDouble(valor), decimales);
    QString t = QString::number(valor, 'f', decimales);
    if (t.startsWith(QLatin1Char('-')) &&
        QString(t).remove(QLatin1Char('0')).remove(QLatin1Char('.')) == QLatin1String("-"))
        t.remove(0, 1); // "-0.00" -> "0.00"
    return AgregaMiles(t);
}

QString FormatoNumero(const Moneda &valor, int decimales)
{
    return AgregaMiles(valor.texto(qBound(0, decimales, 4)));
}

QString FormatoMoneda(const Moneda &valor, int decimales)
{
    const QString t = FormatoNumero(valor, decimales);
    if (t.startsWith(QLatin1Char('-')))
        return QLatin1Char('-') + QString(SimboloMoneda) + t.mid(1);
    return SimboloMoneda + t;
}

static QString limpiaNumero(const QString &texto)
{
    QString t = texto.trimmed();
    t.remove(SeparadorMiles);
    t.remove(SimboloMoneda);
    t.remove(QLatin1Char(' '));
    // "-$5" queda "-5"; "$-5" también
    return t;
}

double LeeNumero(const QString &texto, bool *ok)
{
    bool bien = false;
    const QString t = limpiaNumero(texto);
    double v = t.isEmpty() ? 0 : QLocale::c().toDouble(t, &bien);
    if (!bien)
        v = 0;
    if (ok)
        *ok = bien;
    return v;
}

Moneda LeeMoneda(const QString &texto, bool *ok)
{
    return Moneda::deTexto(limpiaNumero(texto), ok);
}

QString FormatoFechaCorta()
{
    return QStringLiteral("dd/MM/yyyy");
}

QString FechaCorta(const QDate &fecha)
{
    // Formato fijo del programa (día/mes/año), no el de la configuración regional del sistema
    return fecha.isValid() ? fecha.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}
