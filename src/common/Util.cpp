#include "common/Util.h"

#include <QLocale>

#include <limits>

QString QuitaBlancos(const QString &texto)
{
    QString r;
    r.reserve(texto.size());
    for (QChar c : texto)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            r += c;
    return r;
}

bool EstaVacio(const QString &texto)
{
    return QuitaBlancos(texto).isEmpty();
}

QString QuitaTexto(const QString &texto, const QString &parte)
{
    QString r = texto;
    if (parte.isEmpty())
        return r;
    // Quitar una aparición puede formar otra ("aabb" sin "ab")
    while (r.contains(parte))
        r.remove(parte);
    return r;
}

QString RepiteTexto(const QString &parte, int n)
{
    return n <= 0 ? QString() : parte.repeated(n);
}

void SeparaLista(QStringList &lista, const QString &texto, const QString &separador)
{
    lista.clear();
    QString resto = texto.toUpper();
    if (separador.isEmpty()) {
        if (!resto.isEmpty())
            lista << resto;
        return;
    }
    qsizetype p;
    while ((p = resto.indexOf(separador)) >= 0) {
        lista << resto.left(p);
        resto = resto.mid(p + separador.size());
    }
    if (!resto.isEmpty())
        lista << resto;
}

qint64 TextoEntero(const QString &texto)
{
    qsizetype i = 0;
    const qsizetype n = texto.size();
    while (i < n && (texto[i] == QLatin1Char(' ') || texto[i] == QLatin1Char('\t')))
        ++i;
    bool negativo = false;
    if (i < n && (texto[i] == QLatin1Char('+') || texto[i] == QLatin1Char('-'))) {
        negativo = texto[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && texto[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    // Se acumula en negativo para admitir el mínimo; al desbordar se queda en el extremo
    constexpr qint64 minimo = std::numeric_limits<qint64>::min();
    qint64 valor = 0;
    for (; i < n; ++i) {
        const int d = texto[i].isDigit() && texto[i].unicode() < 128 ? texto[i].unicode() - '0'
                      : base == 16 && QStringLiteral("abcdef").contains(texto[i].toLower())
                          ? texto[i].toLower().unicode() - 'a' + 10
                          : -1;
        if (d < 0)
            break;
        if (valor < (minimo + d) / base) {
            valor = minimo;
            break;
        }
        valor = valor * base - d;
    }
    if (negativo)
        return valor;
    return valor == minimo ? std::numeric_limits<qint64>::max() : -valor;
}

double TextoReal(const QString &texto)
{
    qsizetype i = 0;
    const qsizetype n = texto.size();
    while (i < n && (texto[i] == QLatin1Char(' ') || texto[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype inicio = i;
    auto esDigito = [&](qsizetype k) { return k < n && texto[k] >= QLatin1Char('0') && texto[k] <= QLatin1Char('9'); };
    if (i < n && (texto[i] == QLatin1Char('+') || texto[i] == QLatin1Char('-')))
        ++i;
    int digitos = 0;
    while (esDigito(i)) {
        ++i;
        ++digitos;
    }
    if (i < n && texto[i] == QLatin1Char('.')) {
        ++i;
        while (esDigito(i)) {
            ++i;
            ++digitos;
        }
    }
    if (digitos == 0)
        return 0;
    qsizetype fin = i;
    // Exponente sólo si trae dígitos
    if (i < n && (texto[i] == QLatin1Char('e') || texto[i] == QLatin1Char('E'))) {
        qsizetype k = i + 1;
        if (k < n && (texto[k] == QLatin1Char('+') || texto[k] == QLatin1Char('-')))
            ++k;
        if (esDigito(k)) {
            while (esDigito(k))
                ++k;
            fin = k;
        }
    }
    QString numero = texto.mid(inicio, fin - inicio);
    if (numero.endsWith(QLatin1Char('.')))
        numero.chop(1);
    if (numero.startsWith(QLatin1Char('+')))
        numero.remove(0, 1);
    bool ok = false;
    const double v = QLocale::c().toDouble(numero, &ok);
    return ok ? v : 0;
}

int ColumnaExcel(const QString &letras)
{
    qint64 r = 0;
    for (QChar c : letras) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            return 0;
        r = r * 26 + (c.unicode() - 64);
        if (r > std::numeric_limits<int>::max())
            return 0;
    }
    return int(r);
}

namespace {

// Prefijo: la racha más larga de A..Z al inicio
qsizetype largoPrefijo(const QString &folio)
{
    qsizetype i = 0;
    while (i < folio.size() && folio[i] >= QLatin1Char('A') && folio[i] <= QLatin1Char('Z'))
        ++i;
    return i;
}

QString sinCerosIzquierda(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char('0'))
        ++i;
    return s.mid(i);
}

QString rellena(const QString &prefijo, const QString &numero, int ancho)
{
    const qsizetype ceros = ancho - prefijo.size() - numero.size();
    return prefijo + (ceros > 0 ? QString(ceros, QLatin1Char('0')) : QString()) + numero;
}

} // namespace

QString FolioNormal(const QString &folio)
{
    const qsizetype p = largoPrefijo(folio);
    return QuitaBlancos(folio.left(p) + sinCerosIzquierda(folio.mid(p)));
}

QString FolioSiguiente(const QString &folio, int ancho)
{
    const qsizetype p = largoPrefijo(folio);
    const qint64 numero = TextoEntero(sinCerosIzquierda(folio.mid(p))) + 1;
    return rellena(folio.left(p), QString::number(numero), ancho);
}

QString FolioRelleno(const QString &folio, int ancho)
{
    const qsizetype p = largoPrefijo(folio);
    return rellena(folio.left(p), folio.mid(p), ancho);
}

QString EstadoImpresora(qint64 estado)
{
    static const struct
    {
        qint64 valor;
        const char *texto;
    } tabla[] = {
        {0, "Inactiva"},
        {1, "Pausada"},
        {2, "Error"},
        {4, "Pendiente borrar"},
        {8, "Papel atorado"},
        {16, "Sin papel"},
        {32, "Alimentación manual"},
        {64, "Problema con el papel"},
        {128, "Apagada"},
        {256, "E/S Activada"},
        {512, "Ocupada"},
        {1024, "Imprimiendo"},
        {2048, "Bandeja llena"},
        {4096, "No disponible"},
        {8192, "Esperando"},
        {16384, "Procesando"},
        {32768, "Inicializando"},
        {65536, "Calentandose"},
        {131072, "Toner bajo"},
        {262144, "Sin toner"},
        {524288, "Liberación de hoja"},
        {1048576, "Se requiere que el usuario intervenga"},
        {2097152, "Sin memoria"},
        {4194304, "Puerta abierta"},
        {8388608, "Desconocido"},
        {16777216, "Ahorro de energia"},
    };
    for (const auto &e : tabla)
        if (e.valor == estado)
            return QString::fromUtf8(e.texto);
    return {};
}
