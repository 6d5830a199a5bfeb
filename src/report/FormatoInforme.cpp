#include "report/FormatoInforme.h"

#include "common/FormatoNumero.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {

// Dígitos de |v| redondeado a 'dec' decimales, la mitad lejos del cero (como Delphi)
void Redondea(double v, int dec, QString &enteros, QString &decimales)
{
    dec = std::clamp(dec, 0, 18);
    const long double x = std::fabs((long double)v);
    const long double p = std::pow(10.0L, dec);
    const long double r = std::floor(x * p * (1 + 1e-15L) + 0.5L);
    QString digitos;
    if (r < 1e18L) {
        digitos = QString::number(qulonglong(r));
    } else {
        digitos = QString::number(double(x), 'f', dec);
        digitos.remove(QLatin1Char('.'));
    }
    while (digitos.size() <= dec)
        digitos.prepend(QLatin1Char('0'));
    enteros = digitos.left(digitos.size() - dec);
    decimales = digitos.right(dec);
}

QString Agrupa(const QString &enteros, const QString &miles)
{
    if (miles.isEmpty())
        return enteros;
    QString r;
    const int n = int(enteros.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            r += miles;
        r += enteros[i];
    }
    return r;
}

bool EsCero(double v, int dec)
{
    QString e, d;
    Redondea(v, dec, e, d);
    return (e + d).count(QLatin1Char('0')) == e.size() + d.size();
}

// Una sección de FormatFloat
QString Seccion(const QString &patron, double v, bool conSigno, const SeparadoresFormato &s)
{
    // Literales entre comillas; se localiza la parte numérica (0 # . , E)
    QString prefijo, sufijo;
    int minEnteros = 0, minDec = 0, maxDec = 0;
    bool miles = false, punto = false, numero = false;
    bool cientifica = false;
    QString expo;
    for (int i = 0; i < patron.size(); ++i) {
        const QChar c = patron[i];
        QString literal;
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int fin = int(patron.indexOf(c, i + 1));
            literal = patron.mid(i + 1, (fin < 0 ? patron.size() : fin) - i - 1);
            i = fin < 0 ? int(patron.size()) : fin;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            numero = true;
            if (!sufijo.isEmpty()) { // literal entre dígitos: se pone al final
            }
            if (punto) {
                ++maxDec;
                if (c == QLatin1Char('0'))
                    minDec = maxDec;
            } else if (c == QLatin1Char('0')) {
                ++minEnteros;
            }
            continue;
        } else if (c == QLatin1Char('.') && !punto) {
            punto = true;
            numero = true;
            continue;
        } else if (c == QLatin1Char(',') && numero && !punto) {
            miles = true;
            continue;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && numero && i + 1 < patron.size() &&
                   (patron[i + 1] == QLatin1Char('+') || patron[i + 1] == QLatin1Char('-'))) {
            cientifica = true;
            expo = patron.mid(i, 2);
            int j = i + 2;
            while (j < patron.size() && patron[j] == QLatin1Char('0'))
                ++j;
            expo += QString::number(j - i - 2);
            i = j - 1;
            continue;
        } else {
            literal = c;
        }
        (numero ? sufijo : prefijo) += literal;
    }
    if (!numero)
        return prefijo;
    QString cuerpo;
    if (cientifica) {
        const int digExp = expo.mid(2).toInt();
        QString t = QString::number(std::fabs(v), 'E', maxDec);
        const int e = int(t.indexOf(QLatin1Char('E')));
        QString mant = t.left(e);
        int ex = t.mid(e + 1).toInt();
        mant.replace(QLatin1Char('.'), s.decimal);
        QString exTxt = QString::number(std::abs(ex)).rightJustified(digExp, QLatin1Char('0'));
        cuerpo = mant + QLatin1Char('E') + (ex < 0 ? QStringLiteral("-") : (expo[1] == QLatin1Char('+') ? QStringLiteral("+") : QString())) + exTxt;
    } else {
        QString ent, dec;
        Redondea(v, maxDec, ent, dec);
        while (dec.size() > minDec && dec.endsWith(QLatin1Char('0')))
            dec.chop(1);
        while (ent.size() > 1 && ent.startsWith(QLatin1Char('0')))
            ent.remove(0, 1);
        if (ent == QLatin1String("0") && minEnteros == 0)
            ent.clear();
        while (ent.size() < minEnteros)
            ent.prepend(QLatin1Char('0'));
        cuerpo = miles ? Agrupa(ent, s.miles) : ent;
        if (!dec.isEmpty())
            cuerpo += s.decimal + dec;
        if (cuerpo.isEmpty())
            cuerpo = QStringLiteral("0");
    }
    const bool negativo = v < 0 && !EsCero(v, cientifica ? 15 : maxDec);
    return (conSigno && negativo ? QStringLiteral("-") : QString()) + prefijo + cuerpo + sufijo;
}

