#pragma once

#include "db/MemTable.h"

#include <QList>
#include <QString>
#include <QStringList>

class Conexion;
class Consulta;
class RegistroAjustes;
class Tfdatos;
class Transaccion;

// Valores por omisión de la configuración
namespace OmisionEtiquetas {
inline const QString kExePtcomm = QStringLiteral("C:\\Tolvanix\\Etiquetas\\ptComm\\PtComm.exe");
inline const QString kCom = QStringLiteral("1");
inline const QString kDireccion = QStringLiteral("A");
inline const QString kBarTenderParams = QStringLiteral("/P /X");
inline const QString kBarTenderText = QStringLiteral("C:\\Tolvanix\\Etiquetas\\ARTS_PRECIO.TXT");
inline const QString kCarpetaFormatos = QStringLiteral("C:\\Tolvanix\\Etiquetas\\Formatos\\");
inline const QString kRenglon = QStringLiteral("2");
} // namespace OmisionEtiquetas

// Lo que muestra y guarda la ventana de configuración, un dato por control
struct ValoresConfigura
{
    // General
    QList<bool> listaPrecios; // marcas, paralelas a tListaPrecios
    QString moneda1;          // id elegido; vacío = ninguno
    bool modifP1 = false;
    bool seleccionarPrecio = false;
    bool promo = false;
    bool modificaPrecio = false;
    QString exePtcomm;
    QString com;
    QString ptAddress;
    QString barTenderExe;
    QString barTenderParams;
    QString barTenderText;
    QString carpetaFormatos;
    QString impresion; // "C" impresión directa, "B" BarTender, vacío ninguno

    // Etiquetas adicional
    QString excelClave;
    QString excelNombre;
    QString excelUnidades;
    QString excelRenglon;
    QString rolClave;   // id; vacío = ninguno
    QString rolAlterna; // id; vacío = ninguno
    QList<bool> listaClaves; // paralelas a tListaClaves
    bool seleccionarClave = false;
    QList<bool> camposPart; // paralelas a tCamposPart
    QString almacenLoc;     // id; vacío = ninguno

    // Cambia precios
    QString folio; // como se muestra (sin ceros de relleno)
    QString excelClaveCP;
    QString excelCostoCP;
    QString excelRenglonCP;
    bool descArtsCostoCero = false;
    bool usarMarckup = false;
    bool aumentarMarckup = false;
    bool disminuirMarckup = false;
    bool actualizarMarckup = false;
};

// Catálogo de ajustes de etiquetas, colectora y cambio de precios: lee las listas del ERP,
// lee los ajustes con sus valores por omisión, valida y guarda. Los ajustes van a la carpeta
// "Etiquetas" del registro; las listas a capturar, a TLV_CMP_PRECIOS.
class AjustesEtiquetas
{
public:
    AjustesEtiquetas(Conexion &base, Transaccion &lectura, Transaccion &actualizacion, RegistroAjustes &registro,
                     Tfdatos &datos, QString rutaIni);
    ~AjustesEtiquetas();
    AjustesEtiquetas(const AjustesEtiquetas &) = delete;
    AjustesEtiquetas &operator=(const AjustesEtiquetas &) = delete;

    // Listas de varias marcas: nombres de las entradas y sus ids, renglón por renglón
    QStringList nombresPrecios, tListaPrecios; // ORDER BY nombre
    QStringList nombresClaves, tListaClaves;   // ORDER BY nombre
    QStringList nombresCampos, tCamposPart;    // atributos de artículos, ORDER BY nombre
    QString precioLista;                       // id de la última lista "L"; vacío si no hay
    QString monedaLocal = QStringLiteral("-1"); // id de la última moneda local

    // Tablas de búsqueda (ID, Nombre; mMonedas: moneda_id, Nombre)
    MemTable mMonedas{QStringLiteral("mMonedas")};
    MemTable mRoles{QStringLiteral("mRoles")};
    MemTable mRolalt{QStringLiteral("mRolalt")};
    MemTable mAlm{QStringLiteral("mAlm")};
    MemTable mPrecio{QStringLiteral("mPrecio")};

    Tfdatos &datos() const { return m_datos; }

    // Abre: inicia las transacciones, llena las listas y lee cada ajuste con su valor por
    // omisión (leer un ajuste que falta lo crea vacío). También recarga mCmpPrecios.
    ValoresConfigura carga();

    enum class Falla { Ninguna, ExePtcomm, SinPrecio, SinClave, Markup };
    // Primera validación que falla
    static Falla valida(const ValoresConfigura &v);
    static QString mensaje(Falla falla);

    // Guarda en el orden de la ventana. Si reemplazar las listas a capturar falla, deja esas
    // filas como estaban, pone el texto del error en 'errorPrecios', no sigue y devuelve false;
    // los ajustes escritos antes quedan guardados. Otros errores de la base se lanzan (ErrorFb).
    bool guarda(const ValoresConfigura &v, QString *errorPrecios = nullptr);

    // Reemplaza TLV_CMP_PRECIOS por las filas de mCmpPrecios con nombre, todo o nada (lanza ErrorFb)
    void guardaListasCaptura();

    // Id en forma de texto leído de un ajuste: número entero >= 1; si no, 0
    static qint64 idDeAjuste(const QString &valor);

private:
    QString lee(const QString &clave);
    void escribe(const QString &clave, const QString &valor);
    void llenaBusqueda(MemTable &tabla, const QString &sql);
    // Tabla de búsqueda igual a otra ya llena (id, nombre)
    static void copiaBusqueda(const MemTable &origen, MemTable &destino);
    // Ids (en texto) y nombres de una consulta de dos columnas
    void idsYNombres(const QString &sql, QStringList &ids, QStringList &nombres);
    void cargaListasCaptura();

    Conexion &m_base;
    Transaccion &m_lectura;
    Transaccion &m_actualizacion;
    RegistroAjustes &m_registro;
    Tfdatos &m_datos;
    QString m_rutaIni;
};
