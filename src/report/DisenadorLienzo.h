#pragma once

#include "report/DisenadorDocumento.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>

#include <optional>

class FuenteDatos;
class QPainter;

// Herramienta activa del lienzo: elegir o poner un objeto nuevo
enum class Herramienta { Seleccionar, Texto, CodigoBarras, Linea, Rectangulo, Imagen };

// El papel a escala con márgenes, bandas, etiquetas de la hoja, rejilla y reglas en mm.
// Los objetos se dibujan con el mismo dibujante que imprime.
class DisenadorLienzo : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit DisenadorLienzo(DisenadorDocumento &doc, QWidget *padre = nullptr);

    void ponDatos(const FuenteDatos *datos);
    // Con datos: los objetos muestran el primer registro; sin ellos, sus expresiones
    void ponMuestraDatos(bool si);
    bool muestraDatos() const { return m_muestraDatos; }
    void ponHerramienta(Herramienta h);
    Herramienta herramienta() const { return m_herramienta; }

    double zoom() const { return m_zoom; }
    void ponZoom(double zoom);
    void ajustaAncho();

    // Conversión entre la página (unidades de la forma) y el área visible (pixeles)
    QPointF aPantalla(const QPointF &unidades) const;
    QPointF aPagina(const QPointF &pixeles) const;
    QRectF aPantalla(const QRectF &unidades) const;
    // Posición del papel en el área visible, para las reglas
    QPointF esquinaPapel() const;
    std::optional<QPointF> cursorPagina() const { return m_cursor; }

signals:
    void herramientaCambiada(Herramienta h);
    void posicionCursor(double xMm, double yMm);
    // Se dibujó un objeto nuevo con una herramienta
    void vistaCreada(TipoVista tipo);
    // Doble clic sobre un objeto: editar su texto en el panel
    void editaVista();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;

private:
    class Regla;
    void actualizaBarras();
    void dibujaPapel(QPainter &p);
    void dibujaObjetos(QPainter &p);
    void dibujaSeleccion(QPainter &p);
    void dibujaEtiquetas(QPainter &p);
    QImage imagenBanda(int banda);
    Asa asaEn(const QPointF &pixeles, RefVista *ref) const;
    QList<QRectF> rectAsas(const QRectF &r) const;
    bool teclaPropia(const QKeyEvent *e) const;

    DisenadorDocumento &m_doc;
    const FuenteDatos *m_datos = nullptr;
    bool m_muestraDatos = true;
    Herramienta m_herramienta = Herramienta::Seleccionar;
    double m_zoom = 1.0;
    Regla *m_reglaH = nullptr;
    Regla *m_reglaV = nullptr;

    enum class Modo { Nada, Mover, Asa, Marco, Crear };
    Modo m_modo = Modo::Nada;
    QPointF m_inicio;          // pixeles
    QPointF m_actual;          // pixeles
    Asa m_asa = Asa::Ninguna;
    RefVista m_refAsa;
    bool m_agregaMarco = false;
    int m_bandaCrear = -1;
    std::optional<QPointF> m_cursor;

    // Contenido de las bandas para las demás etiquetas de la hoja (se rehace al cambiar)
    QHash<int, QImage> m_cacheBandas;
};