QStringList Secciones(const QString &patron)
{
    QStringList r;
    QString actual;
    QChar comilla;
    for (QChar c : patron) {
        if (!comilla.isNull()) {
            if (c == comilla)
                comilla = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            comilla = c;
        } else if (c == QLatin1Char(';')) {
            r << actual;
            actual.clear();
            continue;
        }
        actual += c;
    }
    r << actual;
    return r;
}

QString FechaDelphi(const QString &formato, const QDateTime &f)
{
    // dd/mm/yyyy hh:nn:ss de Delphi a Qt ("mm" tras "h" son minutos)
    QString r;
    bool trasHora = false;
    for (int i = 0; i < formato.size();) {
        const QChar c = formato[i].toLower();
        int n = 1;
        while (i + n < formato.size() && formato[i + n].toLower() == c)
            ++n;
        const QString grupo = formato.mid(i, n);
        if (c == QLatin1Char('d')) {
            r += f.toString(QString(std::min(n, 4), QLatin1Char('d')));
        } else if (c == QLatin1Char('m')) {
            r += trasHora ? f.toString(QStringLiteral("mm")) : f.toString(QString(std::min(n, 4), QLatin1Char('M')));
            trasHora = false;
        } else if (c == QLatin1Char('y')) {
            r += f.toString(n <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"));
        } else if (c == QLatin1Char('h')) {
            r += f.toString(n >= 2 ? QStringLiteral("hh") : QStringLiteral("h"));
            trasHora = true;
        } else if (c == QLatin1Char('n')) {
            r += f.toString(QStringLiteral("mm"));
        } else if (c == QLatin1Char('s')) {
            r += f.toString(n >= 2 ? QStringLiteral("ss") : QStringLiteral("s"));
        } else {
            r += grupo;
        }
        i += n;
    }
    return r;
}

} // namespace

