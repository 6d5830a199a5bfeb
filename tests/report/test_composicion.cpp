// Composición: páginas, columnas de página y de banda, encabezados y pies
#include "report/ArchivoForma.h"
#include "report/Composicion.h"

#include "Entorno.h"
#include "ImprimeQt.h"

#include <gtest/gtest.h>

namespace {

Plantilla Forma(const QString &nombre)
{
    Plantilla p;
    QString error;
    EXPECT_TRUE(LeeForma(Entorno::fuentes() + "/Formatos/" + nombre + ".fr3", p, error)) << error.toStdString();
    return p;
}

QList<const BandaColocada *> Datos(const Composicion &c)
{
    QList<const BandaColocada *> r;
    for (const PaginaCompuesta &p : c.paginas)
        for (const BandaColocada &b : p.bandas)
            if (b.banda->tipo == TipoBanda::DatosMaestros)
                r << &b;
    return r;
}

} // namespace

TEST(Composicion, HojaDe3x10CuentaPaginasYColoca)
{
    const Plantilla forma = Forma("Anaquel 3x10 Carta");
    struct Caso
    {
        int registros, paginas;
    };
    for (const Caso c : {Caso{0, 1}, Caso{1, 1}, Caso{29, 1}, Caso{30, 1}, Caso{31, 2}, Caso{60, 2}, Caso{61, 3}, Caso{1000, 34},
                         Caso{10000, 334}}) {
        const Composicion comp = Compone(forma, [&](const Banda &) { return c.registros; });
        EXPECT_EQ(comp.paginas.size(), c.paginas) << c.registros;
        EXPECT_EQ(comp.etiquetas, c.registros);
        EXPECT_EQ(comp.paginas.last().numero, c.paginas);
    }
    const Composicion comp = Compone(forma, [](const Banda &) { return 31; });
    const auto d = Datos(comp);
    ASSERT_EQ(d.size(), 31);
    // Columnas de la banda: de izquierda a derecha, luego la fila siguiente
    const Longitud x0 = Longitud::deMm(4.7625), y0 = Longitud::deMm(12.7);
    const Longitud paso = Longitud::deUnidades(252 + 12);
    const Longitud alto = Longitud::deUnidades(96);
    EXPECT_EQ(d[0]->x, x0);
    EXPECT_EQ(d[0]->y, y0);
    EXPECT_EQ(d[1]->x, x0 + paso);
    EXPECT_EQ(d[2]->x, x0 + paso * qint64(2));
    EXPECT_EQ(d[2]->y, y0);
    EXPECT_EQ(d[3]->x, x0);
    EXPECT_EQ(d[3]->y, y0 + alto);
    EXPECT_EQ(d[29]->y, y0 + alto * qint64(9));
    EXPECT_EQ(d[0]->ancho, Longitud::deUnidades(252));
    // La etiqueta 31 empieza la segunda hoja arriba a la izquierda
    EXPECT_EQ(d[30]->x, x0);
    EXPECT_EQ(d[30]->y, y0);
    EXPECT_EQ(comp.paginas[1].bandas.size(), 1);
    EXPECT_EQ(d[30]->fila, 30);
    // La última fila no se sale del papel
    EXPECT_LE(d[29]->y + alto, forma.paginas[0].altoPapel - forma.paginas[0].margenInferior);
}

TEST(Composicion, HojaUsadaEnParteEmpiezaEnLaPosicionDada)
{
    const Plantilla forma = Forma("Anaquel 3x10 Carta");
    const Composicion comp = Compone(forma, [](const Banda &) { return 30; }, 4);
    const auto d = Datos(comp);
    ASSERT_EQ(d.size(), 30);
    EXPECT_EQ(comp.paginas.size(), 2);
    EXPECT_EQ(d[0]->fila, 0);
    EXPECT_EQ(d[0]->x, Longitud::deMm(4.7625) + Longitud::deUnidades(264)); // posición 4: fila 2, columna 2
    EXPECT_EQ(d[0]->y, Longitud::deMm(12.7) + Longitud::deUnidades(96));
    EXPECT_EQ(comp.paginas[1].bandas.size(), 4);
}

