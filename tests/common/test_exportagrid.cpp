#include "common/Dialogos.h"
#include "common/Escritorio.h"
#include "common/ExportaGrid.h"
#include "common/Moneda.h"
#include "db/MemTable.h"
#include "db/MemTableModelo.h"

#include "Entorno.h"
#include "ImprimeQt.h"
#include "Respondedor.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QFileDialog>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <quazip/quazipfile.h>

namespace {

QByteArray leeDelZip(const QString &zip, const QString &interno)
{
    QuaZipFile f(zip, interno);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

struct Celda
{
    QString tipo; // "n" número, "s" compartido, "inlineStr", "b"
    QString valor;
    QString estilo;
};

// Celdas de la primera hoja, por referencia ("A1"); los textos compartidos ya resueltos
QMap<QString, Celda> leeHoja(const QString &zip)
{
    QStringList compartidos;
    QXmlStreamReader sx(leeDelZip(zip, QStringLiteral("xl/sharedStrings.xml")));
    while (!sx.atEnd())
        if (sx.readNext() == QXmlStreamReader::StartElement && sx.name() == QLatin1String("t"))
            compartidos << sx.readElementText();

    QMap<QString, Celda> celdas;
    QXmlStreamReader x(leeDelZip(zip, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    Celda actual;
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("c")) {
            ref = x.attributes().value(QLatin1String("r")).toString();
            actual = Celda{x.attributes().value(QLatin1String("t")).toString(),
                           {},
                           x.attributes().value(QLatin1String("s")).toString()};
            if (actual.tipo.isEmpty())
                actual.tipo = QStringLiteral("n");
        } else if (t == QXmlStreamReader::StartElement &&
                   (x.name() == QLatin1String("v") || x.name() == QLatin1String("t"))) {
            actual.valor = x.readElementText();
            if (actual.tipo == QLatin1String("s"))
                actual.valor = compartidos.value(actual.valor.toInt());
        } else if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("c")) {
            celdas.insert(ref, actual);
        }
    }
    return celdas;
}

// Código de formato numérico del estilo 's' de una celda ("" = General)
QString formatoDeEstilo(const QString &zip, const QString &estilo)
{
    QMap<QString, QString> codigos; // numFmtId -> formatCode propios
    QStringList formatosCelda;      // numFmtId de cada estilo de cellXfs
    QXmlStreamReader x(leeDelZip(zip, QStringLiteral("xl/styles.xml")));
    bool enCellXfs = false;
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("numFmt"))
            codigos.insert(x.attributes().value(QLatin1String("numFmtId")).toString(),
                           x.attributes().value(QLatin1String("formatCode")).toString());
        else if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("cellXfs"))
            enCellXfs = true;
        else if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("cellXfs"))
            enCellXfs = false;
        else if (enCellXfs && t == QXmlStreamReader::StartElement && x.name() == QLatin1String("xf"))
            formatosCelda << x.attributes().value(QLatin1String("numFmtId")).toString();
    }
    const QString id = formatosCelda.value(estilo.isEmpty() ? 0 : estilo.toInt());
    if (id == QLatin1String("0") || id.isEmpty())
        return {};
    return codigos.value(id, QStringLiteral("id:") + id);
}

bool esTexto(const Celda &c)
{
    return c.tipo == QLatin1String("s") || c.tipo == QLatin1String("inlineStr") || c.tipo == QLatin1String("str");
}

std::unique_ptr<QStandardItemModel> modeloPrecios()
{
    auto m = std::make_unique<QStandardItemModel>(0, 4);
    m->setHorizontalHeaderLabels(
        {QStringLiteral("Clave"), QStringLiteral("Descripción"), QStringLiteral("Precio"), QStringLiteral("Fecha")});
    auto fila = [&m](const QVariant &clave, const QVariant &desc, const QVariant &precio, const QVariant &fecha) {
        QList<QStandardItem *> items;
        for (const QVariant &v : {clave, desc, precio, fecha}) {
            auto *i = new QStandardItem;
            if (v.isValid())
                i->setData(v, Qt::EditRole);
            items << i;
        }
        m->appendRow(items);
    };
    fila(QStringLiteral("0075000123456"), QStringLiteral("Lápiz, amarillo"), 12.5, QDate(2024, 1, 5));
    fila(QStringLiteral("A-2"), QStringLiteral("Ñandú <grande> & \"más\""), 1234, QVariant());
    fila(QStringLiteral("A-3"), QVariant(), qlonglong(-7), QDate(2000, 1, 1));
    return m;
}

} // namespace