bool ValorNumerico(const QVariant &valor, double &numero)
{
    if (!valor.isValid() || valor.isNull())
        return false;
    switch (valor.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        numero = valor.toDouble();
        return true;
    case QMetaType::Bool:
        return false;
    default:
        break;
    }
    if (valor.canConvert<Moneda>() && valor.metaType() == QMetaType::fromType<Moneda>()) {
        numero = valor.value<Moneda>().aDouble();
        return true;
    }
    const QString t = valor.toString().trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    double v = LeeNumero(t, &ok);
    if (!ok) {
        // "10,5": coma decimal
        static const QRegularExpression coma(QStringLiteral("^-?\\d+,\\d+$"));
        if (coma.match(t).hasMatch())
            v = QLocale::c().toDouble(QString(t).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    }
    if (ok)
        numero = v;
    return ok;
}

QString FormatoFlotante(const QString &patron, double valor, const SeparadoresFormato &s)
{
    const QStringList sec = Secciones(patron);
    if (patron.isEmpty())
        return QString::number(valor, 'g', 15).replace(QLatin1Char('.'), s.decimal);
    // Sección de ceros y de negativos cuando existen
    const QString &primera = sec[0];
    int decPrimera = 0;
    {
        const int p = int(primera.indexOf(QLatin1Char('.')));
        if (p >= 0)
            for (int i = p + 1; i < primera.size() && (primera[i] == QLatin1Char('0') || primera[i] == QLatin1Char('#')); ++i)
                ++decPrimera;
    }
    if (sec.size() >= 3 && EsCero(valor, decPrimera) && !sec[2].isEmpty())
        return Seccion(sec[2], 0, false, s);
    if (valor < 0 && sec.size() >= 2 && !sec[1].isEmpty())
        return Seccion(sec[1], valor, false, s);
    return Seccion(primera, valor, true, s);
}

QString FormatoDelphi(const QString &formato, const QVariant &valor, const SeparadoresFormato &s)
{
    static const QRegularExpression espec(QStringLiteral("%(-)?(\\d+)?(?:\\.(\\d+))?([dDuUeEfFgGnNmMsSxX])"));
    QString r;
    int desde = 0;
    auto it = espec.globalMatch(formato);
    while (it.hasNext()) {
        const auto m = it.next();
        QString previo = formato.mid(desde, m.capturedStart() - desde);
        previo.replace(QLatin1String("%%"), QLatin1String("%"));
        r += previo;
        desde = int(m.capturedEnd());
        const bool izquierda = !m.captured(1).isEmpty();
        const int ancho = m.captured(2).toInt();
        const bool conPrecision = !m.captured(3).isEmpty();
        const int prec = m.captured(3).toInt();
        const QChar tipo = m.captured(4)[0].toLower();
        double v = 0;
        const bool esNumero = ValorNumerico(valor, v);
        QString t;
        switch (tipo.unicode()) {
        case 'd':
        case 'u': {
            const qlonglong n = esNumero ? qlonglong(std::llround(v)) : 0;
            t = QString::number(std::llabs(n));
            if (conPrecision)
                t = t.rightJustified(prec, QLatin1Char('0'));
            if (n < 0)
                t.prepend(QLatin1Char('-'));
            break;
        }
        case 'f':
        case 'n':
        case 'm': {
            const int dec = conPrecision ? prec : 2;
            QString ent, decs;
            Redondea(v, dec, ent, decs);
            t = tipo == QLatin1Char('f') ? ent : Agrupa(ent, s.miles);
            if (dec > 0)
                t += s.decimal + decs;
            if (tipo == QLatin1Char('m'))
                t.prepend(s.moneda);
            if (v < 0 && !EsCero(v, dec))
                t.prepend(QLatin1Char('-'));
            break;
        }
        case 'e': {
            t = QString::number(v, 'E', conPrecision ? std::max(prec - 1, 0) : 14);
            t.replace(QLatin1Char('.'), s.decimal);
            break;
        }
        case 'g':
            t = QString::number(v, 'g', conPrecision ? prec : 15);
            t.replace(QLatin1Char('.'), s.decimal);
            break;
        case 'x':
            t = QString::number(esNumero ? qlonglong(std::llround(v)) : 0, 16).toUpper();
            if (conPrecision)
                t = t.rightJustified(prec, QLatin1Char('0'));
            break;
        default: // 's'
            t = valor.toString();
            if (conPrecision)
                t = t.left(prec);
        }
        if (t.size() < ancho)
            t = izquierda ? t.leftJustified(ancho) : t.rightJustified(ancho);
        r += t;
    }
    QString resto = formato.mid(desde);
    resto.replace(QLatin1String("%%"), QLatin1String("%"));
    return r + resto;
}

QString TextoConFormato(const QVariant &valor, const FormatoVista &formato, bool ocultaCeros)
{
    if (!valor.isValid() || valor.isNull())
        return {};
    double numero = 0;
    const bool esNumero = ValorNumerico(valor, numero);
    if (ocultaCeros && esNumero && numero == 0)
        return {};
    SeparadoresFormato s;
    if (!formato.separadorDecimal.isEmpty())
        s.decimal = formato.separadorDecimal;
    if (!formato.separadorMiles.isEmpty())
        s.miles = formato.separadorMiles;
    else if (s.decimal == QLatin1String(","))
        s.miles = QStringLiteral(".");
    const QString &clase = formato.clase;
    if (clase == QLatin1String("fkNumeric") && esNumero && valor.typeId() != QMetaType::Bool) {
        if (formato.cadena.contains(QLatin1Char('%')))
            return FormatoDelphi(formato.cadena, numero, s);
        return FormatoFlotante(formato.cadena, numero, s);
    }
    if (clase == QLatin1String("fkDateTime") && !formato.cadena.isEmpty()) {
        QDateTime f;
        if (valor.typeId() == QMetaType::QDate)
            f = QDateTime(valor.toDate(), QTime(0, 0));
        else if (valor.typeId() == QMetaType::QDateTime)
            f = valor.toDateTime();
        else
            f = QDateTime::fromString(valor.toString(), Qt::ISODate);
        if (f.isValid())
            return FechaDelphi(formato.cadena, f);
    }
    if (clase == QLatin1String("fkBoolean") && valor.typeId() == QMetaType::Bool) {
        const QStringList t = formato.cadena.split(QLatin1Char(','));
        if (t.size() == 2)
            return valor.toBool() ? t[0] : t[1];
    }
    // Sin formato
    switch (valor.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        QString t = QString::number(valor.toDouble(), 'g', 15);
        return t.replace(QLatin1Char('.'), s.decimal);
    }
    case QMetaType::QDate:
        return FechaCorta(valor.toDate());
    case QMetaType::QDateTime:
        return FechaCorta(valor.toDate()) + QLatin1Char(' ') + valor.toDateTime().time().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::Bool:
        return valor.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        if (valor.metaType() == QMetaType::fromType<Moneda>())
            return valor.value<Moneda>().texto(2);
        return valor.toString();
    }
}
