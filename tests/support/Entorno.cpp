#include "Entorno.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace Entorno {

static QString variable(const char *nombre, const QString &omision)
{
    const QString v = qEnvironmentVariable(nombre);
    return v.isEmpty() ? omision : v;
}

QString servidor() { return variable("ETQ_FB_SERVIDOR", QStringLiteral("127.0.0.1")); }
QString usuario() { return variable("ETQ_FB_USUARIO", QStringLiteral("SYSDBA")); }

QString clave()
{
    QString v = qEnvironmentVariable("ETQ_FB_CLAVE");
    if (!v.isEmpty())
        return v;
    QFile f(QStringLiteral("/etc/firebird/3.0/SYSDBA.password"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &l : f.readAll().split('\n'))
            if (l.startsWith("ISC_PASSWORD="))
                return QString::fromLatin1(l.mid(13)).remove(QLatin1Char('"')).trimmed();
    }
    return {};
}

QString carpeta()
{
    QString c = qEnvironmentVariable("ETQ_PRUEBAS_DIR");
    if (c.isEmpty())
        c = QDir::tempPath() + QStringLiteral("/etq-pruebas-manual");
    QDir().mkpath(c);
    QFile::setPermissions(c, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                 | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                 | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    return c;
}

QString fuentes() { return QStringLiteral(ETQ_FUENTES); }

QString rutaNueva(const QString &prefijo, const QString &extension)
{
    static QAtomicInt contador;
    const QString base = QStringLiteral("%1/%2_%3_%4")
                             .arg(carpeta(), prefijo)
                             .arg(QCoreApplication::applicationPid())
                             .arg(contador.fetchAndAddRelaxed(1));
    return base + extension;
}

QString enServidor(const QString &ruta) { return servidor() + QLatin1Char(':') + ruta; }

} // namespace Entorno
