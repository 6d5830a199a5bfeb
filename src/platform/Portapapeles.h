#pragma once

#include <QString>

QString TextoPortapapeles();
void PonTextoPortapapeles(const QString &texto);
