#include "db/InstaladorEsquema.h"

#include "db/EsquemaSql.h"
#include "db/Registro.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

InstaladorEsquema::InstaladorEsquema(Conexion &empresa, Transaccion &actualizacion, RegistroAjustes &registro,
                                     Conexion *config, Transaccion *configTrans)
    : m_empresa(empresa)
    , m_actualizacion(actualizacion)
    , m_registro(registro)
    , m_config(config)
    , m_configTrans(configTrans)
{
}

void InstaladorEsquema::registra(const QString &texto)
{
    if (m_bitacora)
        m_bitacora(texto);
}

bool InstaladorEsquema::yaExiste(qint64 codigo, const QString &texto)
{
    if (codigo == 335544665 || codigo == 335544349) // clave o índice único repetido
        return true;
    return texto.contains(QLatin1String("already exists"), Qt::CaseInsensitive)
           || texto.contains(QLatin1String("second PRIMARY KEY"), Qt::CaseInsensitive);
}

QString InstaladorEsquema::versionActual()
{
    Consulta q(m_empresa, m_actualizacion);
    q.setSql(QStringLiteral("select count(*) from rdb$relations where rdb$relation_name = 'TLV_REGISTRO'"));
    q.ejecuta();
    const bool hay = q.campo(0).entero() > 0;
    q.cierra();
    if (!hay)
        return {};
    try {
        QString v;
        m_registro.ValorRegistro({}, {}, {}, QStringLiteral("Etiquetas_DB"), v, true);
        return v;
    } catch (const ErrorFb &) {
        return QStringLiteral("0");
    }
}

void InstaladorEsquema::ejecutaGuion(const QString &texto, const QString &hecho)
{
    try {
        if (!m_actualizacion.activa())
            m_actualizacion.inicia();
        Script s(m_empresa);
        s.setTexto(texto);
        s.setContinuaTrasError(true);
        s.setAlEjecutar([this](const ResultadoSentenciaFb &r) {
            // Lo que ya existía se salta en silencio; cualquier otro fallo queda en la bitácora
            if (!r.ok && !yaExiste(r.codigo, r.error))
                registra(QStringLiteral("Error en la sentencia: %1\n%2").arg(r.sentencia.simplified(), r.error));
        });
        s.ejecuta();
        if (m_actualizacion.activa())
            m_actualizacion.confirma();
    } catch (const ErrorFb &e) {
        m_actualizacion.deshace();
        registra(e.texto());
    }
    registra(hecho);
}

void InstaladorEsquema::creaCarpetasReportes()
{
    if (!m_config || !m_configTrans)
        return;
    try {
        if (!m_configTrans->activa())
            m_configTrans->inicia();
        Consulta busca(*m_config, *m_configTrans);
        busca.setSql(QStringLiteral("SELECT folder_id FROM rb_folder WHERE name = :name and parent_id = :parent_id"));
        Consulta alta(*m_config, *m_configTrans);
        alta.setSql(QStringLiteral("INSERT INTO rb_folder (name, parent_id) VALUES (:name, :parent_id)"));
        const auto carpeta = [&](const QString &nombre, qint64 padre) {
            for (int intento = 0; intento < 2; ++intento) {
                busca.asigna(QStringLiteral("name"), nombre);
                busca.asigna(QStringLiteral("parent_id"), padre);
                busca.ejecuta();
                const bool hay = !busca.eof() && !busca.campo(0).esNulo();
                const qint64 id = hay ? busca.campo(0).entero() : 0;
                busca.cierra();
                if (hay)
                    return id;
                alta.asigna(QStringLiteral("name"), nombre);
                alta.asigna(QStringLiteral("parent_id"), padre);
                alta.ejecuta();
            }
            throw ErrorFb(CodigoFb::Interno, QStringLiteral("No se encontró la carpeta %1").arg(nombre));
        };
        const qint64 f1 = carpeta(QStringLiteral("Tolvanix"), 0);
        const qint64 f2 = carpeta(QStringLiteral("Traspasos"), f1);
        carpeta(QStringLiteral("Formas"), f2);
        m_configTrans->confirma();
    } catch (const ErrorFb &e) {
        m_configTrans->deshace();
        registra(QStringLiteral("Error al crear las carpetas para los reportes:"));
        registra(e.texto());
    }
}

QStringList InstaladorEsquema::objetosFaltantes()
{
    using T = EsquemaSql::Objeto::Tipo;
    Transaccion t(m_empresa);
    Consulta q(m_empresa, t);
    q.setSql(QStringLiteral(
        "select (select count(*) from rdb$relations where rdb$relation_name = :n1)"
        " + (select count(*) from rdb$generators where rdb$generator_name = :n2)"
        " + (select count(*) from rdb$procedures where rdb$procedure_name = :n3)"
        " + (select count(*) from rdb$triggers where rdb$trigger_name = :n4)"
        " + (select count(*) from rdb$indices where rdb$index_name = :n5) from rdb$database"));
    Consulta col(m_empresa, t);
    col.setSql(QStringLiteral("select count(*) from rdb$relation_fields where rdb$relation_name = :t and rdb$field_name = :c"));
    QStringList faltan;
    for (const EsquemaSql::Objeto &o : EsquemaSql::ObjetosRequeridos()) {
        bool hay = false;
        if (o.tipo == T::Columna) {
            col.asigna(QStringLiteral("t"), o.tabla);
            col.asigna(QStringLiteral("c"), o.nombre);
            col.ejecuta();
            hay = col.campo(0).entero() > 0;
            col.cierra();
        } else {
            for (const char *p : {"n1", "n2", "n3", "n4", "n5"})
                q.asigna(QString::fromLatin1(p), o.nombre);
            q.ejecuta();
            hay = q.campo(0).entero() > 0;
            q.cierra();
        }
        if (!hay)
            faltan << (o.tipo == T::Columna ? o.tabla + QLatin1Char('.') + o.nombre : o.nombre);
    }
    t.confirma();
    return faltan;
}

InstaladorEsquema::Resultado InstaladorEsquema::ejecuta()
{
    m_faltantes.clear();
    if (versionActual() > EsquemaSql::VersionEsquema)
        return Resultado::Rechazado;

    registra(QStringLiteral("Inicia"));
    ejecutaGuion(EsquemaSql::Tablas(), QStringLiteral(" - Se crearon las tablas"));
    ejecutaGuion(EsquemaSql::Datos(), QStringLiteral(" - Se insertaron los datos"));
    ejecutaGuion(EsquemaSql::Indices(), QStringLiteral(" - Se crearon los índices"));
    ejecutaGuion(EsquemaSql::Procedimientos(), QStringLiteral(" - Se crearon los procedimientos"));
    ejecutaGuion(EsquemaSql::Permisos(), QStringLiteral(" - Se dieron permisos"));
    registra(QString());
    registra(QStringLiteral("* Terminado *"));
    creaCarpetasReportes();

    // La versión solo se escribe cuando el esquema quedó completo
    m_faltantes = objetosFaltantes();
    if (!m_faltantes.isEmpty()) {
        registra(QStringLiteral("No se encontraron estos objetos: %1").arg(m_faltantes.join(QStringLiteral(", "))));
        registra(QStringLiteral("La versión de la base de datos no se actualizó"));
        return Resultado::Incompleto;
    }
    QString v = EsquemaSql::VersionEsquema;
    m_registro.ValorRegistro({}, {}, {}, QStringLiteral("Etiquetas_DB"), v, false);
    return Resultado::Instalado;
}
