#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

class QFrame;
class QLabel;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QVBoxLayout;

// Dibujos propios de los iconos de la cinta cuando el tema del sistema no los tiene
enum class DibujoIcono { Etiqueta, Colectora, Precio, Llave, BaseDatos, Engrane, Informacion };
// Icono del tema (QIcon::fromTheme) o, si no hay, el dibujado
QIcon IconoCinta(const QString &tema, DibujoIcono dibujo);
// Sólo el dibujado, en el tamaño pedido
QPixmap DibujaIcono(DibujoIcono dibujo, int lado);

// Cinta de opciones: pestañas sobre páginas de grupos de botones grandes (texto bajo el
// icono). Minimizada muestra sólo las pestañas; un clic en una pestaña despliega su página
// encima del área de trabajo. Teclas rápidas: Alt + la de la pestaña abre su página y
// muestra las de sus botones; escribirlas pulsa el botón.
class TCinta : public QWidget
{
    Q_OBJECT
public:
    explicit TCinta(QWidget *padre = nullptr);
    ~TCinta() override;

    int agregaPestana(const QString &titulo, const QString &teclaRapida = {});
    void ocultaPestana(int pestana, bool oculta);
    bool pestanaOculta(int pestana) const;
    // Empieza un grupo nuevo en la pestaña; los botones siguientes van en él
    void agregaGrupo(int pestana, const QString &titulo = {});
    QToolButton *agregaBoton(int pestana, const QString &texto, const QIcon &icono, int tag,
                             const QString &teclaRapida = {}, const QString &pista = {});

    int cuantasPestanas() const;
    QString tituloPestana(int pestana) const;
    int pestanaActual() const;
    void ponPestanaActual(int pestana);
    QTabBar *barra() const { return m_barra; }
    QList<QToolButton *> botones() const { return m_botones; }
    QList<QToolButton *> botonesDe(int pestana) const;

    bool minimizada() const { return m_minimizada; }
    void ponMinimizada(bool minimizada);
    // Página desplegada sobre el área de trabajo (cinta minimizada)
    bool desplegada() const;
    void despliega();
    void repliega();

    // Modo de teclas rápidas
    bool modoTeclas() const { return m_modoTeclas; }
    void entraModoTeclas(int pestana);
    void saleModoTeclas();
    // Procesa una letra en el modo de teclas; true si la usó
    bool teclaRapida(const QString &letra);

Q_SIGNALS:
    void minimizadaCambio(bool minimizada);

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    struct Pagina
    {
        QWidget *pagina = nullptr;
        QWidget *grupoActual = nullptr;
        QString teclaRapida;
        QList<QToolButton *> botones;
    };
    QWidget *nuevoGrupo(Pagina &p, const QString &titulo);
    void muestraInsignias(bool pestanas);
    void quitaInsignias();
    void colocaPaginas(bool enVentana);

    QTabBar *m_barra;
    QStackedWidget *m_paginas;
    QFrame *m_emergente; // página desplegada con la cinta minimizada
    QVBoxLayout *m_caja;
    QList<Pagina> m_lista;
    QList<QToolButton *> m_botones;
    QList<QLabel *> m_insignias;
    bool m_minimizada = false;
    bool m_modoTeclas = false;
    QString m_tecleado;
};
