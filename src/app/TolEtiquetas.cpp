// Punto de entrada del programa.
#include "app/Main.h"
#include "app/Modulos.h"
#include "common/FormatoNumero.h"
#include "config/Configura.h"
#include "db/datos.h"
#include "labels/col_Cenefa.h"

#include <QApplication>

namespace {

// Ventanas de los módulos en la tabla de la ventana principal (Modulos.h). Un módulo sin
// registrar abre su ventana provisional: 2 (permisos), 91 (colectora) y 92 (cambio de
// precios) se agregan aquí cuando existan sus ventanas.
void RegistraModulos()
{
    RegistraVentanaModulo<Tfcol_Cenefa>(90);
    RegistraModulo(10, QStringLiteral("TfConfigura"), [] { return new TfConfigura(*SesionActual()); });
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Etiquetas tolvanas"));
    QApplication::setApplicationDisplayName(QStringLiteral("Etiquetas tolvanas"));
    AplicaFormatoPrograma();
    RegistraModulos();

    // La ventana principal (posee la sesión) y el módulo de datos de todo el programa;
    // el inicio de sesión corre en la primera activación de la ventana
    TfMain principal;
    Tfdatos datos;
    PonDatosActual(&datos);
    principal.show();
    const int resultado = app.exec();
    PonDatosActual(nullptr);
    return resultado;
}
