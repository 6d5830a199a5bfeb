#include "db/fbConsulta.h"

#include "db/fbError.h"
#include "db/fbTexto.h"
#include "db/fbTransaccion.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <cmath>
#include <cstring>

using namespace Firebird;

namespace {

bool esInicioIdent(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool esIdent(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

qint64 potencia10(int n)
{
    qint64 r = 1;
    for (int i = 0; i < n; ++i)
        r *= 10;
    return r;
}

// Valor escalado a texto exacto ("-12.3400")
QString textoEscalado(qint64 valor, int escala)
{
    if (escala >= 0)
        return QString::number(valor * potencia10(escala));
    const int dec = -escala;
    const bool negativo = valor < 0;
    const quint64 abs = negativo ? quint64(0) - quint64(valor) : quint64(valor);
    QString digitos = QString::number(abs).rightJustified(dec + 1, QLatin1Char('0'));
    QString r = digitos.left(digitos.size() - dec) + QLatin1Char('.') + digitos.right(dec);
    return negativo ? QLatin1Char('-') + r : r;
}

bool esMoneda(const QVariant &v) { return v.metaType() == QMetaType::fromType<Moneda>(); }

QDate fechaDeTexto(const QString &s)
{
    const QString t = s.trimmed();
    for (const char *f : {"yyyy-MM-dd", "dd/MM/yyyy", "d/M/yyyy", "dd.MM.yyyy"}) {
        const QDate d = QDate::fromString(t.left(10), QString::fromLatin1(f));
        if (d.isValid())
            return d;
    }
    return QDate::fromString(t, Qt::ISODate);
}

// Primera palabra del SQL, en mayúsculas, saltando espacios y comentarios
QString primeraPalabra(const QString &sql, qsizetype desde = 0, qsizetype *fin = nullptr)
{
    qsizetype i = desde;
    const qsizetype n = sql.size();
    for (;;) {
        while (i < n && sql[i].isSpace())
            ++i;
        if (sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype j = sql.indexOf(QLatin1Char('\n'), i);
            i = j < 0 ? n : j + 1;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype j = sql.indexOf(QLatin1String("*/"), i + 2);
            i = j < 0 ? n : j + 2;
        } else {
            break;
        }
    }
    qsizetype j = i;
    while (j < n && esIdent(sql[j]))
        ++j;
    if (fin)
        *fin = j;
    return sql.mid(i, j - i).toUpper();
}

BitacoraSentencias &bitacora()
{
    static BitacoraSentencias b;
    return b;
}

} // namespace

BitacoraSentencias PonBitacoraSentencias(BitacoraSentencias nueva)
{
    BitacoraSentencias anterior = std::move(bitacora());
    bitacora() = std::move(nueva);
    return anterior;
}

RegistroSentencias::RegistroSentencias()
{
    m_anterior = PonBitacoraSentencias([this](EventoSentencia e, const QString &sql) {
        m_entradas.push_back({e, sql});
    });
}

RegistroSentencias::~RegistroSentencias() { PonBitacoraSentencias(std::move(m_anterior)); }

QStringList RegistroSentencias::ejecutadas() const
{
    QStringList r;
    for (const Entrada &e : m_entradas)
        if (e.evento == EventoSentencia::Ejecuta)
            r << e.sql;
    return r;
}

int RegistroSentencias::preparaciones() const
{
    int n = 0;
    for (const Entrada &e : m_entradas)
        n += e.evento == EventoSentencia::Prepara;
    return n;
}

QString TraduceParametros(const QString &sql, QStringList *nombres)
{
    // En DDL (cuerpos de procedimientos y disparadores) ":x" son variables, no parámetros;
    // en EXECUTE BLOCK sólo lo son los de la cabecera, antes del AS.
    qsizetype finOrden = 0;
    const QString orden = primeraPalabra(sql, 0, &finOrden);
    if (orden == QLatin1String("CREATE") || orden == QLatin1String("ALTER") || orden == QLatin1String("RECREATE")
        || orden == QLatin1String("DECLARE"))
        return sql;
    const bool esBloque = orden == QLatin1String("EXECUTE") && primeraPalabra(sql, finOrden) == QLatin1String("BLOCK");
    QString r;
    r.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto copiaHasta = [&](qsizetype fin) {
        r += QStringView(sql).mid(i, fin - i);
        i = fin;
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && sql[j] != c)
                ++j;
            copiaHasta(qMin(j + 1, n)); // '' dentro de un literal cierra y reabre: da igual
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            qsizetype j = sql.indexOf(QLatin1Char('\n'), i);
            copiaHasta(j < 0 ? n : j);
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            qsizetype j = sql.indexOf(QLatin1String("*/"), i + 2);
            copiaHasta(j < 0 ? n : j + 2);
        } else if ((c == QLatin1Char('q') || c == QLatin1Char('Q')) && i + 2 < n && sql[i + 1] == QLatin1Char('\'')
                   && (i == 0 || !esIdent(sql[i - 1]))) {
            // Literal alternativo q'{...}'
            const QChar abre = sql[i + 2];
            QChar cierra = abre;
            if (abre == QLatin1Char('(')) cierra = QLatin1Char(')');
            else if (abre == QLatin1Char('[')) cierra = QLatin1Char(']');
            else if (abre == QLatin1Char('{')) cierra = QLatin1Char('}');
            else if (abre == QLatin1Char('<')) cierra = QLatin1Char('>');
            qsizetype j = sql.indexOf(QString(cierra) + QLatin1Char('\''), i + 3);
            copiaHasta(j < 0 ? n : j + 2);
        } else if (c == QLatin1Char(':') && i + 1 < n && esInicioIdent(sql[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && esIdent(sql[j]))
                ++j;
            if (nombres)
                nombres->append(sql.mid(i + 1, j - i - 1).toUpper());
            r += QLatin1Char('?');
            i = j;
        } else if (esBloque && esInicioIdent(c) && (i == 0 || !esIdent(sql[i - 1]))) {
            qsizetype j = i + 1;
            while (j < n && esIdent(sql[j]))
                ++j;
            if (QStringView(sql).mid(i, j - i).compare(QLatin1String("AS"), Qt::CaseInsensitive) == 0)
                j = n; // el cuerpo del bloque va tal cual
            copiaHasta(j);
        } else {
            r += c;
            ++i;
        }
    }
    return r;
}

// ---------------------------------------------------------------- Consulta

Consulta::Consulta(Conexion &conexion, Transaccion &transaccion)
    : m_conexion(&conexion), m_trans(&transaccion)
{
    if (transaccion.conexion() != &conexion)
        throw ErrorFb(CodigoFb::Interno, QStringLiteral("La transacción es de otra conexión"));
    conexion.registra(this);
}

Consulta::~Consulta()
{
    liberaFb();
    if (m_conexion)
        m_conexion->quita(this);
}

void Consulta::limpia() { m_sql.clear(); }

void Consulta::agrega(const QString &linea)
{
    if (!m_sql.isEmpty())
        m_sql += QLatin1Char('\n');
    m_sql += linea;
}

void Consulta::setSql(const QString &sql) { m_sql = sql; }

void Consulta::exigeConexion() const
{
    if (!m_conexion)
        throw ErrorFb(CodigoFb::SinConexion, QStringLiteral("La consulta no tiene conexión"));
    if (!m_trans)
        throw ErrorFb(CodigoFb::Interno, QStringLiteral("La transacción de la consulta ya no existe"));
    m_conexion->exigeConexion();
}

void Consulta::error(const QString &texto) const { throw ErrorFb(CodigoFb::Interno, texto); }

std::vector<Consulta::Columna> Consulta::columnas(IMessageMetadata *meta)
{
    std::vector<Columna> r;
    Fb::Estado est;
    const unsigned n = meta->getCount(est.w());
    for (unsigned i = 0; i < n; ++i) {
        Columna c;
        const char *alias = meta->getAlias(est.w(), i);
        const char *campo = meta->getField(est.w(), i);
        c.nombre = FbTexto::deCp1252(QByteArray(alias && *alias ? alias : (campo ? campo : "")));
        c.tipo = meta->getType(est.w(), i) & ~1u;
        c.escala = meta->getScale(est.w(), i);
        c.largo = meta->getLength(est.w(), i);
        c.subtipo = unsigned(meta->getSubType(est.w(), i));
        c.juego = meta->getCharSet(est.w(), i);
        c.desp = meta->getOffset(est.w(), i);
        c.despNulo = meta->getNullOffset(est.w(), i);
        r.push_back(c);
    }
    est.verifica();
    return r;
}

void Consulta::prepara()
{
    exigeConexion();
    if (m_stmt && m_sqlPreparado == m_sql)
        return;
    const QString sqlPedido = m_sql;
    liberaSentencia();
    if (sqlPedido.trimmed().isEmpty())
        error(QStringLiteral("La consulta no tiene texto SQL"));
    QStringList nombres;
    const QByteArray bytes = FbTexto::aCp1252(TraduceParametros(sqlPedido, &nombres));
    ITransaction *tra = m_trans->interfaz();
    Fb::Estado est;
    IStatement *s = m_conexion->atadura()->prepare(est.w(), tra, unsigned(bytes.size()), bytes.constData(),
                                                   unsigned(m_conexion->dialecto()),
                                                   IStatement::PREPARE_PREFETCH_METADATA);
    if (est.hayError())
        m_conexion->lanza(est);
    m_stmt = s;
    try {
        m_tipoSentencia = m_stmt->getFlags(est.w());
        est.verifica();
        const QString orden = primeraPalabra(sqlPedido);
        m_cambiaFilas = orden == QLatin1String("UPDATE") || orden == QLatin1String("DELETE")
                        || orden == QLatin1String("MERGE");

        // Entrada: cada parámetro con un tipo natural que llenamos nosotros
        IMessageMetadata *orig = m_stmt->getInputMetadata(est.w());
        est.verifica();
        IMetadataBuilder *b = orig->getBuilder(est.w());
        if (est.hayError()) {
            orig->release();
            est.verifica();
        }
        const unsigned n = orig->getCount(est.w());
        for (unsigned i = 0; i < n && !est.hayError(); ++i) {
            const unsigned t = orig->getType(est.w(), i) & ~1u;
            switch (t) {
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64:
                b->setType(est.w(), i, SQL_INT64);
                b->setLength(est.w(), i, sizeof(ISC_INT64));
                b->setScale(est.w(), i, orig->getScale(est.w(), i));
                break;
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_D_FLOAT:
                b->setType(est.w(), i, SQL_DOUBLE);
                b->setLength(est.w(), i, sizeof(double));
                b->setScale(est.w(), i, 0);
                break;
            case SQL_TEXT:
            case SQL_VARYING:
                b->setType(est.w(), i, SQL_VARYING);
                b->setLength(est.w(), i, orig->getLength(est.w(), i));
                break;
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME:
            case SQL_TIMESTAMP:
            case SQL_BLOB:
            case SQL_BOOLEAN:
            case SQL_NULL:
                break;
            default:
                b->release();
                orig->release();
                error(QStringLiteral("Tipo de parámetro no soportado (%1)").arg(t));
            }
        }
        IMessageMetadata *entrada = est.hayError() ? nullptr : b->getMetadata(est.w());
        b->release();
        orig->release();
        est.verifica();
        m_metaEntrada = entrada;
        m_parametros = columnas(m_metaEntrada);
        m_bufEntrada.assign(m_metaEntrada->getMessageLength(est.w()), 0);

        m_metaSalida = m_stmt->getOutputMetadata(est.w());
        est.verifica();
        m_campos = columnas(m_metaSalida);
        m_bufSalida.assign(m_metaSalida->getMessageLength(est.w()), 0);
        est.verifica();
    } catch (const ErrorFb &e) {
        liberaSentencia();
        m_conexion->lanza(e);
    }
    m_indiceCampos.clear();
    for (int i = int(m_campos.size()) - 1; i >= 0; --i)
        m_indiceCampos.insert(m_campos[size_t(i)].nombre.toUpper(), i);
    if (nombres != m_nombres || m_valores.size() != size_t(nombres.size()))
        m_valores.assign(size_t(nombres.size()), QVariant());
    m_nombres = nombres;
    m_sqlPreparado = sqlPedido;
    if (bitacora())
        bitacora()(EventoSentencia::Prepara, sqlPedido);
}

QStringList Consulta::nombresParametros() const
{
    QStringList r;
    for (const QString &n : m_nombres)
        if (!r.contains(n))
            r.append(n);
    return r;
}

void Consulta::asigna(const QString &nombre, const QVariant &valor)
{
    prepara();
    QString clave = nombre.toUpper();
    if (clave.startsWith(QLatin1Char(':')))
        clave.remove(0, 1);
    bool hallado = false;
    for (qsizetype i = 0; i < m_nombres.size(); ++i)
        if (m_nombres[i] == clave) {
            m_valores[size_t(i)] = valor;
            hallado = true;
        }
    if (!hallado)
        error(QStringLiteral("La consulta no tiene el parámetro :%1").arg(nombre));
}

void Consulta::llenaEntrada()
{
    std::fill(m_bufEntrada.begin(), m_bufEntrada.end(), 0);
    unsigned char *buf = m_bufEntrada.data();
    for (size_t i = 0; i < m_parametros.size(); ++i) {
        const Columna &p = m_parametros[i];
        const QVariant &v = i < m_valores.size() ? m_valores[i] : QVariant();
        const QString nombre = i < size_t(m_nombres.size()) ? m_nombres[qsizetype(i)] : QString::number(i + 1);
        short nulo = (v.isNull() || !v.isValid()) ? -1 : 0;
        // Una cadena vacía en un parámetro no textual es NULL
        if (!nulo && v.metaType().id() == QMetaType::QString && v.toString().trimmed().isEmpty()
            && p.tipo != SQL_VARYING && p.tipo != SQL_BLOB)
            nulo = -1;
        std::memcpy(buf + p.despNulo, &nulo, sizeof(short));
        if (nulo)
            continue;
        unsigned char *d = buf + p.desp;
        switch (p.tipo) {
        case SQL_INT64: {
            qint64 x = 0;
            const int dec = -p.escala;
            const int tipo = v.metaType().id();
            if (esMoneda(v)) {
                x = v.value<Moneda>().aEscala(p.escala);
            } else if ((tipo == QMetaType::Double || tipo == QMetaType::Float) && dec <= 4) {
                x = Moneda::deDouble(v.toDouble()).aEscala(p.escala); // a la par, como el dinero
            } else if (tipo == QMetaType::Double || tipo == QMetaType::Float) {
                x = std::llround((long double)v.toDouble() * potencia10(dec));
            } else if (tipo == QMetaType::QString || tipo == QMetaType::QByteArray) {
                const QString s = v.toString().trimmed();
                bool ok = false;
                if (dec <= 4) {
                    const Moneda m = Moneda::deTexto(s, &ok);
                    x = m.aEscala(p.escala);
                } else {
                    const double dv = s.toDouble(&ok);
                    x = std::llround((long double)dv * potencia10(dec));
                }
                if (!ok)
                    error(QStringLiteral("El parámetro :%1 no es un número: \"%2\"").arg(nombre, s));
            } else {
                bool ok = false;
                x = v.toLongLong(&ok) * potencia10(dec);
                if (!ok)
                    error(QStringLiteral("El parámetro :%1 no es un número").arg(nombre));
            }
            std::memcpy(d, &x, sizeof x);
            break;
        }
        case SQL_DOUBLE: {
            bool ok = false;
            double x = esMoneda(v) ? v.value<Moneda>().aDouble() : v.toDouble(&ok);
            if (esMoneda(v))
                ok = true;
            if (!ok)
                error(QStringLiteral("El parámetro :%1 no es un número").arg(nombre));
            std::memcpy(d, &x, sizeof x);
            break;
        }
        case SQL_VARYING: {
            QByteArray b;
            if (v.metaType().id() == QMetaType::QByteArray)
                b = v.toByteArray();
            else if (esMoneda(v))
                b = v.value<Moneda>().texto(4).toLatin1();
            else if (v.metaType().id() == QMetaType::QDate)
                b = v.toDate().toString(Qt::ISODate).toLatin1();
            else if (v.metaType().id() == QMetaType::QDateTime)
                b = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toLatin1();
            else
                b = FbTexto::aCp1252(v.toString());
            if (b.size() > qsizetype(p.largo))
                throw ErrorFb(CodigoFb::Truncado,
                              QStringLiteral("El valor del parámetro :%1 excede %2 caracteres").arg(nombre).arg(p.largo));
            const unsigned short largo = static_cast<unsigned short>(b.size());
            std::memcpy(d, &largo, sizeof largo);
            std::memcpy(d + sizeof largo, b.constData(), size_t(b.size()));
            break;
        }
        case SQL_TYPE_DATE: {
            const QDate f = v.metaType().id() == QMetaType::QString ? fechaDeTexto(v.toString()) : v.toDate();
            if (!f.isValid())
                error(QStringLiteral("El parámetro :%1 no es una fecha").arg(nombre));
            const ISC_DATE x = Fb::util()->encodeDate(unsigned(f.year()), unsigned(f.month()), unsigned(f.day()));
            std::memcpy(d, &x, sizeof x);
            break;
        }
        case SQL_TYPE_TIME: {
            const QTime h = v.metaType().id() == QMetaType::QDateTime ? v.toDateTime().time() : v.toTime();
            if (!h.isValid())
                error(QStringLiteral("El parámetro :%1 no es una hora").arg(nombre));
            const ISC_TIME x = Fb::util()->encodeTime(unsigned(h.hour()), unsigned(h.minute()), unsigned(h.second()),
                                                      unsigned(h.msec()) * 10);
            std::memcpy(d, &x, sizeof x);
            break;
        }
        case SQL_TIMESTAMP: {
            QDateTime t;
            if (v.metaType().id() == QMetaType::QDate)
                t = QDateTime(v.toDate(), QTime(0, 0));
            else if (v.metaType().id() == QMetaType::QString) {
                t = QDateTime::fromString(v.toString().trimmed(), Qt::ISODateWithMs);
                if (!t.isValid())
                    t = QDateTime(fechaDeTexto(v.toString()), QTime(0, 0));
            } else
                t = v.toDateTime();
            if (!t.isValid())
                error(QStringLiteral("El parámetro :%1 no es una fecha y hora").arg(nombre));
            ISC_TIMESTAMP x;
            x.timestamp_date = Fb::util()->encodeDate(unsigned(t.date().year()), unsigned(t.date().month()),
                                                      unsigned(t.date().day()));
            x.timestamp_time = Fb::util()->encodeTime(unsigned(t.time().hour()), unsigned(t.time().minute()),
                                                      unsigned(t.time().second()), unsigned(t.time().msec()) * 10);
            std::memcpy(d, &x, sizeof x);
            break;
        }
        case SQL_BOOLEAN: {
            unsigned char x = 0;
            if (v.metaType().id() == QMetaType::QString) {
                const QString s = v.toString().trimmed().toUpper();
                x = (s == QLatin1String("S") || s == QLatin1String("1") || s == QLatin1String("TRUE")
                     || s == QLatin1String("SI") || s == QLatin1String("SÍ")) ? 1 : 0;
            } else
                x = v.toBool() ? 1 : 0;
            *d = x;
            break;
        }
        case SQL_BLOB: {
            const QByteArray b = v.metaType().id() == QMetaType::QByteArray ? v.toByteArray()
                                                                            : FbTexto::aCp1252(v.toString());
            Fb::Estado est;
            ISC_QUAD id{};
            IBlob *blob = m_conexion->atadura()->createBlob(est.w(), m_trans->interfaz(), &id, 0, nullptr);
            if (est.hayError())
                m_conexion->lanza(est);
            for (qsizetype pos = 0; pos < b.size() && !est.hayError(); pos += 32000) {
                const qsizetype trozo = qMin<qsizetype>(32000, b.size() - pos);
                blob->putSegment(est.w(), unsigned(trozo), b.constData() + pos);
            }
            if (!est.hayError())
                blob->close(est.w()); // con éxito suelta la interfaz
            if (est.hayError()) {
                blob->release();
                m_conexion->lanza(est);
            }
            std::memcpy(d, &id, sizeof id);
            break;
        }
        default:
            break;
        }
    }
}

void Consulta::ejecuta()
{
    prepara();
    cierra();
    if (bitacora())
        bitacora()(EventoSentencia::Ejecuta, m_sql);
    m_filas = 0;
    ITransaction *tra = m_trans->interfaz();
    llenaEntrada();
    IMessageMetadata *entrada = m_parametros.empty() ? nullptr : m_metaEntrada;
    void *bufEntrada = m_parametros.empty() ? nullptr : m_bufEntrada.data();
    Fb::Estado est;
    if (m_tipoSentencia & IStatement::FLAG_HAS_CURSOR) {
        IResultSet *rs = m_stmt->openCursor(est.w(), tra, entrada, bufEntrada, m_metaSalida, 0);
        if (est.hayError())
            m_conexion->lanza(est);
        m_cursor = rs;
        m_numeroTrans = m_trans->numero();
        siguiente();
    } else {
        const bool conSalida = !m_campos.empty();
        m_stmt->execute(est.w(), tra, entrada, bufEntrada, conSalida ? m_metaSalida : nullptr,
                        conSalida ? m_bufSalida.data() : nullptr);
        if (est.hayError())
            m_conexion->lanza(est);
        m_filas = qint64(m_stmt->getAffectedRecords(est.w()));
        est.limpia();
        m_hayFila = conSalida;
        // UPDATE/DELETE ... RETURNING que no encontró fila: salida nula, no una fila
        if (m_cambiaFilas && m_filas == 0)
            m_hayFila = false;
        if (m_actualizacion)
            m_trans->confirma();
    }
}

bool Consulta::siguiente()
{
    if (!m_cursor) {
        m_hayFila = false;
        return false;
    }
    if (!m_trans || !m_trans->activa() || m_trans->numero() != m_numeroTrans) {
        liberaCursor();
        error(QStringLiteral("El cursor se cerró al terminar su transacción"));
    }
    Fb::Estado est;
    const int r = m_cursor->fetchNext(est.w(), m_bufSalida.data());
    if (est.hayError()) {
        m_hayFila = false;
        liberaCursor();
        m_conexion->lanza(est);
    }
    m_hayFila = r == IStatus::RESULT_OK;
    if (!m_hayFila)
        cierra();
    return m_hayFila;
}

void Consulta::cierra()
{
    m_hayFila = false;
    if (!m_cursor)
        return;
    if (m_conexion && m_trans && m_trans->activa() && m_trans->numero() == m_numeroTrans) {
        Fb::Estado est;
        m_cursor->close(est.w()); // con éxito suelta la interfaz
        if (est.hayError())
            m_cursor->release();
        m_cursor = nullptr;
        if (m_actualizacion)
            m_trans->confirma();
    } else {
        liberaCursor();
    }
}

void Consulta::liberaCursor() noexcept
{
    if (m_cursor) {
        m_cursor->release();
        m_cursor = nullptr;
    }
    m_hayFila = false;
}

void Consulta::liberaSentencia() noexcept
{
    if (m_cursor) {
        if (m_conexion && m_trans && m_trans->activa() && m_trans->numero() == m_numeroTrans) {
            Fb::Estado est;
            m_cursor->close(est.w());
            if (est.hayError())
                m_cursor->release();
            m_cursor = nullptr;
        }
        liberaCursor();
    }
    m_hayFila = false;
    if (m_metaEntrada) {
        m_metaEntrada->release();
        m_metaEntrada = nullptr;
    }
    if (m_metaSalida) {
        m_metaSalida->release();
        m_metaSalida = nullptr;
    }
    if (m_stmt) {
        Fb::Estado est;
        m_stmt->free(est.w()); // con éxito suelta la interfaz
        if (est.hayError())
            m_stmt->release();
        m_stmt = nullptr;
    }
    m_sqlPreparado.clear();
    m_parametros.clear();
    m_campos.clear();
    m_indiceCampos.clear();
}

void Consulta::liberaFb() noexcept { liberaSentencia(); }

void Consulta::olvidaTransaccion(Transaccion *t) noexcept
{
    if (t != m_trans)
        return;
    if (m_cursor && m_conexion && t->activa() && t->numero() == m_numeroTrans) {
        Fb::Estado est;
        m_cursor->close(est.w());
        if (est.hayError())
            m_cursor->release();
        m_cursor = nullptr;
    }
    liberaCursor();
    m_trans = nullptr;
}

void Consulta::olvidaConexion() noexcept
{
    liberaSentencia();
    m_conexion = nullptr;
    m_trans = nullptr; // su transacción también queda sin conexión
}

QString Consulta::nombreCampo(int i) const { return columna(i).nombre; }

int Consulta::indiceCampo(const QString &nombre) const { return m_indiceCampos.value(nombre.toUpper(), -1); }

CampoFb Consulta::campo(int i) const
{
    columna(i);
    return CampoFb(this, i);
}

CampoFb Consulta::campo(const QString &nombre) const
{
    const int i = indiceCampo(nombre);
    if (i < 0)
        error(QStringLiteral("La consulta no tiene el campo %1").arg(nombre));
    return CampoFb(this, i);
}

const Consulta::Columna &Consulta::columna(int i) const
{
    if (i < 0 || size_t(i) >= m_campos.size())
        error(QStringLiteral("La consulta no tiene el campo número %1").arg(i));
    return m_campos[size_t(i)];
}

const unsigned char *Consulta::dato(int i) const
{
    const Columna &c = columna(i);
    if (!m_hayFila)
        error(QStringLiteral("No hay fila actual para leer el campo %1").arg(c.nombre));
    return m_bufSalida.data() + c.desp;
}

QByteArray Consulta::leeBlob(int i) const
{
    ISC_QUAD id;
    std::memcpy(&id, dato(i), sizeof id);
    exigeConexion();
    Fb::Estado est;
    IBlob *blob = m_conexion->atadura()->openBlob(est.w(), m_trans->interfaz(), &id, 0, nullptr);
    if (est.hayError())
        m_conexion->lanza(est);
    QByteArray r;
    char buf[32768];
    for (;;) {
        unsigned leidos = 0;
        const int res = blob->getSegment(est.w(), sizeof buf, buf, &leidos);
        if (est.hayError())
            break;
        if (res == IStatus::RESULT_OK || res == IStatus::RESULT_SEGMENT)
            r.append(buf, leidos);
        else
            break;
    }
    if (!est.hayError())
        blob->close(est.w());
    if (est.hayError()) {
        blob->release();
        m_conexion->lanza(est);
    }
    return r;
}

// ---------------------------------------------------------------- CampoFb

namespace {

template <typename T> T lee(const unsigned char *d)
{
    T x;
    std::memcpy(&x, d, sizeof x);
    return x;
}

bool esEntero(unsigned t) { return t == SQL_SHORT || t == SQL_LONG || t == SQL_INT64; }

qint64 leeEntero(unsigned t, const unsigned char *d)
{
    switch (t) {
    case SQL_SHORT: return lee<qint16>(d);
    case SQL_LONG: return lee<qint32>(d);
    default: return lee<qint64>(d);
    }
}

QDate decodificaFecha(ISC_DATE x)
{
    unsigned a = 0, m = 0, d = 0;
    Fb::util()->decodeDate(x, &a, &m, &d);
    return QDate(int(a), int(m), int(d));
}

QTime decodificaHora(ISC_TIME x)
{
    unsigned h = 0, mi = 0, s = 0, fr = 0;
    Fb::util()->decodeTime(x, &h, &mi, &s, &fr);
    return QTime(int(h), int(mi), int(s), int(fr / 10));
}

} // namespace

QString CampoFb::nombre() const { return m_q->nombreCampo(m_i); }

bool CampoFb::esNulo() const
{
    const auto &c = m_q->columna(m_i);
    m_q->dato(m_i);
    return lee<short>(m_q->m_bufSalida.data() + c.despNulo) != 0;
}

QByteArray CampoFb::bytes() const
{
    if (esNulo())
        return {};
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    switch (c.tipo) {
    case SQL_TEXT: return QByteArray(reinterpret_cast<const char *>(d), qsizetype(c.largo));
    case SQL_VARYING:
        return QByteArray(reinterpret_cast<const char *>(d) + 2, qsizetype(lee<unsigned short>(d)));
    case SQL_BLOB: return m_q->leeBlob(m_i);
    default: return FbTexto::aCp1252(texto());
    }
}

QString CampoFb::texto() const
{
    if (esNulo())
        return {};
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    switch (c.tipo) {
    case SQL_TEXT: {
        qsizetype n = qsizetype(c.largo);
        while (n > 0 && d[n - 1] == ' ')
            --n;
        return FbTexto::deCp1252(reinterpret_cast<const char *>(d), n);
    }
    case SQL_VARYING:
        return FbTexto::deCp1252(reinterpret_cast<const char *>(d) + 2, qsizetype(lee<unsigned short>(d)));
    case SQL_BLOB: return FbTexto::deCp1252(m_q->leeBlob(m_i));
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: return textoEscalado(leeEntero(c.tipo, d), c.escala);
    case SQL_FLOAT: return QString::number(double(lee<float>(d)), 'g', QLocale::FloatingPointShortest);
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return QString::number(lee<double>(d), 'g', QLocale::FloatingPointShortest);
    case SQL_TYPE_DATE: return fecha().toString(Qt::ISODate);
    case SQL_TYPE_TIME: return hora().toString(QStringLiteral("hh:mm:ss"));
    case SQL_TIMESTAMP: return fechaHora().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case SQL_BOOLEAN: return *d ? QStringLiteral("true") : QStringLiteral("false");
    default: return {};
    }
}

qint64 CampoFb::entero() const
{
    if (esNulo())
        return 0;
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    if (esEntero(c.tipo)) {
        const qint64 v = leeEntero(c.tipo, d);
        if (c.escala >= 0)
            return v * potencia10(c.escala);
        return DivideALaPar(v, potencia10(-c.escala));
    }
    switch (c.tipo) {
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return std::llround(real());
    case SQL_BOOLEAN: return *d ? 1 : 0;
    default: {
        const QString s = texto().trimmed();
        bool ok = false;
        const qint64 v = s.toLongLong(&ok);
        return ok ? v : std::llround(s.toDouble());
    }
    }
}

double CampoFb::real() const
{
    if (esNulo())
        return 0;
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    if (esEntero(c.tipo)) {
        const qint64 v = leeEntero(c.tipo, d);
        return c.escala >= 0 ? double(v * potencia10(c.escala)) : double(v) / double(potencia10(-c.escala));
    }
    switch (c.tipo) {
    case SQL_FLOAT: return double(lee<float>(d));
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return lee<double>(d);
    case SQL_BOOLEAN: return *d ? 1 : 0;
    default: return texto().trimmed().toDouble();
    }
}

Moneda CampoFb::moneda() const
{
    if (esNulo())
        return {};
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    if (esEntero(c.tipo))
        return Moneda::deEscalado(leeEntero(c.tipo, d), c.escala);
    switch (c.tipo) {
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return Moneda::deDouble(real());
    default: return Moneda::deTexto(texto());
    }
}

QDate CampoFb::fecha() const
{
    if (esNulo())
        return {};
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    switch (c.tipo) {
    case SQL_TYPE_DATE: return decodificaFecha(lee<ISC_DATE>(d));
    case SQL_TIMESTAMP: return decodificaFecha(lee<ISC_TIMESTAMP>(d).timestamp_date);
    default: return fechaDeTexto(texto());
    }
}

QTime CampoFb::hora() const
{
    if (esNulo())
        return {};
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    switch (c.tipo) {
    case SQL_TYPE_TIME: return decodificaHora(lee<ISC_TIME>(d));
    case SQL_TIMESTAMP: return decodificaHora(lee<ISC_TIMESTAMP>(d).timestamp_time);
    case SQL_TYPE_DATE: return QTime(0, 0);
    default: return QTime::fromString(texto().trimmed(), Qt::ISODateWithMs);
    }
}

QDateTime CampoFb::fechaHora() const
{
    if (esNulo())
        return {};
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    switch (c.tipo) {
    case SQL_TIMESTAMP: {
        const auto x = lee<ISC_TIMESTAMP>(d);
        return QDateTime(decodificaFecha(x.timestamp_date), decodificaHora(x.timestamp_time));
    }
    case SQL_TYPE_DATE: return QDateTime(fecha(), QTime(0, 0));
    case SQL_TYPE_TIME: return QDateTime(QDate(1899, 12, 30), hora()); // fecha cero
    default: {
        const QString s = texto().trimmed();
        QDateTime t = QDateTime::fromString(s, Qt::ISODateWithMs);
        if (!t.isValid())
            t = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        return t;
    }
    }
}

bool CampoFb::booleano() const
{
    if (esNulo())
        return false;
    const auto &c = m_q->columna(m_i);
    const unsigned char *d = m_q->dato(m_i);
    if (c.tipo == SQL_BOOLEAN)
        return *d != 0;
    if (c.tipo == SQL_TEXT || c.tipo == SQL_VARYING) {
        const QString s = texto().trimmed().toUpper();
        return s == QLatin1String("S") || s == QLatin1String("1") || s == QLatin1String("TRUE")
               || s == QLatin1String("SI") || s == QStringLiteral("SÍ");
    }
    return entero() != 0;
}

QVariant CampoFb::variante() const
{
    if (esNulo())
        return {};
    const auto &c = m_q->columna(m_i);
    switch (c.tipo) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (c.escala >= 0)
            return QVariant(entero());
        return QVariant(real());
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return QVariant(real());
    case SQL_TYPE_DATE: return QVariant(fecha());
    case SQL_TYPE_TIME: return QVariant(hora());
    case SQL_TIMESTAMP: return QVariant(fechaHora());
    case SQL_BOOLEAN: return QVariant(booleano());
    case SQL_BLOB:
        if (c.subtipo == 1)
            return QVariant(texto());
        return QVariant(bytes());
    default: return QVariant(texto());
    }
}
