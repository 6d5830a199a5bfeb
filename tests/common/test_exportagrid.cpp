#include "common/Dialogos.h"
#include "common/Escritorio.h"
#include "common/ExportaGrid.h"

#include "Entorno.h"
#include "ImprimeQt.h"
#include "Respondedor.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QStandardItemModel>
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
        {"/d/precios", "/d/precios.xlsx"},      {"/d/precios.xls", "/d/precios.xlsx"},
        {"/d/precios.xlsx", "/d/precios.xlsx"}, {"/d/precios.XLS", "/d/precios.xlsx"},
        {"/d/a.xls.xlsx", "/d/a.xlsx"},         {"/d/mis.xls/lista", "/d/mis.xls/lista.xlsx"},
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

TEST(ExportaGrid, FallaEnCarpetaInexistente)
{
    const QString carpeta = Entorno::rutaNueva(QStringLiteral("noexiste"), QString());
    auto modelo = modeloPrecios();
    GuionArchivos archivos;
    archivos.agrega(carpeta + QStringLiteral("/sub/precios"));
    RegistroAperturas aperturas;
    Respondedor mensajes;

    EXPECT_FALSE(ExportaGrid(modelo.get(), nullptr));
    EXPECT_TRUE(aperturas.rutas().isEmpty());
    ASSERT_EQ(mensajes.cuantos(), 1);
    const QString prefijo = QStringLiteral(
        "No fue posible crear el documento, verifique que no esté abierto y que tenga permisos de escritura\r\r");
    EXPECT_TRUE(mensajes.ultimo().texto.startsWith(prefijo)) << mensajes.ultimo().texto.toStdString();
    EXPECT_GT(mensajes.ultimo().texto.size(), prefijo.size()); // con el texto del error
    EXPECT_EQ(mensajes.ultimo().titulo, QStringLiteral("Aviso del sistema"));
    EXPECT_EQ(mensajes.ultimo().flags, 16);
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
