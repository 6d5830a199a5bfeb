#pragma once

#include "report/Plantilla.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

// Documento del diseñador de formas: la forma, la selección, las órdenes de edición,
// la rejilla y el deshacer por fotografías del modelo. Sin ventanas: las ventanas
// sólo le pasan lo que hace el usuario.

// Una vista de la página actual: banda (-1 = sobre la página) y su índice en la lista
struct RefVista
{
    int banda = -1;
    int indice = -1;
    bool valida() const { return indice >= 0; }
    bool operator==(const RefVista &) const = default;
};

// Dónde queda cada banda al diseñar: la primera etiqueta tal como se imprime
struct BandaEnDiseno
{
    int banda = -1;
    Longitud x, y, ancho, alto;       // desde la esquina del papel
    QList<QRectF> etiquetas;          // las demás etiquetas de la primera hoja (unidades de la forma)
    QRectF rect() const;              // en unidades de la forma
};

enum class Alineacion { Izquierdas, Derechas, Arriba, Abajo, CentrosH, CentrosV, MismoAncho, MismoAlto };
enum class PapelForma { Carta, A4, Medida };

// Asas para cambiar el tamaño: esquinas y lados
enum class Asa { Ninguna, ArribaIzq, Arriba, ArribaDer, Derecha, AbajoDer, Abajo, AbajoIzq, Izquierda };

// Formatos de número que ofrece el panel
enum class FormatoNumero { Ninguno, Moneda, EnteroMiles, Otro };
FormatoNumero FormatoDeVista(const Vista &v);
void PonFormatoNumero(Vista &v, FormatoNumero f);

// Tipos de código de barras que dibuja el motor, con su nombre para el usuario
QList<QPair<QString, QString>> TiposDeBarras();
// Dato de muestra de un tipo, para ver el código al diseñar sin datos
QString MuestraBarras(const QString &tipo);

class DisenadorDocumento : public QObject
{
    Q_OBJECT
public:
    explicit DisenadorDocumento(QObject *padre = nullptr);

    // ---- archivo
    // Forma en blanco: hoja carta con una banda de datos ligada a frxDBDataset
    void nuevo();
    bool abre(const QString &ruta, QString &error);
    void ponForma(const Plantilla &forma);
    bool guarda(const QString &ruta, QString &error);
    const QString &ruta() const { return m_ruta; }
    bool modificado() const { return m_modificado; }
    const QStringList &avisos() const { return m_avisos; }

    const Plantilla &forma() const { return m_forma; }
    int indicePagina() const { return m_pagina; }
    void ponIndicePagina(int i);
    const Pagina &pagina() const;
    bool hayPagina() const { return m_pagina >= 0 && m_pagina < m_forma.paginas.size(); }

    // ---- disposición (la misma composición que imprime)
    const QList<BandaEnDiseno> &disposicion() const { return m_disposicion; }
    const BandaEnDiseno *bandaEnDiseno(int banda) const;
    // Origen de las vistas de una banda (o de la página) desde la esquina del papel
    QPointF origenUnidades(int banda) const;
    const Vista *vista(const RefVista &r) const;
    QRectF rectVista(const RefVista &r) const;  // en la página, unidades de la forma
    RefVista vistaEn(const QPointF &puntoUnidades) const;
    int bandaEn(const QPointF &puntoUnidades) const; // -1 = fuera de las bandas
    QList<RefVista> vistasEn(const QRectF &rectUnidades) const; // dentro del rectángulo
    QList<RefVista> todas() const;

    // ---- selección
    const QList<RefVista> &seleccion() const { return m_sel; }
    void selecciona(const RefVista &r, bool agrega = false);
    void alterna(const RefVista &r);
    void seleccionaVarias(const QList<RefVista> &refs, bool agrega = false);
    void limpiaSeleccion();
    bool seleccionada(const RefVista &r) const { return m_sel.contains(r); }
    // La primera vista elegida (la referencia de la alineación)
    const Vista *actual() const;
    int bandaActual() const { return m_bandaActual; }
    void ponBandaActual(int banda);

    // ---- rejilla
    Longitud pasoRejilla() const { return m_paso; }
    void ponPasoRejilla(Longitud paso) { m_paso = paso.esCero() ? Longitud::deMm(1) : paso; }
    bool ajustaRejilla() const { return m_ajusta; }
    void ponAjustaRejilla(bool si) { m_ajusta = si; }
    Longitud ajusta(Longitud l) const;

