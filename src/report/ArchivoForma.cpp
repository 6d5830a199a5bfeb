#include "report/ArchivoForma.h"

#include "db/fbTexto.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <charconv>
#include <optional>

double NumeroForma(const QString &texto, bool *ok)
{
    QString t = texto.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool bien = false;
    const double v = QLocale::c().toDouble(t, &bien);
    if (ok)
        *ok = bien;
    return bien ? v : 0.0;
}

QString EscapaForma(const QString &texto)
{
    QString r;
    r.reserve(texto.size() + 8);
    for (QChar c : texto) {
        switch (c.unicode()) {
        case '&': r += QLatin1String("&amp;"); break;
        case '"': r += QLatin1String("&#34;"); break;
        case '<': r += QLatin1String("&#60;"); break;
        case '>': r += QLatin1String("&#62;"); break;
        case '\r': r += QLatin1String("&#13;"); break;
        case '\n': r += QLatin1String("&#10;"); break;
        case '\t': r += QLatin1String("&#9;"); break;
        default: r += c;
        }
    }
    return r;
}

namespace {

const QString Dataset = QStringLiteral("frxDBDataset");

// Atributos de un elemento por tomar; lo que no se toma queda como extra
class Atributos
{
public:
    Atributos(const QXmlStreamAttributes &a, QString elemento, QStringList *avisos)
        : m_elemento(std::move(elemento)), m_avisos(avisos)
    {
        for (const auto &x : a)
            m_lista.append({x.qualifiedName().toString(), x.value().toString()});
    }

    std::optional<QString> toma(const QString &nombre)
    {
        for (qsizetype i = 0; i < m_lista.size(); ++i)
            if (m_lista[i].first.compare(nombre, Qt::CaseInsensitive) == 0) {
                QString v = m_lista[i].second;
                m_lista.removeAt(i);
                return v;
            }
        return std::nullopt;
    }
    QString texto(const QString &nombre, const QString &omision = {})
    {
        auto v = toma(nombre);
        return v ? *v : omision;
    }
    double numero(const QString &nombre, double omision)
    {
        auto v = toma(nombre);
        if (!v || v->trimmed().isEmpty())
            return omision;
        bool ok = false;
        const double n = NumeroForma(*v, &ok);
        if (!ok) {
            aviso(QStringLiteral("Valor no numérico en %1 de %2: \"%3\"; se usa %4")
                      .arg(nombre, m_elemento, *v, QString::number(omision)));
            return omision;
        }
        return n;
    }
    int entero(const QString &nombre, int omision) { return int(std::lround(numero(nombre, omision))); }
    bool logico(const QString &nombre, bool omision)
    {
        auto v = toma(nombre);
        if (!v)
            return omision;
        const QString t = v->trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("1"))
            return true;
        if (t == QLatin1String("false") || t == QLatin1String("0"))
            return false;
        aviso(QStringLiteral("Valor lógico no válido en %1 de %2: \"%3\"").arg(nombre, m_elemento, *v));
        return omision;
    }
    Longitud unidades(const QString &nombre, Longitud omision = {})
    {
        const std::optional<double> n = numeroLongitud(nombre);
        return n ? Longitud::deUnidades(*n) : omision;
    }
    Longitud mm(const QString &nombre, Longitud omision)
    {
        const std::optional<double> n = numeroLongitud(nombre);
        return n ? Longitud::deMm(*n) : omision;
    }
    // Número de un atributo de longitud; vacío si falta o no es número (con aviso)
    std::optional<double> numeroLongitud(const QString &nombre)
    {
        auto v = toma(nombre);
        if (!v)
            return std::nullopt;
        bool ok = false;
        const double n = NumeroForma(*v, &ok);
        if (!ok) {
            aviso(QStringLiteral("Valor no numérico en %1 de %2: \"%3\"").arg(nombre, m_elemento, *v));
            return std::nullopt;
        }
        return n;
    }
    ColorForma color(const QString &nombre, ColorForma omision)
    {
        auto v = toma(nombre);
        if (!v)
            return omision;
        QString t = v->trimmed();
        bool ok = false;
        qint64 n = 0;
        if (t.startsWith(QLatin1Char('$')))
            n = t.mid(1).toLongLong(&ok, 16);
        else if (t.startsWith(QLatin1String("cl"), Qt::CaseInsensitive))
            return colorConNombre(t, omision);
        else
            n = t.toLongLong(&ok);
        if (!ok) {
            aviso(QStringLiteral("Color no válido en %1 de %2: \"%3\"").arg(nombre, m_elemento, *v));
            return omision;
        }
        return ColorForma(quint32(n));
    }
    // Conjuntos de Delphi escritos como número o como "[ftLeft,ftTop]"
    int conjuntoBits(const QString &nombre, const QStringList &nombres, int omision)
    {
        auto v = toma(nombre);
        if (!v)
            return omision;
        QString t = v->trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            int bits = 0;
            const auto partes = t.mid(1, t.size() - 2).split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (const QString &p : partes) {
                const int i = int(nombres.indexOf(p.trimmed()));
                if (i >= 0)
                    bits |= 1 << i;
            }
            return bits;
        }
        bool ok = false;
        const int n = t.toInt(&ok);
        return ok ? n : omision;
    }
    AtributosExtra resto() const { return m_lista; }
    void aviso(const QString &t)
    {
        if (m_avisos)
            m_avisos->append(t);
    }

