#include "report/DisenadorDocumento.h"

#include "report/ArchivoForma.h"
#include "report/CodigoBarras.h"
#include "report/Composicion.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace {

const QString Conjunto = QStringLiteral("frxDBDataset");
// Etiquetas que se componen para dibujar la hoja completa
constexpr int FilasHoja = 400;
// Tolerancia para tomar una línea con el ratón (unidades de la forma)
constexpr double Tolerancia = 3.0;

QRectF Rect(Longitud x, Longitud y, Longitud w, Longitud h)
{
    return QRectF(x.unidades(), y.unidades(), w.unidades(), h.unidades());
}

} // namespace

QRectF BandaEnDiseno::rect() const { return Rect(x, y, ancho, alto); }

FormatoNumero FormatoDeVista(const Vista &v)
{
    if (v.formato.clase.isEmpty() && v.formato.cadena.isEmpty())
        return FormatoNumero::Ninguno;
    if (v.formato.clase == QLatin1String("fkNumeric")) {
        if (v.formato.cadena == QLatin1String("%2.2m"))
            return FormatoNumero::Moneda;
        if (v.formato.cadena == QLatin1String("%2.0n") || v.formato.cadena == QLatin1String("###,##0"))
            return FormatoNumero::EnteroMiles;
    }
    return FormatoNumero::Otro;
}

void PonFormatoNumero(Vista &v, FormatoNumero f)
{
    switch (f) {
    case FormatoNumero::Ninguno:
        v.formato.clase.clear();
        v.formato.cadena.clear();
        break;
    case FormatoNumero::Moneda:
        v.formato.clase = QStringLiteral("fkNumeric");
        v.formato.cadena = QStringLiteral("%2.2m");
        break;
    case FormatoNumero::EnteroMiles:
        v.formato.clase = QStringLiteral("fkNumeric");
        v.formato.cadena = QStringLiteral("%2.0n");
        break;
    case FormatoNumero::Otro: break;
    }
}

QList<QPair<QString, QString>> TiposDeBarras()
{
    static const char *tipos[][2] = {{"bcCodeEAN13", "EAN-13"},
                                     {"bcCodeEAN8", "EAN-8"},
                                     {"bcCodeUPC_A", "UPC-A"},
                                     {"bcCodeUPC_E0", "UPC-E"},
                                     {"bcCode128", "Code 128"},
                                     {"bcCode128A", "Code 128 A"},
                                     {"bcCode128B", "Code 128 B"},
                                     {"bcCode128C", "Code 128 C"},
                                     {"bcCodeEAN128", "GS1-128 (EAN-128)"},
                                     {"bcCode39", "Code 39"},
                                     {"bcCode39Extended", "Code 39 extendido"},
                                     {"bcCode93", "Code 93"},
                                     {"bcCode93Extended", "Code 93 extendido"},
                                     {"bcCode_2_5_interleaved", "2 de 5 intercalado"},
                                     {"bcCode_2_5_industrial", "2 de 5 industrial"},
                                     {"bcCode_2_5_matrix", "2 de 5 matricial"},
                                     {"bcCodeCodabar", "Codabar"},
                                     {"bcCodeMSI", "MSI"},
                                     {"bcCodePostNet", "PostNet"},
                                     {"bcCodeQR", "QR"},
                                     {"bcCodeDataMatrix", "Data Matrix"},
                                     {"bcCodePDF417", "PDF417"},
                                     {"bcCodeAztec", "Aztec"}};
    // Sólo los que dibuja el motor
    QList<QPair<QString, QString>> r;
    for (const auto &t : tipos)
        if (SimbologiaZint(QString::fromLatin1(t[0])) >= 0)
            r.append({QString::fromLatin1(t[0]), QString::fromUtf8(t[1])});
    return r;
}

QString MuestraBarras(const QString &tipo)
{
    static const QHash<QString, QString> muestras = {
        {QStringLiteral("bcCodeEAN13"), QStringLiteral("750100000001")},
        {QStringLiteral("bcCodeEAN8"), QStringLiteral("7501000")},
        {QStringLiteral("bcCodeUPC_A"), QStringLiteral("01234567890")},
        {QStringLiteral("bcCodeUPC_E0"), QStringLiteral("0123456")},
        {QStringLiteral("bcCodeEAN128"), QStringLiteral("(01)07501000000012")},
        {QStringLiteral("bcCodeCodabar"), QStringLiteral("A123456B")},
        {QStringLiteral("bcCodePostNet"), QStringLiteral("12345")}};
    return muestras.value(tipo, QStringLiteral("12345678"));
}

DisenadorDocumento::DisenadorDocumento(QObject *padre) : QObject(padre) { nuevo(); }

// ---------------------------------------------------------------- archivo

void DisenadorDocumento::nuevo()
{
    Plantilla f;
    f.extras = {{QStringLiteral("Version"), QStringLiteral("4.0")}};
    Pagina p;
    p.nombre = QStringLiteral("Page1");
    p.anchoPapel = Longitud::deMm(215.9);
    p.altoPapel = Longitud::deMm(279.4);
    p.tamanoPapel = 1;
    Banda b;
    b.nombre = QStringLiteral("MasterData1");
    b.conjunto = Conjunto;
    b.ancho = p.anchoPapel - p.margenIzquierdo - p.margenDerecho;
    b.alto = Longitud::deMm(25);
    p.bandas.append(b);
    f.paginas.append(p);
    m_ruta.clear();
    m_avisos.clear();
    ponForma(f);
}

