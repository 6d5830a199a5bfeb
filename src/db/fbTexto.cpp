#include "db/fbTexto.h"

#include <QHash>

namespace FbTexto {

namespace {

// 0x80..0x9F; los huecos (0x81, 0x8D, 0x8F, 0x90, 0x9D) se mapean a sí mismos como hace Windows
constexpr char16_t Tabla80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const QHash<char32_t, char> &inversa()
{
    static const QHash<char32_t, char> mapa = [] {
        QHash<char32_t, char> m;
        for (int i = 0; i < 32; ++i)
            m.insert(Tabla80[i], char(0x80 + i));
        return m;
    }();
    return mapa;
}

} // namespace

QByteArray aCp1252(const QString &texto)
{
    QByteArray r;
    r.reserve(texto.size());
    const auto &inv = inversa();
    for (char32_t c : texto.toUcs4()) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            r.append(char(c));
        } else {
            const auto it = inv.constFind(c);
            r.append(it != inv.constEnd() ? it.value() : '?');
        }
    }
    return r;
}

QString deCp1252(const char *datos, qsizetype largo)
{
    QString r(largo, Qt::Uninitialized);
    QChar *d = r.data();
    for (qsizetype i = 0; i < largo; ++i) {
        const unsigned char b = static_cast<unsigned char>(datos[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(Tabla80[b - 0x80]) : QChar(char16_t(b));
    }
    return r;
}

} // namespace FbTexto
