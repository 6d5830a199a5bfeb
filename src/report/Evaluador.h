#pragma once

#include "report/FuenteDatos.h"
#include "report/Plantilla.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

// Lugar de la impresión en que se evalúa una vista
struct ContextoEvaluacion
{
    int fila = -1;           // registro de la banda (o el último impreso)
    int pagina = 1;
    int totalPaginas = 1;
    int linea = 0;           // número de registro en la banda, desde 1
    QDateTime ahora = QDateTime::currentDateTime();
};

// Pieza de un texto con expresiones: literal o expresión ya resuelta
struct PiezaTexto
{
    enum Tipo { Literal, Campo, Pagina, TotalPaginas, Linea, Fecha, Hora, FechaHora, FormatoCampo, Nada };
    Tipo tipo = Literal;
    QString texto;           // literal, o patrón de FormatFloat / formato en línea
    const FuenteDatos *datos = nullptr;
    int campo = -1;
    FormatoVista formatoEnLinea; // "[... #n%2.2n]"
};

// Evalúa los textos de las vistas: [frxDBDataset."campo"], [Page#], [TotalPages#], [Line#],
// [Date], [Time], [FormatFloat('patrón', <frxDBDataset."campo">)] y literales.
// Si la forma nombra otro conjunto y sólo hay uno, se usa ése.
class Evaluador
{
public:
    explicit Evaluador(QStringList *avisos = nullptr) : m_avisos(avisos) {}

    void agregaDatos(const QString &alias, const FuenteDatos *datos);
    void quitaDatos() { m_datos.clear(); limpia(); }
    // Conjunto de un alias (con la regla del conjunto único); nulo si no hay
    const FuenteDatos *datos(const QString &alias) const;
    // Número de filas de una banda de datos
    int filasDe(const Banda &b) const;
    // Olvida lo compilado (al cambiar la forma)
    void limpia() { m_compilados.clear(); }
    // Vuelve a anotar avisos ya dados (al cargar otra forma)
    void olvidaAvisos() { m_avisados.clear(); }

    QString textoMemo(const Vista &v, const ContextoEvaluacion &c);
    // Dato de un código de barras o imagen: DataField, Expression o Text
    QVariant datoVista(const Vista &v, const ContextoEvaluacion &c);

    // Piezas de un texto con delimitadores "[,]"
    QList<PiezaTexto> analiza(const QString &texto, const QString &delimitadores, const QString &vista);
    // Pieza de una expresión sin corchetes
    PiezaTexto expresion(const QString &expr, const QString &vista);

private:
    QString evalua(const QList<PiezaTexto> &piezas, const Vista &v, const ContextoEvaluacion &c) const;
    QVariant valorPieza(const PiezaTexto &p, const ContextoEvaluacion &c) const;
    void aviso(const QString &t);

    QList<QPair<QString, const FuenteDatos *>> m_datos;
    QHash<const Vista *, QList<PiezaTexto>> m_compilados;
    QStringList *m_avisos;
    QSet<QString> m_avisados;
};
