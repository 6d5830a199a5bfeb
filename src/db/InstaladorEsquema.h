#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Conexion;
class Transaccion;
class RegistroAjustes;

// Instala o completa el esquema propio del complemento en la base de la empresa
// y las carpetas de reportes en Config.fdb. Sin ventana: la bitácora sale por un callback.
class InstaladorEsquema
{
public:
    enum class Resultado { Instalado, Incompleto, Rechazado };

    // config/configTrans pueden ser nulos (no se crean las carpetas de reportes)
    InstaladorEsquema(Conexion &empresa, Transaccion &actualizacion, RegistroAjustes &registro,
                      Conexion *config = nullptr, Transaccion *configTrans = nullptr);

    void setBitacora(std::function<void(const QString &)> f) { m_bitacora = std::move(f); }

    // Versión guardada en "Etiquetas_DB" ("" si no hay tabla de ajustes; "0" si no se pudo leer)
    QString versionActual();
    // Rechazado: la base es de una versión posterior; no se toca nada
    Resultado ejecuta();
    // Objetos que faltaban tras la última ejecución
    const QStringList &faltantes() const { return m_faltantes; }
    // Objetos del esquema que no existen en la base
    QStringList objetosFaltantes();

    // Un error que solo dice que el objeto o la fila ya estaban
    static bool yaExiste(qint64 codigo, const QString &texto);

private:
    void registra(const QString &texto);
    void ejecutaGuion(const QString &texto, const QString &hecho);
    void creaCarpetasReportes();

    Conexion &m_empresa;
    Transaccion &m_actualizacion;
    RegistroAjustes &m_registro;
    Conexion *m_config;
    Transaccion *m_configTrans;
    std::function<void(const QString &)> m_bitacora;
    QStringList m_faltantes;
};
