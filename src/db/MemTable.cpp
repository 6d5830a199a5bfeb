#include "db/MemTable.h"

#include <QLocale>
#include <algorithm>
#include <stdexcept>

namespace {
const int kTipoMoneda = QMetaType::fromType<Moneda>().id();
} // namespace

QVariant FilaMem::valor(int campo) const
{
    return (campo >= 0 && std::size_t(campo) < m_v.size()) ? m_v[std::size_t(campo)] : QVariant();
}

QVariant FilaMem::valor(const QString &campo) const { return valor(m_t.indiceCampo(campo)); }

MemTable::MemTable(QString nombre, QObject *padre)
    : QObject(padre)
    , m_nombre(std::move(nombre))
    , m_colador(QLocale(QLocale::Spanish, QLocale::Mexico))
{
    m_colador.setCaseSensitivity(Qt::CaseInsensitive);
}

MemTable::~MemTable() = default;

// ---------------------------------------------------------------- campos

void MemTable::agregaCampo(const QString &nombre, TipoCampo tipo, int longitud, bool marcaLista)
{
    if (indiceCampo(nombre) >= 0)
        throw std::logic_error(QStringLiteral("El campo %1 ya existe en %2").arg(nombre, m_nombre).toStdString());
    avisaReinicio(true);
    m_campos.append({nombre, tipo, longitud, marcaLista});
    for (auto &f : m_filas)
        if (f)
            f->valores.emplace_back();
    if (m_estado != Estado::Navegando)
        m_bufer.emplace_back();
    avisaReinicio(false);
}

bool MemTable::quitaCampo(const QString &nombre)
{
    const int i = indiceCampo(nombre);
    if (i < 0)
        return false;
    avisaReinicio(true);
    m_campos.removeAt(i);
    for (auto &f : m_filas)
        if (f)
            f->valores.erase(f->valores.begin() + i);
    if (m_estado != Estado::Navegando)
        m_bufer.erase(m_bufer.begin() + i);
    if (m_campoOrden == i)
        m_campoOrden = -1;
    else if (m_campoOrden > i)
        --m_campoOrden;
    m_indices.remove(nombre.toUpper());
    m_iniciales.remove(nombre.toUpper());
    reconstruyeIndices();
    avisaReinicio(false);
    return true;
}

