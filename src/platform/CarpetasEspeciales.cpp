#include "platform/CarpetasEspeciales.h"

#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

QString CarpetaDatosComunes()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString CarpetaDatosUsuario()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString NombreUsuarioSistema()
{
    if (const passwd *pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    for (const char *variable : {"LOGNAME", "USER"})
        if (const QString v = qEnvironmentVariable(variable); !v.isEmpty())
            return v;
    return {};
}
