#include "common/Moneda.h"

#include <gtest/gtest.h>

struct CasoTexto { const char *texto; bool ok; int64_t diezmilesimas; };

TEST(Moneda, DeTextoRedondeaALaPar)
{
    const CasoTexto casos[] = {
        {"12.34", true, 123400},
        {"1,234.5", true, 12345000},
        {"$ 7", true, 70000},
        {"-0.00005", true, 0},        // mitad: queda el par (0)
        {"0.00015", true, 2},         // mitad: sube al par
        {"0.00025", true, 2},         // mitad: baja al par
        {"0.000251", true, 3},        // más de la mitad
        {"-1.23456", true, -12346},
        {"1e-4", true, 1},
        {"2.5E2", true, 2500000},
        {".5", true, 5000},
        {"", false, 0},
        {"abc", false, 0},
        {"1.2.3", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto &c : casos) {
        bool ok = !c.ok;
        const Moneda m = Moneda::deTexto(QString::fromUtf8(c.texto), &ok);
        EXPECT_EQ(ok, c.ok) << c.texto;
        if (c.ok) {
            EXPECT_EQ(m.diezmilesimas(), c.diezmilesimas) << c.texto;
        }
    }
}

TEST(Moneda, DeDoubleSinErrorBinario)
{
    // 0.1 + 0.2 en binario no es 0.3, pero como importe sí
    EXPECT_EQ(Moneda::deDouble(0.1 + 0.2).diezmilesimas(), 3000);
    EXPECT_EQ(Moneda::deDouble(1.00005).diezmilesimas(), 10000);
    EXPECT_EQ(Moneda::deDouble(1.00015).diezmilesimas(), 10002);
    EXPECT_EQ(Moneda::deDouble(-19.99).diezmilesimas(), -199900);
    // Ida y vuelta
    for (int64_t v : {0LL, 1LL, -1LL, 123456789LL, -99999LL})
        EXPECT_EQ(Moneda::deDouble(Moneda::deDiezmilesimas(v).aDouble()).diezmilesimas(), v);
}

TEST(Moneda, RedondeoYTexto)
{
    struct Caso { int64_t v; int dec; int64_t redondeado; const char *texto; };
    const Caso casos[] = {
        {25000, 0, 20000, "2"},
        {35000, 0, 40000, "4"},
        {-25000, 0, -20000, "-2"},
        {12350, 2, 12400, "1.24"},
        {12250, 2, 12200, "1.22"},
        {12251, 2, 12300, "1.23"},
        {-5, 3, 0, "0.000"},
        {123456, 4, 123456, "12.3456"},
    };
    for (const auto &c : casos) {
        const Moneda m = Moneda::deDiezmilesimas(c.v);
        EXPECT_EQ(m.redondeada(c.dec).diezmilesimas(), c.redondeado) << c.v;
        EXPECT_EQ(m.texto(c.dec).toStdString(), c.texto) << c.v;
    }
}

TEST(Moneda, EscalasDeFirebird)
{
    EXPECT_EQ(Moneda::deEscalado(1234, -2).diezmilesimas(), 123400);
    EXPECT_EQ(Moneda::deEscalado(1234565, -6).diezmilesimas(), 12346); // 1.234565 -> 1.2346
    EXPECT_EQ(Moneda::deEscalado(1234555, -6).diezmilesimas(), 12346); // mitad: par
    EXPECT_EQ(Moneda::deEscalado(1234545, -6).diezmilesimas(), 12345);
    EXPECT_EQ(Moneda::deEscalado(7, 0).diezmilesimas(), 70000);
    EXPECT_EQ(Moneda::deDiezmilesimas(123450).aEscala(-2), 1234);  // 12.345 -> 12.34
    EXPECT_EQ(Moneda::deDiezmilesimas(123550).aEscala(-2), 1236);
    EXPECT_EQ(Moneda::deDiezmilesimas(12).aEscala(-6), 1200);
    EXPECT_EQ(DivideALaPar(-15, 10), -2);
    EXPECT_EQ(DivideALaPar(-25, 10), -2);
    EXPECT_EQ(DivideALaPar(-26, 10), -3);
}