TEST(ExportaGrid, EscribeLibroYLoAbre)
{
    const QString carpeta = Entorno::rutaNueva(QStringLiteral("exporta"), QString());
    ASSERT_TRUE(QDir().mkpath(carpeta));
    const QString esperado = carpeta + QStringLiteral("/precios.xlsx");
    QFile::remove(esperado);

    auto modelo = modeloPrecios();
    GuionArchivos archivos;
    archivos.agrega(carpeta + QStringLiteral("/precios"));
    RegistroAperturas aperturas;
    Respondedor mensajes;

    ASSERT_TRUE(ExportaGrid(modelo.get(), nullptr));
    EXPECT_EQ(mensajes.cuantos(), 0) << mensajes.textos().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(archivos.solicitudes().size(), 1);
    EXPECT_TRUE(archivos.solicitudes()[0].guardar);
    EXPECT_EQ(archivos.solicitudes()[0].titulo, QStringLiteral("Guardar"));
    EXPECT_EQ(archivos.solicitudes()[0].filtro, QStringLiteral("Archivos de excel (*.xlsx)"));
    EXPECT_EQ(aperturas.rutas(), QStringList{esperado});
    ASSERT_TRUE(QFile::exists(esperado));

    const auto celdas = leeHoja(esperado);
    struct Esperada
    {
        const char *ref;
        bool texto;
        const char *valor;
    };
    const Esperada tabla[] = {
        {"A1", true, "Clave"},           {"B1", true, "Descripción"},
        {"C1", true, "Precio"},          {"D1", true, "Fecha"},
        {"A2", true, "0075000123456"}, // la clave sigue siendo texto: sin perder ceros
        {"B2", true, "Lápiz, amarillo"}, {"C2", false, "12.5"},
        {"D2", false, "45296"},          {"B3", true, "Ñandú <grande> & \"más\""},
        {"C3", false, "1234"},           {"C4", false, "-7"},
        {"D4", false, "36526"},
    };
    for (const auto &e : tabla) {
        const QString ref = QString::fromLatin1(e.ref);
        ASSERT_TRUE(celdas.contains(ref)) << e.ref;
        EXPECT_EQ(esTexto(celdas[ref]), e.texto) << e.ref << " tipo " << celdas[ref].tipo.toStdString();
        EXPECT_EQ(celdas[ref].valor, QString::fromUtf8(e.valor)) << e.ref;
    }
    EXPECT_FALSE(celdas.contains(QStringLiteral("D3"))); // vacía
    EXPECT_FALSE(celdas.contains(QStringLiteral("B4")));
    EXPECT_FALSE(celdas.contains(QStringLiteral("A5")));
    EXPECT_FALSE(celdas[QStringLiteral("D2")].estilo.isEmpty()); // fecha con formato
}

