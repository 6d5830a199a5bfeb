// Tabla en memoria y su modelo
#include "ImprimeQt.h"

#include "db/MemTable.h"
#include "db/MemTableModelo.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>
#include <map>
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
    // Tras vaciar, una marca vieja no señala a la fila nueva que ocupa su lugar
    t.primero();
    const MemTable::Marca vieja = t.marca();
    t.vacia();
    alta(t, QStringLiteral("X"), {}, 1);
    EXPECT_FALSE(t.marcaValida(vieja));
    EXPECT_FALSE(t.irA(vieja));
    EXPECT_TRUE(t.marcaValida(t.marca()));
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

// Operaciones al azar contra una referencia simple: la vista ordenada, las posiciones de las
// marcas y el índice deben seguir cuadrando tras altas, ediciones y bajas en cualquier lugar.
TEST(MemTable, VistaConsistenteConOperacionesAlAzar)
{
    MemTable t(QStringLiteral("mAzar"));
    t.agregaCampo(QStringLiteral("Id"), TipoCampo::AutoIncremento);
    t.agregaCampo(QStringLiteral("N"), TipoCampo::Entero);
    t.abre();
    t.creaIndice(QStringLiteral("Id"));
    t.creaIndice(QStringLiteral("N")); // claves muy repetidas
    std::map<qint64, qint64> referencia; // id -> N
    quint32 semilla = 12345;
    const auto azar = [&semilla](int tope) {
        semilla = semilla * 1103515245u + 12345u;
        return int((semilla >> 8) % quint32(tope));
    };
    for (int paso = 0; paso < 3000; ++paso) {
        if (paso == 500)
            t.ordenaPor(QStringLiteral("N"));
        if (paso == 2000)
            t.ordenaPor(QStringLiteral("N"), true);
        const int op = azar(10);
        if (op < 5 || t.cantidad() == 0) {
            t.agrega();
            t.asigna(QStringLiteral("N"), azar(50));
            t.graba();
            referencia[t.entero(QStringLiteral("Id"))] = t.entero(QStringLiteral("N"));
        } else if (op < 8) {
            ASSERT_TRUE(t.irAFila(azar(t.cantidad())));
            const qint64 id = t.entero(QStringLiteral("Id"));
            t.edita();
            t.asigna(QStringLiteral("N"), azar(50));
            t.graba();
            ASSERT_EQ(t.entero(QStringLiteral("Id")), id); // la fila editada sigue siendo la actual
            referencia[id] = t.entero(QStringLiteral("N"));
        } else {
            const qint64 id = referencia.begin()->first + azar(int(referencia.rbegin()->first - referencia.begin()->first + 1));
            const bool existe = referencia.count(id) > 0;
            ASSERT_EQ(t.busca(QStringLiteral("Id"), id), existe) << id;
            if (existe) {
                t.borra();
                referencia.erase(id);
            }
        }
        if (paso % 97 != 0 && paso < 2990)
            continue;
        ASSERT_EQ(t.cantidad(), int(referencia.size()));
        std::map<qint64, qint64> vistos;
        qint64 anterior = paso >= 2000 ? 1000 : -1;
        for (int i = 0; i < t.cantidad(); ++i) {
            const qint64 id = t.valorEn(i, 0).toLongLong(), n = t.valorEn(i, 1).toLongLong();
            vistos[id] = n;
            if (paso >= 500) {
                ASSERT_TRUE(paso >= 2000 ? n <= anterior : n >= anterior) << "paso " << paso << " fila " << i;
                anterior = n;
            }
            ASSERT_TRUE(t.irAFila(i));
            const MemTable::Marca m = t.marca();
            t.primero();
            ASSERT_TRUE(t.irA(m));
            ASSERT_EQ(t.recno(), i);
        }
        ASSERT_EQ(vistos, referencia);
        // El índice repetido da la primera fila de la vista con ese valor
        for (int v = 0; v < 50; v += 7) {
            int primera = -1;
            for (int i = 0; i < t.cantidad() && primera < 0; ++i)
                if (t.valorEn(i, 1).toLongLong() == v)
                    primera = i;
            ASSERT_EQ(t.busca(QStringLiteral("N"), v), primera >= 0) << "paso " << paso << " valor " << v;
            if (primera >= 0) {
                ASSERT_EQ(t.recno(), primera) << "paso " << paso << " valor " << v;
            }
        }
    }
}