int MemTable::indiceCampo(const QString &nombre) const
{
    for (int i = 0; i < m_campos.size(); ++i)
        if (m_campos[i].nombre.compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void MemTable::ponValorInicial(const QString &campo, const QVariant &valor)
{
    const int c = indiceCampo(campo);
    if (c < 0)
        throw std::logic_error(QStringLiteral("No existe el campo %1 en %2").arg(campo, m_nombre).toStdString());
    const QVariant v = convierte(m_campos[c], valor);
    if (v.isValid())
        m_iniciales.insert(m_campos[c].nombre.toUpper(), v);
    else
        m_iniciales.remove(m_campos[c].nombre.toUpper());
}

QStringList MemTable::nombresCampos() const
{
    QStringList r;
    for (const DefCampo &c : m_campos)
        r << c.nombre;
    return r;
}

// ---------------------------------------------------------------- ciclo de vida

void MemTable::abre()
{
    if (m_activa)
        return;
    avisaReinicio(true);
    m_activa = true;
    avisaReinicio(false);
}

void MemTable::limpiaFilas()
{
    ++m_generacion;
    m_estado = Estado::Navegando;
    m_filas.clear();
    m_nodos.clear();
    m_raiz = -1;
    m_cachePos = -1;
    m_cacheId = 0;
    m_bufer.clear();
    for (auto &ix : m_indices)
        ix.mapa.clear();
    m_actual = -1;
    m_eof = m_bof = true;
}

void MemTable::cierra()
{
    avisaReinicio(true);
    m_activa = false;
    limpiaFilas();
    m_autoIncremento = 0;
    avisaReinicio(false);
}

void MemTable::vacia()
{
    exigeActiva();
    avisaReinicio(true);
    limpiaFilas();
    avisaReinicio(false);
}

void MemTable::exigeActiva() const
{
    if (!m_activa)
        throw std::logic_error(QStringLiteral("La tabla %1 no está abierta").arg(m_nombre).toStdString());
}

void MemTable::avisaReinicio(bool antes)
{
    if (m_suspendido > 0)
        return;
    if (antes) {
        emit antesDeReiniciar();
    } else {
        emit reiniciada();
        emit filaActualCambiada(m_actual);
    }
}

void MemTable::suspendeAvisos()
{
    if (m_suspendido++ == 0)
        emit antesDeReiniciar();
}

void MemTable::reanudaAvisos()
{
    if (m_suspendido == 0)
        return;
    if (--m_suspendido == 0) {
        // Lo agregado al final durante el ciclo se acomoda en su lugar
        if (m_campoOrden >= 0)
            recolocaActual(idActual());
        emit reiniciada();
        emit filaActualCambiada(m_actual);
    }
}

void MemTable::recolocaActual(Marca actual)
{
    reconstruyeVista();
    const int p = actual ? posicionDe(actual) : -1;
    m_actual = p >= 0 ? p : (cantidad() == 0 ? -1 : 0);
}

// ---------------------------------------------------------------- vista (treap por posición)

quint32 MemTable::azar()
{
    // xorshift32: basta para equilibrar el árbol
    m_semilla ^= m_semilla << 13;
    m_semilla ^= m_semilla >> 17;
    m_semilla ^= m_semilla << 5;
    return m_semilla;
}

void MemTable::actualiza(int n)
{
    Nodo &x = m_nodos[std::size_t(n)];
    x.tam = 1 + tam(x.izq) + tam(x.der);
    if (x.izq >= 0)
        m_nodos[std::size_t(x.izq)].padre = n;
    if (x.der >= 0)
        m_nodos[std::size_t(x.der)].padre = n;
}

// Separa los primeros k nodos de n: (izquierda, derecha)
std::pair<int, int> MemTable::parte(int n, int k)
{
    if (n < 0)
        return {-1, -1};
    Nodo &x = m_nodos[std::size_t(n)];
    if (tam(x.izq) < k) {
        const auto [a, b] = parte(x.der, k - tam(x.izq) - 1);
        m_nodos[std::size_t(n)].der = a;
        actualiza(n);
        if (b >= 0)
            m_nodos[std::size_t(b)].padre = -1;
        return {n, b};
    }
    const auto [a, b] = parte(x.izq, k);
    m_nodos[std::size_t(n)].izq = b;
    actualiza(n);
    if (a >= 0)
        m_nodos[std::size_t(a)].padre = -1;
    return {a, n};
}

int MemTable::une(int a, int b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    if (m_nodos[std::size_t(a)].prioridad > m_nodos[std::size_t(b)].prioridad) {
        const int d = une(m_nodos[std::size_t(a)].der, b);
        m_nodos[std::size_t(a)].der = d;
        actualiza(a);
        return a;
    }
    const int i = une(a, m_nodos[std::size_t(b)].izq);
    m_nodos[std::size_t(b)].izq = i;
    actualiza(b);
    return b;
}

void MemTable::vistaInserta(int posicion, Marca id)
{
    if (m_nodos.size() < m_filas.size())
        m_nodos.resize(m_filas.size());
    const int n = int(id - 1);
    m_nodos[std::size_t(n)] = Nodo{-1, -1, -1, 1, azar()};
    const auto [a, b] = parte(m_raiz, posicion);
    m_raiz = une(une(a, n), b);
    m_nodos[std::size_t(m_raiz)].padre = -1;
    m_cachePos = -1;
}

void MemTable::vistaQuita(Marca id)
{
    const int k = posicionDe(id);
    if (k < 0)
        return;
    const auto [a, b] = parte(m_raiz, k);
    const auto [uno, c] = parte(b, 1);
    m_nodos[std::size_t(uno)] = Nodo{};
    m_raiz = une(a, c);
    if (m_raiz >= 0)
        m_nodos[std::size_t(m_raiz)].padre = -1;
    m_cachePos = -1;
}

MemTable::Marca MemTable::vistaEn(int posicion) const
{
    if (posicion < 0 || posicion >= cantidad())
        return 0;
    if (m_cachePos >= 0) {
        if (posicion == m_cachePos)
            return m_cacheId;
        if (posicion == m_cachePos + 1) {
            // Sucesor en orden
            int n = int(m_cacheId - 1);
            if (m_nodos[std::size_t(n)].der >= 0) {
                n = m_nodos[std::size_t(n)].der;
                while (m_nodos[std::size_t(n)].izq >= 0)
                    n = m_nodos[std::size_t(n)].izq;
            } else {
                int p = m_nodos[std::size_t(n)].padre;
                while (p >= 0 && m_nodos[std::size_t(p)].der == n) {
                    n = p;
                    p = m_nodos[std::size_t(p)].padre;
                }
                n = p;
            }
            m_cachePos = posicion;
            m_cacheId = Marca(n + 1);
            return m_cacheId;
        }
    }
    int n = m_raiz;
    int k = posicion;
    for (;;) {
        const Nodo &x = m_nodos[std::size_t(n)];
        const int i = tam(x.izq);
        if (k < i) {
            n = x.izq;
        } else if (k == i) {
            break;
        } else {
            k -= i + 1;
            n = x.der;
        }
    }
    m_cachePos = posicion;
    m_cacheId = Marca(n + 1);
    return m_cacheId;
}

void MemTable::vistaConstruye(const std::vector<Marca> &ids)
{
    m_nodos.assign(m_filas.size(), Nodo{});
    m_raiz = -1;
    m_cachePos = -1;
    // Árbol cartesiano en O(n) con una pila
    std::vector<int> pila;
    for (const Marca id : ids) {
        const int n = int(id - 1);
        m_nodos[std::size_t(n)].prioridad = azar();
        int ultimo = -1;
        while (!pila.empty() && m_nodos[std::size_t(pila.back())].prioridad < m_nodos[std::size_t(n)].prioridad) {
            ultimo = pila.back();
            pila.pop_back();
        }
        m_nodos[std::size_t(n)].izq = ultimo;
        if (!pila.empty())
            m_nodos[std::size_t(pila.back())].der = n;
        pila.push_back(n);
    }
    if (pila.empty())
        return;
    m_raiz = pila.front();
    // Tamaños y padres en postorden, sin recursión
    std::vector<std::pair<int, bool>> porVisitar{{m_raiz, false}};
    while (!porVisitar.empty()) {
        const auto [n, listo] = porVisitar.back();
        porVisitar.pop_back();
        if (listo) {
            actualiza(n);
            continue;
        }
        porVisitar.push_back({n, true});
        const Nodo &x = m_nodos[std::size_t(n)];
        if (x.izq >= 0)
            porVisitar.push_back({x.izq, false});
        if (x.der >= 0)
            porVisitar.push_back({x.der, false});
    }
    m_nodos[std::size_t(m_raiz)].padre = -1;
}

// ---------------------------------------------------------------- filas y posiciones

MemTable::Fila *MemTable::fila(Marca id) const
{
    if (id == 0 || id > m_filas.size())
        return nullptr;
    return m_filas[id - 1].get();
}

MemTable::Fila *MemTable::filaEn(int posicion) const { return fila(vistaEn(posicion)); }

int MemTable::posicionDe(Marca id) const
{
    if (id == 0 || id > m_nodos.size() || m_nodos[std::size_t(id - 1)].tam == 0)
        return -1;
    int n = int(id - 1);
    int r = tam(m_nodos[std::size_t(n)].izq);
    for (int p = m_nodos[std::size_t(n)].padre; p >= 0; n = p, p = m_nodos[std::size_t(p)].padre)
        if (m_nodos[std::size_t(p)].der == n)
            r += tam(m_nodos[std::size_t(p)].izq) + 1;
    return r;
}

bool MemTable::pasaFiltro(const Fila &f) const { return !m_filtro || m_filtro(FilaMem(*this, f.valores)); }

void MemTable::reconstruyeVista()
{
    std::vector<Marca> ids;
    ids.reserve(m_filas.size());
    for (const auto &f : m_filas)
        if (f && pasaFiltro(*f))
            ids.push_back(f->id);
    if (m_campoOrden >= 0) {
        const bool desc = m_descendente;
        std::stable_sort(ids.begin(), ids.end(), [&](Marca a, Marca b) {
            const int r = comparaOrden(*m_filas[a - 1], *m_filas[b - 1]);
            return desc ? r > 0 : r < 0;
        });
    }
    vistaConstruye(ids);
}

int MemTable::posicionOrdenada(const Fila &f) const
{
    if (m_campoOrden < 0 || m_suspendido > 0)
        return cantidad();
    // Tras las filas iguales, para que el orden sea estable
    int pos = 0;
    for (int n = m_raiz; n >= 0;) {
        const Nodo &x = m_nodos[std::size_t(n)];
        const int r = comparaOrden(f, *m_filas[std::size_t(n)]);
        if (m_descendente ? r > 0 : r < 0) {
            n = x.izq;
        } else {
            pos += tam(x.izq) + 1;
            n = x.der;
        }
    }
    return pos;
}

int MemTable::comparaOrden(const Fila &a, const Fila &b) const
{
    const std::size_t c = std::size_t(m_campoOrden);
    const TipoCampo t = m_campos[m_campoOrden].tipo;
    const QVariant &va = a.valores[c], &vb = b.valores[c];
    if (t != TipoCampo::Texto || !va.isValid() || !vb.isValid())
        return compara(t, va, vb);
    // Cotejo del idioma: "Árbol" va con la A y "Ñandú" tras la N, no después de la Z
    if (!a.claveOrden)
        a.claveOrden.emplace(m_colador.sortKey(va.toString()));
    if (!b.claveOrden)
        b.claveOrden.emplace(m_colador.sortKey(vb.toString()));
    const int r = a.claveOrden->compare(*b.claveOrden);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void MemTable::ponActual(int posicion)
{
    if ((cantidad() == 0))
        posicion = -1;
    else
        posicion = std::clamp(posicion, 0, cantidad() - 1);
    const bool cambia = posicion != m_actual;
    m_actual = posicion;
    if (cambia && m_suspendido == 0)
        emit filaActualCambiada(m_actual);
}

void MemTable::primero()
{
    if (m_estado != Estado::Navegando)
        graba();
    ponActual(0);
    m_bof = true;
    m_eof = (cantidad() == 0);
}

void MemTable::ultimo()
{
    if (m_estado != Estado::Navegando)
        graba();
    ponActual(cantidad() - 1);
    m_eof = true;
    m_bof = (cantidad() == 0);
}

void MemTable::siguiente()
{
    if (m_estado != Estado::Navegando)
        graba();
    if (m_actual + 1 < cantidad()) {
        ponActual(m_actual + 1);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
    }
}

void MemTable::anterior()
{
    if (m_estado != Estado::Navegando)
        graba();
    if (m_actual > 0) {
        ponActual(m_actual - 1);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
    }
}

bool MemTable::irAFila(int posicion)
{
    if (m_estado != Estado::Navegando)
        graba();
    if (posicion < 0 || posicion >= cantidad())
        return false;
    ponActual(posicion);
    m_bof = m_eof = false;
    return true;
}

// ---------------------------------------------------------------- edición

void MemTable::agrega()
{
    exigeActiva();
    if (m_estado != Estado::Navegando)
        graba();
    m_bufer.assign(std::size_t(m_campos.size()), QVariant());
    for (auto it = m_iniciales.cbegin(); it != m_iniciales.cend(); ++it) {
        const int c = indiceCampo(it.key());
        if (c >= 0)
            m_bufer[std::size_t(c)] = it.value();
    }
    m_estado = Estado::Insertando;
}

void MemTable::edita()
{
    exigeActiva();
    if (m_estado == Estado::Editando)
        return;
    if (m_estado == Estado::Insertando)
        graba();
    const Fila *f = m_actual >= 0 ? fila(vistaEn(m_actual)) : nullptr;
    if (!f)
        throw std::logic_error(QStringLiteral("No hay fila actual en %1").arg(m_nombre).toStdString());
    m_bufer = f->valores;
    m_estado = Estado::Editando;
}

void MemTable::asigna(const QString &campo, const QVariant &valor)
{
    const int i = indiceCampo(campo);
    if (i < 0)
        throw std::logic_error(QStringLiteral("No existe el campo %1 en %2").arg(campo, m_nombre).toStdString());
    asigna(i, valor);
}

void MemTable::asigna(int campo, const QVariant &valor)
{
    if (m_estado == Estado::Navegando)
        throw std::logic_error(QStringLiteral("La tabla %1 no está en edición").arg(m_nombre).toStdString());
    if (campo < 0 || campo >= m_campos.size())
        throw std::logic_error("Campo fuera de rango");
    m_bufer[std::size_t(campo)] = convierte(m_campos[campo], valor);
    emit campoAsignado(campo);
}

void MemTable::graba()
{
    if (m_estado == Estado::Navegando)
        return;
    for (int c = 0; c < m_campos.size(); ++c)
        if (m_campos[c].tipo == TipoCampo::AutoIncremento) {
            QVariant &v = m_bufer[std::size_t(c)];
            if (!v.isValid())
                v = QVariant(++m_autoIncremento);
            else if (v.toLongLong() > m_autoIncremento)
                m_autoIncremento = v.toLongLong(); // un valor puesto a mano no se repetirá
        }

    if (m_estado == Estado::Insertando) {
        auto nueva = std::make_unique<Fila>();
        nueva->id = m_filas.size() + 1;
        nueva->valores = std::move(m_bufer);
        Fila &f = *nueva;
        m_filas.push_back(std::move(nueva));
        m_estado = Estado::Navegando;
        indexa(f, true);
        if (!pasaFiltro(f))
            return;
        const int pos = posicionOrdenada(f);
        if (m_suspendido == 0)
            emit antesDeInsertar(pos);
        vistaInserta(pos, f.id);
        if (m_suspendido == 0)
            emit insertada(pos);
        m_actual = -2; // fuerza el aviso de fila actual
        ponActual(pos);
        m_bof = m_eof = false;
        return;
    }

    // Edición
    const Marca id = vistaEn(m_actual);
    Fila &f = *fila(id);
    indexa(f, false);
    const bool cambiaOrden = m_campoOrden >= 0 && compara(m_campos[m_campoOrden].tipo, f.valores[std::size_t(m_campoOrden)],
                                                          m_bufer[std::size_t(m_campoOrden)]) != 0;
    f.valores = std::move(m_bufer);
    f.claveOrden.reset();
    m_estado = Estado::Navegando;
    indexa(f, true);
    const int pos = m_actual;
    if (!pasaFiltro(f) || cambiaOrden) {
        if (m_suspendido == 0)
            emit antesDeBorrar(pos);
        vistaQuita(id);
        if (m_suspendido == 0)
            emit borrada(pos);
        if (pasaFiltro(f)) {
            const int nueva = posicionOrdenada(f);
            if (m_suspendido == 0)
                emit antesDeInsertar(nueva);
            vistaInserta(nueva, f.id);
            if (m_suspendido == 0)
                emit insertada(nueva);
            m_actual = -2;
            ponActual(nueva);
        } else {
            m_actual = -2;
            ponActual(pos);
        }
        return;
    }
    if (m_suspendido == 0)
        emit cambiada(pos);
}

void MemTable::cancela()
{
    m_bufer.clear();
    m_estado = Estado::Navegando;
}

void MemTable::borra()
{
    exigeActiva();
    if (m_estado == Estado::Insertando) {
        cancela();
        return;
    }
    m_estado = Estado::Navegando;
    if (m_actual < 0)
        return;
    const int pos = m_actual;
    const Marca id = vistaEn(pos);
    indexa(*fila(id), false);
    if (m_suspendido == 0)
        emit antesDeBorrar(pos);
    vistaQuita(id);
    m_filas[id - 1].reset();
    if (m_suspendido == 0)
        emit borrada(pos);
    m_actual = -2;
    ponActual(pos);
    m_eof = (cantidad() == 0);
}

int MemTable::borraFilas(QList<int> posiciones)
{
    exigeActiva();
    if (m_estado != Estado::Navegando)
        graba();
    // De atrás hacia delante, para que las posiciones pendientes sigan valiendo
    std::sort(posiciones.begin(), posiciones.end(), std::greater<int>());
    posiciones.erase(std::unique(posiciones.begin(), posiciones.end()), posiciones.end());
    int borradas = 0;
    for (const int p : std::as_const(posiciones))
        if (irAFila(p)) {
            borra();
            ++borradas;
        }
    return borradas;
}

// ---------------------------------------------------------------- lectura

QVariant MemTable::valor(int campo) const
{
    if (campo < 0 || campo >= m_campos.size())
        return {};
    if (m_estado != Estado::Navegando)
        return m_bufer[std::size_t(campo)];
    if (m_actual < 0)
        return {};
    return fila(vistaEn(m_actual))->valores[std::size_t(campo)];
}

QString MemTable::texto(int campo) const
{
    const QVariant v = valor(campo);
    if (v.userType() == kTipoMoneda)
        return v.value<Moneda>().texto(4);
    return v.toString();
}

qint64 MemTable::entero(int campo) const
{
    const QVariant v = valor(campo);
    if (v.userType() == kTipoMoneda)
        return qRound64(v.value<Moneda>().aDouble());
    return v.toLongLong();
}

double MemTable::real(int campo) const
{
    const QVariant v = valor(campo);
    if (v.userType() == kTipoMoneda)
        return v.value<Moneda>().aDouble();
    return v.toDouble();
}

Moneda MemTable::moneda(int campo) const
{
    const QVariant v = convierte({QString(), TipoCampo::Moneda, 0, false}, valor(campo));
    return v.isValid() ? v.value<Moneda>() : Moneda();
}

bool MemTable::booleano(int campo) const { return valor(campo).toBool(); }
QDate MemTable::fecha(int campo) const { return valor(campo).toDate(); }
QDateTime MemTable::fechaHora(int campo) const { return valor(campo).toDateTime(); }

QVariant MemTable::valorEn(int pos, int campo) const
{
    if (pos < 0 || pos >= cantidad() || campo < 0 || campo >= m_campos.size())
        return {};
    return fila(vistaEn(pos))->valores[std::size_t(campo)];
}

bool MemTable::asignaEn(int pos, int campo, const QVariant &v)
{
    if (!irAFila(pos))
        return false;
    edita();
    asigna(campo, v);
    graba();
    return true;
}

// ---------------------------------------------------------------- marcas

MemTable::Marca MemTable::idActual() const
{
    if (m_actual < 0 || m_actual >= cantidad())
        return 0;
    return vistaEn(m_actual);
}

// La marca lleva la generación de las filas: tras vaciar o cerrar, las marcas viejas no
// señalan a las filas nuevas que reciben los mismos números
MemTable::Marca MemTable::marca() const
{
    const Marca id = idActual();
    return id ? (Marca(m_generacion) << 32) | id : 0;
}

int MemTable::posicionDeMarca(Marca m) const
{
    if (quint32(m >> 32) != m_generacion)
        return -1;
    return posicionDe(m & 0xFFFFFFFFu);
}

bool MemTable::marcaValida(Marca m) const { return posicionDeMarca(m) >= 0; }

bool MemTable::irA(Marca m)
{
    const int p = posicionDeMarca(m);
    if (p < 0)
        return false;
    return irAFila(p);
}

// ---------------------------------------------------------------- orden y filtro

void MemTable::ordenaPor(const QString &campo, bool descendente)
{
    const int c = indiceCampo(campo);
    if (c < 0)
        throw std::logic_error(QStringLiteral("No existe el campo %1 en %2").arg(campo, m_nombre).toStdString());
    if (m_estado != Estado::Navegando)
        graba();
    const Marca actual = idActual();
    avisaReinicio(true);
    if (c != m_campoOrden)
        for (auto &f : m_filas)
            if (f)
                f->claveOrden.reset();
    m_campoOrden = c;
    m_descendente = descendente;
    recolocaActual(actual);
    avisaReinicio(false);
}

void MemTable::quitaOrden()
{
    if (m_estado != Estado::Navegando)
        graba();
    const Marca actual = idActual();
    avisaReinicio(true);
    m_campoOrden = -1;
    recolocaActual(actual);
    avisaReinicio(false);
}

QString MemTable::campoOrden() const { return m_campoOrden >= 0 ? m_campos[m_campoOrden].nombre : QString(); }

void MemTable::ponFiltro(Filtro filtro)
{
    if (m_estado != Estado::Navegando)
        graba();
    const Marca actual = idActual();
    avisaReinicio(true);
    m_filtro = std::move(filtro);
    recolocaActual(actual);
    m_bof = true;
    m_eof = (cantidad() == 0);
    avisaReinicio(false);
}

void MemTable::refiltra()
{
    if (!m_filtro)
        return;
    Filtro f = m_filtro;
    ponFiltro(std::move(f));
}

// ---------------------------------------------------------------- índices

QString MemTable::claveIndice(const QVariant &v)
{
    if (!v.isValid())
        return QStringLiteral("\x01");
    if (v.userType() == kTipoMoneda)
        return QString::number(v.value<Moneda>().diezmilesimas());
    return v.toString();
}

void MemTable::Indice::agrega(const QString &clave, Marca id)
{
    Ids &ids = mapa[clave];
    if (ids.menor == 0) {
        ids.menor = id;
    } else if (id < ids.menor) {
        ids.resto.insert(ids.menor);
        ids.menor = id;
    } else {
        ids.resto.insert(id);
    }
}

void MemTable::Indice::quita(const QString &clave, Marca id)
{
    const auto it = mapa.find(clave);
    if (it == mapa.end())
        return;
    Ids &ids = *it;
    if (ids.menor != id) {
        ids.resto.erase(id);
    } else if (ids.resto.empty()) {
        mapa.erase(it);
    } else {
        ids.menor = *ids.resto.begin();
        ids.resto.erase(ids.resto.begin());
    }
}

void MemTable::indexa(const Fila &f, bool agregar)
{
    for (auto it = m_indices.begin(); it != m_indices.end(); ++it) {
        const int c = indiceCampo(it.key());
        if (c < 0)
            continue;
        const QString k = claveIndice(f.valores[std::size_t(c)]);
        if (agregar)
            it->agrega(k, f.id);
        else
            it->quita(k, f.id);
    }
}

void MemTable::reconstruyeIndices()
{
    for (auto &ix : m_indices)
        ix.mapa.clear();
    for (const auto &f : m_filas)
        if (f)
            indexa(*f, true);
}

void MemTable::creaIndice(const QString &campo)
{
    const int c = indiceCampo(campo);
    if (c < 0)
        throw std::logic_error(QStringLiteral("No existe el campo %1 en %2").arg(campo, m_nombre).toStdString());
    Indice &ix = m_indices[campo.toUpper()];
    ix.mapa.clear();
    ix.mapa.reserve(qsizetype(m_filas.size()));
    for (const auto &f : m_filas)
        if (f)
            ix.agrega(claveIndice(f->valores[std::size_t(c)]), f->id);
}

bool MemTable::busca(const QString &campo, const QVariant &valor)
{
    const int c = indiceCampo(campo);
    if (c < 0)
        return false;
    if (m_estado != Estado::Navegando)
        graba();
    const QString k = claveIndice(convierte(m_campos[c], valor));
    int mejor = -1;
    const auto ix = m_indices.constFind(campo.toUpper());
    if (ix != m_indices.cend()) {
        const auto ids = ix->mapa.constFind(k);
        if (ids != ix->mapa.cend()) {
            // Sin orden la vista va por id: la primera visible es la buscada
            const bool porId = m_campoOrden < 0 && m_suspendido == 0;
            const auto prueba = [&](Marca id) {
                const int p = posicionDe(id);
                if (p >= 0 && (mejor < 0 || p < mejor))
                    mejor = p;
                return porId && mejor >= 0;
            };
            if (!prueba(ids->menor))
                for (const Marca id : ids->resto)
                    if (prueba(id))
                        break;
        }
    } else {
        for (int i = 0; i < cantidad(); ++i)
            if (claveIndice(filaEn(i)->valores[std::size_t(c)]) == k) {
                mejor = i;
                break;
            }
    }
    if (mejor < 0)
        return false;
    return irAFila(mejor);
}

bool MemTable::localiza(const QString &campo, const QVariant &valor, bool sinMayusculas)
{
    const int c = indiceCampo(campo);
    if (c < 0)
        return false;
    const DefCampo &def = m_campos[c];
    const bool textoSinMayusculas = sinMayusculas && def.tipo == TipoCampo::Texto;
    if (!textoSinMayusculas && m_indices.contains(def.nombre.toUpper()))
        return busca(campo, valor);
    if (m_estado != Estado::Navegando)
        graba();
    const QVariant buscado = convierte(def, valor);
    const std::size_t ic = std::size_t(c);
    const auto igual = [&](const QVariant &v) {
        if (v.isValid() != buscado.isValid())
            return false;
        if (!v.isValid())
            return true;
        if (def.tipo == TipoCampo::Texto)
            return QString::compare(v.toString(), buscado.toString(),
                                    textoSinMayusculas ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
        return compara(def.tipo, v, buscado) == 0;
    };
    for (int i = 0; i < cantidad(); ++i)
        if (igual(filaEn(i)->valores[ic]))
            return irAFila(i);
    return false;
}

// ---------------------------------------------------------------- tipos

QVariant MemTable::convierte(const DefCampo &campo, const QVariant &v)
{
    if (!v.isValid())
        return {};
    const bool esMoneda = v.userType() == kTipoMoneda;
    const bool esTexto = v.userType() == QMetaType::QString;
    const QString t = esTexto ? v.toString().trimmed() : QString();
    bool ok = true;
    switch (campo.tipo) {
    case TipoCampo::Entero:
    case TipoCampo::AutoIncremento: {
        if (esMoneda)
            return QVariant(qint64(qRound64(v.value<Moneda>().aDouble())));
        if (esTexto) {
            if (t.isEmpty())
                return {};
            const qint64 n = t.toLongLong(&ok);
            return ok ? QVariant(n) : QVariant();
        }
        if (v.userType() == QMetaType::Double || v.userType() == QMetaType::Float)
            return QVariant(qint64(qRound64(v.toDouble())));
        const qint64 n = v.toLongLong(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    case TipoCampo::Real: {
        if (esMoneda)
            return QVariant(v.value<Moneda>().aDouble());
        if (esTexto) {
            if (t.isEmpty())
                return {};
            const double d = QLocale::c().toDouble(t, &ok);
            return ok ? QVariant(d) : QVariant();
        }
        const double d = v.toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    case TipoCampo::Moneda: {
        if (esMoneda)
            return v;
        if (esTexto) {
            if (t.isEmpty())
                return {};
            const Moneda m = Moneda::deTexto(t, &ok);
            return ok ? QVariant::fromValue(m) : QVariant();
        }
        switch (v.userType()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return QVariant::fromValue(Moneda::deDiezmilesimas(v.toLongLong() * Moneda::Escala));
        default: {
            const double d = v.toDouble(&ok);
            return ok ? QVariant::fromValue(Moneda::deDouble(d)) : QVariant();
        }
        }
    }
    case TipoCampo::Booleano:
        if (esTexto) {
            if (t.isEmpty())
                return {};
            return QVariant(t == QLatin1String("S") || t == QLatin1String("1")
                            || t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0);
        }
        return QVariant(v.toBool());
    case TipoCampo::Texto: {
        QString s = esMoneda ? v.value<Moneda>().texto(4) : v.toString();
        if (campo.longitud > 0 && s.size() > campo.longitud)
            s.truncate(campo.longitud);
        return QVariant(s);
    }
    case TipoCampo::Fecha: {
        if (esTexto) {
            const QDate d = QDate::fromString(t, Qt::ISODate);
            return d.isValid() ? QVariant(d) : QVariant();
        }
        const QDate d = v.toDate();
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case TipoCampo::FechaHora: {
        if (v.userType() == QMetaType::QDate)
            return QVariant(v.toDate().startOfDay());
        const QDateTime d = esTexto ? QDateTime::fromString(t, Qt::ISODate) : v.toDateTime();
        return d.isValid() ? QVariant(d) : QVariant();
    }
    }
    return {};
}

int MemTable::compara(TipoCampo tipo, const QVariant &a, const QVariant &b)
{
    const bool na = !a.isValid(), nb = !b.isValid();
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    const auto signo = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (tipo) {
    case TipoCampo::Entero:
    case TipoCampo::AutoIncremento:
        return signo(a.toLongLong(), b.toLongLong());
    case TipoCampo::Real:
        return signo(a.toDouble(), b.toDouble());
    case TipoCampo::Moneda:
        return signo(a.value<Moneda>().diezmilesimas(), b.value<Moneda>().diezmilesimas());
    case TipoCampo::Booleano:
        return signo(int(a.toBool()), int(b.toBool()));
    case TipoCampo::Texto: {
        const int r = QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    case TipoCampo::Fecha:
        return signo(a.toDate(), b.toDate());
    case TipoCampo::FechaHora:
        return signo(a.toDateTime(), b.toDateTime());
    }
    return 0;
}