TEST(ExportaGrid, TablaGrandeCompleta)
{
    const int filas = 30000;
    QStandardItemModel modelo(filas, 3);
    for (int f = 0; f < filas; ++f) {
        modelo.setData(modelo.index(f, 0), QStringLiteral("ART-%1").arg(f));
        modelo.setData(modelo.index(f, 1), f * 1.5);
        modelo.setData(modelo.index(f, 2), f % 2 == 0);
    }
    const QString ruta = Entorno::rutaNueva(QStringLiteral("grande"), QStringLiteral(".xlsx"));
    ASSERT_EQ(EscribeLibroXlsx(modelo, ruta), QString());
    const auto celdas = leeHoja(ruta);
    EXPECT_EQ(celdas.size(), (filas + 1) * 3);
    const QString ultima = QString::number(filas + 1);
    EXPECT_EQ(celdas.value(QStringLiteral("A") + ultima).valor, QStringLiteral("ART-%1").arg(filas - 1));
    EXPECT_EQ(celdas.value(QStringLiteral("B") + ultima).valor, QString::number((filas - 1) * 1.5));
    EXPECT_EQ(celdas.value(QStringLiteral("C") + ultima).tipo, QStringLiteral("b"));
    EXPECT_EQ(celdas.value(QStringLiteral("C2")).valor, QStringLiteral("1"));
}

TEST(ExportaGrid, NombreElegidoSiempreTerminaEnXlsx)
{
    struct Caso
    {
        const char *elegido;
        const char *final;
    };
    const Caso casos[] = {
        {"/d/precios", "/d/precios.xlsx"},
        {"/d/precios.xls", "/d/precios.xlsx"},
        {"/d/precios.xlsx", "/d/precios.xlsx"},
        {"/d/precios.XLS", "/d/precios.xlsx"},
        {"/d/a.xls.xlsx", "/d/a.xlsx"},
        {"/d/mis.xls/lista", "/d/mis.xls/lista.xlsx"},
        {"/d/precios.xls copia", "/d/precios copia.xlsx"},
    };
    for (const auto &c : casos)
        EXPECT_EQ(NombreLibroXlsx(QString::fromUtf8(c.elegido)), QString::fromUtf8(c.final)) << c.elegido;
}

TEST(ExportaGrid, SobreescribeYRespetaLaExtension)
{
    const QString carpeta = Entorno::rutaNueva(QStringLiteral("exporta"), QString());
    ASSERT_TRUE(QDir().mkpath(carpeta));
    const QString destino = carpeta + QStringLiteral("/lista.xlsx");
    {
        QFile viejo(destino);
        ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
        viejo.write("no es un libro");
    }
    auto modelo = modeloPrecios();
    GuionArchivos archivos;
    archivos.agrega(carpeta + QStringLiteral("/lista.xls"));
    RegistroAperturas aperturas;
    Respondedor mensajes;
    ASSERT_TRUE(ExportaGrid(modelo.get(), nullptr));
    EXPECT_EQ(aperturas.rutas(), QStringList{destino});
    EXPECT_EQ(leeHoja(destino).value(QStringLiteral("A1")).valor, QStringLiteral("Clave"));
    EXPECT_FALSE(QFile::exists(carpeta + QStringLiteral("/lista.xls")));
}

TEST(ExportaGrid, FallaConAvisoYSinAbrir)
{
    const QString base = Entorno::rutaNueva(QStringLiteral("falla"), QString());
    ASSERT_TRUE(QDir().mkpath(base + QStringLiteral("/precios.xlsx"))); // una carpeta con el nombre del libro
    struct Caso
    {
        const char *elegido;
        const char *destino;
    };
    const Caso casos[] = {{"/noexiste/sub/precios", "/noexiste/sub/precios.xlsx"}, // carpeta inexistente
                          {"/precios", "/precios.xlsx"}};                          // el destino es una carpeta
    for (const Caso &c : casos) {
        auto modelo = modeloPrecios();
        GuionArchivos archivos;
        archivos.agrega(base + QString::fromUtf8(c.elegido));
        RegistroAperturas aperturas;
        Respondedor mensajes;

        EXPECT_FALSE(ExportaGrid(modelo.get(), nullptr)) << c.elegido;
        EXPECT_TRUE(aperturas.rutas().isEmpty()) << c.elegido;
        ASSERT_EQ(mensajes.cuantos(), 1) << c.elegido;
        const QString prefijo = QStringLiteral(
            "No fue posible crear el documento, verifique que no esté abierto y que tenga permisos de escritura\r\r");
        const QString texto = mensajes.ultimo().texto;
        EXPECT_TRUE(texto.startsWith(prefijo)) << texto.toStdString();
        // Con el texto del error y su causa en el sistema
        QFile destino(base + QString::fromUtf8(c.destino));
        EXPECT_FALSE(destino.open(QIODevice::ReadWrite));
        EXPECT_TRUE(texto.endsWith(QStringLiteral("\r") + destino.errorString())) << texto.toStdString();
        EXPECT_GT(texto.size(), prefijo.size() + destino.errorString().size() + 1);
        EXPECT_EQ(mensajes.ultimo().titulo, QStringLiteral("Aviso del sistema"));
        EXPECT_EQ(mensajes.ultimo().flags, 16);
    }
    EXPECT_TRUE(QFileInfo(base + QStringLiteral("/precios.xlsx")).isDir());
}

