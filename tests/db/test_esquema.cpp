// Instalación del esquema propio en una base sin los objetos del ERP
#include "BasePrueba.h"
#include "ImprimeQt.h"
#include "ErpPrueba.h"
#include "Respondedor.h"

#include "db/DBScript.h"
#include "db/InstaladorEsquema.h"
#include "db/Registro.h"
#include "db/fbConsulta.h"
#include "db/fbTransaccion.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(Esquema, IncompletoNoEscribeLaVersion)
{
    // Sin el dominio SI_NO_S ni los procedimientos de descuentos del ERP
    auto c = BasePrueba::conecta(BasePrueba::creaBase(QStringLiteral("esquema")));
    Transaccion t(*c);
    CacheRegistro cache;
    RegistroAjustes reg(*c, t, cache);
    InstaladorEsquema inst(*c, t, reg);
    QStringList log;
    inst.setBitacora([&](const QString &l) { log << l; });
    EXPECT_EQ(inst.ejecuta(), InstaladorEsquema::Resultado::Incompleto);
    EXPECT_TRUE(inst.faltantes().contains(QStringLiteral("TLV_CMP_PRECIOS.INC")));
    EXPECT_TRUE(inst.faltantes().contains(QStringLiteral("TLV_GET_DSCTO_ART")));
    EXPECT_FALSE(inst.faltantes().contains(QStringLiteral("TLV_REGISTRO")));
    // Los fallos reales quedan con su sentencia
    EXPECT_TRUE(log.filter(QStringLiteral("Error en la sentencia: ALTER TABLE TLV_CMP_PRECIOS ADD INC SI_NO_S")).size() == 1)
        << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(log.filter(QStringLiteral("No se encontraron estos objetos")).size(), 1);
    EXPECT_EQ(log.filter(QStringLiteral("La versión de la base de datos no se actualizó")).size(), 1);
    for (const char *paso : {"Inicia", " - Se crearon las tablas", " - Se insertaron los datos", " - Se crearon los índices",
                             " - Se crearon los procedimientos", " - Se dieron permisos", "* Terminado *"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(paso))) << paso;
    // La versión no se escribió (la lectura crea el valor vacío)
    EXPECT_EQ(inst.versionActual(), QString());
    // Los datos de menú sí quedaron
    Consulta q(*c, t);
    q.setSql(QStringLiteral("select (select count(*) from tlv_menubotondef), (select count(*) from tlv_menubotones),"
                            " (select count(*) from tlv_menusistema) from rdb$database"));
    q.ejecuta();
    EXPECT_EQ(q.campo(0).entero(), 22);
    EXPECT_EQ(q.campo(1).entero(), 5);
    EXPECT_EQ(q.campo(2).entero(), 3);
}

TEST(Esquema, VentanaRechazaUnaBasePosterior)
{
    auto c = BasePrueba::conecta(BasePrueba::creaBase(QStringLiteral("esquema")));
    Transaccion t(*c);
    CacheRegistro cache;
    RegistroAjustes reg(*c, t, cache);
    InstaladorEsquema inst(*c, t, reg);
    inst.ejecuta();
    reg.escribe({}, QStringLiteral("Etiquetas_DB"), QStringLiteral("000025"));

    Respondedor r;
    TfDBScript ventana(inst);
    ventana.bitacora()->clear();
    QTest::mouseClick(ventana.bActualizar(), Qt::LeftButton);
    ASSERT_EQ(r.cuantos(), 1);
    EXPECT_EQ(r.ultimo().texto,
              QStringLiteral("La base de datos no es compatible, es necesario actualizar el sistema Administración Tolvana "));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Aviso del sistema"));
    EXPECT_TRUE(ventana.bitacora()->toPlainText().isEmpty());
    EXPECT_EQ(inst.versionActual(), QStringLiteral("000025"));

    // Con una versión anterior sí corre y la bitácora muestra el avance
    reg.escribe({}, QStringLiteral("Etiquetas_DB"), QStringLiteral("000023"));
    QTest::mouseClick(ventana.bActualizar(), Qt::LeftButton);
    EXPECT_TRUE(ventana.bitacora()->toPlainText().contains(QStringLiteral(": * Terminado *")));
    EXPECT_TRUE(ventana.bActualizar()->isEnabled());
    EXPECT_EQ(ventana.windowTitle(), QStringLiteral("Base de datos"));
}

TEST(Esquema, InstalaEnLaEmpresaDelErpYRepiteSinCambios)
{
    ErpPrueba::Opciones op;
    op.empresas = {QStringLiteral("Ferreteria_Demo")};
    op.demo = false;
    op.usuarios = false;
    const ErpPrueba::Erp erp = ErpPrueba::crea(op);
    ASSERT_TRUE(erp.ok) << erp.error.toStdString();
    auto c = BasePrueba::conecta(erp.empresaBd());
    auto cfg = BasePrueba::conecta(erp.configBd());
    Transaccion t(*c), tc(*cfg);
    CacheRegistro cache;
    RegistroAjustes reg(*c, t, cache);
    InstaladorEsquema inst(*c, t, reg, cfg.get(), &tc);

    const auto corre = [&] {
        QStringList log;
        inst.setBitacora([&](const QString &l) { log << l; });
        EXPECT_EQ(inst.ejecuta(), InstaladorEsquema::Resultado::Instalado) << log.join(QLatin1Char('\n')).toStdString();
        return log;
    };
    const QStringList primera = corre();
    EXPECT_TRUE(inst.objetosFaltantes().isEmpty());
    EXPECT_EQ(inst.versionActual(), QStringLiteral("000024"));

    // Un título cambiado a mano se refresca; las filas no se duplican
    Consulta u(*c, t);
    u.ponActualizacion(true);
    u.setSql(QStringLiteral("UPDATE TLV_MENUBOTONES SET TITULO = 'otro' WHERE TAG = 90"));
    u.ejecuta();
    const QStringList segunda = corre();
    EXPECT_EQ(segunda, primera);
    Consulta q(*c, t);
    q.setSql(QStringLiteral("select (select titulo from tlv_menubotones where tag = 90),"
                            " (select count(*) from tlv_menubotondef) from rdb$database"));
    q.ejecuta();
    EXPECT_EQ(q.campo(0).texto(), QStringLiteral("Imprimir etiquetas"));
    EXPECT_EQ(q.campo(1).entero(), 22);
    q.cierra();

    // Carpetas de reportes en Config.fdb, una sola vez
    Consulta f(*cfg, tc);
    f.setSql(QStringLiteral("select count(*) from rb_folder where name in ('Tolvanix', 'Traspasos', 'Formas')"));
    f.ejecuta();
    EXPECT_EQ(f.campo(0).entero(), 3);
}