private:
    ColorForma colorConNombre(const QString &t, ColorForma omision)
    {
        static const QList<QPair<QString, ColorForma>> nombres = {
            {"clBlack", 0},           {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
            {"clNavy", 0x800000},     {"clPurple", 0x800080}, {"clTeal", 0x808000},  {"clGray", 0x808080},
            {"clSilver", 0xC0C0C0},   {"clRed", 0x0000FF},    {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
            {"clBlue", 0xFF0000},     {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
            {"clNone", ColorNinguno}, {"clWindow", ColorForma(0x80000005)}, {"clWindowText", ColorForma(0x80000008)},
            {"clBtnFace", ColorForma(0x8000000F)}};
        for (const auto &n : nombres)
            if (n.first.compare(t, Qt::CaseInsensitive) == 0)
                return n.second;
        aviso(QStringLiteral("Color desconocido \"%1\" en %2").arg(t, m_elemento));
        return omision;
    }

    AtributosExtra m_lista;
    QString m_elemento;
    QStringList *m_avisos;
};

TipoBanda TipoDeBanda(const QString &clase)
{
    if (clase == QLatin1String("TfrxReportTitle")) return TipoBanda::TituloInforme;
    if (clase == QLatin1String("TfrxPageHeader")) return TipoBanda::EncabezadoPagina;
    if (clase == QLatin1String("TfrxMasterData")) return TipoBanda::DatosMaestros;
    if (clase == QLatin1String("TfrxFooter")) return TipoBanda::PieDatos;
    if (clase == QLatin1String("TfrxPageFooter")) return TipoBanda::PiePagina;
    if (clase == QLatin1String("TfrxReportSummary")) return TipoBanda::ResumenInforme;
    return TipoBanda::Desconocida;
}

bool PareceBanda(const QString &clase)
{
    static const char *partes[] = {"Band", "Header", "Footer", "Data", "Child", "Title", "Summary", "Overlay", "Column"};
    if (TipoDeBanda(clase) != TipoBanda::Desconocida)
        return true;
    for (const char *p : partes)
        if (clase.contains(QLatin1String(p)))
            return true;
    return false;
}

std::optional<TipoVista> TipoDeVista(const QString &clase)
{
    if (clase == QLatin1String("TfrxMemoView") || clase == QLatin1String("TfrxSysMemoView"))
        return TipoVista::Memo;
    if (clase == QLatin1String("TfrxBarCodeView")) return TipoVista::CodigoBarras;
    if (clase == QLatin1String("TfrxBarcode2DView")) return TipoVista::Codigo2D;
    if (clase == QLatin1String("TfrxLineView")) return TipoVista::Linea;
    if (clase == QLatin1String("TfrxShapeView")) return TipoVista::Figura;
    if (clase == QLatin1String("TfrxPictureView")) return TipoVista::Imagen;
    return std::nullopt;
}

class Lector
{
public:
    Lector(const QString &texto, bool deCp1252, QStringList *avisos) : m_x(texto), m_cp1252(deCp1252), m_avisos(avisos) {}

    bool lee(Plantilla &forma, QString &error)
    {
        // Primer elemento
        while (!m_x.atEnd() && !m_x.isStartElement())
            m_x.readNext();
        if (m_x.hasError() || !m_x.isStartElement()) {
            error = errorXml();
            return false;
        }
        if (m_x.name() != QLatin1String("TfrxReport")) {
            error = QStringLiteral("no es una forma de informes: el elemento principal es <%1> y debe ser <TfrxReport>")
                        .arg(m_x.name().toString());
            return false;
        }
        Atributos a(m_x.attributes(), QStringLiteral("TfrxReport"), m_avisos);
        forma.extras = a.resto();
        for (const auto &e : forma.extras) {
            if (e.first == QLatin1String("ScriptText.Text")) {
                QString guion = e.second.simplified().toLower();
                if (!guion.isEmpty() && guion != QLatin1String("begin end."))
                    aviso(QStringLiteral("La forma tiene un guion que no se ejecuta; se imprimen sus objetos fijos."));
            }
        }
        int posicion = 0;
        while (m_x.readNextStartElement()) {
            const QString clase = m_x.name().toString();
            if (clase == QLatin1String("TfrxReportPage")) {
                Pagina p;
                leePagina(p);
                forma.paginas.append(std::move(p));
            } else {
                if (clase == QLatin1String("TfrxDialogPage"))
                    aviso(QStringLiteral("La página de diálogo %1 no se muestra; se omite.").arg(nombreElemento()));
                else if (clase != QLatin1String("TfrxDataPage") && clase != QLatin1String("Datasets") &&
                         clase != QLatin1String("Variables") && clase != QLatin1String("Styles") &&
                         clase != QLatin1String("Style"))
                    aviso(QStringLiteral("Elemento desconocido <%1> en la forma; se conserva sin usarlo.").arg(clase));
                forma.otros.append({posicion, captura()});
            }
            ++posicion;
        }
        if (m_x.hasError()) {
            error = errorXml();
            return false;
        }
        if (forma.paginas.isEmpty())
            aviso(QStringLiteral("La forma no tiene páginas de informe."));
        return true;
    }

private:
    QString errorXml() const
    {
        if (m_x.error() == QXmlStreamReader::NoError || m_x.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
            if (m_x.lineNumber() <= 1 && m_x.columnNumber() == 0)
                return QStringLiteral("el archivo está vacío");
            return QStringLiteral("el archivo termina antes de tiempo (línea %1)").arg(m_x.lineNumber());
        }
        return QStringLiteral("XML no válido en la línea %1, columna %2 (%3)")
            .arg(m_x.lineNumber())
            .arg(m_x.columnNumber())
            .arg(m_x.errorString());
    }
    void aviso(const QString &t)
    {
        if (m_avisos)
            m_avisos->append(t);
    }
    QString nombreElemento() const
    {
        const auto n = m_x.attributes().value(QLatin1String("Name"));
        return n.isEmpty() ? m_x.name().toString() : n.toString();
    }

    // El elemento actual completo, tal cual, y avanza hasta su cierre
    QString captura()
    {
        QString r;
        capturaEn(r);
        return r;
    }
    void capturaEn(QString &r)
    {
        r += QLatin1Char('<') + m_x.qualifiedName().toString();
        for (const auto &a : m_x.attributes())
            r += QLatin1Char(' ') + a.qualifiedName().toString() + QLatin1String("=\"") + EscapaForma(a.value().toString()) +
                 QLatin1Char('"');
        bool hijos = false;
        while (!m_x.atEnd()) {
            m_x.readNext();
            if (m_x.isStartElement()) {
                if (!hijos)
                    r += QLatin1Char('>');
                hijos = true;
                capturaEn(r);
            } else if (m_x.isCharacters() && !m_x.isWhitespace()) {
                if (!hijos)
                    r += QLatin1Char('>');
                hijos = true;
                QString t = m_x.text().toString();
                t.replace(QLatin1Char('&'), QLatin1String("&amp;")).replace(QLatin1Char('<'), QLatin1String("&lt;"));
                r += t;
            } else if (m_x.isEndElement()) {
                break;
            }
        }
        if (hijos)
            r += QLatin1String("</") + m_x.qualifiedName().toString() + QLatin1Char('>');
        else
            r += QLatin1String("/>");
    }

    void leePagina(Pagina &p)
    {
        Atributos a(m_x.attributes(), QStringLiteral("TfrxReportPage"), m_avisos);
        p.nombre = a.texto(QStringLiteral("Name"));
        p.anchoPapel = a.mm(QStringLiteral("PaperWidth"), p.anchoPapel);
        p.altoPapel = a.mm(QStringLiteral("PaperHeight"), p.altoPapel);
        p.tamanoPapel = a.entero(QStringLiteral("PaperSize"), p.tamanoPapel);
        p.margenIzquierdo = a.mm(QStringLiteral("LeftMargin"), p.margenIzquierdo);
        p.margenDerecho = a.mm(QStringLiteral("RightMargin"), p.margenDerecho);
        p.margenSuperior = a.mm(QStringLiteral("TopMargin"), p.margenSuperior);
        p.margenInferior = a.mm(QStringLiteral("BottomMargin"), p.margenInferior);
        p.horizontal = a.texto(QStringLiteral("Orientation")) == QLatin1String("poLandscape");
        p.columnas = a.entero(QStringLiteral("Columns"), 0);
        p.anchoColumna = a.mm(QStringLiteral("ColumnWidth"), {});
        const QString posiciones = a.texto(QStringLiteral("ColumnPositions.Text"));
        for (const QString &l : posiciones.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts)) {
            bool ok = false;
            const double v = NumeroForma(l, &ok);
            if (ok)
                p.posicionesColumnas.append(Longitud::deMm(v));
            else
                aviso(QStringLiteral("Posición de columna no válida: \"%1\"").arg(l));
        }
        p.extras = a.resto();
        while (m_x.readNextStartElement()) {
            const QString clase = m_x.name().toString();
            if (auto tv = TipoDeVista(clase)) {
                Vista v;
                leeVista(v, *tv);
                p.vistas.append(std::move(v));
            } else if (PareceBanda(clase)) {
                Banda b;
                leeBanda(b);
                p.bandas.append(std::move(b));
            } else {
                aviso(QStringLiteral("Objeto desconocido %1 (%2) en la página; se omite.").arg(clase, nombreElemento()));
                p.vistas.append(vistaDesconocida());
            }
        }
    }

    Vista vistaDesconocida()
    {
        Vista v;
        v.tipo = TipoVista::Desconocida;
        v.clase = m_x.name().toString();
        const auto at = m_x.attributes();
        v.nombre = at.value(QLatin1String("Name")).toString();
        auto num = [&](const char *n) { return Longitud::deUnidades(NumeroForma(at.value(QLatin1String(n)).toString())); };
        v.izquierda = num("Left");
        v.arriba = num("Top");
        v.ancho = num("Width");
        v.alto = num("Height");
        v.xmlCrudo = captura();
        return v;
    }

    void leeBanda(Banda &b)
    {
        b.clase = m_x.name().toString();
        b.tipo = TipoDeBanda(b.clase);
        if (b.tipo == TipoBanda::Desconocida) {
            aviso(QStringLiteral("Banda no soportada %1 (%2); se omite.").arg(b.clase, nombreElemento()));
            const auto at = m_x.attributes();
            b.nombre = at.value(QLatin1String("Name")).toString();
            b.xmlCrudo = captura();
            return;
        }
        Atributos a(m_x.attributes(), b.clase, m_avisos);
        b.nombre = a.texto(QStringLiteral("Name"));
        b.izquierda = a.unidades(QStringLiteral("Left"));
        b.arriba = a.unidades(QStringLiteral("Top"));
        b.ancho = a.unidades(QStringLiteral("Width"));
        b.alto = a.unidades(QStringLiteral("Height"));
        b.columnas = a.entero(QStringLiteral("Columns"), 0);
        b.anchoColumna = a.unidades(QStringLiteral("ColumnWidth"));
        b.espacioColumna = a.unidades(QStringLiteral("ColumnGap"));
        const QString conjunto = a.texto(QStringLiteral("DataSet"));
        b.conjunto = a.texto(QStringLiteral("DataSetName"), conjunto);
        b.filas = a.entero(QStringLiteral("RowCount"), 0);
        b.enPrimeraPagina = a.logico(QStringLiteral("PrintOnFirstPage"), true);
        b.extras = a.resto();
        while (m_x.readNextStartElement()) {
            const QString clase = m_x.name().toString();
            if (auto tv = TipoDeVista(clase)) {
                Vista v;
                leeVista(v, *tv);
                b.vistas.append(std::move(v));
            } else {
                aviso(QStringLiteral("Objeto desconocido %1 (%2) en la banda %3; se omite.")
                          .arg(clase, nombreElemento(), b.nombre));
                b.vistas.append(vistaDesconocida());
            }
        }
    }

    void leeVista(Vista &v, TipoVista tipo)
    {
        v.tipo = tipo;
        v.clase = m_x.name().toString();
        Atributos a(m_x.attributes(), v.clase, m_avisos);
        v.nombre = a.texto(QStringLiteral("Name"));
        v.izquierda = a.unidades(QStringLiteral("Left"));
        v.arriba = a.unidades(QStringLiteral("Top"));
        v.ancho = a.unidades(QStringLiteral("Width"));
        v.alto = a.unidades(QStringLiteral("Height"));
        v.visible = a.logico(QStringLiteral("Visible"), true);
        const QString conjunto = a.texto(QStringLiteral("DataSet"));
        v.conjunto = a.texto(QStringLiteral("DataSetName"), conjunto);
        v.campo = a.texto(QStringLiteral("DataField"));

        // Texto: Text, Memo.Text, Memo.UTF8 o Memo.UTF8W
        if (auto t = a.toma(QStringLiteral("Text")))
            v.texto = *t;
        if (auto t = a.toma(QStringLiteral("Memo.Text")))
            v.texto = *t;
        if (auto t = a.toma(QStringLiteral("Memo.UTF8W")))
            v.texto = *t;
        if (auto t = a.toma(QStringLiteral("Memo.UTF8")))
            v.texto = m_cp1252 ? QString::fromUtf8(FbTexto::aCp1252(*t)) : *t;

        v.fuente.nombre = a.texto(QStringLiteral("Font.Name"), v.fuente.nombre);
        v.fuente.alto = a.entero(QStringLiteral("Font.Height"), v.fuente.alto);
        v.fuente.color = a.color(QStringLiteral("Font.Color"), v.fuente.color);
        v.fuente.estilo = a.conjuntoBits(QStringLiteral("Font.Style"),
                                         {QStringLiteral("fsBold"), QStringLiteral("fsItalic"),
                                          QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeOut")},
                                         0);
        const QString ah = a.texto(QStringLiteral("HAlign"), QStringLiteral("haLeft"));
        for (AlineaH x : {AlineaH::Izquierda, AlineaH::Derecha, AlineaH::Centro, AlineaH::Justificado})
            if (NombreAlineaH(x) == ah)
                v.alineaH = x;
        const QString av = a.texto(QStringLiteral("VAlign"), QStringLiteral("vaTop"));
        for (AlineaV x : {AlineaV::Arriba, AlineaV::Abajo, AlineaV::Centro})
            if (NombreAlineaV(x) == av)
                v.alineaV = x;
        v.ajustaLineas = a.logico(QStringLiteral("WordWrap"), true);
        v.permiteExpresiones = a.logico(QStringLiteral("AllowExpressions"), true);
        v.delimitadores = a.texto(QStringLiteral("ExpressionDelimiters"), v.delimitadores);
        v.margenX = a.numero(QStringLiteral("GapX"), v.margenX);
        v.margenY = a.numero(QStringLiteral("GapY"), v.margenY);
        v.formato.clase = a.texto(QStringLiteral("DisplayFormat.Kind"));
        v.formato.cadena = a.texto(QStringLiteral("DisplayFormat.FormatStr"));
        v.formato.separadorDecimal = a.texto(QStringLiteral("DisplayFormat.DecimalSeparator"));
        v.formato.separadorMiles = a.texto(QStringLiteral("DisplayFormat.ThousandSeparator"));
        v.ocultaCeros = a.logico(QStringLiteral("HideZeros"), false);
        v.rotacion = a.entero(QStringLiteral("Rotation"), 0);
        if (v.rotacion % 90 != 0) {
            aviso(QStringLiteral("Rotación %1 de %2 no soportada; se usa 0.").arg(v.rotacion).arg(v.nombre));
            v.rotacion = 0;
        }
        v.rotacion = ((v.rotacion % 360) + 360) % 360;
        v.marco.lados = a.conjuntoBits(QStringLiteral("Frame.Typ"),
                                       {QStringLiteral("ftLeft"), QStringLiteral("ftRight"), QStringLiteral("ftTop"),
                                        QStringLiteral("ftBottom")},
                                       0);
        v.marco.ancho = a.numero(QStringLiteral("Frame.Width"), v.marco.ancho);
        v.marco.color = a.color(QStringLiteral("Frame.Color"), v.marco.color);
        v.marco.estilo = a.texto(QStringLiteral("Frame.Style"), v.marco.estilo);
        v.relleno = a.color(QStringLiteral("Color"), v.relleno);
        v.relleno = a.color(QStringLiteral("Fill.BackColor"), v.relleno);

        v.tipoBarras = a.texto(QStringLiteral("BarType"), v.tipoBarras);
        v.expresion = a.texto(QStringLiteral("Expression"));
        v.muestraTexto = a.logico(QStringLiteral("ShowText"), true);
        v.calculaVerificador = a.logico(QStringLiteral("CalcCheckSum"), false);
        v.zoom = a.numero(QStringLiteral("Zoom"), 1);

        v.diagonal = a.logico(QStringLiteral("Diagonal"), false);
        v.figura = a.texto(QStringLiteral("Shape"), v.figura);

        const QString hex = a.texto(QStringLiteral("Picture.PropData"));
        v.datosImagen = QByteArray::fromHex(hex.toLatin1());
        v.estirada = a.logico(QStringLiteral("Stretched"), true);
        v.mantieneProporcion = a.logico(QStringLiteral("KeepAspectRatio"), true);
        v.centrada = a.logico(QStringLiteral("Center"), false);
        v.extras = a.resto();

        while (m_x.readNextStartElement())
            v.hijosCrudos += captura();
    }

    QXmlStreamReader m_x;
    bool m_cp1252;
    QStringList *m_avisos;
};

} // namespace

bool LeeFormaDeBytes(const QByteArray &bytes, Plantilla &forma, QString &error, QStringList *avisos, const QString &nombre)
{
    forma = Plantilla{};
    error.clear();
    const QString quien = nombre.isEmpty() ? QStringLiteral("La forma") : QStringLiteral("La forma %1").arg(nombre);
    if (bytes.trimmed().isEmpty()) {
        error = quien + QStringLiteral(" no se puede leer: el archivo está vacío.");
        return false;
    }
    // UTF-8; si no lo es, bytes Windows-1252 de las formas antiguas
    QByteArray datos = bytes;
    if (datos.startsWith("\xEF\xBB\xBF"))
        datos.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(datos);
    bool cp1252 = false;
    if (utf8.hasError()) {
        texto = FbTexto::deCp1252(datos);
        cp1252 = true;
    }
    // La declaración dice utf-8 pero el texto ya va decodificado
    Lector lector(texto, cp1252, avisos);
    QString detalle;
    Plantilla leida;
    if (!lector.lee(leida, detalle)) {
        error = quien + QStringLiteral(" no se puede leer: ") + detalle + QLatin1Char('.');
        return false;
    }
    forma = std::move(leida);
    return true;
}

bool LeeForma(const QString &ruta, Plantilla &forma, QString &error, QStringList *avisos)
{
    QFile f(ruta);
    const QString nombre = QFileInfo(ruta).fileName();
    if (!f.exists()) {
        forma = Plantilla{};
        error = QStringLiteral("No se encontró la forma %1.").arg(ruta);
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        forma = Plantilla{};
        error = QStringLiteral("No se pudo abrir la forma %1: %2").arg(ruta, f.errorString());
        return false;
    }
    return LeeFormaDeBytes(f.readAll(), forma, error, avisos, nombre);
}

// ---------------------------------------------------------------- escritura

namespace {

QString Num(double v)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    QString s = QString::fromLatin1(buf, int(r.ptr - buf));
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString Fijo(double v)
{
    // Longitudes: seis decimales bastan para volver a la misma EMU
    QString s = QString::number(v, 'f', 6);
    while (s.contains(QLatin1Char('.')) && (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char('.'))))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

class Escritor
{
public:
    QString s;

    void abre(int nivel, const QString &clase) { s += QString(nivel * 2, QLatin1Char(' ')) + QLatin1Char('<') + clase; }
    void atr(const QString &n, const QString &v) { s += QLatin1Char(' ') + n + QLatin1String("=\"") + EscapaForma(v) + QLatin1Char('"'); }
    void atrU(const QString &n, Longitud l) { atr(n, Fijo(l.unidades())); }
    void atrMm(const QString &n, Longitud l) { atr(n, Fijo(l.mm())); }
    void atrB(const QString &n, bool b) { atr(n, b ? QStringLiteral("True") : QStringLiteral("False")); }
    void extras(const AtributosExtra &e)
    {
        for (const auto &x : e)
            atr(x.first, x.second);
    }
    void cierraVacio() { s += QLatin1String("/>\n"); }
    void cierraAbierto() { s += QLatin1String(">\n"); }
    void fin(int nivel, const QString &clase) { s += QString(nivel * 2, QLatin1Char(' ')) + QLatin1String("</") + clase + QLatin1String(">\n"); }
    void crudo(int nivel, const QString &xml) { s += QString(nivel * 2, QLatin1Char(' ')) + xml + QLatin1Char('\n'); }

    void vista(int nivel, const Vista &v)
    {
        if (v.tipo == TipoVista::Desconocida) {
            crudo(nivel, v.xmlCrudo);
            return;
        }
        const Vista d; // valores por omisión
        abre(nivel, v.clase);
        atr(QStringLiteral("Name"), v.nombre);
        atrU(QStringLiteral("Left"), v.izquierda);
        atrU(QStringLiteral("Top"), v.arriba);
        atrU(QStringLiteral("Width"), v.ancho);
        atrU(QStringLiteral("Height"), v.alto);
        if (!v.visible)
            atrB(QStringLiteral("Visible"), false);
        if (!v.conjunto.isEmpty()) {
            atr(QStringLiteral("DataSet"), v.conjunto);
            atr(QStringLiteral("DataSetName"), v.conjunto);
        }
        if (!v.campo.isEmpty())
            atr(QStringLiteral("DataField"), v.campo);
        if (v.tipo == TipoVista::CodigoBarras || v.tipo == TipoVista::Codigo2D || v.tipoBarras != d.tipoBarras)
            atr(QStringLiteral("BarType"), v.tipoBarras);
        if (!v.expresion.isEmpty())
            atr(QStringLiteral("Expression"), v.expresion);
        if (v.muestraTexto != d.muestraTexto)
            atrB(QStringLiteral("ShowText"), v.muestraTexto);
        if (v.calculaVerificador != d.calculaVerificador)
            atrB(QStringLiteral("CalcCheckSum"), v.calculaVerificador);
        if (v.zoom != d.zoom)
            atr(QStringLiteral("Zoom"), Num(v.zoom));
        if (v.diagonal != d.diagonal)
            atrB(QStringLiteral("Diagonal"), v.diagonal);
        if (v.tipo == TipoVista::Figura || v.figura != d.figura)
            atr(QStringLiteral("Shape"), v.figura);
        if (v.fuente.nombre != d.fuente.nombre)
            atr(QStringLiteral("Font.Name"), v.fuente.nombre);
        if (v.fuente.alto != d.fuente.alto)
            atr(QStringLiteral("Font.Height"), QString::number(v.fuente.alto));
        if (v.fuente.color != d.fuente.color)
            atr(QStringLiteral("Font.Color"), QString::number(v.fuente.color));
        if (v.fuente.estilo != d.fuente.estilo)
            atr(QStringLiteral("Font.Style"), QString::number(v.fuente.estilo));
        if (v.alineaH != d.alineaH)
            atr(QStringLiteral("HAlign"), NombreAlineaH(v.alineaH));
        if (v.alineaV != d.alineaV)
            atr(QStringLiteral("VAlign"), NombreAlineaV(v.alineaV));
        if (v.ajustaLineas != d.ajustaLineas)
            atrB(QStringLiteral("WordWrap"), v.ajustaLineas);
        if (v.permiteExpresiones != d.permiteExpresiones)
            atrB(QStringLiteral("AllowExpressions"), v.permiteExpresiones);
        if (v.delimitadores != d.delimitadores)
            atr(QStringLiteral("ExpressionDelimiters"), v.delimitadores);
        if (v.margenX != d.margenX)
            atr(QStringLiteral("GapX"), Num(v.margenX));
        if (v.margenY != d.margenY)
            atr(QStringLiteral("GapY"), Num(v.margenY));
        if (!v.formato.separadorDecimal.isEmpty())
            atr(QStringLiteral("DisplayFormat.DecimalSeparator"), v.formato.separadorDecimal);
        if (!v.formato.separadorMiles.isEmpty())
            atr(QStringLiteral("DisplayFormat.ThousandSeparator"), v.formato.separadorMiles);
        if (!v.formato.cadena.isEmpty())
            atr(QStringLiteral("DisplayFormat.FormatStr"), v.formato.cadena);
        if (!v.formato.clase.isEmpty())
            atr(QStringLiteral("DisplayFormat.Kind"), v.formato.clase);
        if (v.ocultaCeros)
            atrB(QStringLiteral("HideZeros"), true);
        if (v.rotacion != 0)
            atr(QStringLiteral("Rotation"), QString::number(v.rotacion));
        if (v.marco.lados != d.marco.lados)
            atr(QStringLiteral("Frame.Typ"), QString::number(v.marco.lados));
        if (v.marco.ancho != d.marco.ancho)
            atr(QStringLiteral("Frame.Width"), Num(v.marco.ancho));
        if (v.marco.color != d.marco.color)
            atr(QStringLiteral("Frame.Color"), QString::number(v.marco.color));
        if (v.marco.estilo != d.marco.estilo)
            atr(QStringLiteral("Frame.Style"), v.marco.estilo);
        if (v.relleno != d.relleno)
            atr(QStringLiteral("Color"), QString::number(v.relleno));
        if (!v.datosImagen.isEmpty())
            atr(QStringLiteral("Picture.PropData"), QString::fromLatin1(v.datosImagen.toHex().toUpper()));
        if (v.estirada != d.estirada)
            atrB(QStringLiteral("Stretched"), v.estirada);
        if (v.mantieneProporcion != d.mantieneProporcion)
            atrB(QStringLiteral("KeepAspectRatio"), v.mantieneProporcion);
        if (v.centrada != d.centrada)
            atrB(QStringLiteral("Center"), v.centrada);
        extras(v.extras);
        if (!v.texto.isEmpty())
            atr(QStringLiteral("Text"), v.texto);
        if (v.hijosCrudos.isEmpty()) {
            cierraVacio();
        } else {
            cierraAbierto();
            crudo(nivel + 1, v.hijosCrudos);
            fin(nivel, v.clase);
        }
    }

    void banda(int nivel, const Banda &b)
    {
        if (b.tipo == TipoBanda::Desconocida) {
            crudo(nivel, b.xmlCrudo);
            return;
        }
        abre(nivel, b.clase);
        atr(QStringLiteral("Name"), b.nombre);
        atrU(QStringLiteral("Left"), b.izquierda);
        atrU(QStringLiteral("Top"), b.arriba);
        atrU(QStringLiteral("Width"), b.ancho);
        atrU(QStringLiteral("Height"), b.alto);
        if (b.columnas != 0)
            atr(QStringLiteral("Columns"), QString::number(b.columnas));
        if (!b.anchoColumna.esCero())
            atrU(QStringLiteral("ColumnWidth"), b.anchoColumna);
        if (!b.espacioColumna.esCero())
            atrU(QStringLiteral("ColumnGap"), b.espacioColumna);
        if (!b.conjunto.isEmpty()) {
            atr(QStringLiteral("DataSet"), b.conjunto);
            atr(QStringLiteral("DataSetName"), b.conjunto);
        }
        if (b.filas != 0)
            atr(QStringLiteral("RowCount"), QString::number(b.filas));
        if (!b.enPrimeraPagina)
            atrB(QStringLiteral("PrintOnFirstPage"), false);
        extras(b.extras);
        if (b.vistas.isEmpty()) {
            cierraVacio();
            return;
        }
        cierraAbierto();
        for (const Vista &v : b.vistas)
            vista(nivel + 1, v);
        fin(nivel, b.clase);
    }

    void pagina(int nivel, const Pagina &p)
    {
        const QString clase = QStringLiteral("TfrxReportPage");
        const Pagina d;
        abre(nivel, clase);
        atr(QStringLiteral("Name"), p.nombre);
        atrMm(QStringLiteral("PaperWidth"), p.anchoPapel);
        atrMm(QStringLiteral("PaperHeight"), p.altoPapel);
        atr(QStringLiteral("PaperSize"), QString::number(p.tamanoPapel));
        atrMm(QStringLiteral("LeftMargin"), p.margenIzquierdo);
        atrMm(QStringLiteral("RightMargin"), p.margenDerecho);
        atrMm(QStringLiteral("TopMargin"), p.margenSuperior);
        atrMm(QStringLiteral("BottomMargin"), p.margenInferior);
        if (p.horizontal)
            atr(QStringLiteral("Orientation"), QStringLiteral("poLandscape"));
        if (p.columnas != 0)
            atr(QStringLiteral("Columns"), QString::number(p.columnas));
        if (!p.anchoColumna.esCero())
            atrMm(QStringLiteral("ColumnWidth"), p.anchoColumna);
        if (!p.posicionesColumnas.isEmpty()) {
            QStringList l;
            for (Longitud x : p.posicionesColumnas)
                l << Fijo(x.mm());
            atr(QStringLiteral("ColumnPositions.Text"), l.join(QStringLiteral("\r\n")));
        }
        extras(p.extras);
        cierraAbierto();
        for (const Banda &b : p.bandas)
            banda(nivel + 1, b);
        for (const Vista &v : p.vistas)
            vista(nivel + 1, v);
        fin(nivel, clase);
    }
};

} // namespace

QByteArray EscribeForma(const Plantilla &forma)
{
    Escritor e;
    e.s = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n");
    e.abre(0, QStringLiteral("TfrxReport"));
    e.extras(forma.extras);
    e.cierraAbierto();
    const int total = int(forma.paginas.size() + forma.otros.size());
    int iPag = 0;
    QList<ElementoCrudo> pendientes = forma.otros;
    for (int pos = 0; pos < total; ++pos) {
        auto it = std::find_if(pendientes.begin(), pendientes.end(), [pos](const ElementoCrudo &c) { return c.posicion == pos; });
        if (it != pendientes.end()) {
            e.crudo(1, it->xml);
            pendientes.erase(it);
        } else if (iPag < forma.paginas.size()) {
            e.pagina(1, forma.paginas[iPag++]);
        }
    }
    // Posiciones fuera de rango (p. ej. se quitaron páginas)
    for (const auto &c : pendientes)
        e.crudo(1, c.xml);
    while (iPag < forma.paginas.size())
        e.pagina(1, forma.paginas[iPag++]);
    e.fin(0, QStringLiteral("TfrxReport"));
    return e.s.toUtf8();
}

bool GuardaForma(const Plantilla &forma, const QString &ruta, QString &error)
{
    QSaveFile f(ruta);
    if (!f.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("No se pudo escribir la forma %1: %2").arg(ruta, f.errorString());
        return false;
    }
    f.write(EscribeForma(forma));
    if (!f.commit()) {
        error = QStringLiteral("No se pudo guardar la forma %1: %2").arg(ruta, f.errorString());
        return false;
    }
    return true;
}