TEST(ExportaGrid, CancelarNoHaceNada)
{
    auto modelo = modeloPrecios();
    GuionArchivos archivos; // sin nombres: cancela
    RegistroAperturas aperturas;
    Respondedor mensajes;
    EXPECT_FALSE(ExportaGrid(modelo.get(), nullptr));
    EXPECT_EQ(archivos.solicitudes().size(), 1);
    EXPECT_TRUE(aperturas.rutas().isEmpty());
    EXPECT_EQ(mensajes.cuantos(), 0);
}

TEST(ExportaGrid, VistaConColumnasMovidasOcultasEImportes)
{
    MemTable tabla(QStringLiteral("mArt"));
    tabla.agregaCampo(QStringLiteral("Clave"), TipoCampo::Texto, 20);
    tabla.agregaCampo(QStringLiteral("Precio"), TipoCampo::Moneda);
    tabla.agregaCampo(QStringLiteral("Existencia"), TipoCampo::Real);
    tabla.agregaCampo(QStringLiteral("Interno"), TipoCampo::Texto, 10);
    tabla.agregaCampo(QStringLiteral("Imprimir"), TipoCampo::Booleano);
    tabla.abre();
    struct Fila
    {
        const char *clave, *precio;
        double existencia;
        bool imprimir;
    };
    const Fila filas[] = {{"7501", "1234.5", 3.25, true}, {"7502", "0.005", -2, false}};
    for (const Fila &f : filas) {
        tabla.agrega();
        tabla.asigna(QStringLiteral("Clave"), QString::fromUtf8(f.clave));
        tabla.asigna(QStringLiteral("Precio"), QVariant::fromValue(Moneda::deTexto(QString::fromUtf8(f.precio))));
        tabla.asigna(QStringLiteral("Existencia"), f.existencia);
        tabla.asigna(QStringLiteral("Interno"), QStringLiteral("oculto"));
        tabla.asigna(QStringLiteral("Imprimir"), f.imprimir);
        tabla.graba();
    }
    MemTableModelo modelo(&tabla);
    modelo.ponColumnas({{QStringLiteral("Clave"), QStringLiteral("Clave"), false, {}},
                        {QStringLiteral("Precio"), QStringLiteral("Precio"), false, {}},
                        {QStringLiteral("Existencia"), QStringLiteral("Existencia"), false,
                         [](const QVariant &v) { return QStringLiteral("%1").arg(v.toDouble(), 0, 'f', 3); }},
                        {QStringLiteral("Interno"), QStringLiteral("Interno"), false, {}},
                        {QStringLiteral("Imprimir"), QStringLiteral("Imprimir"), false, {}}});
    QTableView vista;
    vista.setModel(&modelo);
    vista.setColumnHidden(3, true);
    vista.horizontalHeader()->moveSection(1, 0); // Precio primero

    const QString carpeta = Entorno::rutaNueva(QStringLiteral("vista"), QString());
    ASSERT_TRUE(QDir().mkpath(carpeta));
    GuionArchivos archivos;
    archivos.agrega(carpeta + QStringLiteral("/lista"));
    RegistroAperturas aperturas;
    Respondedor mensajes;
    ASSERT_TRUE(ExportaGrid(&vista));
    const QString ruta = carpeta + QStringLiteral("/lista.xlsx");
    ASSERT_EQ(aperturas.rutas(), QStringList{ruta});

    const auto celdas = leeHoja(ruta);
    struct Esperada
    {
        const char *ref;
        const char *tipo; // "s" texto, "n" número, "b" sí/no
        const char *valor;
        const char *formato;
    };
    const Esperada tabla2[] = {
        {"A1", "s", "Precio", ""},    {"B1", "s", "Clave", ""},      {"C1", "s", "Existencia", ""},
        {"D1", "s", "Imprimir", ""},  {"A2", "n", "1234.5", "0.00"}, {"B2", "s", "7501", ""},
        {"C2", "n", "3.25", "0.000"}, {"D2", "b", "1", ""},          {"A3", "n", "0.005", "0.00"},
        {"C3", "n", "-2", "0.000"},   {"D3", "b", "0", ""},
    };
    for (const auto &e : tabla2) {
        const QString ref = QString::fromLatin1(e.ref);
        ASSERT_TRUE(celdas.contains(ref)) << e.ref;
        const QString tipo = esTexto(celdas[ref]) ? QStringLiteral("s") : celdas[ref].tipo;
        EXPECT_EQ(tipo, QString::fromLatin1(e.tipo)) << e.ref;
        EXPECT_EQ(celdas[ref].valor, QString::fromUtf8(e.valor)) << e.ref;
        if (tipo == QLatin1String("n")) {
            EXPECT_EQ(formatoDeEstilo(ruta, celdas[ref].estilo), QString::fromLatin1(e.formato)) << e.ref;
        }
    }
    EXPECT_FALSE(celdas.contains(QStringLiteral("E1"))); // la oculta no sale
}

