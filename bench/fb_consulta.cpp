// Costo por llamada: sentencia preparada reutilizada contra preparar cada vez
#include "BasePrueba.h"

#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int N = 2000;
    try {
        const QString base = BasePrueba::creaBase(QStringLiteral("bench"));
        auto c = BasePrueba::conecta(base);
        Script s(*c);
        s.setTexto(QStringLiteral("CREATE TABLE ART (ID INTEGER PRIMARY KEY, NOMBRE VARCHAR(40), PRECIO NUMERIC(18,4));"));
        s.ejecuta();
        Transaccion t(*c);
        {
            Consulta ins(*c, t);
            ins.setSql(QStringLiteral("INSERT INTO ART VALUES (:id, :nombre, :precio)"));
            for (int i = 0; i < N; ++i) {
                ins.asigna(QStringLiteral("id"), i);
                ins.asigna(QStringLiteral("nombre"), QStringLiteral("Artículo %1").arg(i));
                ins.asigna(QStringLiteral("precio"), Moneda::deDiezmilesimas(i * 1234));
                ins.ejecuta();
            }
            t.confirma();
        }
        const QString sql = QStringLiteral("SELECT NOMBRE, PRECIO FROM ART WHERE ID = :id");
        qint64 suma = 0;

        // Varias rondas alternadas; se toma la mejor de cada modo (la máquina puede estar ocupada)
        constexpr int Rondas = 3;
        Consulta q(*c, t);
        q.setSql(sql);
        q.prepara();
        double reutilizada = 1e30;
        double preparando = 1e30;
        QElapsedTimer reloj;
        for (int ronda = 0; ronda < Rondas; ++ronda) {
            reloj.start();
            for (int i = 0; i < N; ++i) {
                q.asigna(QStringLiteral("id"), i);
                q.ejecuta();
                suma += q.campo(1).moneda().diezmilesimas();
                q.cierra();
            }
            reutilizada = std::min(reutilizada, double(reloj.nsecsElapsed()) / N / 1000.0);

            reloj.restart();
            for (int i = 0; i < N; ++i) {
                Consulta nueva(*c, t);
                nueva.setSql(sql);
                nueva.asigna(QStringLiteral("id"), i);
                nueva.ejecuta();
                suma -= nueva.campo(1).moneda().diezmilesimas();
                nueva.cierra();
            }
            preparando = std::min(preparando, double(reloj.nsecsElapsed()) / N / 1000.0);
        }
        t.confirma();

        std::printf("fb_consulta N=%d (mejor de %d rondas)\n", N, Rondas);
        std::printf("  preparada y reutilizada: %8.1f us/llamada\n", reutilizada);
        std::printf("  preparando cada vez:     %8.1f us/llamada\n", preparando);
        std::printf("  relación:                %8.2fx\n", preparando / reutilizada);
        c->borraBase(); // la base de la medida no se queda en la carpeta
        return suma == 0 ? 0 : 1;
    } catch (const ErrorFb &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
}
