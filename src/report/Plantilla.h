#pragma once

#include "report/Longitud.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>

// Modelo de una forma de etiquetas o informe (archivo .fr3): páginas, bandas y vistas.
// Lo que el motor no entiende se guarda tal cual para volver a escribirlo al guardar.

// Atributos no reconocidos de un elemento, en el orden del archivo
using AtributosExtra = QList<QPair<QString, QString>>;

// Color como lo escribe la forma (TColor: 0x00BBGGRR; negativos = colores del sistema)
using ColorForma = qint32;
constexpr ColorForma ColorNinguno = 0x1FFFFFFF; // clNone: sin relleno
constexpr ColorForma ColorNegro = 0;
constexpr ColorForma ColorBlanco = 0xFFFFFF;
QColor AColorQt(ColorForma c);       // inválido para clNone
ColorForma DeColorQt(const QColor &c); // inválido -> clNone

enum class TipoVista { Memo, CodigoBarras, Codigo2D, Linea, Figura, Imagen, Desconocida };
enum class AlineaH { Izquierda, Derecha, Centro, Justificado };
enum class AlineaV { Arriba, Abajo, Centro };

// Lados del marco (Frame.Typ)
enum LadoMarco { MarcoIzquierdo = 1, MarcoDerecho = 2, MarcoArriba = 4, MarcoAbajo = 8, MarcoTodos = 15 };

struct Marco
{
    int lados = 0;             // máscara de LadoMarco
    double ancho = 1;          // unidades de la forma
    ColorForma color = ColorNegro;
    QString estilo = QStringLiteral("fsSolid");
    bool operator==(const Marco &) const = default;
};

struct FuenteVista
{
    QString nombre = QStringLiteral("Arial");
    int alto = -13;            // Font.Height: negativo = alto del carácter en unidades de la forma
    ColorForma color = ColorNegro;
    int estilo = 0;            // 1 negrita, 2 cursiva, 4 subrayado, 8 tachado
    double puntos() const;     // tamaño en puntos
    void ponPuntos(double pt);
    bool operator==(const FuenteVista &) const = default;
};

struct FormatoVista
{
    QString clase;             // DisplayFormat.Kind: fkText, fkNumeric, fkDateTime, fkBoolean; vacío = sin formato
    QString cadena;            // DisplayFormat.FormatStr: "%2.2n", "%2.2m", "###,##0", ...
    QString separadorDecimal;  // DisplayFormat.DecimalSeparator (vacío = ".")
    QString separadorMiles;    // DisplayFormat.ThousandSeparator (vacío = ",")
    bool operator==(const FormatoVista &) const = default;
};

struct Vista
{
    TipoVista tipo = TipoVista::Memo;
    QString clase = QStringLiteral("TfrxMemoView"); // nombre del elemento
    QString nombre;
    Longitud izquierda, arriba, ancho, alto;
    bool visible = true;

    // Datos ligados (memo, códigos, imagen): DataSetName/DataSet y DataField
    QString conjunto;
    QString campo;

    // Memo
    QString texto;
    FuenteVista fuente;
    AlineaH alineaH = AlineaH::Izquierda;
    AlineaV alineaV = AlineaV::Arriba;
    bool ajustaLineas = true;          // WordWrap
    bool permiteExpresiones = true;    // AllowExpressions
    QString delimitadores = QStringLiteral("[,]");
    double margenX = 2, margenY = 1;   // GapX, GapY
    FormatoVista formato;
    bool ocultaCeros = false;          // HideZeros
    int rotacion = 0;                  // 0, 90, 180, 270 (también códigos)
    Marco marco;                       // también pluma de línea y figura
    ColorForma relleno = ColorNinguno; // Color

    // Códigos de barras
    QString tipoBarras = QStringLiteral("bcCode39"); // BarType
    QString expresion;                 // Expression: <frxDBDataset."clave">
    bool muestraTexto = true;          // ShowText
    bool calculaVerificador = false;   // CalcCheckSum
    double zoom = 1;

    // Línea y figura
    bool diagonal = false;
    QString figura = QStringLiteral("skRectangle"); // Shape

    // Imagen: datos de Picture.PropData (clase de Delphi y bytes de la imagen)
    QByteArray datosImagen;
    bool estirada = true;              // Stretched
    bool mantieneProporcion = true;    // KeepAspectRatio
    bool centrada = false;             // Center

    AtributosExtra extras;
    QString hijosCrudos;               // elementos hijos no reconocidos, tal cual
    QString xmlCrudo;                  // Desconocida: el elemento completo

    bool operator==(const Vista &) const = default;

    // Imagen de Picture.PropData y su inversa (PNG)
    QByteArray bytesImagen() const;
    void ponImagenPng(const QByteArray &png);
};

enum class TipoBanda { TituloInforme, EncabezadoPagina, DatosMaestros, PieDatos, PiePagina, ResumenInforme, Desconocida };

struct Banda
{
    TipoBanda tipo = TipoBanda::DatosMaestros;
    QString clase = QStringLiteral("TfrxMasterData");
    QString nombre;
    Longitud izquierda, arriba, ancho, alto;
    int columnas = 0;                  // Columns (0 o 1 = una)
    Longitud anchoColumna;             // ColumnWidth
    Longitud espacioColumna;           // ColumnGap
    QString conjunto;                  // DataSetName/DataSet
    int filas = 0;                     // RowCount: sin conjunto, cuántas veces se imprime
    bool enPrimeraPagina = true;       // PrintOnFirstPage (encabezado de página)
    QList<Vista> vistas;
    AtributosExtra extras;
    QString xmlCrudo;                  // Desconocida: el elemento completo
    bool operator==(const Banda &) const = default;
};

struct Pagina
{
    QString nombre;
    Longitud anchoPapel = Longitud::deMm(210), altoPapel = Longitud::deMm(297);
    int tamanoPapel = 9;               // PaperSize: 1 carta, 9 A4, 256 a la medida
    Longitud margenIzquierdo = Longitud::deMm(10), margenDerecho = Longitud::deMm(10);
    Longitud margenSuperior = Longitud::deMm(10), margenInferior = Longitud::deMm(10);
    bool horizontal = false;           // Orientation = poLandscape (ancho y alto ya van girados)
    int columnas = 0;                  // Columns de la página
    Longitud anchoColumna;             // ColumnWidth (mm en el archivo)
    QList<Longitud> posicionesColumnas; // ColumnPositions.Text (mm)
    QList<Banda> bandas;
    QList<Vista> vistas;               // objetos sobre la página, fuera de bandas
    AtributosExtra extras;
    bool operator==(const Pagina &) const = default;
};

// Elemento hijo de la raíz que no es una página de informe (Datasets, Variables,
// TfrxDataPage, ...), con su posición entre los hijos de la raíz
struct ElementoCrudo
{
    int posicion = 0;
    QString xml;
    bool operator==(const ElementoCrudo &) const = default;
};

struct Plantilla
{
    QList<Pagina> paginas;
    QList<ElementoCrudo> otros;
    AtributosExtra extras;             // atributos de TfrxReport (Version, ScriptText.Text, ...)
    bool operator==(const Plantilla &) const = default;
};

// Nombres de los valores enumerados tal como van en el archivo
QString NombreAlineaH(AlineaH a);
QString NombreAlineaV(AlineaV a);
