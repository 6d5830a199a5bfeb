// Tabla en memoria y su modelo
#include "ImprimeQt.h"

#include "db/MemTable.h"
#include "db/MemTableModelo.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

void defineArticulos(MemTable &t)
{
    t.agregaCampo(QStringLiteral("Id"), TipoCampo::AutoIncremento);
    t.agregaCampo(QStringLiteral("Clave"), TipoCampo::Texto, 8);
    t.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 50);
    t.agregaCampo(QStringLiteral("Precio"), TipoCampo::Moneda);
    t.agregaCampo(QStringLiteral("Cantidad"), TipoCampo::Entero);
    t.agregaCampo(QStringLiteral("Imprimir"), TipoCampo::Booleano);
    t.abre();
}

void alta(MemTable &t, const QString &clave, const QString &nombre, const QVariant &precio, const QVariant &cantidad = {})
{
    t.agrega();
    t.asigna(QStringLiteral("Clave"), clave);
    t.asigna(QStringLiteral("Nombre"), nombre);
    t.asigna(QStringLiteral("Precio"), precio);
    t.asigna(QStringLiteral("Cantidad"), cantidad);
    t.graba();
}

QStringList claves(const MemTable &t)
{
    QStringList r;
    const int c = t.indiceCampo(QStringLiteral("clave"));
    for (int i = 0; i < t.cantidad(); ++i)
        r << t.valorEn(i, c).toString();
    return r;
}

} // namespace

TEST(MemTable, TiposNulosYConversiones)
{
    MemTable t(QStringLiteral("mArt"));
    defineArticulos(t);
    alta(t, QStringLiteral("CLAVE-LARGA-123"), QString::fromUtf8("Lápiz"), QStringLiteral("1,234.5650"), QStringLiteral(""));
    EXPECT_EQ(t.texto(QStringLiteral("clave")), QStringLiteral("CLAVE-LA")); // cortado a 8
    EXPECT_EQ(t.moneda(QStringLiteral("Precio")).diezmilesimas(), 12345650);
    EXPECT_TRUE(t.esNulo(QStringLiteral("Cantidad"))); // texto vacío a entero: nulo
    EXPECT_TRUE(t.esNulo(QStringLiteral("Imprimir")));
    EXPECT_EQ(t.entero(QStringLiteral("Id")), 1);

    alta(t, QString(), QStringLiteral("Sin clave"), 0.1 + 0.2, 3.6);
    EXPECT_FALSE(t.esNulo(QStringLiteral("Clave"))); // vacío no es nulo
    EXPECT_EQ(t.texto(QStringLiteral("Clave")), QString());
    EXPECT_EQ(t.moneda(QStringLiteral("Precio")).diezmilesimas(), 3000);
    EXPECT_EQ(t.entero(QStringLiteral("Cantidad")), 4);

    struct Caso { TipoCampo tipo; QVariant entrada; QVariant esperado; };
    const Caso casos[] = {
        {TipoCampo::Booleano, QStringLiteral("S"), true},
        {TipoCampo::Booleano, QStringLiteral("N"), false},
        {TipoCampo::Entero, QStringLiteral("12x"), QVariant()},
        {TipoCampo::Real, QStringLiteral("2.5"), 2.5},
        {TipoCampo::Fecha, QStringLiteral("2024-02-29"), QDate(2024, 2, 29)},
        {TipoCampo::FechaHora, QDate(2024, 1, 5), QDate(2024, 1, 5).startOfDay()},
        {TipoCampo::Moneda, QStringLiteral("abc"), QVariant()},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(MemTable::convierte({QStringLiteral("x"), c.tipo, 0, false}, c.entrada), c.esperado) << c.entrada.toString().toStdString();
}

TEST(MemTable, CamposEnTiempoDeEjecucionConFilas)
{
    MemTable t;
    defineArticulos(t);
    alta(t, QStringLiteral("A"), QStringLiteral("Uno"), 10);
    alta(t, QStringLiteral("B"), QStringLiteral("Dos"), 20);
    t.agregaCampo(QStringLiteral("Precio2"), TipoCampo::Moneda);
    EXPECT_FALSE(t.valorEn(0, t.indiceCampo(QStringLiteral("Precio2"))).isValid());
    ASSERT_TRUE(t.asignaEn(1, t.indiceCampo(QStringLiteral("Precio2")), 7));
    ASSERT_TRUE(t.quitaCampo(QStringLiteral("Nombre")));
    EXPECT_EQ(t.indiceCampo(QStringLiteral("Nombre")), -1);
    EXPECT_EQ(t.valorEn(1, t.indiceCampo(QStringLiteral("Precio2"))).value<Moneda>().diezmilesimas(), 70000);
    EXPECT_EQ(t.valorEn(1, t.indiceCampo(QStringLiteral("Clave"))), QVariant(QStringLiteral("B")));
    EXPECT_THROW(t.agregaCampo(QStringLiteral("clave"), TipoCampo::Texto), std::logic_error);
}

TEST(MemTable, AutoincrementoBajasYReapertura)
{
    MemTable t;
    defineArticulos(t);
    for (const char *c : {"A", "B", "C"})
        alta(t, QString::fromLatin1(c), {}, 1);
    t.ultimo();
    t.borra();
    alta(t, QStringLiteral("D"), {}, 1);
    EXPECT_EQ(t.entero(QStringLiteral("Id")), 4); // no reutiliza el 3
    EXPECT_EQ(claves(t), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("D")}));
    // Recorrido clásico
    QStringList vistos;
    for (t.primero(); !t.eof(); t.siguiente())
        vistos << t.texto(QStringLiteral("Clave"));
    EXPECT_EQ(vistos, claves(t));
    t.cierra();
    EXPECT_FALSE(t.activa());
    t.abre();
    EXPECT_EQ(t.cantidad(), 0);
    EXPECT_TRUE(t.eof());
    alta(t, QStringLiteral("E"), {}, 1);
    EXPECT_EQ(t.entero(QStringLiteral("Id")), 1);
}

