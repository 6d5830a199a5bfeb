#pragma once

#include <QString>
#include <compare>
#include <cstdint>

// Importe en diezmilésimas (entero de 64 bits), redondeo a la par en un solo lugar.
class Moneda
{
public:
    static constexpr int64_t Escala = 10000;

    constexpr Moneda() = default;
    static constexpr Moneda deDiezmilesimas(int64_t v) { Moneda m; m.m_valor = v; return m; }
    static Moneda deDouble(double v);           // redondeo a la par en 0.0001
    static Moneda deLongDouble(long double v);  // ídem
    // Lee "1234.5", "-0.00005", "1,234.50", "$ 12"; ok=false si no es un número
    static Moneda deTexto(const QString &texto, bool *ok = nullptr);
    // Valor escalado de un NUMERIC/DECIMAL con su escala (p. ej. -2), a la par
    static Moneda deEscalado(int64_t valor, int escala);

    constexpr int64_t diezmilesimas() const { return m_valor; }
    double aDouble() const { return double(m_valor) / Escala; }
    long double aLongDouble() const { return (long double)m_valor / Escala; }
    // Texto con "." decimal y los decimales pedidos (0..4), redondeando a la par
    QString texto(int decimales = 2) const;
    // Valor redondeado a la par a 'decimales' (0..4)
    Moneda redondeada(int decimales) const;
    // Valor escalado a otra escala (p. ej. para un NUMERIC(18,2)), a la par
    int64_t aEscala(int escala) const;

    constexpr Moneda operator+(Moneda o) const { return deDiezmilesimas(m_valor + o.m_valor); }
    constexpr Moneda operator-(Moneda o) const { return deDiezmilesimas(m_valor - o.m_valor); }
    constexpr Moneda operator-() const { return deDiezmilesimas(-m_valor); }
    Moneda &operator+=(Moneda o) { m_valor += o.m_valor; return *this; }
    Moneda &operator-=(Moneda o) { m_valor -= o.m_valor; return *this; }
    Moneda operator*(int64_t n) const { return deDiezmilesimas(m_valor * n); }
    constexpr auto operator<=>(const Moneda &) const = default;
    constexpr bool esCero() const { return m_valor == 0; }

private:
    int64_t m_valor = 0;
};

// División entera con redondeo a la par (d > 0)
int64_t DivideALaPar(int64_t n, int64_t d);
