#pragma once

#include <QByteArray>
#include <QString>

// Texto de la base (juego NONE) en la página de códigos Windows-1252 del ERP.
namespace FbTexto {

// QString -> bytes Windows-1252; lo que no existe en la página queda como '?'
QByteArray aCp1252(const QString &texto);
// bytes Windows-1252 -> QString (0x80-0x9F según la tabla de Windows, no Latin-1)
QString deCp1252(const char *datos, qsizetype largo);
inline QString deCp1252(const QByteArray &datos) { return deCp1252(datos.constData(), datos.size()); }

} // namespace FbTexto
