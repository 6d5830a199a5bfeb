#include "labels/BarTender.h"

#include "common/Moneda.h"
#include "ImprimeQt.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

TEST(BarTender, LineasDelLote)
{
    const QVariant p10 = QVariant::fromValue(Moneda::deTexto(QStringLiteral("10.5")));
    const QVariant p12 = QVariant::fromValue(Moneda::deTexto(QStringLiteral("12")));
    struct Caso { const char *nombre; QString linea; const char *esperada; };
    const Caso casos[] = {
        {"dos listas", LineaBarTender("7501", 3, {p10, p12}, QString::fromUtf8("Lápiz"), false), "7501,3,10.5,12,Lápiz"},
        {"sin listas", LineaBarTender("7501", 2, {}, "Goma", false), "7501,2,Goma"},
        {"no registrado sin precio", LineaBarTender("X1", 1, {QVariant()}, "Caja", true, "A-3"), "X1,1,,A-3,Caja"},
        {"coma en el nombre", LineaBarTender("9", 1, {p12}, "Clavo 1,5", false), "9,1,12,Clavo 1,5"},
        {"precio con muchos decimales", LineaBarTender("9", 1, {QVariant::fromValue(Moneda::deTexto("1234567.1234"))}, "a", false),
         "9,1,1234567.1234,a"},
        {"cambio de precios", LineaBarTenderCambio("K", "Nombre", "Linea", 15.25, 3.0, 2), "K,Nombre,Linea,15.25,3,2"},
    };
    for (const auto &c : casos)
        EXPECT_EQ(c.linea, QString::fromUtf8(c.esperada)) << c.nombre;
    EXPECT_EQ(NumeroGeneral(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(NumeroGeneral(1000000), QStringLiteral("1000000"));
}

TEST(BarTender, ArchivoEnWindows1252ConCrLf)
{
    QTemporaryDir tmp;
    const QString ruta = tmp.path() + QStringLiteral("/ARTS_PRECIO.TXT");
    QString error;
    ASSERT_TRUE(EscribeArchivoBarTender(ruta, {QString::fromUtf8("1,2,Lápiz"), QStringLiteral("3,4,Goma")}, error));
    auto lee = [&] {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no se pudo leer>");
    };
    EXPECT_EQ(lee(), QByteArray("1,2,L\xE1piz\r\n3,4,Goma\r\n"));
    // Se escribe de nuevo cada vez
    ASSERT_TRUE(EscribeArchivoBarTender(ruta, {QStringLiteral("5,6,x")}, error));
    EXPECT_EQ(lee(), QByteArray("5,6,x\r\n"));
    // Carpeta inexistente: error del sistema
    EXPECT_FALSE(EscribeArchivoBarTender(tmp.path() + QStringLiteral("/no/hay/a.txt"), {QStringLiteral("1")}, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(BarTender, FormatosYLineaDeOrdenes)
{
    QTemporaryDir tmp;
    for (const char *n : {"Anaquel.btw", "Chica.btw", "otro.txt"}) {
        QFile f(tmp.path() + QLatin1Char('/') + QLatin1String(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QStringList formatos = FormatosBarTender(tmp.path() + QLatin1Char('/'));
    EXPECT_EQ(formatos, (QStringList{QStringLiteral("Anaquel"), QStringLiteral("Chica")}));
    EXPECT_EQ(EligeFormato(formatos, QStringLiteral("Chica")), QStringLiteral("Chica"));
    EXPECT_EQ(EligeFormato(formatos, QStringLiteral("Borrado")), QStringLiteral("Anaquel"));
    EXPECT_TRUE(FormatosBarTender(tmp.path() + QStringLiteral("/nada/")).isEmpty());
    EXPECT_EQ(EligeFormato({}, QStringLiteral("x")), QString());

    EXPECT_EQ(ArgumentosBarTender(QStringLiteral("C:\\Tolvanix\\Etiquetas\\Formatos\\"), QStringLiteral("Anaquel"),
                                  QStringLiteral("/P /X")),
              QStringLiteral("/f=\"C:\\Tolvanix\\Etiquetas\\Formatos\\Anaquel.btw\" /P /X"));

    // Un programa sustituto anota su carpeta de trabajo y sus argumentos
    const QString sustituto = tmp.path() + QStringLiteral("/bartender.sh");
    const QString anotado = tmp.path() + QStringLiteral("/argumentos.txt");
    {
        QFile f(sustituto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > '%1.tmp' && mv '%1.tmp' '%1'\n")
                    .arg(anotado)
                    .toUtf8());
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    ASSERT_TRUE(EjecutaBarTender(sustituto, QStringLiteral("C:\\Tolvanix\\Etiquetas\\Formatos\\"),
                                 QStringLiteral("Anaquel"), QStringLiteral("/P /X")));
    QFile r(anotado);
    for (int i = 0; i < 100 && !r.exists(); ++i)
        QTest::qWait(50);
    ASSERT_TRUE(r.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(r.readAll()),
              QDir(tmp.path()).canonicalPath() +
                  QStringLiteral("\n/f=\"C:\\Tolvanix\\Etiquetas\\Formatos\\Anaquel.btw\"\n/P\n/X\n"));
    // Un programa que no existe no arranca
    EXPECT_FALSE(EjecutaBarTender(tmp.path() + QStringLiteral("/no_existe.exe"), QStringLiteral("C:\\F\\"),
                                  QStringLiteral("A"), QStringLiteral("/P")));
}
