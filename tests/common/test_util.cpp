#include "common/FechaUtil.h"
#include "common/FormatoNumero.h"
#include "common/Util.h"
#include "common/Version.h"

#include "ImprimeQt.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(Texto, BlancosYVacio)
{
    EXPECT_EQ(QuitaBlancos(QStringLiteral(" a b\r\n")), QStringLiteral("ab"));
    EXPECT_TRUE(EstaVacio(QStringLiteral("  \r\n")));
    EXPECT_TRUE(EstaVacio(QString()));
    EXPECT_FALSE(EstaVacio(QStringLiteral(" \tx")));
    EXPECT_EQ(QuitaTexto(QStringLiteral("aabbc"), QStringLiteral("ab")), QStringLiteral("c")); // se forma otra
    EXPECT_EQ(QuitaTexto(QStringLiteral("abc"), QString()), QStringLiteral("abc"));
    EXPECT_EQ(RepiteTexto(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(RepiteTexto(QStringLiteral("ab"), 0), QString());
    EXPECT_EQ(RepiteTexto(QStringLiteral("ab"), -2), QString());
}

TEST(Texto, SeparaLista)
{
    struct Caso
    {
        const char *texto;
        const char *sep;
        QStringList esperado;
    };
    const Caso casos[] = {
        {"caja  roja", " ", {"CAJA", "", "ROJA"}},
        {"caja ", " ", {"CAJA"}},
        {",a,b", ",", {"", "A", "B"}},
        {"uno||dos", "||", {"UNO", "DOS"}},
        {"", ",", {}},
        {"ñandú", ",", {"ÑANDÚ"}},
    };
    QStringList lista{QStringLiteral("basura")};
    for (const Caso &c : casos) {
        SeparaLista(lista, QString::fromUtf8(c.texto), QString::fromUtf8(c.sep));
        EXPECT_EQ(lista, c.esperado) << c.texto;
    }
}

TEST(Texto, TextoEnteroYReal)
{
    struct CasoE
    {
        const char *texto;
        qint64 valor;
    };
    const CasoE enteros[] = {
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"  -42", -42},
        {"+7x", 7},
        {"$1F", 31},
        {"-$ff", -255},
        {"$", 0},
        {"- 5", 0},
        {"3.9", 3},
        {"00012", 12},
        {"99999999999999999999", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
    };
    for (const auto &c : enteros)
        EXPECT_EQ(TextoEntero(QString::fromUtf8(c.texto)), c.valor) << c.texto;

    struct CasoR
    {
        const char *texto;
        double valor;
    };
    const CasoR reales[] = {
        {"12.5abc", 12.5}, {" -0.25", -0.25}, {"abc", 0}, {"", 0},    {".5", 0.5},
        {"7.", 7},         {"1e3x", 1000},    {"2e", 2},  {"1,5", 1}, {"-.", 0},
    };
    for (const auto &c : reales)
        EXPECT_DOUBLE_EQ(TextoReal(QString::fromUtf8(c.texto)), c.valor) << c.texto;
}

TEST(Texto, ColumnaExcel)
{
    struct Caso
    {
        const char *letras;
        int valor;
    };
    const Caso casos[] = {{"A", 1},       {"Z", 26}, {"AA", 27}, {"AB", 28}, {"AZ", 52},
                          {"XFD", 16384}, {"a", 0},  {"A1", 0},  {"", 0},    {"ZZZZZZZZZZ", 0}};
    for (const auto &c : casos)
        EXPECT_EQ(ColumnaExcel(QString::fromUtf8(c.letras)), c.valor) << c.letras;
}

TEST(Folios, NormalSiguienteRelleno)
{
    struct Caso
    {
        const char *folio;
        const char *normal;
        const char *siguiente;
    };
    const Caso casos[] = {
        {"A0000009", "A9", "A00000010"}, {"ABC", "ABC", "ABC000001"}, {"AB000120", "AB120", "AB0000121"},
        {"A12", "A12", "A00000013"},     {"123", "123", "000000124"}, {"A999999999", "A999999999", "A1000000000"},
    };
    for (const auto &c : casos) {
        const QString f = QString::fromUtf8(c.folio);
        EXPECT_EQ(FolioNormal(f), QString::fromUtf8(c.normal)) << c.folio;
        EXPECT_EQ(FolioSiguiente(f, 9), QString::fromUtf8(c.siguiente)) << c.folio;
    }
    EXPECT_EQ(FolioRelleno(QStringLiteral("A12"), 9), QStringLiteral("A00000012"));
    EXPECT_EQ(FolioRelleno(QStringLiteral("ABC"), 9), QStringLiteral("ABC000000"));
    EXPECT_EQ(FolioRelleno(QStringLiteral("A1234567890"), 9), QStringLiteral("A1234567890"));
    EXPECT_EQ(FolioNormal(QStringLiteral(" A 0012")), QStringLiteral("A0012")); // blanco antes del prefijo
    EXPECT_EQ(FolioNormal(QStringLiteral("Ab007")), QStringLiteral("Ab007"));   // minúscula corta el prefijo
}

TEST(Impresora, EstadoImpresora)
{
    EXPECT_EQ(EstadoImpresora(0), QStringLiteral("Inactiva"));
    EXPECT_EQ(EstadoImpresora(1024), QStringLiteral("Imprimiendo"));
    EXPECT_EQ(EstadoImpresora(1025), QString());
    EXPECT_EQ(EstadoImpresora(32), QStringLiteral("Alimentación manual"));
    EXPECT_EQ(EstadoImpresora(16777216), QStringLiteral("Ahorro de energia"));
    EXPECT_EQ(EstadoImpresora(-1), QString());
    // cada bit de 0 a 24 tiene texto, y ninguno se repite
    QStringList vistos;
    for (int b = 0; b <= 24; ++b) {
        const QString t = EstadoImpresora(qint64(1) << b);
        EXPECT_FALSE(t.isEmpty()) << b;
        EXPECT_FALSE(vistos.contains(t)) << b;
        vistos << t;
    }
    EXPECT_EQ(EstadoImpresora(qint64(1) << 25), QString());
}

TEST(Fechas, TextosYMeses)
{
    const QDate d(2024, 1, 5);
    EXPECT_EQ(FechaTexto(d), QStringLiteral("05/Ene/2024"));
    EXPECT_EQ(FechaTextoCorta(d), QStringLiteral("05-Ene"));
    EXPECT_EQ(FechaTexto(QDate(987, 12, 31)), QStringLiteral("31/Dic/0987"));
    EXPECT_EQ(MesesCortos().size(), 13);
    EXPECT_EQ(MesLargo(9), QStringLiteral("Septiembre"));
    EXPECT_EQ(MesCorto(8), QStringLiteral("Ago"));
    EXPECT_EQ(MesCorto(13), QString());
    EXPECT_EQ(MesLargo(0), QString());
    EXPECT_EQ(NombreMesFecha(QDate(2023, 3, 1)), QStringLiteral("Marzo"));
    EXPECT_EQ(AnioTexto(d), QStringLiteral("2024"));
    EXPECT_EQ(MesFecha(d), 1);
    EXPECT_EQ(AnioFecha(d), 2024);
}

TEST(Fechas, LimitesDeMesYAnio)
{
    EXPECT_EQ(PrimerDiaMes(QDate(2024, 2, 17)), QDate(2024, 2, 1));
    EXPECT_EQ(UltimoDiaMes(QDate(2024, 2, 17)), QDate(2024, 2, 29));
    EXPECT_EQ(UltimoDiaMes(QDate(2023, 2, 1)), QDate(2023, 2, 28));
    EXPECT_EQ(UltimoDiaMes(QDate(2023, 12, 31)), QDate(2023, 12, 31));
    EXPECT_EQ(PrimerDiaAnio(QDate(2023, 7, 4)), QDate(2023, 1, 1));
    EXPECT_EQ(UltimoDiaAnio(QDate(2023, 7, 4)), QDate(2023, 12, 31));

    struct Caso
    {
        int anio, mes, dias;
    };
    const Caso casos[] = {{2024, 2, 29}, {1900, 2, 28},  {2000, 2, 29}, {2023, 2, 28},
                          {2023, 4, 30}, {2023, 12, 31}, {2023, 0, 0},  {2023, 13, 0}};
    for (const auto &c : casos)
        EXPECT_EQ(DiasMes(c.anio, c.mes), c.dias) << c.anio << "-" << c.mes;
    EXPECT_TRUE(EsBisiesto(2000));
    EXPECT_FALSE(EsBisiesto(2100));
    EXPECT_TRUE(EsBisiesto(2024));
}

TEST(Fechas, NumerosDeDia)
{
    EXPECT_EQ(FechaCero(), QDate(1899, 12, 30));
    struct Caso
    {
        QDate fecha;
        int numero;
    };
    const Caso casos[] = {{QDate(1899, 12, 30), 0},
                          {QDate(1899, 12, 31), 1},
                          {QDate(1900, 1, 1), 2},
                          {QDate(2024, 1, 5), 45296},
                          {QDate(1899, 12, 29), -1}};
    for (const auto &c : casos) {
        EXPECT_EQ(DiaANumero(c.fecha), c.numero) << c.fecha.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(NumeroADia(c.numero), c.fecha);
    }
    const QDateTime mediodia(QDate(2024, 1, 5), QTime(18, 0));
    EXPECT_DOUBLE_EQ(FechaHoraANumero(mediodia), 45296.75);
    EXPECT_EQ(NumeroAFechaHora(45296.75), mediodia);
    EXPECT_EQ(NumeroAFechaHora(45296.9999999999), QDateTime(QDate(2024, 1, 6), QTime(0, 0)));
}

TEST(FormatoNumeros, FijoSinImportarRegion)
{
    const QLocale anterior;
    QLocale::setDefault(QLocale(QLocale::German)); // miles "." y decimales ","
    struct Caso
    {
        double valor;
        int decimales;
        const char *texto;
    };
    const Caso casos[] = {
        {1234.5, 2, "1,234.50"},
        {-1234567.891, 2, "-1,234,567.89"},
        {0.125, 2, "0.12"},
        {0.135, 2, "0.14"},
        {999.999, 2, "1,000.00"},
        {-0.001, 2, "0.00"},
        {100, 0, "100"},
        {1e15, 1, "1,000,000,000,000,000.0"},
        {12.3456789, 6, "12.345679"},
    };
    for (const auto &c : casos)
        EXPECT_EQ(FormatoNumero(c.valor, c.decimales), QString::fromUtf8(c.texto)) << c.valor;
    EXPECT_EQ(FormatoMoneda(Moneda::deTexto(QStringLiteral("1234.5"))), QStringLiteral("$1,234.50"));
    EXPECT_EQ(FormatoMoneda(Moneda::deTexto(QStringLiteral("-3"))), QStringLiteral("-$3.00"));
    EXPECT_EQ(LocaleNumeros().toString(1234.5, 'f', 2), QStringLiteral("1,234.50"));

    bool ok = false;
    EXPECT_DOUBLE_EQ(LeeNumero(QStringLiteral("$ 1,234.50"), &ok), 1234.5);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(LeeNumero(QStringLiteral("-0.5"), &ok), -0.5);
    EXPECT_TRUE(ok);
    LeeNumero(QStringLiteral("1.2.3"), &ok);
    EXPECT_FALSE(ok);
    LeeNumero(QString(), &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(LeeMoneda(QStringLiteral("$12,345.6789"), &ok).diezmilesimas(), 123456789);
    EXPECT_TRUE(ok);
    QLocale::setDefault(anterior);
}

TEST(FormatoNumeros, LocaleDelPrograma)
{
    struct Caso
    {
        QLocale sistema;
        QLocale esperado;
    };
    const QLocale mexico(QLocale::Spanish, QLocale::Mexico);
    const Caso casos[] = {
        {QLocale(QLocale::German, QLocale::Germany), mexico}, // "," decimal: no sirve
        {QLocale(QLocale::Spanish, QLocale::Spain), mexico},  // "." de miles: no sirve
        {QLocale::c(), mexico},                               // sin formato de país
        {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::English, QLocale::UnitedStates)},
        {mexico, mexico},
    };
    for (const Caso &c : casos) {
        const QLocale l = LocalePrograma(c.sistema);
        EXPECT_EQ(l.name(), c.esperado.name()) << c.sistema.name().toStdString();
        EXPECT_EQ(l.toString(1234567.5, 'f', 2), QStringLiteral("1,234,567.50")) << c.sistema.name().toStdString();
    }
    const QLocale anterior;
    AplicaFormatoPrograma();
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));
    EXPECT_EQ(QLocale().groupSeparator(), QStringLiteral(","));
    bool ok = false;
    EXPECT_DOUBLE_EQ(QLocale().toDouble(QStringLiteral("1,234.5"), &ok), 1234.5);
    EXPECT_TRUE(ok);
    QLocale::setDefault(anterior);
}

TEST(Version, LaDelProyecto)
{
    // La versión del proyecto en CMakeLists.txt, con las partes que falten en 0
    QFile f(QStringLiteral(ETQ_FUENTES "/CMakeLists.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto m =
        QRegularExpression(QStringLiteral("project\\([^)]*VERSION\\s+([0-9.]+)")).match(QString::fromUtf8(f.readAll()));
    ASSERT_TRUE(m.hasMatch());
    QStringList partes = m.captured(1).split(QLatin1Char('.'));
    while (partes.size() < 4)
        partes << QStringLiteral("0");
    EXPECT_EQ(VersionArchivo(), partes.join(QLatin1Char('.')));
}