void DisenadorDocumento::ponForma(const Plantilla &forma)
{
    m_forma = forma;
    m_pagina = 0;
    m_sel.clear();
    m_deshacer.clear();
    m_rehacer.clear();
    m_ultimaClave.clear();
    m_modificado = false;
    m_bandaActual = -1;
    if (hayPagina())
        for (int i = 0; i < pagina().bandas.size(); ++i)
            if (pagina().bandas[i].tipo == TipoBanda::DatosMaestros) {
                m_bandaActual = i;
                break;
            }
    calculaDisposicion();
    emit cambiado();
    emit seleccionCambiada();
}

bool DisenadorDocumento::abre(const QString &ruta, QString &error)
{
    Plantilla f;
    QStringList avisos;
    if (!LeeForma(ruta, f, error, &avisos))
        return false;
    ponForma(f);
    m_ruta = ruta;
    m_avisos = avisos;
    return true;
}

bool DisenadorDocumento::guarda(const QString &ruta, QString &error)
{
    if (!GuardaForma(m_forma, ruta, error))
        return false;
    m_ruta = ruta;
    m_modificado = false;
    m_ultimaClave.clear();
    return true;
}

void DisenadorDocumento::ponIndicePagina(int i)
{
    if (i < 0 || i >= m_forma.paginas.size() || i == m_pagina)
        return;
    m_pagina = i;
    m_sel.clear();
    m_bandaActual = -1;
    calculaDisposicion();
    emit cambiado();
    emit seleccionCambiada();
}

const Pagina &DisenadorDocumento::pagina() const
{
    static const Pagina vacia;
    return hayPagina() ? m_forma.paginas[m_pagina] : vacia;
}

Pagina &DisenadorDocumento::paginaMod()
{
    if (!hayPagina()) {
        m_forma.paginas.append(Pagina{});
        m_pagina = int(m_forma.paginas.size()) - 1;
    }
    return m_forma.paginas[m_pagina];
}

// ---------------------------------------------------------------- disposición

void DisenadorDocumento::calculaDisposicion()
{
    m_disposicion.clear();
    if (!hayPagina())
        return;
    Plantilla una;
    una.paginas.append(pagina());
    const Pagina &pg = una.paginas[0];
    auto indice = [&](const Banda *b) { return int(b - pg.bandas.constData()); };

    // Primera etiqueta de cada banda: la composición con un registro
    const Composicion c1 = Compone(una, [](const Banda &) { return 1; });
    QHash<int, int> posicion;
    for (const PaginaCompuesta &p : c1.paginas)
        for (const BandaColocada &bc : p.bandas) {
            const int i = indice(bc.banda);
            if (posicion.contains(i))
                continue;
            posicion.insert(i, int(m_disposicion.size()));
            m_disposicion.append({i, bc.x, bc.y, bc.ancho, bc.alto, {}});
        }
    // Bandas que la composición no pone (p. ej. pie sin banda de datos): al final
    Longitud y = pg.margenSuperior;
    for (const BandaEnDiseno &d : m_disposicion)
        y = std::max(y, d.y + d.alto);
    const Longitud anchoUtil = pg.anchoPapel - pg.margenIzquierdo - pg.margenDerecho;
    for (int i = 0; i < pg.bandas.size(); ++i) {
        const Banda &b = pg.bandas[i];
        if (posicion.contains(i) || b.tipo == TipoBanda::Desconocida)
            continue;
        posicion.insert(i, int(m_disposicion.size()));
        m_disposicion.append({i, pg.margenIzquierdo + b.izquierda, y, b.ancho.esCero() ? anchoUtil : b.ancho, b.alto, {}});
        y += b.alto;
    }

    // La hoja: dónde caen las demás etiquetas de las bandas de datos en la primera hoja
    const Composicion c2 = Compone(una, [](const Banda &b) {
        if (b.tipo != TipoBanda::DatosMaestros)
            return 1;
        return b.conjunto.isEmpty() ? std::max(1, b.filas) : FilasHoja;
    });
    QHash<int, QPair<int, QPointF>> primera; // banda -> (página, origen)
    for (int ip = 0; ip < c2.paginas.size(); ++ip)
        for (const BandaColocada &bc : c2.paginas[ip].bandas) {
            const int i = indice(bc.banda);
            if (bc.banda->tipo != TipoBanda::DatosMaestros || !posicion.contains(i))
                continue;
            const QRectF r = Rect(bc.x, bc.y, bc.ancho, bc.alto);
            auto it = primera.find(i);
            if (it == primera.end()) {
                primera.insert(i, {ip, r.topLeft()});
                continue;
            }
            if (it->first != ip)
                continue;
            BandaEnDiseno &d = m_disposicion[posicion.value(i)];
            d.etiquetas.append(r.translated(d.rect().topLeft() - it->second));
        }
}

const BandaEnDiseno *DisenadorDocumento::bandaEnDiseno(int banda) const
{
    for (const BandaEnDiseno &d : m_disposicion)
        if (d.banda == banda)
            return &d;
    return nullptr;
}

