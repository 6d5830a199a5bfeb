#pragma once

#include "common/Moneda.h"

#include <QCollator>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QMetaType>
#include <QVariant>

#include <utility>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

enum class TipoCampo { Entero, Real, Moneda, Booleano, Texto, Fecha, FechaHora, AutoIncremento };

struct DefCampo
{
    QString nombre;
    TipoCampo tipo = TipoCampo::Texto;
    int longitud = 0;        // texto: se corta al escribir (0 = sin límite)
    bool marcaLista = false; // campo ligado a una lista de valores
};

class MemTable;

// Vista de una fila para los filtros
class FilaMem
{
public:
    FilaMem(const MemTable &tabla, const std::vector<QVariant> &valores) : m_t(tabla), m_v(valores) {}
    QVariant valor(int campo) const;
    QVariant valor(const QString &campo) const;

private:
    const MemTable &m_t;
    const std::vector<QVariant> &m_v;
};

// Tabla en memoria: campos definidos en tiempo de ejecución, fila actual, alta/edición/baja,
// orden por un campo, filtro, marcas estables e índices por campo. Los valores nulos son
// QVariant() y se distinguen del texto vacío o del cero.
class MemTable : public QObject
{
    Q_OBJECT
public:
    enum class Estado { Navegando, Insertando, Editando };
    using Marca = quint64; // 0 = ninguna
    using Filtro = std::function<bool(const FilaMem &)>;

    explicit MemTable(QString nombre = {}, QObject *padre = nullptr);
    ~MemTable() override;

    const QString &nombre() const { return m_nombre; }

    // Campos
    void agregaCampo(const QString &nombre, TipoCampo tipo, int longitud = 0, bool marcaLista = false);
    bool quitaCampo(const QString &nombre);
    int indiceCampo(const QString &nombre) const; // -1 si no existe
    int campoIndice(const QString &nombre) const { return indiceCampo(nombre); }
    // Valor con que empieza el campo en cada alta (nulo = sin valor inicial)
    void ponValorInicial(const QString &campo, const QVariant &valor);
    const QList<DefCampo> &campos() const { return m_campos; }
    QStringList nombresCampos() const;
    int numCampos() const { return int(m_campos.size()); }

    // Ciclo de vida: cerrar y volver a abrir la vacía
    void abre();
    void cierra();
    bool activa() const { return m_activa; }
    void vacia();

    // Navegación sobre las filas visibles (filtradas y ordenadas)
    int cantidad() const { return tam(m_raiz); }
    int recno() const { return m_actual; } // posición 0.. o -1
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    void primero();
    void ultimo();
    void siguiente();
    void anterior();
    bool irAFila(int posicion);

    // Edición
    Estado estado() const { return m_estado; }
    void agrega();
    void edita();
    void asigna(const QString &campo, const QVariant &valor);
    void asigna(int campo, const QVariant &valor);
    void graba();
    void cancela();
    void borra();
    // Borra las filas visibles en esas posiciones (p. ej. las elegidas en una rejilla); devuelve cuántas
    int borraFilas(QList<int> posiciones);

    // Fila actual (o el búfer mientras se inserta o edita)
    QVariant valor(const QString &campo) const { return valor(indiceCampo(campo)); }
    QVariant valor(int campo) const;
    bool esNulo(const QString &campo) const { return !valor(campo).isValid(); }
    bool esNulo(int campo) const { return !valor(campo).isValid(); }
    QString texto(const QString &campo) const { return texto(indiceCampo(campo)); }
    QString texto(int campo) const;
    qint64 entero(const QString &campo) const { return entero(indiceCampo(campo)); }
    qint64 entero(int campo) const;
    double real(const QString &campo) const { return real(indiceCampo(campo)); }
    double real(int campo) const;
    Moneda moneda(const QString &campo) const { return moneda(indiceCampo(campo)); }
    Moneda moneda(int campo) const;
    bool booleano(const QString &campo) const { return booleano(indiceCampo(campo)); }
    bool booleano(int campo) const;
    QDate fecha(const QString &campo) const { return fecha(indiceCampo(campo)); }
    QDate fecha(int campo) const;
    QDateTime fechaHora(const QString &campo) const { return fechaHora(indiceCampo(campo)); }
    QDateTime fechaHora(int campo) const;

    // Lectura y escritura por posición visible (plantillas, exportación, rejillas)
    QVariant valorEn(int fila, int campo) const;
    QVariant valorEn(int fila, const QString &campo) const { return valorEn(fila, indiceCampo(campo)); }
    bool asignaEn(int fila, int campo, const QVariant &valor);

    // Marcas de fila: sobreviven a altas, bajas y reordenamientos de otras filas
    Marca marca() const;
    bool irA(Marca marca);
    bool marcaValida(Marca marca) const;

    // Orden por un campo (estable, nulos primero) y filtro
    void ordenaPor(const QString &campo, bool descendente = false);
    void quitaOrden();
    QString campoOrden() const;
    void ponFiltro(Filtro filtro);
    void quitaFiltro() { ponFiltro({}); }
    // Vuelve a evaluar el filtro puesto (cuando cambia lo que el filtro consulta)
    void refiltra();
    bool filtrada() const { return bool(m_filtro); }

