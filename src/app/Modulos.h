#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;
class TMForm;

// Ventana de un módulo incrustada en la ventana principal
using FabricaVentana = std::function<TMForm *()>;
// Módulo que se muestra en forma modal (crea, muestra y libera su ventana)
using EjecutaModal = std::function<void(QWidget *padre)>;

// Un módulo de la ventana principal: número (Tag de la cinta y de TLV_MENUBOTONDEF),
// título de su ventana y cómo se crea.
struct DefModulo
{
    int numero = 0;
    QString titulo;          // título de la ventana del módulo
    QString clase;           // clase de la ventana: clave en ListaVentanas
    FabricaVentana crea;     // ventana incrustada
    EjecutaModal modal;      // o ventana modal (permisos)
    bool provisional = true; // todavía sin ventana propia
};

// Tabla de módulos. Cada subsistema registra su ventana al iniciar el programa;
// un módulo sin registrar abre una ventana TMForm provisional con su título.
void RegistraModulo(int numero, const QString &clase, FabricaVentana crea);
void RegistraModuloModal(int numero, EjecutaModal ejecuta);
template <class T> void RegistraVentanaModulo(int numero)
{
    RegistraModulo(numero, QString::fromLatin1(T::staticMetaObject.className()), [] { return new T(); });
}
// Vuelve el módulo a su ventana provisional (pruebas)
void QuitaRegistroModulo(int numero);

// nullptr si el número no es de un módulo
const DefModulo *BuscaModulo(int numero);
// Números de módulo conocidos: 2, 10, 90, 91, 92
std::vector<int> NumerosModulo();