QPointF DisenadorDocumento::origenUnidades(int banda) const
{
    if (banda < 0)
        return QPointF(pagina().margenIzquierdo.unidades(), pagina().margenSuperior.unidades());
    if (const BandaEnDiseno *d = bandaEnDiseno(banda))
        return d->rect().topLeft();
    return {};
}

const Vista *DisenadorDocumento::vista(const RefVista &r) const
{
    if (!hayPagina() || r.indice < 0)
        return nullptr;
    const Pagina &p = pagina();
    if (r.banda < 0)
        return r.indice < p.vistas.size() ? &p.vistas[r.indice] : nullptr;
    if (r.banda >= p.bandas.size())
        return nullptr;
    const auto &l = p.bandas[r.banda].vistas;
    return r.indice < l.size() ? &l[r.indice] : nullptr;
}

Vista *DisenadorDocumento::vistaMod(const RefVista &r)
{
    if (!vista(r))
        return nullptr;
    return &listaDe(r.banda)[r.indice];
}

QList<Vista> &DisenadorDocumento::listaDe(int banda)
{
    Pagina &p = paginaMod();
    return banda < 0 ? p.vistas : p.bandas[banda].vistas;
}

QRectF DisenadorDocumento::rectVista(const RefVista &r) const
{
    const Vista *v = vista(r);
    if (!v)
        return {};
    const QPointF o = origenUnidades(r.banda);
    return QRectF(o.x() + v->izquierda.unidades(), o.y() + v->arriba.unidades(), v->ancho.unidades(), v->alto.unidades());
}

QList<RefVista> DisenadorDocumento::todas() const
{
    QList<RefVista> r;
    if (!hayPagina())
        return r;
    const Pagina &p = pagina();
    for (int b = 0; b < p.bandas.size(); ++b)
        if (bandaEnDiseno(b))
            for (int i = 0; i < p.bandas[b].vistas.size(); ++i)
                r.append({b, i});
    for (int i = 0; i < p.vistas.size(); ++i)
        r.append({-1, i});
    return r;
}

RefVista DisenadorDocumento::vistaEn(const QPointF &punto) const
{
    // Lo dibujado al último queda encima: se busca al revés
    const QList<RefVista> l = todas();
    for (auto it = l.crbegin(); it != l.crend(); ++it) {
        const Vista *v = vista(*it);
        if (!v || v->tipo == TipoVista::Desconocida)
            continue;
        QRectF r = rectVista(*it).normalized();
        if (r.width() < 2 * Tolerancia || r.height() < 2 * Tolerancia)
            r.adjust(-Tolerancia, -Tolerancia, Tolerancia, Tolerancia);
        if (r.contains(punto))
            return *it;
    }
    return {};
}

int DisenadorDocumento::bandaEn(const QPointF &punto) const
{
    for (const BandaEnDiseno &d : m_disposicion)
        if (d.rect().contains(punto))
            return d.banda;
    return -1;
}

QList<RefVista> DisenadorDocumento::vistasEn(const QRectF &rect) const
{
    QList<RefVista> r;
    const QRectF n = rect.normalized();
    for (const RefVista &x : todas()) {
        const Vista *v = vista(x);
        if (v && v->tipo != TipoVista::Desconocida && n.intersects(rectVista(x).normalized().adjusted(-0.5, -0.5, 0.5, 0.5)))
            r.append(x);
    }
    return r;
}

// ---------------------------------------------------------------- selección

void DisenadorDocumento::selecciona(const RefVista &r, bool agrega)
{
    m_ultimaClave.clear(); // lo que siga es otro paso
    if (!agrega)
        m_sel.clear();
    if (vista(r) && !m_sel.contains(r))
        m_sel.append(r);
    if (vista(r) && r.banda >= 0)
        m_bandaActual = r.banda;
    emit seleccionCambiada();
}

void DisenadorDocumento::alterna(const RefVista &r)
{
    m_ultimaClave.clear(); // lo que siga es otro paso
    if (m_sel.contains(r))
        m_sel.removeAll(r);
    else if (vista(r))
        m_sel.append(r);
    emit seleccionCambiada();
}

void DisenadorDocumento::seleccionaVarias(const QList<RefVista> &refs, bool agrega)
{
    m_ultimaClave.clear(); // lo que siga es otro paso
    if (!agrega)
        m_sel.clear();
    for (const RefVista &r : refs)
        if (vista(r) && !m_sel.contains(r))
            m_sel.append(r);
    emit seleccionCambiada();
}

void DisenadorDocumento::limpiaSeleccion()
{
    m_ultimaClave.clear();
    if (m_sel.isEmpty())
        return;
    m_sel.clear();
    emit seleccionCambiada();
}

const Vista *DisenadorDocumento::actual() const { return m_sel.isEmpty() ? nullptr : vista(m_sel.first()); }

void DisenadorDocumento::ponBandaActual(int banda)
{
    if (banda >= -1 && banda < pagina().bandas.size())
        m_bandaActual = banda;
}

void DisenadorDocumento::limpiaSeleccionInvalida()
{
    m_sel.erase(std::remove_if(m_sel.begin(), m_sel.end(), [this](const RefVista &r) { return !vista(r); }), m_sel.end());
}

