// Punto de entrada del programa.
#include "app/Main.h"
#include "app/Modulos.h"
#include "common/FormatoNumero.h"
#include "db/datos.h"

#include <QApplication>

// Cada subsistema con ventana de módulo ofrece <sub>/Modulo<Nombre>.h con una función
// Registra<...>() que pone su ventana en la tabla de módulos (Modulos.h).
#if __has_include("labels/ModuloEtiquetas.h")
#include "labels/ModuloEtiquetas.h"
#define ETQ_MOD_ETIQUETAS
#endif
#if __has_include("collectors/ModuloColectora.h")
#include "collectors/ModuloColectora.h"
#define ETQ_MOD_COLECTORA
#endif
#if __has_include("prices/ModuloPrecios.h")
#include "prices/ModuloPrecios.h"
#define ETQ_MOD_PRECIOS
#endif
#if __has_include("config/ModuloConfigura.h")
#include "config/ModuloConfigura.h"
#define ETQ_MOD_CONFIGURA
#endif
#if __has_include("security/ModuloSeguridad.h")
#include "security/ModuloSeguridad.h"
#define ETQ_MOD_SEGURIDAD
#endif

namespace {

void RegistraModulos()
{
#ifdef ETQ_MOD_ETIQUETAS
    RegistraModuloEtiquetas(); // 90
#endif
#ifdef ETQ_MOD_COLECTORA
    RegistraModuloColectora(); // 91
#endif
#ifdef ETQ_MOD_PRECIOS
    RegistraModuloPrecios(); // 92
#endif
#ifdef ETQ_MOD_CONFIGURA
    RegistraModuloConfigura(); // 10
#endif
#ifdef ETQ_MOD_SEGURIDAD
    RegistraModuloSeguridad(); // 2
#endif
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
