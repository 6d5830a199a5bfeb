#pragma once

#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QMenuBar;

// Ventana base de los módulos. Se incrusta en el área cliente de la ventana principal.
// Las teclas F5..F12 al soltarse pulsan los botones habilitados cuya propiedad "Tag"
// vale -5..-12. Los QDateEdit con propiedad "Tag" 1 toman el primer día del mes en curso,
// con 2 el último, y los demás el día de hoy.
class TMForm : public QWidget
{
    Q_OBJECT
public:
    explicit TMForm(QWidget *padre = nullptr);
    ~TMForm() override;

    bool Editing = false;
    bool AllowResize = true;
    bool DestroyOnce = false;
    bool AllowF10 = true;
    QString FmtVar;
    QString ClavePers;
    bool CloseAllowed = false;
    quint32 Acceso = 0; // bits de acceso del módulo
    QAbstractButton *ToolButton = nullptr;
    QMenuBar *MainMenu = nullptr;
    QString CustomTitle;
    QStringList Filtro;
    int FiltroIndex = -1;
    int Tag = 0; // número de módulo; -1: no se incrusta

    virtual void DoFiltroChange(QObject *sender);
    virtual void DoIt(const QString &clave);

    // Ajustes de creación (fechas, ancho de pantalla). Las subclases lo llaman al final de
    // su constructor, cuando ya existen sus controles.
    void Inicializa();

    // Pulsa los botones habilitados con Tag -n (n de 5 a 12); devuelve cuántos
    int PulsaBotonesF(int n);

    // Eventos de teclado reenviados por la ventana principal
    void teclaAbajo(QKeyEvent *e) { keyPressEvent(e); }
    void teclaArriba(QKeyEvent *e) { keyReleaseEvent(e); }

Q_SIGNALS:
    void cerrada(TMForm *ventana); // al cerrarse, antes de liberarse

protected:
    void keyReleaseEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
};