QList<RefVista> DisenadorDocumento::seleccionOrdenada() const
{
    QList<RefVista> l = m_sel;
    std::sort(l.begin(), l.end(), [](const RefVista &a, const RefVista &b) {
        return a.banda != b.banda ? a.banda < b.banda : a.indice < b.indice;
    });
    return l;
}

// ---------------------------------------------------------------- rejilla

Longitud DisenadorDocumento::ajusta(Longitud l) const
{
    if (!m_ajusta || m_paso.emu() <= 0)
        return l;
    const qint64 p = m_paso.emu();
    const double n = std::round(double(l.emu()) / double(p));
    return Longitud::deEmu(qint64(n) * p);
}

// ---------------------------------------------------------------- deshacer

void DisenadorDocumento::registra(const QString &clave)
{
    if (m_gesto) {
        m_gestoCambio = true;
        return;
    }
    if (!clave.isEmpty() && clave == m_ultimaClave && !m_deshacer.isEmpty())
        return; // sigue el mismo cambio (p. ej. escribir en un campo)
    m_deshacer.append({m_forma, m_sel, m_pagina});
    m_rehacer.clear();
    m_ultimaClave = clave;
}

void DisenadorDocumento::hecho()
{
    m_modificado = true;
    limpiaSeleccionInvalida();
    calculaDisposicion();
    emit cambiado();
}

void DisenadorDocumento::deshacer()
{
    cambiaPaso(m_deshacer, m_rehacer);
}

void DisenadorDocumento::rehacer()
{
    cambiaPaso(m_rehacer, m_deshacer);
}

void DisenadorDocumento::cambiaPaso(QList<Paso> &desde, QList<Paso> &hacia)
{
    if (desde.isEmpty())
        return;
    hacia.append({m_forma, m_sel, m_pagina});
    const Paso p = desde.takeLast();
    m_forma = p.forma;
    m_sel = p.sel;
    m_pagina = p.pagina;
    m_ultimaClave.clear();
    hecho();
    emit seleccionCambiada();
}

// ---------------------------------------------------------------- órdenes

bool DisenadorDocumento::nombreUsado(const QString &nombre) const
{
    for (const Pagina &p : m_forma.paginas) {
        if (p.nombre == nombre)
            return true;
        for (const Vista &v : p.vistas)
            if (v.nombre == nombre)
                return true;
        for (const Banda &b : p.bandas) {
            if (b.nombre == nombre)
                return true;
            for (const Vista &v : b.vistas)
                if (v.nombre == nombre)
                    return true;
        }
    }
    return false;
}

QString DisenadorDocumento::nombreNuevo(const QString &prefijo) const
{
    QSet<QString> usados;
    for (const Pagina &p : m_forma.paginas) {
        usados.insert(p.nombre);
        for (const Vista &v : p.vistas)
            usados.insert(v.nombre);
        for (const Banda &b : p.bandas) {
            usados.insert(b.nombre);
            for (const Vista &v : b.vistas)
                usados.insert(v.nombre);
        }
    }
    for (int n = 1;; ++n) {
        const QString s = prefijo + QString::number(n);
        if (!usados.contains(s))
            return s;
    }
}

Vista DisenadorDocumento::VistaNueva(TipoVista tipo)
{
    Vista v;
    v.tipo = tipo;
    switch (tipo) {
    case TipoVista::Memo:
        v.clase = QStringLiteral("TfrxMemoView");
        v.ancho = Longitud::deMm(40);
        v.alto = Longitud::deMm(6);
        v.fuente.ponPuntos(10);
        v.texto = QStringLiteral("Texto");
        break;
    case TipoVista::CodigoBarras:
    case TipoVista::Codigo2D:
        v.tipo = TipoVista::CodigoBarras;
        v.clase = QStringLiteral("TfrxBarCodeView");
        v.tipoBarras = QStringLiteral("bcCode128");
        v.ancho = Longitud::deMm(40);
        v.alto = Longitud::deMm(15);
        v.texto = QStringLiteral("12345678");
        v.fuente.ponPuntos(8);
        break;
    case TipoVista::Linea:
        v.clase = QStringLiteral("TfrxLineView");
        v.ancho = Longitud::deMm(30);
        v.alto = Longitud();
        v.marco.lados = MarcoArriba;
        break;
    case TipoVista::Figura:
        v.clase = QStringLiteral("TfrxShapeView");
        v.ancho = Longitud::deMm(30);
        v.alto = Longitud::deMm(15);
        break;
    case TipoVista::Imagen:
        v.clase = QStringLiteral("TfrxPictureView");
        v.ancho = Longitud::deMm(20);
        v.alto = Longitud::deMm(20);
        break;
    case TipoVista::Desconocida: break;
    }
    return v;
}

namespace {
QString Prefijo(TipoVista t)
{
    switch (t) {
    case TipoVista::Memo: return QStringLiteral("Memo");
    case TipoVista::CodigoBarras: return QStringLiteral("BarCode");
    case TipoVista::Codigo2D: return QStringLiteral("Barcode2D");
    case TipoVista::Linea: return QStringLiteral("Line");
    case TipoVista::Figura: return QStringLiteral("Shape");
    case TipoVista::Imagen: return QStringLiteral("Picture");
    case TipoVista::Desconocida: break;
    }
    return QStringLiteral("Objeto");
}
} // namespace