    // Índices: búsqueda por valor sin recorrer la tabla
    void creaIndice(const QString &campo);
    bool busca(const QString &campo, const QVariant &valor); // mueve la fila actual
    // Primera fila visible (en el orden actual) cuyo campo vale 'valor', comparando según el
    // tipo del campo; con sinMayusculas los textos se comparan sin distinguir mayúsculas.
    // Usa el índice del campo cuando lo hay y la comparación es exacta.
    bool localiza(const QString &campo, const QVariant &valor, bool sinMayusculas = false);

    // Ciclos masivos: sin avisos por fila; al reanudar, un solo reinicio
    void suspendeAvisos();
    void reanudaAvisos();
    bool avisosSuspendidos() const { return m_suspendido > 0; }

    // Convierte un valor al tipo del campo (nulo si no se puede)
    static QVariant convierte(const DefCampo &campo, const QVariant &valor);
    static int compara(TipoCampo tipo, const QVariant &a, const QVariant &b);

signals:
    void antesDeInsertar(int posicion);
    void insertada(int posicion);
    void antesDeBorrar(int posicion);
    void borrada(int posicion);
    void cambiada(int posicion);
    void antesDeReiniciar();
    void reiniciada();
    void filaActualCambiada(int posicion);
    // Se asignó un valor a un campo del búfer (alta o edición), antes de grabar. Un receptor
    // puede asignar otros campos; desconectarlo equivale a quitar el manejador del campo.
    void campoAsignado(int campo);

private:
    struct Fila
    {
        Marca id = 0;
        std::vector<QVariant> valores;
        bool visible = true;
        // Clave de cotejo del campo de orden cuando es texto (se calcula al comparar)
        mutable std::optional<QCollatorSortKey> claveOrden;
    };
    struct Indice
    {
        // Ids de una clave en orden: el menor aparte (la clave única no reserva nada más) y
        // los demás en un árbol, para que quitar uno entre miles de iguales cueste O(log k)
        struct Ids
        {
            Marca menor = 0;
            std::set<Marca> resto;
        };
        QHash<QString, Ids> mapa;
        void agrega(const QString &clave, Marca id);
        void quita(const QString &clave, Marca id);
    };

    Fila *fila(Marca id) const;
    Fila *filaEn(int posicion) const;
    int posicionDe(Marca id) const; // -1 si no está visible
    Marca idActual() const;          // id interno de la fila actual (0 = ninguna)
    int posicionDeMarca(Marca m) const;
    void reconstruyeVista();
    void ponActual(int posicion);
    bool pasaFiltro(const Fila &f) const;
    int posicionOrdenada(const Fila &f) const;
    int comparaOrden(const Fila &a, const Fila &b) const;
    static QString claveIndice(const QVariant &v);
    void indexa(const Fila &f, bool agregar);
    void reconstruyeIndices();
    void exigeActiva() const;
    void limpiaFilas();
    void avisaReinicio(bool antes);
    void recolocaActual(Marca actual);

    // Vista: árbol aleatorio (treap) por posición sobre los ids, para que insertar,
    // quitar y hallar la posición de una fila cuesten O(log n)
    struct Nodo
    {
        int izq = -1, der = -1, padre = -1;
        int tam = 0; // 0 = fuera de la vista
        quint32 prioridad = 0;
    };
    int tam(int n) const { return n < 0 ? 0 : m_nodos[std::size_t(n)].tam; }
    void actualiza(int n);
    std::pair<int, int> parte(int n, int k);
    int une(int a, int b);
    void vistaInserta(int posicion, Marca id);
    void vistaQuita(Marca id);
    Marca vistaEn(int posicion) const;
    void vistaConstruye(const std::vector<Marca> &ids);
    quint32 azar();

    QString m_nombre;
    QList<DefCampo> m_campos;
    bool m_activa = false;
    Estado m_estado = Estado::Navegando;

    std::vector<std::unique_ptr<Fila>> m_filas; // por id - 1 (nulo si se borró)
    std::vector<Nodo> m_nodos;                  // por id - 1
    int m_raiz = -1;
    quint32 m_semilla = 0x9E3779B9u;
    // Último acceso por posición: el recorrido secuencial cuesta O(1) amortizado
    mutable int m_cachePos = -1;
    mutable Marca m_cacheId = 0;
    int m_actual = -1;
    bool m_eof = true;
    bool m_bof = true;

    std::vector<QVariant> m_bufer;
    qint64 m_autoIncremento = 0;
    quint32 m_generacion = 1; // cambia al vaciar o cerrar (ver marca())

    int m_campoOrden = -1;
    bool m_descendente = false;
    Filtro m_filtro;
    QCollator m_colador; // orden de textos en español, sin distinguir mayúsculas
    QHash<QString, Indice> m_indices; // por nombre de campo en mayúsculas
    QHash<QString, QVariant> m_iniciales; // valores iniciales, por nombre en mayúsculas
    int m_suspendido = 0;
};
