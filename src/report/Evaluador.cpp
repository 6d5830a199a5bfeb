#include "report/Evaluador.h"

#include "report/FormatoInforme.h"

#include "common/FormatoNumero.h"

#include <QRegularExpression>

void Evaluador::agregaDatos(const QString &alias, const FuenteDatos *datos)
{
    for (auto &d : m_datos)
        if (d.first.compare(alias, Qt::CaseInsensitive) == 0) {
            d.second = datos;
            limpia();
            return;
        }
    m_datos.append({alias, datos});
    limpia();
}

const FuenteDatos *Evaluador::datos(const QString &alias) const
{
    for (const auto &d : m_datos)
        if (d.first.compare(alias, Qt::CaseInsensitive) == 0)
            return d.second;
    if (m_datos.size() == 1) {
        const_cast<Evaluador *>(this)->aviso(
            QStringLiteral("La forma usa el conjunto \"%1\"; se liga al conjunto \"%2\".").arg(alias, m_datos[0].first));
        return m_datos[0].second;
    }
    return nullptr;
}

int Evaluador::filasDe(const Banda &b) const
{
    if (!b.conjunto.isEmpty()) {
        if (const FuenteDatos *d = datos(b.conjunto))
            return d->numFilas();
        const_cast<Evaluador *>(this)->aviso(
            QStringLiteral("La banda %1 usa el conjunto \"%2\", que no existe.").arg(b.nombre, b.conjunto));
        return 0;
    }
    return b.filas;
}

void Evaluador::aviso(const QString &t)
{
    if (m_avisados.contains(t))
        return;
    m_avisados.insert(t);
    if (m_avisos)
        m_avisos->append(t);
}