RefVista DisenadorDocumento::agrega(Vista v, int banda)
{
    if (banda >= pagina().bandas.size() || (banda >= 0 && pagina().bandas[banda].tipo == TipoBanda::Desconocida))
        banda = -1;
    registra();
    if (v.nombre.isEmpty() || nombreUsado(v.nombre))
        v.nombre = nombreNuevo(Prefijo(v.tipo));
    QList<Vista> &l = listaDe(banda);
    l.append(v);
    const RefVista r{banda, int(l.size()) - 1};
    m_sel = {r};
    if (banda >= 0)
        m_bandaActual = banda;
    hecho();
    emit seleccionCambiada();
    return r;
}

RefVista DisenadorDocumento::agregaEn(TipoVista tipo, int banda, Longitud x, Longitud y, Longitud ancho, Longitud alto)
{
    Vista v = VistaNueva(tipo);
    v.izquierda = ajusta(x);
    v.arriba = ajusta(y);
    if (!ancho.esCero() || !alto.esCero()) {
        v.ancho = ajusta(ancho);
        v.alto = tipo == TipoVista::Linea ? ajusta(alto) : std::max(ajusta(alto), m_paso);
        if (tipo != TipoVista::Linea)
            v.ancho = std::max(v.ancho, m_paso);
    }
    return agrega(v, banda);
}

bool DisenadorDocumento::ponImagenDeArchivo(const QString &archivo, QString &error)
{
    QImageReader lector(archivo);
    const QImage img = lector.read();
    if (img.isNull()) {
        error = QStringLiteral("No se pudo leer la imagen %1: %2").arg(archivo, lector.errorString());
        return false;
    }
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    cambiaSeleccion({}, [&](Vista &v) {
        if (v.tipo == TipoVista::Imagen) {
            v.ponImagenPng(png);
            v.campo.clear();
        }
    });
    return true;
}

void DisenadorDocumento::mueve(Longitud dx, Longitud dy)
{
    if (m_sel.isEmpty())
        return;
    registra();
    for (const RefVista &r : std::as_const(m_sel))
        if (Vista *v = vistaMod(r)) {
            v->izquierda += dx;
            v->arriba += dy;
        }
    hecho();
}

void DisenadorDocumento::redimensiona(Longitud dAncho, Longitud dAlto)
{
    if (m_sel.isEmpty())
        return;
    registra();
    for (const RefVista &r : std::as_const(m_sel))
        if (Vista *v = vistaMod(r)) {
            // Las líneas pueden quedar en cero; lo demás conserva al menos un paso
            const Longitud minimo = v->tipo == TipoVista::Linea ? Longitud() : m_paso;
            v->ancho = std::max(minimo, v->ancho + dAncho);
            v->alto = std::max(minimo, v->alto + dAlto);
        }
    hecho();
}

void DisenadorDocumento::elimina()
{
    if (m_sel.isEmpty())
        return;
    registra();
    // De atrás hacia adelante para que los índices sigan valiendo
    QList<RefVista> l = seleccionOrdenada();
    for (auto it = l.crbegin(); it != l.crend(); ++it)
        if (vista(*it))
            listaDe(it->banda).removeAt(it->indice);
    m_sel.clear();
    hecho();
    emit seleccionCambiada();
}

void DisenadorDocumento::copia()
{
    if (m_sel.isEmpty())
        return;
    m_copia.clear();
    const QList<RefVista> l = seleccionOrdenada();
    m_bandaCopia = l.first().banda;
    for (const RefVista &r : l)
        if (const Vista *v = vista(r))
            m_copia.append(*v);
}

void DisenadorDocumento::corta()
{
    copia();
    elimina();
}

void DisenadorDocumento::pega()
{
    if (m_copia.isEmpty())
        return;
    int banda = !m_sel.isEmpty() ? m_sel.first().banda : m_bandaCopia;
    if (banda >= pagina().bandas.size() || (banda >= 0 && pagina().bandas[banda].tipo == TipoBanda::Desconocida))
        banda = m_bandaActual;
    if (banda >= pagina().bandas.size())
        banda = -1;
    registra();
    QList<Vista> &l = listaDe(banda);
    m_sel.clear();
    for (Vista v : std::as_const(m_copia)) {
        v.nombre = nombreNuevo(Prefijo(v.tipo));
        // Un paso de la rejilla abajo a la derecha, para que se vea la copia
        v.izquierda += m_paso;
        v.arriba += m_paso;
        l.append(v);
        m_sel.append({banda, int(l.size()) - 1});
    }
    hecho();
    emit seleccionCambiada();
}

void DisenadorDocumento::alFrente()
{
    cambiaCapa(true);
}

void DisenadorDocumento::alFondo()
{
    cambiaCapa(false);
}

