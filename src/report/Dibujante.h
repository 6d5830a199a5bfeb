#pragma once

#include "report/Composicion.h"
#include "report/Evaluador.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QStringList>

class QPainter;

// Dibuja con QPainter lo que dice la composición: una misma rutina para PDF, impresora,
// vista previa e imágenes. Cada banda colocada (etiqueta) va dentro de save/restore con su
// desplazamiento y su recorte.
class Dibujante
{
public:
    explicit Dibujante(Evaluador &evaluador, QStringList *avisos = nullptr) : m_ev(evaluador), m_avisos(avisos) {}

    // El pintor tiene el origen en la esquina del papel; la escala sale de la resolución del dispositivo
    void dibujaPagina(QPainter &p, const PaginaCompuesta &pagina, int totalPaginas);
    // Una vista en unidades de la forma, con el origen en la esquina de su banda (lo usa el diseñador)
    void dibujaVista(QPainter &p, const Vista &v, const ContextoEvaluacion &c);

    // Tamaño de letra de una vista para el pintor ya escalado a unidades de la forma
    static QFont fuenteQt(const FuenteVista &f);

private:
    void dibujaMemo(QPainter &p, const Vista &v, const QRectF &r, const ContextoEvaluacion &c);
    void dibujaMarco(QPainter &p, const Vista &v, const QRectF &r);
    void dibujaCodigo(QPainter &p, const Vista &v, const QRectF &r, const ContextoEvaluacion &c);
    void dibujaImagen(QPainter &p, const Vista &v, const QRectF &r, const ContextoEvaluacion &c);
    void dibujaFigura(QPainter &p, const Vista &v, const QRectF &r);
    void aviso(const QString &t);

    Evaluador &m_ev;
    QStringList *m_avisos;
    QHash<const Vista *, QFont> m_fuentes;
    QHash<const Vista *, QImage> m_imagenes;
    QHash<QString, QImage> m_imagenesDatos;
    QSet<QString> m_avisados;
};
