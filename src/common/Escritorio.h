#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Acción "abrir" del escritorio sobre un archivo (o URL). false = no se pudo abrir.
// Vive aquí, en lo más bajo, porque la exportación a hoja de cálculo la usa;
// platform/Shell.h la publica junto con la ejecución de programas.
bool AbreArchivo(const QString &ruta);

using AbridorArchivos = std::function<bool(const QString &ruta)>;
// Sustituto para pruebas (vacío = escritorio real). Devuelve el anterior.
AbridorArchivos PonAbridorArchivos(AbridorArchivos abridor);

// Para pruebas: anota cada archivo abierto en lugar de abrirlo; contesta 'resultado'
class RegistroAperturas
{
public:
    explicit RegistroAperturas(bool resultado = true);
    ~RegistroAperturas();
    RegistroAperturas(const RegistroAperturas &) = delete;
    RegistroAperturas &operator=(const RegistroAperturas &) = delete;

    const QStringList &rutas() const { return m_rutas; }

private:
    QStringList m_rutas;
    AbridorArchivos m_anterior;
};