void DisenadorDocumento::cambiaCapa(bool alFrente)
{
    if (m_sel.isEmpty())
        return;
    registra();
    QList<RefVista> l = seleccionOrdenada();
    QList<RefVista> nueva;
    // Por banda: se sacan las elegidas (de atrás hacia adelante) y se ponen al final
    // (al frente) o al principio (al fondo), en su orden
    QMap<int, QList<Vista>> sacadas;
    for (auto it = l.crbegin(); it != l.crend(); ++it)
        sacadas[it->banda].prepend(listaDe(it->banda).takeAt(it->indice));
    for (auto it = sacadas.cbegin(); it != sacadas.cend(); ++it) {
        QList<Vista> &lista = listaDe(it.key());
        const QList<Vista> &vs = it.value();
        for (int i = 0; i < vs.size(); ++i) {
            const int pos = alFrente ? int(lista.size()) : i;
            lista.insert(pos, vs[i]);
            nueva.append({it.key(), pos});
        }
    }
    m_sel = nueva;
    hecho();
    emit seleccionCambiada();
}

void DisenadorDocumento::alinea(Alineacion a)
{
    if (m_sel.size() < 2)
        return;
    const RefVista ref = m_sel.first();
    const Vista *rv = vista(ref);
    if (!rv)
        return;
    // Todo en EMU desde la esquina del papel, para alinear entre bandas distintas
    auto origen = [this](int banda) {
        const QPointF o = origenUnidades(banda);
        return QPair<Longitud, Longitud>(Longitud::deUnidades(o.x()), Longitud::deUnidades(o.y()));
    };
    const auto o0 = origen(ref.banda);
    const Longitud x0 = o0.first + rv->izquierda, y0 = o0.second + rv->arriba;
    registra();
    for (int i = 1; i < m_sel.size(); ++i) {
        Vista *v = vistaMod(m_sel[i]);
        if (!v)
            continue;
        const auto o = origen(m_sel[i].banda);
        switch (a) {
        case Alineacion::Izquierdas: v->izquierda = x0 - o.first; break;
        case Alineacion::Derechas: v->izquierda = x0 + rv->ancho - v->ancho - o.first; break;
        case Alineacion::Arriba: v->arriba = y0 - o.second; break;
        case Alineacion::Abajo: v->arriba = y0 + rv->alto - v->alto - o.second; break;
        case Alineacion::CentrosH: v->izquierda = x0 + (rv->ancho - v->ancho) / 2.0 - o.first; break;
        case Alineacion::CentrosV: v->arriba = y0 + (rv->alto - v->alto) / 2.0 - o.second; break;
        case Alineacion::MismoAncho: v->ancho = rv->ancho; break;
        case Alineacion::MismoAlto: v->alto = rv->alto; break;
        }
    }
    hecho();
}

void DisenadorDocumento::cambiaSeleccion(const QString &clave, const std::function<void(Vista &)> &cambio)
{
    if (m_sel.isEmpty())
        return;
    // Sólo se registra si algo cambia de verdad
    Plantilla antes = m_forma;
    for (const RefVista &r : std::as_const(m_sel))
        if (Vista *v = vistaMod(r))
            cambio(*v);
    if (m_forma == antes)
        return;
    std::swap(antes, m_forma);
    registra(clave);
    m_forma = std::move(antes);
    hecho();
}

void DisenadorDocumento::ponGeometria(const RefVista &r, Longitud x, Longitud y, Longitud ancho, Longitud alto)
{
    const Vista *v = vista(r);
    if (!v || (v->izquierda == x && v->arriba == y && v->ancho == ancho && v->alto == alto))
        return;
    registra(QStringLiteral("geometria"));
    Vista *m = vistaMod(r);
    m->izquierda = x;
    m->arriba = y;
    m->ancho = ancho;
    m->alto = alto;
    hecho();
}

// ---------------------------------------------------------------- página y bandas

namespace {
Longitud AnchoUtil(const Pagina &p) { return p.anchoPapel - p.margenIzquierdo - p.margenDerecho; }

// Las bandas a todo lo ancho siguen al área útil cuando cambian papel o márgenes
void AjustaAnchoBandas(Pagina &p, Longitud anterior)
{
    const Longitud nuevo = AnchoUtil(p);
    for (Banda &b : p.bandas)
        if (b.tipo != TipoBanda::Desconocida && b.ancho == anterior)
            b.ancho = nuevo;
}
} // namespace

PapelForma DisenadorDocumento::papel() const
{
    const Pagina &p = pagina();
    auto es = [&](double a, double b) {
        const double w = p.anchoPapel.mm(), h = p.altoPapel.mm();
        return (std::abs(w - a) < 0.5 && std::abs(h - b) < 0.5) || (std::abs(w - b) < 0.5 && std::abs(h - a) < 0.5);
    };
    if (p.tamanoPapel == 1 || (p.tamanoPapel != 256 && es(215.9, 279.4)))
        return PapelForma::Carta;
    if (p.tamanoPapel == 9 || (p.tamanoPapel != 256 && es(210, 297)))
        return PapelForma::A4;
    return PapelForma::Medida;
}

