#pragma once

#include <QtGlobal>
#include <cmath>
#include <compare>

// Longitud de la geometría de las formas. Se guarda en una sola unidad entera (EMU,
// 914400 por pulgada) en la que milímetros, puntos y las unidades de la forma
// (96 por pulgada) son exactos; se convierte sólo en los bordes (archivo, pantalla, impresora).
class Longitud
{
public:
    static constexpr qint64 PorPulgada = 914400;
    static constexpr qint64 PorMm = 36000;
    static constexpr qint64 PorPunto = 12700;
    static constexpr qint64 PorUnidad = 9525; // unidad de la forma: 1/96 de pulgada

    constexpr Longitud() = default;
    static constexpr Longitud deEmu(qint64 v) { Longitud l; l.m_emu = v; return l; }
    static Longitud deMm(double mm) { return deEmu(std::llround(mm * PorMm)); }
    static Longitud dePuntos(double pt) { return deEmu(std::llround(pt * PorPunto)); }
    static Longitud deUnidades(double u) { return deEmu(std::llround(u * PorUnidad)); }
    static Longitud dePulgadas(double in) { return deEmu(std::llround(in * PorPulgada)); }

    constexpr qint64 emu() const { return m_emu; }
    double mm() const { return double(m_emu) / PorMm; }
    double puntos() const { return double(m_emu) / PorPunto; }
    double unidades() const { return double(m_emu) / PorUnidad; }
    double pulgadas() const { return double(m_emu) / PorPulgada; }
    // En pixeles de un dispositivo con esa resolución
    double pixeles(double dpi) const { return pulgadas() * dpi; }

    constexpr bool esCero() const { return m_emu == 0; }
    constexpr Longitud operator+(Longitud o) const { return deEmu(m_emu + o.m_emu); }
    constexpr Longitud operator-(Longitud o) const { return deEmu(m_emu - o.m_emu); }
    constexpr Longitud operator-() const { return deEmu(-m_emu); }
    constexpr Longitud operator*(qint64 n) const { return deEmu(m_emu * n); }
    Longitud operator*(double f) const { return deEmu(std::llround(double(m_emu) * f)); }
    Longitud operator/(double f) const { return deEmu(std::llround(double(m_emu) / f)); }
    Longitud &operator+=(Longitud o) { m_emu += o.m_emu; return *this; }
    Longitud &operator-=(Longitud o) { m_emu -= o.m_emu; return *this; }
    constexpr auto operator<=>(const Longitud &) const = default;

private:
    qint64 m_emu = 0;
};
