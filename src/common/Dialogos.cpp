#include "common/Dialogos.h"

#include <QFileDialog>

namespace {

EjecutorDialogo &ejecutorActual()
{
    static EjecutorDialogo e;
    return e;
}

SelectorArchivo &selectorActual()
{
    static SelectorArchivo s;
    return s;
}

QString pideArchivo(QWidget *padre, const SolicitudArchivo &s)
{
    if (selectorActual())
        return selectorActual()(s);
    QFileDialog dlg(padre, s.titulo, s.carpeta, s.filtro);
    dlg.setAcceptMode(s.guardar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(s.guardar ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!s.extensionOmision.isEmpty())
        dlg.setDefaultSuffix(s.extensionOmision);
    dlg.setSizeGripEnabled(true);
    if (EjecutaDialogo(dlg) != QDialog::Accepted)
        return {};
    return dlg.selectedFiles().value(0);
}

} // namespace

int EjecutaDialogo(QDialog &d)
{
    if (ejecutorActual())
        return ejecutorActual()(d);
    return d.exec();
}

EjecutorDialogo PonEjecutorDialogo(EjecutorDialogo ejecutor)
{
    EjecutorDialogo anterior = std::move(ejecutorActual());
    ejecutorActual() = std::move(ejecutor);
    return anterior;
}

SelectorArchivo PonSelectorArchivo(SelectorArchivo selector)
{
    SelectorArchivo anterior = std::move(selectorActual());
    selectorActual() = std::move(selector);
    return anterior;
}

QString PideArchivoGuardar(QWidget *padre, const QString &titulo, const QString &carpeta, const QString &filtro,
                           const QString &extensionOmision)
{
    return pideArchivo(padre, {true, titulo, carpeta, filtro, extensionOmision});
}

QString PideArchivoAbrir(QWidget *padre, const QString &titulo, const QString &carpeta, const QString &filtro)
{
    return pideArchivo(padre, {false, titulo, carpeta, filtro, {}});
}

// --- Guiones para pruebas ---

GuionDialogos::GuionDialogos(int omision) : m_omision(omision)
{
    m_anterior = PonEjecutorDialogo([this](QDialog &d) { return ejecuta(d); });
}

GuionDialogos::~GuionDialogos()
{
    PonEjecutorDialogo(std::move(m_anterior));
}

GuionDialogos &GuionDialogos::agrega(Paso paso)
{
    m_pasos << std::move(paso);
    return *this;
}

int GuionDialogos::ejecuta(QDialog &d)
{
    m_clases << QString::fromLatin1(d.metaObject()->className());
    m_titulos << d.windowTitle();
    if (m_pasos.isEmpty())
        return m_omision;
    Paso paso = m_pasos.takeFirst();
    const int r = paso(d);
    d.setResult(r);
    return r;
}

GuionArchivos::GuionArchivos()
{
    m_anterior = PonSelectorArchivo([this](const SolicitudArchivo &s) {
        m_solicitudes << s;
        return m_nombres.isEmpty() ? QString() : m_nombres.takeFirst();
    });
}

GuionArchivos::~GuionArchivos()
{
    PonSelectorArchivo(std::move(m_anterior));
}

GuionArchivos &GuionArchivos::agrega(const QString &nombre)
{
    m_nombres << nombre;
    return *this;
}