void DisenadorDocumento::ponPapel(PapelForma papel, Longitud ancho, Longitud alto)
{
    Pagina p = pagina();
    switch (papel) {
    case PapelForma::Carta:
        p.tamanoPapel = 1;
        ancho = Longitud::deMm(215.9);
        alto = Longitud::deMm(279.4);
        break;
    case PapelForma::A4:
        p.tamanoPapel = 9;
        ancho = Longitud::deMm(210);
        alto = Longitud::deMm(297);
        break;
    case PapelForma::Medida:
        p.tamanoPapel = 256;
        if (ancho.esCero() || alto.esCero())
            return;
        break;
    }
    // Los tamaños con nombre se dan en vertical; la orientación los gira
    if (papel != PapelForma::Medida && p.horizontal)
        std::swap(ancho, alto);
    p.anchoPapel = ancho;
    p.altoPapel = alto;
    AjustaAnchoBandas(p, AnchoUtil(pagina()));
    if (p == pagina())
        return;
    registra();
    paginaMod() = p;
    hecho();
}

void DisenadorDocumento::ponHorizontal(bool horizontal)
{
    if (pagina().horizontal == horizontal)
        return;
    registra();
    Pagina &p = paginaMod();
    const Longitud anterior = AnchoUtil(p);
    p.horizontal = horizontal;
    // El ancho y el alto del papel van ya girados
    if ((horizontal && p.anchoPapel < p.altoPapel) || (!horizontal && p.anchoPapel > p.altoPapel))
        std::swap(p.anchoPapel, p.altoPapel);
    AjustaAnchoBandas(p, anterior);
    hecho();
}

void DisenadorDocumento::ponMargenes(Longitud izq, Longitud arriba, Longitud der, Longitud abajo)
{
    const Pagina &a = pagina();
    if (a.margenIzquierdo == izq && a.margenSuperior == arriba && a.margenDerecho == der && a.margenInferior == abajo)
        return;
    registra(QStringLiteral("margenes"));
    Pagina &p = paginaMod();
    const Longitud anterior = AnchoUtil(p);
    p.margenIzquierdo = izq;
    p.margenSuperior = arriba;
    p.margenDerecho = der;
    p.margenInferior = abajo;
    AjustaAnchoBandas(p, anterior);
    hecho();
}

Longitud DisenadorDocumento::espacioColumnasPagina() const
{
    const Pagina &p = pagina();
    if (p.posicionesColumnas.size() >= 2)
        return p.posicionesColumnas[1] - p.posicionesColumnas[0] - p.anchoColumna;
    return {};
}

void DisenadorDocumento::ponColumnasPagina(int columnas, Longitud ancho, Longitud espacio)
{
    Pagina p = pagina();
    p.columnas = columnas <= 1 ? 0 : columnas;
    p.anchoColumna = columnas <= 1 ? Longitud() : ancho;
    p.posicionesColumnas.clear();
    if (columnas > 1)
        for (int i = 0; i < columnas; ++i)
            p.posicionesColumnas.append((ancho + espacio) * qint64(i));
    if (p == pagina())
        return;
    registra(QStringLiteral("columnasPagina"));
    paginaMod() = p;
    hecho();
}

void DisenadorDocumento::ponColumnasBanda(int banda, int columnas, Longitud ancho, Longitud espacio)
{
    if (banda < 0 || banda >= pagina().bandas.size())
        return;
    Banda b = pagina().bandas[banda];
    b.columnas = columnas <= 1 ? 0 : columnas;
    b.anchoColumna = columnas <= 1 ? Longitud() : ancho;
    b.espacioColumna = columnas <= 1 ? Longitud() : espacio;
    if (b == pagina().bandas[banda])
        return;
    registra(QStringLiteral("columnasBanda%1").arg(banda));
    paginaMod().bandas[banda] = b;
    hecho();
}

void DisenadorDocumento::ponAltoBanda(int banda, Longitud alto)
{
    if (banda < 0 || banda >= pagina().bandas.size() || pagina().bandas[banda].alto == alto)
        return;
    registra(QStringLiteral("altoBanda%1").arg(banda));
    paginaMod().bandas[banda].alto = alto;
    hecho();
}

int DisenadorDocumento::agregaBanda(TipoBanda tipo)
{
    static const QHash<int, QPair<QString, QString>> clases = {
        {int(TipoBanda::TituloInforme), {QStringLiteral("TfrxReportTitle"), QStringLiteral("ReportTitle")}},
        {int(TipoBanda::EncabezadoPagina), {QStringLiteral("TfrxPageHeader"), QStringLiteral("PageHeader")}},
        {int(TipoBanda::DatosMaestros), {QStringLiteral("TfrxMasterData"), QStringLiteral("MasterData")}},
        {int(TipoBanda::PieDatos), {QStringLiteral("TfrxFooter"), QStringLiteral("Footer")}},
        {int(TipoBanda::PiePagina), {QStringLiteral("TfrxPageFooter"), QStringLiteral("PageFooter")}},
        {int(TipoBanda::ResumenInforme), {QStringLiteral("TfrxReportSummary"), QStringLiteral("ReportSummary")}}};
    if (!clases.contains(int(tipo)))
        return -1;
    Banda b;
    b.tipo = tipo;
    b.clase = clases[int(tipo)].first;
    b.nombre = nombreNuevo(clases[int(tipo)].second);
    const Pagina &p = pagina();
    b.ancho = p.anchoPapel - p.margenIzquierdo - p.margenDerecho;
    b.alto = Longitud::deMm(tipo == TipoBanda::DatosMaestros ? 25 : 10);
    if (tipo == TipoBanda::DatosMaestros)
        b.conjunto = Conjunto;
    Longitud y;
    for (const Banda &x : p.bandas)
        y = std::max(y, x.arriba + x.alto);
    b.arriba = y;
    registra();
    paginaMod().bandas.append(b);
    m_bandaActual = int(pagina().bandas.size()) - 1;
    hecho();
    return m_bandaActual;
}