TEST(MemTable, AutoincrementoConValorPuestoYDineroExacto)
{
    MemTable t;
    defineArticulos(t);
    t.agrega();
    t.asigna(QStringLiteral("Id"), 10);
    t.graba();
    alta(t, QStringLiteral("B"), {}, {});
    EXPECT_EQ(t.entero(QStringLiteral("Id")), 11); // no repite el puesto a mano

    // Diez veces 0.10 suman exactamente 1; 0.00005 redondea a la par
    Moneda suma;
    for (int i = 0; i < 10; ++i) {
        alta(t, QStringLiteral("C%1").arg(i), {}, 0.1);
        suma += t.moneda(QStringLiteral("Precio"));
    }
    EXPECT_EQ(suma.diezmilesimas(), 10000);
    struct Caso { QVariant entrada; qint64 esperado; };
    const Caso casos[] = {{QStringLiteral("0.00005"), 0}, {QStringLiteral("0.00015"), 2}, {qint64(7), 70000},
                          {QStringLiteral("-12.3456"), -123456}, {QVariant::fromValue(Moneda::deDiezmilesimas(1)), 1}};
    for (const Caso &c : casos)
        EXPECT_EQ(MemTable::convierte({QStringLiteral("x"), TipoCampo::Moneda, 0, false}, c.entrada).value<Moneda>().diezmilesimas(),
                  c.esperado)
            << c.entrada.toString().toStdString();
}