TEST(MemTable, OrdenEstableFiltroYMarcas)
{
    MemTable t;
    defineArticulos(t);
    alta(t, QStringLiteral("A"), QStringLiteral("pera"), 5);
    alta(t, QStringLiteral("B"), QStringLiteral("Manzana"), {});
    alta(t, QStringLiteral("C"), QStringLiteral("uva"), 5);
    alta(t, QStringLiteral("D"), QStringLiteral("kiwi"), 1);
    t.irAFila(2);
    const MemTable::Marca marcaC = t.marca();

    t.ordenaPor(QStringLiteral("Precio"));
    EXPECT_EQ(claves(t), (QStringList{QStringLiteral("B"), QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("C")}));
    EXPECT_EQ(t.texto(QStringLiteral("Clave")), QStringLiteral("C")); // la fila actual se conserva
    alta(t, QStringLiteral("E"), QStringLiteral("higo"), 5); // va tras los iguales
    EXPECT_EQ(claves(t).join(QString()), QStringLiteral("BDACE"));
    t.ordenaPor(QStringLiteral("Nombre"), true);
    EXPECT_EQ(claves(t).join(QString()), QStringLiteral("CABDE"));

    t.ponFiltro([](const FilaMem &f) { return f.valor(QStringLiteral("Precio")).isValid(); });
    EXPECT_EQ(claves(t).join(QString()), QStringLiteral("CADE"));
    ASSERT_TRUE(t.irA(marcaC));
    EXPECT_EQ(t.texto(QStringLiteral("Nombre")), QStringLiteral("uva"));
    // Editar una fila para que no pase el filtro la saca de la vista
    t.irAFila(0);
    t.edita();
    t.asigna(QStringLiteral("Precio"), QVariant());
    t.graba();
    EXPECT_EQ(claves(t).join(QString()), QStringLiteral("ADE"));
    EXPECT_FALSE(t.marcaValida(marcaC));
    t.quitaFiltro();
    t.quitaOrden();
    EXPECT_EQ(claves(t).join(QString()), QStringLiteral("ABCDE"));
    EXPECT_TRUE(t.irA(marcaC));
    t.borra();
    EXPECT_FALSE(t.irA(marcaC));
}

