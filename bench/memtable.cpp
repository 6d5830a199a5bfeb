// Medidas de la tabla en memoria con 100,000 filas
#include "db/MemTable.h"
#include "db/MemTableModelo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    MemTable t(QStringLiteral("mArt"));
    t.agregaCampo(QStringLiteral("Id"), TipoCampo::AutoIncremento);
    t.agregaCampo(QStringLiteral("Clave"), TipoCampo::Texto, 20);
    t.agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 100);
    t.agregaCampo(QStringLiteral("ArticuloID"), TipoCampo::Entero);
    t.agregaCampo(QStringLiteral("Cantidad"), TipoCampo::Entero);
    t.agregaCampo(QStringLiteral("Precio1"), TipoCampo::Moneda);
    t.agregaCampo(QStringLiteral("Precio2"), TipoCampo::Moneda);
    t.agregaCampo(QStringLiteral("Costo"), TipoCampo::Real);
    t.agregaCampo(QStringLiteral("Imprimir"), TipoCampo::Booleano);
    t.agregaCampo(QStringLiteral("Fecha"), TipoCampo::Fecha);
    t.abre();
    t.creaIndice(QStringLiteral("Clave"));
    MemTableModelo modelo(&t);

    QElapsedTimer r;
    r.start();
    t.suspendeAvisos();
    for (int i = 0; i < n; ++i) {
        t.agrega();
        t.asigna(1, QStringLiteral("750%1").arg(qint64(i) * 7919 % 1000003, 10, 10, QLatin1Char('0')));
        t.asigna(2, QStringLiteral("Artículo número %1").arg(n - i));
        t.asigna(3, qint64(i + 1));
        t.asigna(4, qint64(i % 7));
        t.asigna(5, QVariant::fromValue(Moneda::deDiezmilesimas(i * 101)));
        t.asigna(6, QVariant::fromValue(Moneda::deDiezmilesimas(i * 97)));
        t.asigna(7, double(i) / 3.0);
        t.asigna(8, (i % 2) == 0);
        t.asigna(9, QDate(2024, 1, 1).addDays(i % 365));
        t.graba();
    }
    t.reanudaAvisos();
    const double msAlta = r.nsecsElapsed() / 1e6;

    r.restart();
    int hallados = 0;
    for (int i = 0; i < n; ++i)
        if (t.busca(QStringLiteral("Clave"),
                    QStringLiteral("750%1").arg(qint64(i) * 7919 % 1000003, 10, 10, QLatin1Char('0'))))
            ++hallados;
    const double msBusca = r.nsecsElapsed() / 1e6;

    r.restart();
    t.ordenaPor(QStringLiteral("Nombre"));
    const double msOrden = r.nsecsElapsed() / 1e6;

    r.restart();
    t.ponFiltro([](const FilaMem &f) { return f.valor(8).toBool(); });
    const double msFiltro = r.nsecsElapsed() / 1e6;
    const int filtradas = t.cantidad();
    t.quitaFiltro();

    r.restart();
    qint64 suma = 0;
    for (int i = 0; i < modelo.rowCount(); ++i)
        suma += modelo.data(modelo.index(i, 3)).toLongLong();
    const double msModelo = r.nsecsElapsed() / 1e6;

    r.restart();
    t.ultimo();
    for (int i = 0; i < 1000; ++i)
        t.borra();
    const double msBorra = r.nsecsElapsed() / 1e6;

    // Bajas por clave en lugares dispersos (búsqueda + baja alternadas)
    r.restart();
    int bajas = 0;
    for (int i = 0; i < n / 2; i += 1)
        if (t.busca(QStringLiteral("Clave"), QStringLiteral("750%1").arg(qint64(i) * 7919 % 1000003, 10, 10, QLatin1Char('0')))) {
            t.borra();
            ++bajas;
        }
    const double msBajasClave = r.nsecsElapsed() / 1e6;

    // Altas con orden activo y avisos al modelo (cada una en su lugar)
    r.restart();
    for (int i = 0; i < n / 2; ++i) {
        t.agrega();
        t.asigna(1, QStringLiteral("X%1").arg(i));
        t.asigna(2, QStringLiteral("Artículo número %1").arg(i * 3));
        t.graba();
    }
    const double msAltaOrden = r.nsecsElapsed() / 1e6;

    // Reinicio del modelo tras un ciclo masivo (reordena la vista al reanudar)
    int reinicios = 0;
    QObject::connect(&modelo, &QAbstractItemModel::modelReset, &modelo, [&reinicios] { ++reinicios; });
    r.restart();
    t.suspendeAvisos();
    t.reanudaAvisos();
    const int filasModelo = modelo.rowCount();
    const double msReinicio = r.nsecsElapsed() / 1e6;

    // Altas sin suspender avisos, con el modelo escuchando (un aviso por fila)
    MemTable t2(QStringLiteral("mArtImp"));
    t2.agregaCampo(QStringLiteral("Consecutivo"), TipoCampo::AutoIncremento);
    t2.agregaCampo(QStringLiteral("ID"), TipoCampo::Entero);
    t2.agregaCampo(QStringLiteral("clave"), TipoCampo::Texto, 30);
    t2.abre();
    t2.creaIndice(QStringLiteral("ID"));
    MemTableModelo modelo2(&t2);
    int avisos = 0;
    QObject::connect(&modelo2, &QAbstractItemModel::rowsInserted, &modelo2, [&avisos] { ++avisos; });
    r.restart();
    for (int i = 0; i < n; ++i) {
        t2.agrega();
        t2.asigna(1, qint64(i));
        t2.asigna(2, QStringLiteral("C%1").arg(i));
        t2.graba();
    }
    const double msAltaAvisos = r.nsecsElapsed() / 1e6;

    // Índice con una clave muy repetida (filas sin artículo: ID nulo); cada baja y cada
    // edición quitan una entrada entre miles iguales
    r.restart();
    t2.suspendeAvisos();
    t2.vacia();
    const int nRep = n / 5;
    for (int i = 0; i < nRep; ++i) {
        t2.agrega();
        t2.asigna(2, QStringLiteral("N%1").arg(i));
        t2.graba();
    }
    for (t2.primero(); !t2.eof(); t2.siguiente()) {
        t2.edita();
        t2.asigna(1, (t2.recno() % 2) ? QVariant() : QVariant(qint64(0)));
        t2.graba();
    }
    while (t2.cantidad() > 0) {
        t2.primero();
        t2.borra();
    }
    t2.reanudaAvisos();
    const double msRepetidas = r.nsecsElapsed() / 1e6;

    std::printf("Filas: %d (10 campos, índice por Clave)\n", n);
    std::printf("Alta de %d filas (avisos suspendidos):  %9.1f ms  (%.2f us/fila)\n", n, msAlta, msAlta * 1000 / n);
    std::printf("%d búsquedas por índice:               %9.1f ms  (%d halladas)\n", n, msBusca, hallados);
    std::printf("Orden por texto:                        %9.1f ms\n", msOrden);
    std::printf("Filtro:                                 %9.1f ms  (%d filas)\n", msFiltro, filtradas);
    std::printf("Lectura de una columna por el modelo:   %9.1f ms  (suma %lld)\n", msModelo, suma);
    std::printf("1000 bajas desde el final:              %9.1f ms\n", msBorra);
    std::printf("%d búsquedas + bajas dispersas:         %9.1f ms  (%d bajas)\n", n / 2, msBajasClave, bajas);
    std::printf("%d altas en su lugar con orden y avisos: %9.1f ms\n", n / 2, msAltaOrden);
    std::printf("Reinicio del modelo tras ciclo masivo:  %9.1f ms  (%d reinicio, %d filas)\n", msReinicio, reinicios,
                filasModelo);
    std::printf("%d altas con un aviso al modelo por fila: %9.1f ms  (%d avisos)\n", n, msAltaAvisos, avisos);
    std::printf("%d altas, ediciones y bajas con clave repetida en el índice: %9.1f ms\n", nRep, msRepetidas);
    return (hallados == n && reinicios == 1 && avisos == n) ? 0 : 1;
}
