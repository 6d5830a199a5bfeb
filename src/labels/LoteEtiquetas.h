#pragma once

#include "common/Moneda.h"
#include "labels/AjustesEtiquetas.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class Conexion;
class Consulta;
class MemTable;
class RegistroAjustes;
class Transaccion;

// Error propio del lote (ajuste inválido, etc.); el texto va al usuario
class ErrorEtiquetas : public std::exception
{
public:
    explicit ErrorEtiquetas(QString texto) : m_texto(std::move(texto)), m_what(m_texto.toStdString()) {}
    const QString &texto() const { return m_texto; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    QString m_texto;
    std::string m_what;
};

// Precio de etiqueta a partir del precio con impuestos P y el descuento d (%)
struct PrecioEtiqueta
{
    Moneda Precio;
    std::optional<Moneda> PrecioSN; // vacío cuando P < 0
};
PrecioEtiqueta CalculaPrecioEtiqueta(Moneda P, long double descuento, bool precSP);

// Número de campos fijos de mArt y mArtImp
inline constexpr int kCamposFijos = 12;

// Lote de etiquetas: las tablas en memoria mArt (una fila por artículo), mArtImp (una fila
// por etiqueta impresa) y mArts (artículos de la búsqueda), sus campos dinámicos y la
// lectura de cada artículo del ERP. Las sentencias se preparan una vez por estructura.
class LoteEtiquetas
{
public:
    // Elemento de una lista a elegir (listas de precios, roles de clave)
    struct Elemento
    {
        int id = 0;
        QString nombre;
        bool marcado = false;
    };

    // Al crearse cuenta los parámetros de PRECIO_CON_IMPTO_SI y lee el rol de la clave
    LoteEtiquetas(Conexion &base, Transaccion &lectura, RegistroAjustes &registro, const QString &rutaIni);
    ~LoteEtiquetas();
    LoteEtiquetas(const LoteEtiquetas &) = delete;
    LoteEtiquetas &operator=(const LoteEtiquetas &) = delete;

    MemTable &mArt() { return *m_mArt; }
    MemTable &mArtImp() { return *m_mArtImp; }
    MemTable &mArts() { return *m_mArts; }
    LectorAjustesEtiquetas &ajustes() { return m_ajustes; }

    // Estado (lo llena el arranque de la ventana)
    ConfiguracionEtiquetas cfg;
    QString Artnagreg = QStringLiteral("N");
    QString sRol;
    QStringList tIDPrecio, tNomPrecio;
    QStringList tIDClaves, tNomClaves;
    QStringList tIDCampPart, tCampPart;
    bool conCampPart = false;
    bool ConPuntos = true;
    bool precSP = false;
    bool ModificaPrecio = false;
    bool bModifP1 = false;
    int iMoneda1 = -1;
    QString sAlmacenLoc;
    int suc_id = 0;

    bool sinRegistro() const { return Artnagreg == QLatin1String("S"); }

    // Ajustes de la ventana; también corre HayPuntos
    void LeeConfiguracion();
    bool HayPuntos();
    bool ExisteCampo2(const QString &tabla, const QString &campo);
    // Roles de clave por nombre, marcados los de "listaClaves"n
    QList<Elemento> CargaRolesClave();
    // Listas de precios por nombre, marcadas las de "listaprecios"n (y puestas en tIDPrecio)
    QList<Elemento> CargaListasPrecio();
    // suc_id: la sucursal matriz cuando DOCTOS_IN tiene SUCURSAL_ID
    void LeeSucursal();

    // Campos dinámicos: precios y claves elegidos, campos particulares y notas.
    // Cierra las tablas; quedan cerradas.
    void ArmaCampos();
    void AgregaCampo(const QString &nombre, QChar codigo, int longitud = 0);
    // Cierra y vuelve a abrir mArt y mArtImp (vacías)
    void Limpia();

    // Agrega un artículo del ERP (id 0: se busca por la clave). Un artículo ya presente sólo
    // suma la cantidad. Avisa con Mensaje lo que impide agregarlo y devuelve false.
    bool AgregaArticulo(const QString &clave, int id, int cantidad);
    // Renglón de un artículo no registrado; false (con aviso) si no tiene nombre o la cantidad no es entera
    bool AgregaNoRegistrado(const QString &clave, const QString &nombre, const QString &extra, const QString &cantidad);
    // articulo_id de la clave (de cualquier rol), 0 si no hay
    int BuscaIdPorClave(const QString &clave);

    // Campos particulares del renglón de mArtImp en edición, del artículo actual de mArt
    void LlenaCamposParticulares();

    // Regla de edición del precio n (1..N) en el renglón actual de mArt
    bool PrecioEditable(int n) const;

    int parametrosPrecio() const { return m_paramsPrecio; }
    // La base tiene GET_ULTCOM_ART (si no, el costo y la fecha son los del artículo)
    bool ExisteUltimaCompra();

private:
    void agregaArticuloBd(int id, int cantidad);
    void preparaArticulo();
    Moneda precioConImpuesto(int id, Moneda precio);
    int rolClave() const;
    static int enteroAjuste(const QString &clave, const QString &valor);

    Conexion &m_base;
    Transaccion &m_lectura;
    LectorAjustesEtiquetas m_ajustes;
    std::unique_ptr<MemTable> m_mArt, m_mArtImp, m_mArts;

    int m_paramsPrecio = -1;
    bool m_avisoPrecio = false;            // ya se avisó que el procedimiento no es de una versión soportada
    std::unique_ptr<Consulta> m_qBusca;    // clave -> id
    std::unique_ptr<Consulta> m_qArticulo; // renglón del artículo
    std::unique_ptr<Consulta> m_qPrecio;   // PRECIO_CON_IMPTO_SI
    std::unique_ptr<Consulta> m_qClave;    // clave por rol
    std::unique_ptr<Consulta> m_qLista;    // texto de un valor de lista
    std::unique_ptr<Consulta> m_qAux;      // consultas del arranque
    std::vector<std::unique_ptr<Consulta>> m_qParticulares;
    bool m_articuloListo = false;
    bool m_conUltimaCompra = true;
    // Posiciones en la consulta del artículo
    int m_colLoc = -1, m_colPuntos = -1;
    std::vector<int> m_colPrecio;
    std::vector<QString> m_nombresPr, m_nombresP; // nombres de los parámetros
    // Posiciones de los campos de mArt que llena una alta
    struct CamposRenglon
    {
        int id = -1, clave = -1, articulo = -1, imprimir = -1, cantidad = -1, dscto = -1, costo = -1, fecha = -1,
            notas = -1, localizacion = -1, puntos = -1;
        std::vector<int> precio, precioSN, claveRol, empaque;
    } m_campos;
};