TEST(MemTable, IndiceAlDiaTrasEdicionYBaja)
{
    MemTable t;
    defineArticulos(t);
    for (int i = 0; i < 50; ++i)
        alta(t, QStringLiteral("K%1").arg(i), {}, i);
    t.creaIndice(QStringLiteral("Clave"));
    t.creaIndice(QStringLiteral("Precio"));
    ASSERT_TRUE(t.busca(QStringLiteral("clave"), QStringLiteral("K42")));
    EXPECT_EQ(t.recno(), 42);
    ASSERT_TRUE(t.busca(QStringLiteral("Precio"), QStringLiteral("7.00")));
    EXPECT_EQ(t.texto(QStringLiteral("Clave")), QStringLiteral("K7"));
    t.edita();
    t.asigna(QStringLiteral("Clave"), QStringLiteral("NUEVA"));
    t.graba();
    EXPECT_FALSE(t.busca(QStringLiteral("Clave"), QStringLiteral("K7")));
    EXPECT_TRUE(t.busca(QStringLiteral("Clave"), QStringLiteral("NUEVA")));
    t.borra();
    EXPECT_FALSE(t.busca(QStringLiteral("Clave"), QStringLiteral("NUEVA")));
    alta(t, QStringLiteral("K3"), {}, 1); // repetida: gana la primera en la vista
    t.ordenaPor(QStringLiteral("Id"), true);
    ASSERT_TRUE(t.busca(QStringLiteral("Clave"), QStringLiteral("K3")));
    EXPECT_EQ(t.entero(QStringLiteral("Id")), 51);
    // Sin índice se recorre
    ASSERT_TRUE(t.busca(QStringLiteral("Nombre"), QString()));
    EXPECT_FALSE(t.busca(QStringLiteral("Nombre"), QVariant())); // vacío no es nulo
}

TEST(MemTableModelo, AvisosYEdicion)
{
    MemTable t;
    defineArticulos(t);
    MemTableModelo m(&t);
    QAbstractItemModelTester probador(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    m.ponColumnas({{QStringLiteral("Imprimir"), QStringLiteral("Imp."), true, {}},
                   {QStringLiteral("Clave"), QStringLiteral("Clave"), false, {}},
                   {QStringLiteral("Precio"), QStringLiteral("Precio"), true, {}}});
    QSignalSpy insertadas(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy borradas(&m, &QAbstractItemModel::rowsRemoved);
    QSignalSpy cambios(&m, &QAbstractItemModel::dataChanged);
    QSignalSpy reinicios(&m, &QAbstractItemModel::modelReset);

    alta(t, QStringLiteral("A"), {}, QStringLiteral("12.5"));
    alta(t, QStringLiteral("B"), {}, 3);
    EXPECT_EQ(insertadas.count(), 2);
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.data(m.index(0, 2)), QVariant(QStringLiteral("12.50")));
    EXPECT_EQ(m.headerData(0, Qt::Horizontal), QVariant(QStringLiteral("Imp.")));

    // Casilla de verificación sobre un booleano
    EXPECT_TRUE(m.flags(m.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(m.flags(m.index(0, 1)) & Qt::ItemIsEditable);
    ASSERT_TRUE(m.setData(m.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    t.irAFila(1);
    EXPECT_TRUE(t.booleano(QStringLiteral("Imprimir")));
    EXPECT_EQ(m.data(m.index(1, 0), Qt::CheckStateRole), QVariant(Qt::Checked));
    ASSERT_TRUE(m.setData(m.index(1, 2), 4.25));
    EXPECT_EQ(t.moneda(QStringLiteral("Precio")).diezmilesimas(), 42500);
    EXPECT_GE(cambios.count(), 2);
    EXPECT_FALSE(m.setData(m.index(1, 1), QStringLiteral("X")));

    t.primero();
    t.borra();
    EXPECT_EQ(borradas.count(), 1);

    // Ciclo masivo: ningún aviso por fila, un reinicio
    const int antes = insertadas.count();
    t.ordenaPor(QStringLiteral("Clave"), true);
    const int reiniciosAntes = reinicios.count();
    t.suspendeAvisos();
    t.suspendeAvisos();
    for (int i = 0; i < 200; ++i)
        alta(t, QStringLiteral("Z%1").arg(i, 3, 10, QLatin1Char('0')), {}, i);
    t.reanudaAvisos();
    EXPECT_EQ(reinicios.count(), reiniciosAntes);
    t.reanudaAvisos();
    EXPECT_EQ(insertadas.count(), antes);
    EXPECT_EQ(reinicios.count(), reiniciosAntes + 1);
    EXPECT_EQ(m.rowCount(), 201);
    EXPECT_EQ(m.data(m.index(0, 1)), QVariant(QStringLiteral("Z199"))); // reordenado al reanudar

    t.agregaCampo(QStringLiteral("Extra"), TipoCampo::Texto, 10);
    t.cierra();
    EXPECT_EQ(m.rowCount(), 0);
}