    // ---- órdenes (cada una es un paso de deshacer)
    static Vista VistaNueva(TipoVista tipo);
    RefVista agrega(Vista v, int banda);
    RefVista agregaEn(TipoVista tipo, int banda, Longitud x, Longitud y, Longitud ancho = {}, Longitud alto = {});
    // Imagen de un archivo, guardada dentro de la forma
    bool ponImagenDeArchivo(const QString &archivo, QString &error);
    void mueve(Longitud dx, Longitud dy);
    void redimensiona(Longitud dAncho, Longitud dAlto);
    void elimina();
    void copia();
    void corta();
    void pega();
    bool hayCopia() const { return !m_copia.isEmpty(); }
    void alFrente();
    void alFondo();
    void alinea(Alineacion a);
    // Cambio de propiedades de lo elegido; pasos seguidos con la misma clave se juntan en uno
    void cambiaSeleccion(const QString &clave, const std::function<void(Vista &)> &cambio);
    void ponGeometria(const RefVista &r, Longitud x, Longitud y, Longitud ancho, Longitud alto);

    // Página y bandas
    void ponPapel(PapelForma papel, Longitud ancho = {}, Longitud alto = {});
    PapelForma papel() const;
    void ponHorizontal(bool horizontal);
    void ponMargenes(Longitud izq, Longitud arriba, Longitud der, Longitud abajo);
    void ponColumnasPagina(int columnas, Longitud ancho, Longitud espacio);
    Longitud espacioColumnasPagina() const;
    void ponColumnasBanda(int banda, int columnas, Longitud ancho, Longitud espacio);
    void ponAltoBanda(int banda, Longitud alto);
    int agregaBanda(TipoBanda tipo);
    void quitaBanda(int banda);

    // ---- arrastre: un gesto del ratón es un solo paso
    void iniciaGesto();
    // Desplaza lo elegido 'dx, dy' desde donde estaba al iniciar el gesto (con rejilla)
    void arrastra(Longitud dx, Longitud dy);
    // Cambia el tamaño de la vista 'r' con un asa, 'dx, dy' desde el inicio del gesto
    void arrastraAsa(const RefVista &r, Asa asa, Longitud dx, Longitud dy);
    void terminaGesto();
    bool enGesto() const { return m_gesto; }

    // ---- deshacer
    bool puedeDeshacer() const { return !m_deshacer.isEmpty(); }
    bool puedeRehacer() const { return !m_rehacer.isEmpty(); }
    int pasosDeshacer() const { return int(m_deshacer.size()); }
    void deshacer();
    void rehacer();

    QString nombreNuevo(const QString &prefijo) const;
    bool nombreUsado(const QString &nombre) const;

signals:
    void cambiado();           // la forma cambió
    void seleccionCambiada();

private:
    void cambiaCapa(bool alFrente);
    struct Paso
    {
        Plantilla forma;
        QList<RefVista> sel;
        int pagina = 0;
    };
    // Pasa la fotografía de una pila a la otra (deshacer / rehacer)
    void cambiaPaso(QList<Paso> &desde, QList<Paso> &hacia);
    Pagina &paginaMod();
    Vista *vistaMod(const RefVista &r);
    QList<Vista> &listaDe(int banda);
    // Guarda la fotografía antes de un cambio
    void registra(const QString &clave = {});
    void hecho();              // tras un cambio: disposición, aviso
    void calculaDisposicion();
    void limpiaSeleccionInvalida();
    QList<RefVista> seleccionOrdenada() const;

    Plantilla m_forma;
    QString m_ruta;
    QStringList m_avisos;
    int m_pagina = 0;
    bool m_modificado = false;
    QList<BandaEnDiseno> m_disposicion;
    QList<RefVista> m_sel;
    int m_bandaActual = -1;
    Longitud m_paso = Longitud::deMm(1);
    bool m_ajusta = true;

    QList<Paso> m_deshacer, m_rehacer;
    QString m_ultimaClave;

    bool m_gesto = false;
    bool m_gestoCambio = false;
    Paso m_inicioGesto;

    // Lo copiado vale para cualquier forma abierta después en el mismo programa
    static inline QList<Vista> m_copia;
    static inline int m_bandaCopia = -1;
};
