#pragma once

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// Códigos de barras con libzint, como figuras (rectángulos y textos) que se dibujan a
// cualquier escala: vectores en PDF e impresora, módulos enteros en imágenes.

struct SimboloBarras
{
    struct Texto
    {
        QPointF posicion;   // línea base
        double tamano = 0;
        int alineacion = 0; // 0 centro, 1 izquierda, 2 derecha
        QString texto;
    };
    bool valido = false;
    bool bidimensional = false;
    QString error;
    double ancho = 0, alto = 0; // en módulos
    QList<QRectF> barras;
    QList<Texto> textos;
    QString legible;            // texto para leer (con el dígito verificador que agregue zint)
};

// Simbología de zint para un BarType de las formas; -1 si no se conoce
int SimbologiaZint(const QString &tipoBarras);

// Codifica 'datos'. altoBarras: alto de las barras en módulos (0 = el de zint).
SimboloBarras CodificaBarras(const QString &tipoBarras, const QString &datos, bool muestraTexto, bool verificador,
                             double altoBarras = 0);

// Dibuja el código dentro de 'destino' (coordenadas del pintor). Los lineales llenan el
// rectángulo; los bidimensionales quedan cuadrados y centrados.
void DibujaBarras(QPainter &p, const SimboloBarras &s, const QRectF &destino, const QString &fuente);

// Codifica ajustando el alto de las barras a la proporción de 'destino' y dibuja; con
// muestraTexto, el texto legible va debajo con la fuente dada (alto en unidades del pintor)
bool DibujaCodigo(QPainter &p, const QString &tipoBarras, const QString &datos, bool muestraTexto, bool verificador,
                  const QRectF &destino, const QFont &fuente, QString *error = nullptr);
