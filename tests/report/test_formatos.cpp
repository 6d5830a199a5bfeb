// Formatos de presentación y expresiones de los textos
#include "report/Evaluador.h"
#include "report/FormatoInforme.h"

#include "db/MemTable.h"

#include "ImprimeQt.h"

#include <gtest/gtest.h>

TEST(FormatoInforme, CadenasDeDelphiYPatrones)
{
    struct Caso
    {
        const char *formato;
        QVariant valor;
        const char *esperado;
        const char *decimal = ".";
    };
    const Caso casos[] = {
        {"%2.2n", 1234.5, "1,234.50"},
        {"%2.2n", 0.005, "0.01"},             // la mitad se aleja del cero
        {"%2.2n", -1234567.125, "-1,234,567.13"},
        {"%2.2n", -0.001, "0.00"},            // sin "-0.00"
        {"%2.0n", 1234.5, "1,235"},
        {"%2.0n", 999.49, "999"},
        {"%2.2m", 10.5, "$10.50"},
        {"%2.2m", 1234567.891, "$1,234,567.89"},
        {"%2.2m", -3, "-$3.00"},
        {"%2.2m", QString("12"), "$12.00"},   // texto de un CSV
        {"%2.2m", QString("1,234.5"), "$1,234.50"},
        {"%2.2f", 1234.5, "1234.50"},
        {"%d", 12.7, "13"},
        {"%5d", 42, "   42"},
        {"%2.2n", 1234.5, "1.234,50", ","},   // DecimalSeparator de la vista
        {"Precio: %2.2m MXN", 7, "Precio: $7.00 MXN"},
        {"100%% %2.0n", 5, "100%  5"},    // el ancho 2 rellena como Delphi
        {"###,##0", 1234567.4, "1,234,567"},
        {"###,##0", 0, "0"},
        {"###,##0", -1500, "-1,500"},
        {"#,##0.00", 0.5, "0.50"},
        {"0.00", 3.14159, "3.14"},
        {"#.##", 2.5, "2.5"},
        {"000", 7, "007"},
        {"$#,##0.00;($#,##0.00);Gratis", -12.5, "($12.50)"},
        {"$#,##0.00;($#,##0.00);Gratis", 0, "Gratis"},
        {"\"Total: \"#,##0.00", 1000, "Total: 1,000.00"},
        {"0.00E+00", 12345, "1.23E+04"},
    };
    for (const Caso &c : casos) {
        FormatoVista f;
        f.clase = "fkNumeric";
        f.cadena = c.formato;
        f.separadorDecimal = c.decimal;
        EXPECT_EQ(TextoConFormato(c.valor, f, false), QString(c.esperado)) << c.formato << " " << c.valor.toString().toStdString();
    }
}

TEST(FormatoInforme, OcultaCerosYValoresSinFormato)
{
    FormatoVista moneda{"fkNumeric", "%2.2m", ".", ""};
    EXPECT_EQ(TextoConFormato(0.0, moneda, true), "");
    EXPECT_EQ(TextoConFormato(QString("0"), moneda, true), "");
    EXPECT_EQ(TextoConFormato(0.0, moneda, false), "$0.00");
    EXPECT_EQ(TextoConFormato(0.001, moneda, true), "$0.00"); // no es cero
    EXPECT_EQ(TextoConFormato(QVariant(), moneda, false), "");
    EXPECT_EQ(TextoConFormato(QString("ABC"), moneda, false), "ABC"); // texto no numérico: tal cual
    FormatoVista sin;
    EXPECT_EQ(TextoConFormato(10.5, sin, false), "10.5");
    EXPECT_EQ(TextoConFormato(QVariant::fromValue(Moneda::deTexto("12.5")), sin, false), "12.50");
    EXPECT_EQ(TextoConFormato(QVariant::fromValue(Moneda::deTexto("12.5")), moneda, false), "$12.50");
    FormatoVista fecha{"fkDateTime", "dd/mm/yyyy hh:nn", "", ""};
    EXPECT_EQ(TextoConFormato(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), fecha, false), "05/03/2024 14:07");
}

namespace {

MemTable *TablaImpresion(QObject *padre)
{
    // Los campos con los nombres de la tabla de impresión
    auto *t = new MemTable("mArtImp", padre);
    t->agregaCampo("clave", TipoCampo::Texto, 30);
    t->agregaCampo("articulo", TipoCampo::Texto, 100);
    t->agregaCampo("cantidad", TipoCampo::Entero);
    t->agregaCampo("precio", TipoCampo::Real);
    t->agregaCampo("Precio2", TipoCampo::Real);
    t->agregaCampo("Nota_General", TipoCampo::Texto, 50);
    t->abre();
    const struct { const char *clave, *nombre; double p1, p2; } filas[] = {
        {"7501000000005", "Lápiz HB", 10.5, 9}, {"7501000000012", "Goma \"blanca\"", 1234.5, 0}};
    for (const auto &f : filas) {
        t->agrega();
        t->asigna("clave", QString::fromUtf8(f.clave));
        t->asigna("articulo", QString::fromUtf8(f.nombre));
        t->asigna("precio", f.p1);
        t->asigna("Precio2", f.p2);
        t->asigna("Nota_General", QStringLiteral("Oferta"));
        t->graba();
    }
    return t;
}

Vista Memo(const QString &texto, const QString &formato = {}, bool ocultaCeros = false)
{
    Vista v;
    v.nombre = "Memo1";
    v.texto = texto;
    if (!formato.isEmpty())
        v.formato = {"fkNumeric", formato, ".", ""};
    v.ocultaCeros = ocultaCeros;
    return v;
}

} // namespace

