#include "platform/ArchivoIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool esSeccion(const QString &l, QString *nombre)
{
    const QString t = l.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype fin = t.indexOf(QLatin1Char(']'));
    if (fin < 0)
        return false;
    if (nombre)
        *nombre = t.mid(1, fin - 1).trimmed();
    return true;
}

bool esClave(const QString &l, QString *clave, QString *valor)
{
    const QString t = l.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return false;
    const qsizetype igual = t.indexOf(QLatin1Char('='));
    if (igual <= 0)
        return false;
    if (clave)
        *clave = t.left(igual).trimmed();
    if (valor) {
        QString v = t.mid(igual + 1).trimmed();
        // Como en Windows: se quitan las comillas que rodean al valor
        if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                              || (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
            v = v.mid(1, v.size() - 2);
        *valor = v;
    }
    return true;
}

bool igual(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

ArchivoIni::ArchivoIni(QString ruta)
    : m_ruta(std::move(ruta))
{
}

QStringList ArchivoIni::lineas() const
{
    QFile f(m_ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString texto = QString::fromUtf8(f.readAll());
    texto.remove(QLatin1Char('\r'));
    QStringList r = texto.split(QLatin1Char('\n'));
    if (!r.isEmpty() && r.last().isEmpty())
        r.removeLast();
    return r;
}

QString ArchivoIni::leeTexto(const QString &seccion, const QString &clave, const QString &omision) const
{
    bool dentro = false;
    QString nombre, k, v;
    for (const QString &l : lineas()) {
        if (esSeccion(l, &nombre)) {
            dentro = igual(nombre, seccion);
            continue;
        }
        if (dentro && esClave(l, &k, &v) && igual(k, clave))
            return v;
    }
    return omision;
}

bool ArchivoIni::existeClave(const QString &seccion, const QString &clave) const
{
    const QString marca = QStringLiteral("\x01");
    return leeTexto(seccion, clave, marca) != marca;
}

int ArchivoIni::leeEntero(const QString &seccion, const QString &clave, int omision) const
{
    const QString t = leeTexto(seccion, clave).trimmed();
    bool ok = false;
    // Como GetPrivateProfileInt: el número entero del principio
    qsizetype n = 0;
    if (n < t.size() && (t[n] == QLatin1Char('-') || t[n] == QLatin1Char('+')))
        ++n;
    while (n < t.size() && t[n].isDigit())
        ++n;
    const int v = t.left(n).toInt(&ok);
    return ok ? v : omision;
}

bool ArchivoIni::leeBooleano(const QString &seccion, const QString &clave, bool omision) const
{
    const QString t = leeTexto(seccion, clave).trimmed();
    if (t.isEmpty())
        return omision;
    bool ok = false;
    const int v = t.toInt(&ok);
    if (ok)
        return v != 0;
    if (igual(t, QStringLiteral("true")))
        return true;
    if (igual(t, QStringLiteral("false")))
        return false;
    return omision;
}

bool ArchivoIni::escribeTexto(const QString &seccion, const QString &clave, const QString &valor)
{
    QStringList ls = lineas();
    const QString nueva = clave + QLatin1Char('=') + valor;
    qsizetype inicio = -1, finSeccion = -1;
    QString nombre, k;
    for (qsizetype i = 0; i < ls.size(); ++i) {
        if (esSeccion(ls[i], &nombre)) {
            if (inicio >= 0)
                break;
            if (igual(nombre, seccion)) {
                inicio = i;
                finSeccion = i + 1;
            }
            continue;
        }
        if (inicio >= 0) {
            if (esClave(ls[i], &k, nullptr) && igual(k, clave)) {
                ls[i] = nueva;
                inicio = -2; // reemplazada
                break;
            }
            if (!ls[i].trimmed().isEmpty())
                finSeccion = i + 1;
        }
    }
    if (inicio >= 0) {
        ls.insert(finSeccion, nueva);
    } else if (inicio == -1) {
        if (!ls.isEmpty() && !ls.last().trimmed().isEmpty())
            ls.append(QString());
        ls.append(QLatin1Char('[') + seccion + QLatin1Char(']'));
        ls.append(nueva);
    }
    QDir().mkpath(QFileInfo(m_ruta).absolutePath());
    QSaveFile f(m_ruta);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(ls.join(QLatin1Char('\n')).toUtf8());
    f.write("\n");
    return f.commit();
}

bool ArchivoIni::escribeEntero(const QString &seccion, const QString &clave, int valor)
{
    return escribeTexto(seccion, clave, QString::number(valor));
}

bool ArchivoIni::escribeBooleano(const QString &seccion, const QString &clave, bool valor)
{
    return escribeTexto(seccion, clave, valor ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList ArchivoIni::secciones() const
{
    QStringList r;
    QString nombre;
    for (const QString &l : lineas())
        if (esSeccion(l, &nombre))
            r.append(nombre);
    return r;
}

QStringList ArchivoIni::claves(const QString &seccion) const
{
    QStringList r;
    bool dentro = false;
    QString nombre, k;
    for (const QString &l : lineas()) {
        if (esSeccion(l, &nombre)) {
            dentro = igual(nombre, seccion);
            continue;
        }
        if (dentro && esClave(l, &k, nullptr))
            r.append(k);
    }
    return r;
}
