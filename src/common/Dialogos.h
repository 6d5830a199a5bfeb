#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Toda ventana modal se ejecuta con EjecutaDialogo en lugar de d.exec(),
// para que las pruebas puedan llenarla y contestarla sin mostrarla.
int EjecutaDialogo(QDialog &d);

using EjecutorDialogo = std::function<int(QDialog &)>;
// Instala un ejecutor (vacío = exec real). Devuelve el anterior.
EjecutorDialogo PonEjecutorDialogo(EjecutorDialogo ejecutor);

// Diálogos de archivo
QString PideArchivoGuardar(QWidget *padre, const QString &titulo, const QString &carpeta, const QString &filtro,
                           const QString &extensionOmision = {});
QString PideArchivoAbrir(QWidget *padre, const QString &titulo, const QString &carpeta, const QString &filtro);

struct SolicitudArchivo
{
    bool guardar = false;
    QString titulo;
    QString carpeta;
    QString filtro;
    QString extensionOmision;
};
// Sustituto de los diálogos de archivo: devuelve el nombre elegido, vacío = cancelado
using SelectorArchivo = std::function<QString(const SolicitudArchivo &)>;
SelectorArchivo PonSelectorArchivo(SelectorArchivo selector);

// Para pruebas: contesta los diálogos modales en orden con los pasos dados y
// anota la clase y el título de cada uno; sin pasos pendientes devuelve 'omision'.
// Restaura el ejecutor anterior al destruirse.
class GuionDialogos
{
public:
    using Paso = std::function<int(QDialog &)>;
    explicit GuionDialogos(int omision = QDialog::Rejected);
    ~GuionDialogos();
    GuionDialogos(const GuionDialogos &) = delete;
    GuionDialogos &operator=(const GuionDialogos &) = delete;

    GuionDialogos &agrega(Paso paso);
    // Paso para un tipo de diálogo; si llega otro tipo se anota en errores() y se rechaza
    template <class D> GuionDialogos &agrega(std::function<int(D &)> paso)
    {
        return agrega([this, paso](QDialog &d) {
            if (auto *t = qobject_cast<D *>(&d))
                return paso(*t);
            m_errores << QStringLiteral("Se esperaba %1 y llegó %2")
                             .arg(QString::fromLatin1(D::staticMetaObject.className()),
                                  QString::fromLatin1(d.metaObject()->className()));
            return int(QDialog::Rejected);
        });
    }

    int ejecutados() const { return int(m_clases.size()); }
    int pendientes() const { return int(m_pasos.size()); }
    const QStringList &clases() const { return m_clases; }
    const QStringList &titulos() const { return m_titulos; }
    const QStringList &errores() const { return m_errores; }

private:
    int ejecuta(QDialog &d);
    int m_omision;
    QList<Paso> m_pasos;
    QStringList m_clases, m_titulos, m_errores;
    EjecutorDialogo m_anterior;
};

// Para pruebas: contesta los diálogos de archivo con los nombres dados en orden
// (sin nombres pendientes, cancela) y anota cada solicitud.
class GuionArchivos
{
public:
    GuionArchivos();
    ~GuionArchivos();
    GuionArchivos(const GuionArchivos &) = delete;
    GuionArchivos &operator=(const GuionArchivos &) = delete;

    GuionArchivos &agrega(const QString &nombre); // "" = el usuario cancela
    const QList<SolicitudArchivo> &solicitudes() const { return m_solicitudes; }
    int pendientes() const { return int(m_nombres.size()); }

private:
    QStringList m_nombres;
    QList<SolicitudArchivo> m_solicitudes;
    SelectorArchivo m_anterior;
};
