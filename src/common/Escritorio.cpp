#include "common/Escritorio.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

AbridorArchivos &abridorActual()
{
    static AbridorArchivos a;
    return a;
}

} // namespace

bool AbreArchivo(const QString &ruta)
{
    if (abridorActual())
        return abridorActual()(ruta);
    if (ruta.isEmpty())
        return false;
    const QUrl url =
        QUrl(ruta).scheme().size() > 1 ? QUrl(ruta) : QUrl::fromLocalFile(QFileInfo(ruta).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

AbridorArchivos PonAbridorArchivos(AbridorArchivos abridor)
{
    AbridorArchivos anterior = std::move(abridorActual());
    abridorActual() = std::move(abridor);
    return anterior;
}

RegistroAperturas::RegistroAperturas(bool resultado)
{
    m_anterior = PonAbridorArchivos([this, resultado](const QString &ruta) {
        m_rutas << ruta;
        return resultado;
    });
}

RegistroAperturas::~RegistroAperturas()
{
    PonAbridorArchivos(std::move(m_anterior));
}