TEST(Evaluador, CamposDeLaTablaDeImpresionConTextoFijo)
{
    QObject dueno;
    MemTable *t = TablaImpresion(&dueno);
    DatosMemTable datos(*t);
    QStringList avisos;
    Evaluador ev(&avisos);
    ev.agregaDatos("frxDBDataset", &datos);
    ContextoEvaluacion c;
    c.fila = 1;
    c.pagina = 3;
    c.totalPaginas = 7;
    c.ahora = QDateTime(QDate(2024, 3, 5), QTime(9, 30));

    struct Caso
    {
        Vista vista;
        const char *esperado;
    };
    const Caso casos[] = {
        {Memo("[frxDBDataset.\"articulo\"]"), "Goma \"blanca\""},
        {Memo("Clave: [frxDBDataset.\"clave\"] / [frxDBDataset.\"ARTICULO\"]"), "Clave: 7501000000012 / Goma \"blanca\""},
        {Memo("[frxDBDataset.\"precio\"]", "%2.2m"), "$1,234.50"},
        {Memo("Precio: [<frxDBDataset.\"precio\">] MXN", "%2.2n"), "Precio: 1,234.50 MXN"},
        {Memo("[frxDBDataset.\"Precio2\"]", "%2.2m", true), ""},
        {Memo("Página [Page#] de [TotalPages#]"), "Página 3 de 7"},
        {Memo("[frxDBDataset.\"precio\" #n%2.0n] pesos"), "1,235 pesos"},
        {Memo("[FormatFloat('#,##0.00', <frxDBDataset.\"precio\">)]"), "1,234.50"},
        {Memo("['texto']-[Line#]"), "texto-0"},
        {Memo("Sin [cierre"), "Sin [cierre"},
        {Memo("[frxDBDataset.\"Nota_General\"]"), "Oferta"},
    };
    for (const Caso &caso : casos)
        EXPECT_EQ(ev.textoMemo(caso.vista, c), QString(caso.esperado)) << caso.vista.texto.toStdString();
    Vista fecha = Memo("Impreso el [Date]");
    fecha.formato = {"fkDateTime", "dd/mm/yyyy", "", ""};
    EXPECT_EQ(ev.textoMemo(fecha, c), "Impreso el 05/03/2024");
    fecha.formato = {};
    EXPECT_EQ(ev.textoMemo(fecha, c), "Impreso el 05/03/2024"); // sin formato: día/mes/año
    EXPECT_TRUE(avisos.isEmpty()) << avisos.join('\n').toStdString();

    // Campo ligado sin expresión y expresiones apagadas
    Vista ligada = Memo("");
    ligada.conjunto = "frxDBDataset";
    ligada.campo = "clave";
    EXPECT_EQ(ev.textoMemo(ligada, c), "7501000000012");
    Vista literal = Memo("[frxDBDataset.\"clave\"]");
    literal.permiteExpresiones = false;
    EXPECT_EQ(ev.textoMemo(literal, c), "[frxDBDataset.\"clave\"]");
}

TEST(Evaluador, OtroAliasSeLigaAlConjuntoUnicoYLoDesconocidoAvisa)
{
    QObject dueno;
    MemTable *t = TablaImpresion(&dueno);
    DatosMemTable datos(*t);
    QStringList avisos;
    Evaluador ev(&avisos);
    ev.agregaDatos("frxDBDataset", &datos);
    ContextoEvaluacion c;
    c.fila = 0;
    Vista v = Memo("[frxDBArticulos.\"articulo\"]");
    EXPECT_EQ(ev.textoMemo(v, c), QString::fromUtf8("Lápiz HB"));
    ASSERT_EQ(avisos.size(), 1);
    EXPECT_TRUE(avisos[0].contains("frxDBArticulos"));
    Banda b;
    b.conjunto = "frxDBArticulos";
    EXPECT_EQ(ev.filasDe(b), 2);

    avisos.clear();
    Vista mala = Memo("A[frxDBDataset.\"noexiste\"]B[Sum(<x>)]C");
    EXPECT_EQ(ev.textoMemo(mala, c), "ABC");
    EXPECT_EQ(avisos.size(), 2) << avisos.join('\n').toStdString();

    // Con dos conjuntos no se adivina
    DatosTabla otro({"x"});
    ev.agregaDatos("frxOtro", &otro);
    EXPECT_EQ(ev.datos("frxDBArticulos"), nullptr);
    EXPECT_EQ(ev.datos("FRXDBDATASET"), &datos);
}
