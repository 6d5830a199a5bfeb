#include "platform/Portapapeles.h"

#include <QClipboard>
#include <QGuiApplication>

QString TextoPortapapeles()
{
    const QClipboard *p = QGuiApplication::clipboard();
    return p ? p->text() : QString();
}

void PonTextoPortapapeles(const QString &texto)
{
    if (QClipboard *p = QGuiApplication::clipboard())
        p->setText(texto);
}