TEST(Composicion, ColumnasDePaginaYEtiquetaTermica)
{
    // Cartel: dos columnas de página; cada registro llena una columna de arriba abajo
    const Plantilla cartel = Forma("Cartel de Precio");
    const Composicion c = Compone(cartel, [](const Banda &) { return 5; });
    EXPECT_EQ(c.paginas.size(), 3);
    const auto d = Datos(c);
    ASSERT_EQ(d.size(), 5);
    EXPECT_EQ(d[0]->x, Longitud::deMm(10));
    EXPECT_EQ(d[1]->x, Longitud::deMm(10 + 129.7));
    EXPECT_EQ(d[1]->y, d[0]->y);
    EXPECT_EQ(d[2]->x, Longitud::deMm(10));
    EXPECT_EQ(d[0]->ancho, Longitud::deMm(129.7));

    // Térmica: una etiqueta por página de 50 x 25 mm
    const Plantilla termica = Forma("Termica 50x25");
    const Composicion t = Compone(termica, [](const Banda &) { return 7; });
    EXPECT_EQ(t.paginas.size(), 7);
    for (const PaginaCompuesta &p : t.paginas) {
        ASSERT_EQ(p.bandas.size(), 1);
        EXPECT_EQ(p.bandas[0].y, Longitud());
    }
    // Dos precios: 2 x 7
    const Composicion dos = Compone(Forma("Dos Precios"), [](const Banda &) { return 15; });
    EXPECT_EQ(dos.paginas.size(), 2);
    EXPECT_EQ(dos.paginas[0].bandas.size(), 14);
}

TEST(Composicion, TituloEncabezadoPiesYPaginaNueva)
{
    Plantilla p;
    Pagina pg;
    pg.anchoPapel = Longitud::deUnidades(500);
    pg.altoPapel = Longitud::deUnidades(400);
    pg.margenIzquierdo = pg.margenDerecho = pg.margenSuperior = pg.margenInferior = Longitud::deUnidades(10);
    auto banda = [](TipoBanda t, double alto, double arriba) {
        Banda b;
        b.tipo = t;
        b.alto = Longitud::deUnidades(alto);
        b.arriba = Longitud::deUnidades(arriba);
        return b;
    };
    pg.bandas = {banda(TipoBanda::TituloInforme, 50, 0), banda(TipoBanda::EncabezadoPagina, 20, 60),
                 banda(TipoBanda::DatosMaestros, 100, 100), banda(TipoBanda::PieDatos, 30, 220),
                 banda(TipoBanda::PiePagina, 20, 300)};
    pg.bandas[2].filas = 5; // sin conjunto: RowCount
    p.paginas << pg;
    const Composicion c = Compone(p, [](const Banda &b) { return b.filas; });
    // Página 1: título 50 + encabezado 20 + 2 registros (200) = 280; límite 390 - 20 = 370
    // Página 2: encabezado + 3 registros = 320; el pie de datos (30) cabe justo a 350
    ASSERT_EQ(c.paginas.size(), 2);
    auto tipos = [](const PaginaCompuesta &pc) {
        QList<TipoBanda> r;
        for (const BandaColocada &b : pc.bandas)
            r << b.banda->tipo;
        return r;
    };
    EXPECT_EQ(tipos(c.paginas[0]), (QList<TipoBanda>{TipoBanda::TituloInforme, TipoBanda::EncabezadoPagina, TipoBanda::DatosMaestros,
                                                     TipoBanda::DatosMaestros, TipoBanda::PiePagina}));
    EXPECT_EQ(tipos(c.paginas[1]), (QList<TipoBanda>{TipoBanda::EncabezadoPagina, TipoBanda::DatosMaestros, TipoBanda::DatosMaestros,
                                                     TipoBanda::DatosMaestros, TipoBanda::PieDatos, TipoBanda::PiePagina}));
    EXPECT_EQ(c.paginas[0].bandas[4].y, Longitud::deUnidades(370));
    EXPECT_EQ(c.paginas[1].bandas[4].y, Longitud::deUnidades(330));
    EXPECT_EQ(c.paginas[1].bandas[4].fila, 4); // el pie ve el último registro

    // Una banda más alta que la página no cicla: se pone recortada, una por página
    Plantilla alta = p;
    alta.paginas[0].bandas[2].alto = Longitud::deUnidades(1000);
    const Composicion ca = Compone(alta, [](const Banda &b) { return b.filas; });
    EXPECT_EQ(ca.etiquetas, 5);
    EXPECT_LE(ca.paginas.size(), 7);
}
