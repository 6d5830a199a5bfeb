#include "db/fbScript.h"

#include "db/fbConexion.h"
#include "db/fbError.h"
#include "db/fbTexto.h"
#include "db/fbTransaccion.h"

#include <firebird/Interface.h>

#include <QRegularExpression>

namespace {

// Quita espacios y comentarios iniciales
QString sinComentariosIniciales(const QString &s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    for (;;) {
        while (i < n && s[i].isSpace())
            ++i;
        if (s.mid(i, 2) == QLatin1String("--")) {
            const qsizetype j = s.indexOf(QLatin1Char('\n'), i);
            i = j < 0 ? n : j + 1;
        } else if (s.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype j = s.indexOf(QLatin1String("*/"), i + 2);
            i = j < 0 ? n : j + 2;
        } else {
            break;
        }
    }
    return s.mid(i);
}

QStringList palabras(const QString &s, int cuantas)
{
    static const QRegularExpression separador(QStringLiteral("\\s+"));
    return sinComentariosIniciales(s).simplified().toUpper().split(separador, Qt::SkipEmptyParts).mid(0, cuantas);
}

bool esDdl(const QString &s)
{
    const QStringList p = palabras(s, 2);
    if (p.isEmpty())
        return false;
    static const QStringList ddl = {QStringLiteral("CREATE"), QStringLiteral("ALTER"), QStringLiteral("DROP"),
                                    QStringLiteral("RECREATE"), QStringLiteral("DECLARE"), QStringLiteral("GRANT"),
                                    QStringLiteral("REVOKE"), QStringLiteral("COMMENT")};
    if (ddl.contains(p[0]))
        return true;
    return p[0] == QLatin1String("SET") && p.size() > 1
           && (p[1] == QLatin1String("GENERATOR") || p[1] == QLatin1String("STATISTICS"));
}

} // namespace

QStringList Script::divide(const QString &texto)
{
    QStringList r;
    QString term = QStringLiteral(";");
    QString actual;
    const qsizetype n = texto.size();
    qsizetype i = 0;
    auto termina = [&]() {
        const QString s = actual.trimmed();
        actual.clear();
        if (sinComentariosIniciales(s).trimmed().isEmpty())
            return;
        const QStringList p = palabras(s, 3);
        if (p.size() >= 2 && p[0] == QLatin1String("SET") && p[1] == QLatin1String("TERM")) {
            // SET TERM x: lo que sigue a TERM, sin espacios
            const QString resto = sinComentariosIniciales(s).simplified();
            const QString nuevo = resto.section(QLatin1Char(' '), 2).trimmed();
            if (!nuevo.isEmpty())
                term = nuevo;
            return;
        }
        r.append(s);
    };
    while (i < n) {
        const QChar c = texto[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = texto.indexOf(c, i + 1);
            j = j < 0 ? n : j + 1;
            actual += texto.mid(i, j - i);
            i = j;
        } else if (texto.mid(i, 2) == QLatin1String("--")) {
            qsizetype j = texto.indexOf(QLatin1Char('\n'), i);
            j = j < 0 ? n : j;
            actual += texto.mid(i, j - i);
            i = j;
        } else if (texto.mid(i, 2) == QLatin1String("/*")) {
            qsizetype j = texto.indexOf(QLatin1String("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            actual += texto.mid(i, j - i);
            i = j;
        } else if (texto.mid(i, term.size()) == term) {
            termina();
            i += term.size();
        } else {
            actual += c;
            ++i;
        }
    }
    termina();
    return r;
}

int Script::ejecuta()
{
    m_conexion.exigeConexion();
    Transaccion t(m_conexion);
    int errores = 0;
    for (const QString &s : divide(m_texto)) {
        const QStringList p = palabras(s, 2);
        ResultadoSentenciaFb res;
        res.sentencia = s;
        try {
            if (!p.isEmpty() && (p[0] == QLatin1String("COMMIT") || p[0] == QLatin1String("ROLLBACK"))) {
                if (p[0] == QLatin1String("COMMIT"))
                    t.confirma();
                else
                    t.deshace();
            } else if (!p.isEmpty() && p[0] == QLatin1String("SET")
                       && (p.value(1) == QLatin1String("AUTODDL") || p.value(1) == QLatin1String("NAMES")
                           || p.value(1) == QLatin1String("SQL") || p.value(1) == QLatin1String("ECHO")
                           || p.value(1) == QLatin1String("BAIL"))) {
                // órdenes de isql: no aplican aquí
            } else {
                const bool ddl = esDdl(s);
                // El DDL va solo en su transacción: si falla, no arrastra lo anterior
                if (ddl)
                    t.confirma();
                const QByteArray sql = FbTexto::aCp1252(s);
                Fb::Estado est;
                m_conexion.atadura()->execute(est.w(), t.interfaz(), unsigned(sql.size()), sql.constData(),
                                              unsigned(m_conexion.dialecto()), nullptr, nullptr, nullptr, nullptr);
                if (est.hayError())
                    m_conexion.lanza(est);
                if (ddl)
                    t.confirma();
            }
        } catch (const ErrorFb &e) {
            res.ok = false;
            res.codigo = e.codigo();
            res.error = e.texto();
            ++errores;
            if (m_alEjecutar)
                m_alEjecutar(res);
            if (!m_continua || !m_conexion.conectada())
                throw;
            // Un DDL que falla al confirmar deja la transacción inservible
            if (esDdl(s)) {
                try {
                    t.deshace();
                } catch (const ErrorFb &) {
                }
            }
            continue;
        }
        if (m_alEjecutar)
            m_alEjecutar(res);
    }
    t.confirma();
    return errores;
}
