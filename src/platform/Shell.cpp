#include "platform/Shell.h"

#include <QProcess>

int EjecutaPrograma(const QString &programa, const QStringList &argumentos, bool esperar, const QString &carpetaTrabajo)
{
    if (programa.isEmpty())
        return -1;
    if (!esperar)
        return QProcess::startDetached(programa, argumentos, carpetaTrabajo) ? 0 : -1;
    QProcess proceso;
    if (!carpetaTrabajo.isEmpty())
        proceso.setWorkingDirectory(carpetaTrabajo);
    proceso.setProcessChannelMode(QProcess::ForwardedChannels);
    proceso.start(programa, argumentos);
    if (!proceso.waitForStarted(-1))
        return -1;
    proceso.waitForFinished(-1);
    if (proceso.exitStatus() != QProcess::NormalExit)
        return -1;
    return proceso.exitCode();
}
