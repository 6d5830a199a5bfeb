#pragma once

#include "report/Composicion.h"
#include "report/Dibujante.h"
#include "report/Evaluador.h"
#include "report/FuenteDatos.h"
#include "report/Plantilla.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

class QPainter;
class QPrinter;
class QWidget;

// Una forma con sus datos: carga, composición y salida a PDF, impresora, imagen o vista previa.
//   Informe inf;
//   inf.carga(ruta);                      // false: inf.error() en español
//   inf.ponDatos(&datos);                 // se expone como "frxDBDataset"
//   inf.exportaPdf("salida.pdf");
class Informe
{
public:
    static inline const QString AliasOmision = QStringLiteral("frxDBDataset");

    Informe();
    ~Informe();
    Informe(const Informe &) = delete;
    Informe &operator=(const Informe &) = delete;

    // Carga la forma de un archivo; si no existe o está dañada deja la forma vacía y da false
    bool carga(const QString &ruta);
    void ponForma(const Plantilla &forma);
    const Plantilla &forma() const { return m_forma; }
    // Vacía la forma (sin páginas)
    void vacia();

    // Conjunto de datos bajo un alias (no se adueña de él)
    void ponDatos(const FuenteDatos *datos, const QString &alias = AliasOmision);
    void quitaDatos();

    // Salta etiquetas de una hoja ya usada en parte (la primera banda de datos)
    void ponPrimeraPosicion(int posicion) { m_primeraPosicion = std::max(0, posicion); m_compuesto = false; }

    // Título del trabajo de impresión y del PDF (por omisión, el nombre de la forma)
    void ponTitulo(const QString &titulo) { m_titulo = titulo; }
    QString titulo() const;

    // Calibración de la impresora: desplazamiento del papel y escala (1 = sin cambio)
    void ponCalibracion(Longitud dx, Longitud dy, double escala = 1.0);

    // Composición (se calcula una vez por forma y datos)
    const Composicion &composicion();
    int numPaginas() { return int(composicion().paginas.size()); }

    // Dibuja una página: el pintor con el origen en la esquina del papel
    void dibujaPagina(QPainter &p, int indice);
    // Imprime todas las páginas en un QPrinter ya configurado
    bool imprimeEn(QPrinter &impresora);

    bool exportaPdf(const QString &ruta);
    // Imprime en la impresora de ese nombre sin preguntar
    bool imprime(const QString &impresora, int copias = 1);
    QImage imagenPagina(int indice, double dpi = 150);
    // Vista previa con imprimir y zoom; devuelve el resultado del diálogo
    int vistaPrevia(QWidget *padre = nullptr, const QString &impresora = {});

    const QString &error() const { return m_error; }
    const QStringList &avisos() const { return m_avisos; }
    bool vacio() const { return m_forma.paginas.isEmpty(); }

private:
    void reinicia();
    void preparaImpresora(QPrinter &impresora);
    void dibuja(QPainter &p, const PaginaCompuesta &pagina);

    Plantilla m_forma;
    QString m_ruta;
    QString m_titulo;
    QString m_error;
    QStringList m_avisos;
    Evaluador m_evaluador{&m_avisos};
    std::unique_ptr<Dibujante> m_dibujante;
    Composicion m_composicion;
    bool m_compuesto = false;
    int m_primeraPosicion = 0;
    Longitud m_dx, m_dy;
    double m_escala = 1.0;
};
