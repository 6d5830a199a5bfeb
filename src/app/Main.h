#pragma once

#include "app/MForm.h"
#include "app/Sesion.h"

#include <QColor>
#include <QEvent>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;
class QToolButton;
class TCinta;
class TDrawingPanel;
struct DefModulo;

// Estilos de rejilla que la ventana principal ofrece a los módulos
struct EstilosRejilla
{
    QColor textoRojo{Qt::red};
    QColor seleccion;                     // borde activo
    QColor cieloAzul{0xa6, 0xca, 0xf0};   // precios sin impuestos
    QColor verdeDinero{0xc0, 0xdc, 0xc0}; // precios con impuestos
    QColor fondoResaltado;                // selección resaltada
    QColor textoResaltado;
};
const EstilosRejilla &EstilosDeRejilla();

// Ventana principal: cinta, franja de título con el módulo en pantalla y área cliente
// (pParent) donde se incrustan las ventanas de los módulos, una por módulo.
class TfMain : public QMainWindow
{
    Q_OBJECT
public:
    // Sin sesión externa crea y posee la suya (y es la SesionActual)
    explicit TfMain(Sesion *sesionExterna = nullptr, QWidget *padre = nullptr);
    ~TfMain() override;

    // La ventana principal del programa (la última creada que sigue viva)
    static TfMain *Actual();

    Sesion &sesion() { return *m_s; }
    QString Usuario;

    // Inicio de sesión (diálogo de conexión, permisos, empresa); false si se canceló
    bool Acceso();
    // Cómo se muestra el diálogo de conexión (las pruebas lo cambian)
    using Conector = std::function<bool(Sesion &, QWidget *)>;
    void ponConector(Conector c) { m_conector = std::move(c); }
    // Inicio de sesión en la primera activación (sí, por omisión)
    void ponAccesoAutomatico(bool si) { m_primeraVez = si; }

    // Módulos
    void AbreModulo(int numero);
    // Con verificación del esquema (botones de permisos y cambio de precios)
    void NavegaMod(int numero);
    bool VentanaModulo(int numero, bool show = true, const QString &sufijo = {});
    bool VentanaModulo(const QString &clase, const std::function<TMForm *()> &crea, int numero, bool show,
                       const QString &sufijo);
    void AgregaForma(TMForm *ventana);
    void CierraVentana(TMForm *ventana);
    void CierraModulo(const QString &clave);
    TMForm *CurrentForm() const { return m_actual; }
    QStringList clavesVentanas() const { return m_claves; }
    QList<TMForm *> ventanas() const;
    TMForm *ventana(const QString &clave) const;

    // Servicios de base de datos para los módulos
    Consulta *creaQuery(bool vista, const QString &nombre = {}, Conexion *conn = nullptr);
    qint64 GetNextID(const QString &tabla, int suma);

    // Habilita la cinta según Permisos; "Base de datos" sólo para el administrador
    void AplicaPermisos();
    // Ventana "Base de datos" (modal)
    void AbreBaseDatos();
    void AcercaDe();

    // Controles
    TCinta *Cinta() const { return m_cinta; }
    QLabel *Modulo() const { return m_modulo; }
    QToolButton *bCerrar() const { return m_bCerrar; }
    TDrawingPanel *pParent() const { return m_pParent; }
    QTimer &tForma() { return m_tForma; }
    QToolButton *botonModulo(int tag) const; // primer botón de la cinta con ese Tag
    QToolButton *bBaseDatos() const { return m_bBaseDatos; }
    QToolButton *bAcercaDe() const { return m_bAcercaDe; }

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void construyeCinta();
    void tFormaTimer();
    void tInicioTimer();
    void quitaDeLista(TMForm *ventana);
    void ponNomEmp(const QString &nombre);

    Sesion *m_s = nullptr;
    std::unique_ptr<Sesion> m_propia;
    Conector m_conector;
    TCinta *m_cinta = nullptr;
    QLabel *m_modulo = nullptr;
    QToolButton *m_bCerrar = nullptr;
    TDrawingPanel *m_pParent = nullptr;
    QToolButton *m_bBaseDatos = nullptr;
    QToolButton *m_bAcercaDe = nullptr;
    QPointer<TMForm> m_actual;
    // ListaVentanas: claves y ventanas en listas paralelas
    QStringList m_claves;
    QList<QPointer<TMForm>> m_lista;
    QTimer m_tForma;
    QTimer m_tInicio;
    bool m_primeraVez = true;
    bool m_mostrada = false;
    bool m_presentando = false;
    bool m_accesoPendiente = false;
    const QKeyEvent *m_ultimaTecla = nullptr;
    quint64 m_ultimaMarca = 0;
    QEvent::Type m_ultimoTipo = QEvent::None;
    QPointer<QWidget> m_ultimoReceptor;
};
