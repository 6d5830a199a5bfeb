#include "db/InstaladorEsquema.h"

#include "db/EsquemaSql.h"
#include "db/Registro.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbScript.h"
#include "db/fbTransaccion.h"

#include <QSet>

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
    // Columna que ya estaba: el servidor lo informa como clave repetida en RDB$RELATION_FIELDS
    return texto.contains(QLatin1String("already exists"), Qt::CaseInsensitive)
           || texto.contains(QLatin1String("second PRIMARY KEY"), Qt::CaseInsensitive)
           || texto.contains(QLatin1String("violation of PRIMARY or UNIQUE KEY constraint"), Qt::CaseInsensitive);
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
    // Todos los objetos propios existentes, en una sola consulta, marcados por su tipo
    Transaccion t(m_empresa);
    Consulta q(m_empresa, t);
    q.setSql(QStringLiteral(
        "select 'T:' || trim(rdb$relation_name) from rdb$relations where rdb$relation_name starting with 'TLV_'"
        " union all select 'G:' || trim(rdb$generator_name) from rdb$generators"
        "  where rdb$generator_name starting with 'GEN_TLV_'"
        " union all select 'P:' || trim(rdb$procedure_name) from rdb$procedures"
        "  where rdb$procedure_name starting with 'TLV_'"
        " union all select 'D:' || trim(rdb$trigger_name) from rdb$triggers where rdb$trigger_name starting with 'TR_TLV_'"
        " union all select 'I:' || trim(rdb$index_name) from rdb$indices where rdb$index_name starting with 'TLV_'"
        " union all select 'C:' || trim(rdb$relation_name) || '.' || trim(rdb$field_name) from rdb$relation_fields"
        "  where rdb$relation_name starting with 'TLV_'"));
    QSet<QString> existentes;
    for (q.ejecuta(); !q.eof(); q.siguiente())
        existentes.insert(q.campo(0).texto());
    q.cierra();
    t.confirma();

    QStringList faltan;
    for (const EsquemaSql::Objeto &o : EsquemaSql::ObjetosRequeridos()) {
        QString clave;
        switch (o.tipo) {
        case T::Tabla: clave = QStringLiteral("T:") + o.nombre; break;
        case T::Generador: clave = QStringLiteral("G:") + o.nombre; break;
        case T::Procedimiento: clave = QStringLiteral("P:") + o.nombre; break;
        case T::Disparador: clave = QStringLiteral("D:") + o.nombre; break;
        case T::Indice: clave = QStringLiteral("I:") + o.nombre; break;
        case T::Columna: clave = QStringLiteral("C:") + o.tabla + QLatin1Char('.') + o.nombre; break;
        }
        if (!existentes.contains(clave))
            faltan << (o.tipo == T::Columna ? o.tabla + QLatin1Char('.') + o.nombre : o.nombre);
    }
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
