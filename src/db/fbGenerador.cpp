#include "db/fbGenerador.h"

#include "db/fbConexion.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbTransaccion.h"

#include <QRegularExpression>

namespace {

// Nombre como se guarda en el catálogo
QString nombreCatalogo(const QString &nombre)
{
    const QString n = nombre.trimmed();
    if (n.size() >= 2 && n.startsWith(QLatin1Char('"')) && n.endsWith(QLatin1Char('"')))
        return n.mid(1, n.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return n.toUpper();
}

} // namespace

QString IdentificadorSql(const QString &nombre)
{
    const QString n = nombre.trimmed();
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    if (simple.match(n).hasMatch())
        return n.toUpper();
    if (n.size() >= 2 && n.startsWith(QLatin1Char('"')) && n.endsWith(QLatin1Char('"')))
        return n;
    return QLatin1Char('"') + QString(n).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

qint64 SiguienteGenerador(Conexion &conexion, Transaccion &trans, const QString &nombre, qint64 incremento)
{
    Consulta q(conexion, trans);
    q.setSql(QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE").arg(IdentificadorSql(nombre)).arg(incremento));
    q.ejecuta();
    const qint64 v = q.campo(0).entero();
    q.cierra();
    return v;
}

bool ExisteGenerador(Conexion &conexion, Transaccion &trans, const QString &nombre)
{
    Consulta q(conexion, trans);
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = :NOMBRE"));
    q.asigna(QStringLiteral("NOMBRE"), nombreCatalogo(nombre));
    q.ejecuta();
    const bool existe = q.campo(0).entero() > 0;
    q.cierra();
    return existe;
}

void CreaGenerador(Conexion &conexion, const QString &nombre, qint64 valorInicial)
{
    Transaccion t(conexion);
    GuardaTransaccion g(t);
    if (ExisteGenerador(conexion, t, nombre))
        return;
    Consulta q(conexion, t);
    q.setSql(QStringLiteral("CREATE SEQUENCE %1").arg(IdentificadorSql(nombre)));
    q.ejecuta();
    g.confirma();
    if (valorInicial != 0) {
        Transaccion t2(conexion);
        GuardaTransaccion g2(t2);
        Consulta q2(conexion, t2);
        q2.setSql(QStringLiteral("ALTER SEQUENCE %1 RESTART WITH %2").arg(IdentificadorSql(nombre)).arg(valorInicial));
        q2.ejecuta();
        g2.confirma();
    }
}

bool ExisteProcedimiento(Conexion &conexion, Transaccion &trans, const QString &nombre)
{
    Consulta q(conexion, trans);
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = :NOMBRE"));
    q.asigna(QStringLiteral("NOMBRE"), nombreCatalogo(nombre));
    q.ejecuta();
    const bool existe = q.campo(0).entero() > 0;
    q.cierra();
    return existe;
}

int ParametrosProcedimiento(Conexion &conexion, Transaccion &trans, const QString &nombre)
{
    if (!ExisteProcedimiento(conexion, trans, nombre))
        return -1;
    Consulta q(conexion, trans);
    q.agrega(QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURE_PARAMETERS"));
    q.agrega(QStringLiteral("WHERE RDB$PROCEDURE_NAME = :NOMBRE AND RDB$PARAMETER_TYPE = 0"));
    q.agrega(QStringLiteral("AND RDB$PACKAGE_NAME IS NULL"));
    q.asigna(QStringLiteral("NOMBRE"), nombreCatalogo(nombre));
    q.ejecuta();
    const int n = int(q.campo(0).entero());
    q.cierra();
    return n;
}
