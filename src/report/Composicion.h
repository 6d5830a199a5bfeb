#pragma once

#include "report/Plantilla.h"

#include <QHash>
#include <QList>

#include <functional>

// Composición: dónde va cada banda en cada página, sin dibujar nada.
// La usan el dibujo con QPainter y cualquier otra salida (p. ej. ZPL).

struct BandaColocada
{
    const Banda *banda = nullptr;
    Longitud x, y;          // origen de la banda en la página (desde la esquina del papel)
    Longitud ancho, alto;   // recorte de la banda (una etiqueta)
    int fila = -1;          // registro de datos (o el último impreso, en encabezados y pies)
    int linea = 0;          // número de registro en su banda, desde 1
};

struct PaginaCompuesta
{
    const Pagina *pagina = nullptr;
    int numero = 1;         // desde 1
    QList<BandaColocada> bandas;
};

struct Composicion
{
    QList<PaginaCompuesta> paginas;
    int etiquetas = 0;      // registros colocados de bandas de datos
};

// Filas que imprime cada banda de datos (según el conjunto ligado)
using FilasDeBanda = std::function<int(const Banda &)>;

// Pone el título en la primera página, el encabezado y el pie en cada una, las bandas de
// datos (una por registro) en las columnas de la banda y luego en las columnas de la página,
// pasando de página cuando no cabe, y el pie de datos tras el último registro.
// 'primeraPosicion' salta etiquetas de una hoja ya usada en parte.
Composicion Compone(const Plantilla &forma, const FilasDeBanda &filas, int primeraPosicion = 0);