TEST(ExportaGrid, FormatoDeLoMostradoEImporteSinFormato)
{
    // Lo mostrado da el formato sólo cuando es el mismo número
    class Modelo : public QStandardItemModel
    {
    public:
        using QStandardItemModel::QStandardItemModel;
        QVariant data(const QModelIndex &i, int rol) const override
        {
            if (rol == Qt::DisplayRole && i.column() == 0)
                return QStringList{QStringLiteral("$1,234.50"), QStringLiteral("12%"), QStringLiteral("99.00"),
                                   QStringLiteral("1,000")}
                    .value(i.row());
            return QStandardItemModel::data(i, rol);
        }
    };
    Modelo modelo(5, 2);
    const double valores[] = {1234.5, 0.12, 12.0, 1000.0};
    for (int f = 0; f < 4; ++f)
        modelo.setData(modelo.index(f, 0), valores[f], Qt::EditRole);
    modelo.setData(modelo.index(0, 1), QVariant::fromValue(Moneda::deTexto(QStringLiteral("1234567.891"))),
                   Qt::EditRole);
    const QString ruta = Entorno::rutaNueva(QStringLiteral("formatos"), QStringLiteral(".xlsx"));
    ASSERT_EQ(EscribeLibroXlsx(modelo, ruta), QString());
    const auto celdas = leeHoja(ruta);
    struct Esperada
    {
        const char *ref, *valor, *formato;
    };
    const Esperada casos[] = {{"A2", "1234.5", "\"$\"#,##0.00"},
                              {"A3", "0.12", ""}, // "12%" no es el número
                              {"A4", "12", ""},   // "99.00" no es el número
                              {"A5", "1000", "#,##0"},
                              {"B2", "1234567.8909999999", "#,##0.00"}};
    for (const auto &e : casos) {
        const QString ref = QString::fromLatin1(e.ref);
        ASSERT_TRUE(celdas.contains(ref)) << e.ref;
        EXPECT_EQ(celdas[ref].tipo, QStringLiteral("n")) << e.ref;
        EXPECT_NEAR(celdas[ref].valor.toDouble(), QString::fromLatin1(e.valor).toDouble(), 1e-9) << e.ref;
        EXPECT_EQ(formatoDeEstilo(ruta, celdas[ref].estilo), QString::fromLatin1(e.formato)) << e.ref;
    }
}

