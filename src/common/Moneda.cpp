#include "common/Moneda.h"

#include <cmath>

int64_t DivideALaPar(int64_t n, int64_t d)
{
    int64_t q = n / d;
    int64_t r = n % d;
    if (r == 0)
        return q;
    const int64_t dos_r = 2 * (r < 0 ? -r : r);
    const int signo = (n < 0) ? -1 : 1;
    if (dos_r > d || (dos_r == d && (q % 2 != 0)))
        q += signo;
    return q;
}

Moneda Moneda::deLongDouble(long double v)
{
    // El valor escalado se redondea a la par; se parte del texto decimal más corto
    // para que 0.00005 (que en binario es algo menor) se trate como mitad exacta.
    bool ok = false;
    Moneda m = deTexto(QString::number(double(v), 'g', 15), &ok);
    if (ok)
        return m;
    return deDiezmilesimas(int64_t(std::nearbyint(v * Escala)));
}

Moneda Moneda::deDouble(double v) { return deLongDouble(v); }

Moneda Moneda::deTexto(const QString &texto, bool *ok)
{
    QString s;
    for (QChar c : texto)
        if (c != QLatin1Char(',') && c != QLatin1Char('$') && !c.isSpace())
            s.append(c);
    bool negativo = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
        negativo = s.startsWith(QLatin1Char('-'));
        s.remove(0, 1);
    }
    int exponente = 0;
    const qsizetype e = s.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0) {
        bool okE = false;
        exponente = s.mid(e + 1).toInt(&okE);
        if (!okE) {
            if (ok) *ok = false;
            return {};
        }
        s.truncate(e);
    }
    const qsizetype punto = s.indexOf(QLatin1Char('.'));
    QString enteros = punto < 0 ? s : s.left(punto);
    QString decimales = punto < 0 ? QString() : s.mid(punto + 1);
    if ((enteros.isEmpty() && decimales.isEmpty()) || s.count(QLatin1Char('.')) > 1) {
        if (ok) *ok = false;
        return {};
    }
    for (QChar c : enteros + decimales)
        if (!c.isDigit()) {
            if (ok) *ok = false;
            return {};
        }
    // Desplaza el punto según el exponente
    QString digitos = enteros + decimales;
    int posPunto = int(enteros.size()) + exponente;
    while (posPunto < 0) { digitos.prepend(QLatin1Char('0')); ++posPunto; }
    while (posPunto > digitos.size()) digitos.append(QLatin1Char('0'));
    // Diezmilésimas: los primeros posPunto+4 dígitos, el resto decide el redondeo
    const int corte = posPunto + 4;
    while (digitos.size() < corte) digitos.append(QLatin1Char('0'));
    const QString cabeza = digitos.left(corte);
    const QString cola = digitos.mid(corte);
    int64_t valor = 0;
    for (QChar c : cabeza) {
        if (valor > (INT64_MAX - 9) / 10) {
            if (ok) *ok = false;
            return {};
        }
        valor = valor * 10 + c.digitValue();
    }
    if (!cola.isEmpty()) {
        const int primero = cola.at(0).digitValue();
        bool restoCero = true;
        for (qsizetype i = 1; i < cola.size(); ++i)
            if (cola.at(i) != QLatin1Char('0')) { restoCero = false; break; }
        if (primero > 5 || (primero == 5 && !restoCero) || (primero == 5 && restoCero && (valor % 2 != 0)))
            ++valor;
    }
    if (ok) *ok = true;
    return deDiezmilesimas(negativo ? -valor : valor);
}

Moneda Moneda::deEscalado(int64_t valor, int escala)
{
    // escala negativa: número de decimales (convención de Firebird)
    const int decimales = -escala;
    if (decimales == 4)
        return deDiezmilesimas(valor);
    if (decimales < 4) {
        int64_t f = 1;
        for (int i = decimales; i < 4; ++i) f *= 10;
        return deDiezmilesimas(valor * f);
    }
    int64_t d = 1;
    for (int i = 4; i < decimales; ++i) d *= 10;
    return deDiezmilesimas(DivideALaPar(valor, d));
}

int64_t Moneda::aEscala(int escala) const
{
    const int decimales = -escala;
    if (decimales >= 4) {
        int64_t f = 1;
        for (int i = 4; i < decimales; ++i) f *= 10;
        return m_valor * f;
    }
    int64_t d = 1;
    for (int i = decimales; i < 4; ++i) d *= 10;
    return DivideALaPar(m_valor, d);
}

Moneda Moneda::redondeada(int decimales) const
{
    if (decimales >= 4)
        return *this;
    int64_t d = 1;
    for (int i = decimales; i < 4; ++i) d *= 10;
    return deDiezmilesimas(DivideALaPar(m_valor, d) * d);
}

QString Moneda::texto(int decimales) const
{
    decimales = qBound(0, decimales, 4);
    const Moneda r = redondeada(decimales);
    const int64_t v = r.m_valor < 0 ? -r.m_valor : r.m_valor;
    QString s = QString::number(v / Escala);
    if (decimales > 0) {
        QString frac = QStringLiteral("%1").arg(v % Escala, 4, 10, QLatin1Char('0'));
        s += QLatin1Char('.') + frac.left(decimales);
    }
    if (r.m_valor < 0)
        s.prepend(QLatin1Char('-'));
    return s;
}
