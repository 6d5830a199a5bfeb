#pragma once

#include <QIcon>
#include <QString>

// Iconos de las barras del diseñador, dibujados (no dependen del tema del sistema)
QIcon IconoDisenador(const QString &nombre);