PiezaTexto Evaluador::expresion(const QString &exprOriginal, const QString &vista)
{
    PiezaTexto p;
    QString expr = exprOriginal.trimmed();
    // Formato en línea: "<expr> #n%2.2n"
    static const QRegularExpression enLinea(QStringLiteral("^(.*?)\\s+#([nNdDbB])(.*)$"));
    const auto mf = enLinea.match(expr);
    if (mf.hasMatch()) {
        expr = mf.captured(1).trimmed();
        const QChar k = mf.captured(2)[0].toLower();
        p.formatoEnLinea.clase = k == QLatin1Char('n') ? QStringLiteral("fkNumeric")
                                 : k == QLatin1Char('d') ? QStringLiteral("fkDateTime")
                                                         : QStringLiteral("fkBoolean");
        p.formatoEnLinea.cadena = mf.captured(3);
    }
    static const QRegularExpression campo(QStringLiteral("^<?\\s*([A-Za-z_][\\w ]*?)\\s*\\.\\s*\"([^\"]*)\"\\s*>?$"));
    static const QRegularExpression formatFloat(
        QStringLiteral("^(?:FormatFloat|FormatCurr)\\s*\\(\\s*'([^']*)'\\s*,\\s*(.+)\\)$"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression cadena(QStringLiteral("^'((?:[^']|'')*)'$"));
    const QString e = expr.toLower();
    if (auto m = campo.match(expr); m.hasMatch()) {
        const QString alias = m.captured(1).trimmed();
        const QString nombre = m.captured(2);
        p.tipo = PiezaTexto::Campo;
        p.datos = datos(alias);
        if (!p.datos) {
            aviso(QStringLiteral("El conjunto \"%1\" de %2 no existe.").arg(alias, vista));
            p.tipo = PiezaTexto::Nada;
        } else {
            p.campo = p.datos->indiceCampo(nombre);
            if (p.campo < 0) {
                aviso(QStringLiteral("El campo %1.\"%2\" de %3 no existe.").arg(alias, nombre, vista));
                p.tipo = PiezaTexto::Nada;
            }
        }
    } else if (auto m = formatFloat.match(expr); m.hasMatch()) {
        p = expresion(m.captured(2), vista);
        if (p.tipo == PiezaTexto::Campo) {
            p.tipo = PiezaTexto::FormatoCampo;
            p.texto = m.captured(1);
        }
    } else if (auto m = cadena.match(expr); m.hasMatch()) {
        p.tipo = PiezaTexto::Literal;
        p.texto = m.captured(1).replace(QLatin1String("''"), QLatin1String("'"));
    } else if (e == QLatin1String("page#") || e == QLatin1String("page")) {
        p.tipo = PiezaTexto::Pagina;
    } else if (e == QLatin1String("totalpages#") || e == QLatin1String("totalpages")) {
        p.tipo = PiezaTexto::TotalPaginas;
    } else if (e == QLatin1String("line#") || e == QLatin1String("line")) {
        p.tipo = PiezaTexto::Linea;
    } else if (e == QLatin1String("date")) {
        p.tipo = PiezaTexto::Fecha;
    } else if (e == QLatin1String("time")) {
        p.tipo = PiezaTexto::Hora;
    } else if (e == QLatin1String("now")) {
        p.tipo = PiezaTexto::FechaHora;
    } else {
        aviso(QStringLiteral("Expresión no soportada en %1: %2").arg(vista, exprOriginal));
        p.tipo = PiezaTexto::Nada;
    }
    return p;
}

QList<PiezaTexto> Evaluador::analiza(const QString &texto, const QString &delimitadores, const QString &vista)
{
    QList<PiezaTexto> r;
    QString abre = QStringLiteral("["), cierra = QStringLiteral("]");
    const auto d = delimitadores.split(QLatin1Char(','));
    if (d.size() == 2 && !d[0].isEmpty() && !d[1].isEmpty()) {
        abre = d[0];
        cierra = d[1];
    }
    QString literal;
    int i = 0;
    const int n = int(texto.size());
    while (i < n) {
        if (texto.mid(i, abre.size()) != abre) {
            literal += texto[i++];
            continue;
        }
        // Busca el cierre que corresponde, saltando comillas y corchetes anidados
        int j = i + int(abre.size());
        int nivel = 1;
        QChar comilla;
        while (j < n) {
            const QChar c = texto[j];
            if (!comilla.isNull()) {
                if (c == comilla)
                    comilla = QChar();
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                comilla = c;
            } else if (texto.mid(j, abre.size()) == abre && abre != cierra) {
                ++nivel;
            } else if (texto.mid(j, cierra.size()) == cierra) {
                if (--nivel == 0)
                    break;
            }
            ++j;
        }
        if (j >= n) { // sin cierre: literal
            literal += texto.mid(i);
            break;
        }
        if (!literal.isEmpty()) {
            r.append({PiezaTexto::Literal, literal, nullptr, -1, {}});
            literal.clear();
        }
        r.append(expresion(texto.mid(i + abre.size(), j - i - abre.size()), vista));
        i = j + int(cierra.size());
    }
    if (!literal.isEmpty())
        r.append({PiezaTexto::Literal, literal, nullptr, -1, {}});
    return r;
}

QVariant Evaluador::valorPieza(const PiezaTexto &p, const ContextoEvaluacion &c) const
{
    switch (p.tipo) {
    case PiezaTexto::Literal: return p.texto;
    case PiezaTexto::Campo:
    case PiezaTexto::FormatoCampo: return p.datos->valor(std::max(c.fila, 0), p.campo);
    case PiezaTexto::Pagina: return c.pagina;
    case PiezaTexto::TotalPaginas: return c.totalPaginas;
    case PiezaTexto::Linea: return c.linea;
    case PiezaTexto::Fecha: return c.ahora.date();
    case PiezaTexto::Hora: return c.ahora.time().toString(QStringLiteral("hh:mm:ss"));
    case PiezaTexto::FechaHora: return c.ahora;
    case PiezaTexto::Nada: return {};
    }
    return {};
}

QString Evaluador::evalua(const QList<PiezaTexto> &piezas, const Vista &v, const ContextoEvaluacion &c) const
{
    QString r;
    for (const PiezaTexto &p : piezas) {
        if (p.tipo == PiezaTexto::Literal) {
            r += p.texto;
            continue;
        }
        const QVariant valor = valorPieza(p, c);
        if (p.tipo == PiezaTexto::FormatoCampo) {
            double x = 0;
            r += ValorNumerico(valor, x) ? FormatoFlotante(p.texto, x) : valor.toString();
        } else if (!p.formatoEnLinea.clase.isEmpty()) {
            r += TextoConFormato(valor, p.formatoEnLinea, v.ocultaCeros);
        } else {
            r += TextoConFormato(valor, v.formato, v.ocultaCeros);
        }
    }
    return r;
}

QString Evaluador::textoMemo(const Vista &v, const ContextoEvaluacion &c)
{
    auto it = m_compilados.find(&v);
    if (it == m_compilados.end()) {
        QList<PiezaTexto> piezas;
        if (!v.campo.isEmpty()) {
            PiezaTexto p = expresion(QStringLiteral("%1.\"%2\"").arg(v.conjunto.isEmpty() ? QStringLiteral("frxDBDataset") : v.conjunto, v.campo), v.nombre);
            piezas.append(p);
        } else if (v.permiteExpresiones) {
            piezas = analiza(v.texto, v.delimitadores, v.nombre);
        } else {
            piezas.append({PiezaTexto::Literal, v.texto, nullptr, -1, {}});
        }
        it = m_compilados.insert(&v, piezas);
    }
    return evalua(*it, v, c);
}

QVariant Evaluador::datoVista(const Vista &v, const ContextoEvaluacion &c)
{
    auto it = m_compilados.find(&v);
    if (it == m_compilados.end()) {
        QList<PiezaTexto> piezas;
        if (!v.campo.isEmpty())
            piezas.append(expresion(QStringLiteral("%1.\"%2\"").arg(v.conjunto.isEmpty() ? QStringLiteral("frxDBDataset") : v.conjunto, v.campo), v.nombre));
        else if (!v.expresion.trimmed().isEmpty())
            piezas.append(expresion(v.expresion, v.nombre));
        else
            piezas = analiza(v.texto, v.delimitadores, v.nombre);
        it = m_compilados.insert(&v, piezas);
    }
    if (it->size() == 1 && (it->at(0).tipo == PiezaTexto::Campo)) {
        const QVariant x = valorPieza(it->at(0), c);
        if (x.typeId() == QMetaType::QByteArray)
            return x; // imagen en bytes
        if (v.tipo == TipoVista::Imagen)
            return x;
    }
    FormatoVista sinFormato;
    QString r;
    for (const PiezaTexto &p : *it)
        r += p.tipo == PiezaTexto::Literal ? p.texto : TextoConFormato(valorPieza(p, c), sinFormato, false);
    return r;
}