TEST(ExportaGrid, ArbolConGruposExpandidos)
{
    QStandardItemModel modelo;
    modelo.setHorizontalHeaderLabels({QStringLiteral("Nombre"), QStringLiteral("Nota")});
    auto *grupo = new QStandardItem(QStringLiteral("Papelería"));
    grupo->appendRow({new QStandardItem(QStringLiteral("Lápiz")), new QStandardItem(QStringLiteral("x"))});
    grupo->appendRow({new QStandardItem(QStringLiteral("Goma")), new QStandardItem(QStringLiteral("y"))});
    modelo.appendRow({grupo, new QStandardItem(QStringLiteral("g"))});
    modelo.appendRow({new QStandardItem(QStringLiteral("Martillo")), new QStandardItem(QStringLiteral("z"))});
    QTreeView vista; // plegada: se exporta todo igual
    vista.setModel(&modelo);
    vista.setColumnHidden(1, true);

    const QString carpeta = Entorno::rutaNueva(QStringLiteral("arbol"), QString());
    ASSERT_TRUE(QDir().mkpath(carpeta));
    GuionArchivos archivos;
    archivos.agrega(carpeta + QStringLiteral("/grupos.xls"));
    RegistroAperturas aperturas;
    Respondedor mensajes;
    ASSERT_TRUE(ExportaGrid(&vista));
    const auto celdas = leeHoja(carpeta + QStringLiteral("/grupos.xlsx"));
    QStringList columnaA;
    for (int f = 1; f <= 5; ++f)
        columnaA << celdas.value(QStringLiteral("A%1").arg(f)).valor;
    EXPECT_EQ(columnaA, (QStringList{QStringLiteral("Nombre"), QStringLiteral("Papelería"), QStringLiteral("Lápiz"),
                                     QStringLiteral("Goma"), QStringLiteral("Martillo")}));
    EXPECT_FALSE(celdas.contains(QStringLiteral("B1")));
    EXPECT_EQ(celdas.size(), 5);
}

TEST(ExportaGrid, DialogoRealDeGuardar)
{
    // Sin guion de archivos: el QFileDialog real llega al ejecutor de diálogos
    const QString carpeta = Entorno::rutaNueva(QStringLiteral("dialogo"), QString());
    ASSERT_TRUE(QDir().mkpath(carpeta));
    auto modelo = modeloPrecios();
    GuionDialogos guion;
    QString titulo, sufijo;
    QStringList filtros;
    bool guardar = false, confirma = false;
    guion.agrega(std::function<int(QFileDialog &)>([&](QFileDialog &d) {
        titulo = d.windowTitle();
        sufijo = d.defaultSuffix();
        filtros = d.nameFilters();
        guardar = d.acceptMode() == QFileDialog::AcceptSave;
        confirma = !d.testOption(QFileDialog::DontConfirmOverwrite);
        d.setDirectory(carpeta);
        d.selectFile(QStringLiteral("precios"));
        return int(QDialog::Accepted);
    }));
    RegistroAperturas aperturas;
    Respondedor mensajes;
    ASSERT_TRUE(ExportaGrid(modelo.get(), nullptr));
    EXPECT_TRUE(guion.errores().isEmpty()) << guion.errores().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(titulo, QStringLiteral("Guardar"));
    EXPECT_EQ(sufijo, QStringLiteral("xlsx"));
    EXPECT_EQ(filtros, QStringList{QStringLiteral("Archivos de excel (*.xlsx)")});
    EXPECT_TRUE(guardar);
    EXPECT_TRUE(confirma);
    const QString esperado = carpeta + QStringLiteral("/precios.xlsx");
    EXPECT_EQ(aperturas.rutas(), QStringList{esperado});
    EXPECT_EQ(leeHoja(esperado).value(QStringLiteral("B2")).valor, QStringLiteral("Lápiz, amarillo"));
    EXPECT_EQ(mensajes.cuantos(), 0);
}
