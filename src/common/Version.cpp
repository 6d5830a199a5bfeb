#include "common/Version.h"

#include "VersionConfig.h"

#include <QStringList>

#define ETQ_TEXTO_(x) #x
#define ETQ_TEXTO(x) ETQ_TEXTO_(x)

QString VersionArchivo()
{
    // Una parte que el proyecto no da queda como 0
    const char *partes[] = {ETQ_TEXTO(ETQ_VERSION_MAYOR), ETQ_TEXTO(ETQ_VERSION_MENOR), ETQ_TEXTO(ETQ_VERSION_REVISION),
                            ETQ_TEXTO(ETQ_VERSION_COMPILACION)};
    QStringList r;
    for (const char *p : partes)
        r << QString::number(QByteArray(p).trimmed().toInt());
    return r.join(QLatin1Char('.'));
}
