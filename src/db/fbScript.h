#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Conexion;

// Resultado de cada sentencia de un guion
struct ResultadoSentenciaFb
{
    QString sentencia;
    bool ok = true;
    qint64 codigo = 0;
    QString error;
};

// Ejecuta un guion SQL: SET TERM, comentarios, COMMIT [WORK] y ROLLBACK [WORK].
// Cada sentencia DDL va en su propia transacción y se confirma al momento (antes se confirma
// lo pendiente); el resto se confirma al llegar a COMMIT, a un DDL o al final.
class Script
{
public:
    explicit Script(Conexion &conexion) : m_conexion(conexion) {}

    void setTexto(const QString &texto) { m_texto = texto; }
    // Seguir tras un error (si no, lanza ErrorFb en el primero)
    void setContinuaTrasError(bool continua) { m_continua = continua; }
    // Se llama tras cada sentencia ejecutada
    void setAlEjecutar(std::function<void(const ResultadoSentenciaFb &)> f) { m_alEjecutar = std::move(f); }

    // Devuelve el número de sentencias que fallaron
    int ejecuta();

    // Sentencias del guion, sin terminador; SET TERM se aplica y no se devuelve
    static QStringList divide(const QString &texto);

private:
    Conexion &m_conexion;
    QString m_texto;
    bool m_continua = false;
    std::function<void(const ResultadoSentenciaFb &)> m_alEjecutar;
};