TEST(MemTableModelo, EdicionQueMueveLaFilaYColumnasPorOmision)
{
    MemTable t;
    defineArticulos(t);
    MemTableModelo m(&t);
    QAbstractItemModelTester probador(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(m.columnCount(), 6);
    t.agregaCampo(QStringLiteral("Nota"), TipoCampo::Texto, 5);
    EXPECT_EQ(m.columnCount(), 7); // sin columnas elegidas sigue a los campos
    for (const char *c : {"C", "A", "B"})
        alta(t, QString::fromLatin1(c), {}, 1);
    t.ordenaPor(QStringLiteral("Clave"));
    m.ponColumnas({{QStringLiteral("Clave"), QStringLiteral("Clave"), true, {}},
                   {QStringLiteral("Precio"), QStringLiteral("Precio"), false,
                    [](const QVariant &v) { return QStringLiteral("$ ") + v.value<Moneda>().texto(2); }}});
    EXPECT_EQ(m.data(m.index(0, 1)), QVariant(QStringLiteral("$ 1.00")));
    QSignalSpy movidas(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy quitadas(&m, &QAbstractItemModel::rowsRemoved);
    ASSERT_TRUE(m.setData(m.index(0, 0), QStringLiteral("Z")));
    EXPECT_EQ(quitadas.count(), 1);
    ASSERT_EQ(movidas.count(), 1);
    EXPECT_EQ(movidas.at(0).at(1).toInt(), 2);
    EXPECT_EQ(m.data(m.index(2, 0)), QVariant(QStringLiteral("Z")));
    EXPECT_EQ(m.data(m.index(0, 0)), QVariant(QStringLiteral("B")));
    // El filtro se ve en el modelo
    t.ponFiltro([](const FilaMem &f) { return f.valor(QStringLiteral("Clave")).toString() != QStringLiteral("B"); });
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.data(m.index(0, 0)), QVariant(QStringLiteral("C")));
}

TEST(MemTable, LocalizaYValorInicial)
{
    MemTable t(QStringLiteral("mArt"));
    defineArticulos(t);
    t.ponValorInicial(QStringLiteral("imprimir"), true);
    t.ponValorInicial(QStringLiteral("Cantidad"), QStringLiteral("1"));
    alta(t, QStringLiteral("A"), QStringLiteral("Pera"), 5, 3);
    EXPECT_TRUE(t.booleano(QStringLiteral("Imprimir"))); // sin asignar toma el inicial
    alta(t, QStringLiteral("B"), QStringLiteral("pera"), QStringLiteral("5.0000"), {});
    EXPECT_TRUE(t.esNulo(QStringLiteral("Cantidad"))); // asignar nulo gana al inicial
    alta(t, QStringLiteral("C"), QStringLiteral("Uva"), {}, 7);
    t.ponValorInicial(QStringLiteral("Imprimir"), QVariant());
    alta(t, QStringLiteral("D"), QStringLiteral("Higo"), 2, 7);
    EXPECT_TRUE(t.esNulo(QStringLiteral("Imprimir")));
    EXPECT_EQ(t.campoIndice(QStringLiteral("PRECIO")), 3);

    struct Caso { const char *campo; QVariant valor; bool sinMayusculas; const char *clave; };
    const Caso casos[] = {
        {"Nombre", QStringLiteral("pera"), false, "B"},
        {"Nombre", QStringLiteral("PERA"), true, "A"},
        {"Nombre", QStringLiteral("PERA"), false, nullptr},
        {"Precio", 5, false, "A"},             // 5 = "5.0000" como dinero
        {"Precio", QVariant(), false, "C"},    // el nulo se puede localizar
        {"Cantidad", QStringLiteral("7"), false, "C"},
        {"Cantidad", 8, false, nullptr},
        {"NoExiste", 1, false, nullptr},
    };
    for (const Caso &c : casos) {
        t.ultimo();
        const bool hallado = t.localiza(QString::fromLatin1(c.campo), c.valor, c.sinMayusculas);
        EXPECT_EQ(hallado, c.clave != nullptr) << c.campo << " " << c.valor.toString().toStdString();
        if (hallado && c.clave) {
            EXPECT_EQ(t.texto(QStringLiteral("Clave")), QString::fromLatin1(c.clave)) << c.campo;
        }
    }
    // Con índice y orden: la primera en el orden actual, y el índice sigue las ediciones
    t.creaIndice(QStringLiteral("Cantidad"));
    t.ordenaPor(QStringLiteral("Clave"), true);
    ASSERT_TRUE(t.localiza(QStringLiteral("Cantidad"), 7));
    EXPECT_EQ(t.texto(QStringLiteral("Clave")), QStringLiteral("D"));
    t.edita();
    t.asigna(QStringLiteral("Cantidad"), 9);
    t.graba();
    ASSERT_TRUE(t.localiza(QStringLiteral("Cantidad"), 7));
    EXPECT_EQ(t.texto(QStringLiteral("Clave")), QStringLiteral("C"));
}

TEST(MemTableModelo, SeleccionSigueALaFilaActual)
{
    MemTable t;
    defineArticulos(t);
    for (const char *c : {"A", "B", "C"})
        alta(t, QString::fromLatin1(c), {}, 1);
    MemTableModelo m(&t);
    QItemSelectionModel seleccion(&m);
    m.enlazaSeleccion(&seleccion);
    EXPECT_EQ(seleccion.currentIndex().row(), 2); // la última alta es la actual
    t.primero();
    EXPECT_EQ(seleccion.currentIndex().row(), 0);
    EXPECT_TRUE(seleccion.isRowSelected(0, {}));
    seleccion.setCurrentIndex(m.index(1, 2), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(t.texto(QStringLiteral("Clave")), QStringLiteral("B"));
    alta(t, QStringLiteral("D"), {}, 1);
    EXPECT_EQ(seleccion.currentIndex().row(), 3);
    EXPECT_EQ(seleccion.currentIndex().column(), 2); // conserva la columna
    t.borra();
    EXPECT_EQ(seleccion.currentIndex().row(), 2);
    // Tras un ciclo masivo la vista vuelve a la fila actual
    t.ordenaPor(QStringLiteral("Clave"), true);
    t.suspendeAvisos();
    alta(t, QStringLiteral("E"), {}, 1);
    t.reanudaAvisos();
    EXPECT_EQ(seleccion.currentIndex().row(), 0);
    EXPECT_EQ(t.texto(QStringLiteral("Clave")), QStringLiteral("E"));
}

TEST(MemTable, OrdenDeTextosEnEspanol)
{
    MemTable t;
    defineArticulos(t);
    const char *nombres[] = {"Zapato", "árbol", "Ñandú", "nuez", "Oso", "Baño", "Árbol", "banco"};
    for (const char *n : nombres)
        alta(t, QString::fromUtf8(n).left(8), QString::fromUtf8(n), 1);
    t.ordenaPor(QStringLiteral("Nombre"));
    // Acentos junto a su letra, la Ñ tras la N, mayúsculas indistintas (iguales en orden de alta)
    EXPECT_EQ(claves(t), QString::fromUtf8("árbol,Árbol,banco,Baño,nuez,Ñandú,Oso,Zapato").split(QLatin1Char(',')));
    // Una alta y una edición se colocan con el mismo cotejo
    alta(t, QStringLiteral("N2"), QString::fromUtf8("Ñu"), 1);
    t.busca(QStringLiteral("Clave"), QStringLiteral("Zapato"));
    t.edita();
    t.asigna(QStringLiteral("Nombre"), QString::fromUtf8("Ánfora"));
    t.graba();
    EXPECT_EQ(claves(t), QString::fromUtf8("Zapato,árbol,Árbol,banco,Baño,nuez,Ñandú,N2,Oso").split(QLatin1Char(',')));
}

TEST(MemTableModelo, RejillaRealConCasillaYSeleccion)
{
    MemTable t(QStringLiteral("mArt"));
    defineArticulos(t);
    t.ponValorInicial(QStringLiteral("Imprimir"), true);
    MemTableModelo m(&t);
    m.ponColumnas({{QStringLiteral("Imprimir"), QStringLiteral("Imprimir"), true, {}},
                   {QStringLiteral("Clave"), QStringLiteral("Clave"), false, {}}});
    QTableView vista;
    vista.setModel(&m);
    m.enlazaSeleccion(vista.selectionModel());
    vista.resize(400, 300);
    vista.show();
    for (int i = 0; i < 30; ++i)
        alta(t, QStringLiteral("K%1").arg(i), {}, i);
    EXPECT_EQ(vista.currentIndex().row(), 29);
    t.irAFila(3);
    EXPECT_EQ(vista.currentIndex().row(), 3);

    // Un clic en la casilla de la fila 1 la desmarca en la tabla
    vista.scrollToTop();
    const QModelIndex casilla = m.index(1, 0);
    QStyleOptionViewItem opcion;
    opcion.initFrom(vista.viewport());
    opcion.rect = vista.visualRect(casilla);
    opcion.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect marco = vista.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opcion, &vista);
    QTest::mouseClick(vista.viewport(), Qt::LeftButton, {}, marco.center());
    ASSERT_EQ(t.recno(), 1);
    EXPECT_FALSE(t.booleano(QStringLiteral("Imprimir")));
    EXPECT_EQ(m.data(casilla, Qt::CheckStateRole), QVariant(Qt::Unchecked));

    // Borrar con la rejilla a la vista y un ciclo masivo con orden
    t.borra();
    EXPECT_EQ(m.rowCount(), 29);
    EXPECT_EQ(vista.currentIndex().row(), 1);
    t.ordenaPor(QStringLiteral("Clave"), true);
    t.suspendeAvisos();
    t.primero();
    while (!t.eof()) {
        if (t.entero(QStringLiteral("Id")) % 2 == 0)
            t.borra();
        else
            t.siguiente();
    }
    t.reanudaAvisos();
    EXPECT_EQ(t.cantidad(), 15); // quedan K0, K2 .. K28
    EXPECT_EQ(m.rowCount(), 15);
    EXPECT_EQ(vista.currentIndex().row(), t.recno());
    EXPECT_EQ(vista.model()->data(vista.model()->index(0, 1)), QVariant(QStringLiteral("K8")));
    EXPECT_EQ(vista.model()->data(vista.model()->index(14, 1)), QVariant(QStringLiteral("K0")));
}

// Uso como la rejilla de cambio de precios: un manejador por campo que calcula otro campo,
// búsqueda por palabras que se vuelve a evaluar y recorrido de todas las filas con la búsqueda puesta
TEST(MemTable, ManejadorDeCampoYBusquedaPorPalabras)
{
    MemTable t(QStringLiteral("mCamb"));
    t.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 60);
    t.agregaCampo(QStringLiteral("CostoUC"), TipoCampo::Real);
    t.agregaCampo(QStringLiteral("pre_0"), TipoCampo::Moneda);
    t.agregaCampo(QStringLiteral("ut_0"), TipoCampo::Real);
    t.abre();
    MemTableModelo m(&t);
    QAbstractItemModelTester probador(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int ut = t.campoIndice(QStringLiteral("ut_0"));
    bool enCalculo = false;
    auto conexion = QObject::connect(&t, &MemTable::campoAsignado, &t, [&](int campo) {
        if (campo != ut || enCalculo)
            return;
        enCalculo = true;
        const double c = t.real(QStringLiteral("CostoUC"));
        t.asigna(campo - 1, c + c * t.real(campo) / 100);
        enCalculo = false;
    });
    const char *nombres[] = {"Tornillo para madera", "Clavo de acero", "TORNILLO de acero", "Martillo"};
    for (const char *n : nombres) {
        t.agrega();
        t.asigna(QStringLiteral("Nombre"), QString::fromUtf8(n));
        t.asigna(QStringLiteral("CostoUC"), 10.0);
        t.asigna(QStringLiteral("ut_0"), 25);
        t.graba();
    }
    EXPECT_EQ(t.moneda(QStringLiteral("pre_0")).diezmilesimas(), 125000);
    QObject::disconnect(conexion); // manejador quitado: la carga masiva no recalcula
    t.edita();
    t.asigna(QStringLiteral("ut_0"), 50);
    t.graba();
    EXPECT_EQ(t.moneda(QStringLiteral("pre_0")).diezmilesimas(), 125000);

    QStringList palabras;
    t.ponFiltro([&palabras](const FilaMem &f) {
        QString v = f.valor(0).toString().toUpper();
        for (const QString &p : palabras) {
            const int i = v.indexOf(p);
            if (p.isEmpty() || i < 0)
                return false;
            v.remove(i, p.size());
        }
        return true;
    });
    EXPECT_TRUE(t.filtrada());
    EXPECT_EQ(m.rowCount(), 4);
    palabras = QStringList{QStringLiteral("ACERO"), QStringLiteral("TORNI")};
    t.refiltra();
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.data(m.index(0, 0)), QVariant(QStringLiteral("TORNILLO de acero")));

    // Guardar recorre todas las filas aunque la búsqueda oculte algunas; un solo reinicio
    QSignalSpy reinicios(&m, &QAbstractItemModel::modelReset);
    const MemTable::Filtro busqueda = [&palabras](const FilaMem &f) {
        return palabras.isEmpty() || f.valor(0).toString().toUpper().contains(palabras.first());
    };
    t.ponFiltro(busqueda);
    reinicios.clear();
    t.suspendeAvisos();
    t.quitaFiltro();
    int todas = 0;
    for (t.primero(); !t.eof(); t.siguiente())
        ++todas;
    t.ponFiltro(busqueda);
    t.reanudaAvisos();
    EXPECT_EQ(todas, 4);
    EXPECT_EQ(reinicios.count(), 1);
    EXPECT_EQ(m.rowCount(), 2);
}

TEST(MemTable, BorraVariasFilas)
{
    MemTable t;
    defineArticulos(t);
    MemTableModelo m(&t);
    QAbstractItemModelTester probador(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char *c : {"A", "B", "C", "D", "E", "F"})
        alta(t, QString::fromLatin1(c), {}, 1);
    t.ordenaPor(QStringLiteral("Clave"), true); // F E D C B A
    QSignalSpy quitadas(&m, &QAbstractItemModel::rowsRemoved);
    EXPECT_EQ(t.borraFilas({4, 0, 2, 4, 9}), 3); // B, F, D; la repetida y la inexistente no cuentan
    EXPECT_EQ(quitadas.count(), 3);
    EXPECT_EQ(claves(t).join(QString()), QStringLiteral("ECA"));
}