void DisenadorDocumento::quitaBanda(int banda)
{
    if (banda < 0 || banda >= pagina().bandas.size())
        return;
    registra();
    paginaMod().bandas.removeAt(banda);
    m_sel.clear();
    m_bandaActual = -1;
    for (int i = 0; i < pagina().bandas.size(); ++i)
        if (pagina().bandas[i].tipo == TipoBanda::DatosMaestros) {
            m_bandaActual = i;
            break;
        }
    hecho();
    emit seleccionCambiada();
}

// ---------------------------------------------------------------- gestos

void DisenadorDocumento::iniciaGesto()
{
    m_inicioGesto = {m_forma, m_sel, m_pagina};
    m_gesto = true;
    m_gestoCambio = false;
}

void DisenadorDocumento::arrastra(Longitud dx, Longitud dy)
{
    if (!m_gesto || m_sel.isEmpty())
        return;
    // Desde la posición inicial: la primera vista elegida cae en la rejilla y las demás la siguen
    const Pagina &inicio = m_inicioGesto.forma.paginas[m_pagina];
    auto original = [&](const RefVista &r) -> const Vista & {
        return r.banda < 0 ? inicio.vistas[r.indice] : inicio.bandas[r.banda].vistas[r.indice];
    };
    const Vista &guia = original(m_sel.first());
    const Longitud ddx = ajusta(guia.izquierda + dx) - guia.izquierda;
    const Longitud ddy = ajusta(guia.arriba + dy) - guia.arriba;
    bool cambia = false;
    for (const RefVista &r : std::as_const(m_sel)) {
        const Vista &o = original(r);
        Vista *v = vistaMod(r);
        if (!v)
            continue;
        if (v->izquierda != o.izquierda + ddx || v->arriba != o.arriba + ddy) {
            v->izquierda = o.izquierda + ddx;
            v->arriba = o.arriba + ddy;
            cambia = true;
        }
    }
    if (cambia) {
        m_gestoCambio = true;
        m_modificado = true;
        calculaDisposicion();
        emit cambiado();
    }
}

void DisenadorDocumento::arrastraAsa(const RefVista &r, Asa asa, Longitud dx, Longitud dy)
{
    if (!m_gesto || !vista(r))
        return;
    const Pagina &inicio = m_inicioGesto.forma.paginas[m_pagina];
    const Vista &o = r.banda < 0 ? inicio.vistas[r.indice] : inicio.bandas[r.banda].vistas[r.indice];
    Longitud izq = o.izquierda, arr = o.arriba, der = o.izquierda + o.ancho, aba = o.arriba + o.alto;
    const bool linea = o.tipo == TipoVista::Linea;
    switch (asa) {
    case Asa::ArribaIzq: izq = ajusta(izq + dx); arr = ajusta(arr + dy); break;
    case Asa::Arriba: arr = ajusta(arr + dy); break;
    case Asa::ArribaDer: der = ajusta(der + dx); arr = ajusta(arr + dy); break;
    case Asa::Derecha: der = ajusta(der + dx); break;
    case Asa::AbajoDer: der = ajusta(der + dx); aba = ajusta(aba + dy); break;
    case Asa::Abajo: aba = ajusta(aba + dy); break;
    case Asa::AbajoIzq: izq = ajusta(izq + dx); aba = ajusta(aba + dy); break;
    case Asa::Izquierda: izq = ajusta(izq + dx); break;
    case Asa::Ninguna: return;
    }
    const Longitud minimo = linea ? Longitud() : m_paso;
    if (der - izq < minimo) {
        if (asa == Asa::ArribaIzq || asa == Asa::AbajoIzq || asa == Asa::Izquierda)
            izq = der - minimo;
        else
            der = izq + minimo;
    }
    if (aba - arr < minimo) {
        if (asa == Asa::ArribaIzq || asa == Asa::ArribaDer || asa == Asa::Arriba)
            arr = aba - minimo;
        else
            aba = arr + minimo;
    }
    Vista *v = vistaMod(r);
    if (v->izquierda == izq && v->arriba == arr && v->ancho == der - izq && v->alto == aba - arr)
        return;
    v->izquierda = izq;
    v->arriba = arr;
    v->ancho = der - izq;
    v->alto = aba - arr;
    m_gestoCambio = true;
    m_modificado = true;
    calculaDisposicion();
    emit cambiado();
}

void DisenadorDocumento::terminaGesto()
{
    if (!m_gesto)
        return;
    m_gesto = false;
    if (m_gestoCambio && !(m_forma == m_inicioGesto.forma)) {
        m_deshacer.append(m_inicioGesto);
        m_rehacer.clear();
        m_ultimaClave.clear();
        hecho();
    }
    m_inicioGesto = {};
    m_gestoCambio = false;
}
