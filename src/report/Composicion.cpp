#include "report/Composicion.h"

namespace {

class Compositor
{
public:
    Compositor(const Pagina &p, Composicion &c, int numeroInicial) : m_p(p), m_c(c), m_numero(numeroInicial)
    {
        m_x0 = p.margenIzquierdo;
        m_y0 = p.margenSuperior;
        m_ancho = p.anchoPapel - p.margenIzquierdo - p.margenDerecho;
        m_yFin = p.altoPapel - p.margenInferior;
        m_columnas = std::clamp(p.columnas, 1, 1000);
        for (int i = 0; i < m_columnas; ++i) {
            Longitud x;
            if (i < p.posicionesColumnas.size())
                x = p.posicionesColumnas[i];
            else
                x = (p.anchoColumna.esCero() ? m_ancho / double(m_columnas) : p.anchoColumna) * qint64(i);
            m_xCol.append(x);
        }
        m_anchoCol = p.columnas > 1 ? (p.anchoColumna.esCero() ? m_ancho / double(m_columnas) : p.anchoColumna) : m_ancho;
        for (const Banda &b : p.bandas) {
            switch (b.tipo) {
            case TipoBanda::TituloInforme: if (!m_titulo) m_titulo = &b; break;
            case TipoBanda::EncabezadoPagina: if (!m_encabezado) m_encabezado = &b; break;
            case TipoBanda::PiePagina: if (!m_piePagina) m_piePagina = &b; break;
            case TipoBanda::ResumenInforme: if (!m_resumen) m_resumen = &b; break;
            case TipoBanda::DatosMaestros: m_maestras.append(&b); break;
            default: break;
            }
        }
        // Cada pie de datos va con la banda de datos más cercana por encima
        for (const Banda &b : p.bandas) {
            if (b.tipo != TipoBanda::PieDatos)
                continue;
            const Banda *duena = nullptr;
            for (const Banda *m : m_maestras)
                if (m->arriba <= b.arriba && (!duena || m->arriba > duena->arriba))
                    duena = m;
            if (!duena && !m_maestras.isEmpty())
                duena = m_maestras.first();
            if (duena)
                m_pies.insert(duena, &b);
        }
    }

    void compone(const FilasDeBanda &filas, int saltar)
    {
        nuevaPagina();
        for (const Banda *m : m_maestras) {
            const int n = std::max(0, filas(*m));
            const int k = std::clamp(m->columnas, 1, 1000);
            const Longitud anchoEtq = k > 1 ? (m->anchoColumna.esCero() ? m_anchoCol / double(k) : m->anchoColumna)
                                            : (m->ancho.esCero() ? m_anchoCol : std::min(m->ancho, m_anchoCol));
            const Longitud paso = k > 1 ? (m->anchoColumna.esCero() ? m_anchoCol / double(k) : m->anchoColumna + m->espacioColumna)
                                        : Longitud();
            // Posiciones saltadas de una hoja ya usada: sólo en la primera banda de datos
            int total = n + saltar;
            for (int i = 0; i < total; i += k) {
                cabe(m->alto);
                for (int j = 0; j < k && i + j < total; ++j) {
                    const int r = i + j - saltar;
                    if (r < 0)
                        continue;
                    BandaColocada bc{m, m_x0 + m_xCol[m_col] + m->izquierda + paso * qint64(j), m_y, anchoEtq, m->alto, r, r + 1};
                    m_pagina->bandas.append(bc);
                    m_ultimaFila = r;
                    ++m_c.etiquetas;
                }
                m_y += m->alto;
            }
            saltar = 0;
            if (const Banda *pie = m_pies.value(m)) {
                cabe(pie->alto);
                coloca(*pie);
            }
        }
        if (m_resumen) {
            cabe(m_resumen->alto);
            coloca(*m_resumen);
        }
        cierraPagina();
    }

    int numero() const { return m_numero; }

private:
    Longitud limite() const { return m_piePagina ? m_yFin - m_piePagina->alto : m_yFin; }

    // Pasa a la siguiente columna o página si 'alto' no cabe
    void cabe(Longitud alto)
    {
        if (m_y + alto <= limite() || m_y == m_yCol)
            return; // cabe, o no cabría nunca: se pone recortada
        if (m_col + 1 < m_columnas) {
            ++m_col;
            m_y = m_yCol;
            return;
        }
        cierraPagina();
        nuevaPagina();
    }

    void coloca(const Banda &b)
    {
        m_pagina->bandas.append({&b, m_x0 + m_xCol[m_col] + b.izquierda, m_y, m_anchoCol, b.alto, m_ultimaFila, 0});
        m_y += b.alto;
    }

    void nuevaPagina()
    {
        PaginaCompuesta pc;
        pc.pagina = &m_p;
        pc.numero = m_numero++;
        m_c.paginas.append(pc);
        m_pagina = &m_c.paginas.last();
        m_y = m_y0;
        m_col = 0;
        // Título y encabezado a todo lo ancho
        if (m_primera && m_titulo) {
            m_pagina->bandas.append({m_titulo, m_x0 + m_titulo->izquierda, m_y, m_ancho, m_titulo->alto, -1, 0});
            m_y += m_titulo->alto;
        }
        if (m_encabezado && (!m_primera || m_encabezado->enPrimeraPagina)) {
            m_pagina->bandas.append({m_encabezado, m_x0 + m_encabezado->izquierda, m_y, m_ancho, m_encabezado->alto, m_ultimaFila, 0});
            m_y += m_encabezado->alto;
        }
        m_primera = false;
        m_yCol = m_y;
    }

    void cierraPagina()
    {
        if (m_piePagina)
            m_pagina->bandas.append({m_piePagina, m_x0 + m_piePagina->izquierda, m_yFin - m_piePagina->alto, m_ancho,
                                     m_piePagina->alto, m_ultimaFila, 0});
    }

    const Pagina &m_p;
    Composicion &m_c;
    int m_numero;
    PaginaCompuesta *m_pagina = nullptr;
    Longitud m_x0, m_y0, m_ancho, m_yFin, m_anchoCol;
    int m_columnas = 1;
    QList<Longitud> m_xCol;
    const Banda *m_titulo = nullptr, *m_encabezado = nullptr, *m_piePagina = nullptr, *m_resumen = nullptr;
    QList<const Banda *> m_maestras;
    QHash<const Banda *, const Banda *> m_pies;
    bool m_primera = true;
    Longitud m_y, m_yCol;
    int m_col = 0;
    int m_ultimaFila = -1;
};

} // namespace

Composicion Compone(const Plantilla &forma, const FilasDeBanda &filas, int primeraPosicion)
{
    Composicion c;
    int numero = 1;
    for (const Pagina &p : forma.paginas) {
        Compositor comp(p, c, numero);
        comp.compone(filas, primeraPosicion);
        primeraPosicion = 0;
        numero = comp.numero();
    }
    return c;
}
