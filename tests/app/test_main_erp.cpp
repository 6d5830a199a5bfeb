// El ERP de reemplazo tiene todos los objetos del ERP de los que depende el programa.
#include "Entorno.h"
#include "ErpPrueba.h"
#include "ImprimeQt.h"

#include "db/ErpObjetos.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbTransaccion.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace ErpObjetos;

namespace {

ErpPrueba::Erp &erp()
{
    static ErpPrueba::Erp e = ErpPrueba::crea();
    return e;
}

class ObjetosDelErp : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(erp().ok) << erp().error.toStdString(); }

    void SetUp() override
    {
        const QString archivos[] = {erp().configBd(), erp().metadatosBd(), erp().empresaBd(0)};
        for (int i = 0; i < 3; ++i) {
            bases[i] = std::make_unique<Conexion>(archivos[i], Entorno::usuario(), Entorno::clave());
            bases[i]->conecta();
            trans[i] = std::make_unique<Transaccion>(*bases[i]);
        }
    }

    QStringList lista(BaseErp b, const QString &sql, const QString &nombre = {})
    {
        const int i = int(b);
        Consulta q(*bases[i], *trans[i]);
        q.setSql(sql);
        if (!nombre.isEmpty())
            q.asigna(QStringLiteral("n"), nombre);
        QStringList r;
        for (q.ejecuta(); !q.eof(); q.siguiente())
            r << q.campo(0).texto().trimmed();
        return r;
    }

    std::unique_ptr<Conexion> bases[3];
    std::unique_ptr<Transaccion> trans[3];
};

QStringList partes(const char *lista)
{
    return QString::fromLatin1(lista).split(QLatin1Char(','));
}

} // namespace

TEST_F(ObjetosDelErp, TablasConSusColumnas)
{
    for (const TablaErp &t : kTablas) {
        SCOPED_TRACE(t.nombre);
        const QStringList hay = lista(t.base,
                                      QStringLiteral("select rdb$field_name from rdb$relation_fields "
                                                     "where rdb$relation_name=:n"),
                                      QString::fromLatin1(t.nombre));
        ASSERT_FALSE(hay.isEmpty()) << "falta la tabla";
        for (const QString &c : partes(t.columnas))
            EXPECT_TRUE(hay.contains(c)) << c.toStdString();
    }
}

TEST_F(ObjetosDelErp, ProcedimientosConSusParametros)
{
    for (const ProcedimientoErp &p : kProcedimientos) {
        SCOPED_TRACE(p.nombre);
        const QString n = QString::fromLatin1(p.nombre);
        const QStringList entradas = lista(p.base,
                                           QStringLiteral("select rdb$parameter_name from rdb$procedure_parameters "
                                                          "where rdb$procedure_name=:n and rdb$parameter_type=0"),
                                           n);
        const QStringList salidas = lista(p.base,
                                          QStringLiteral("select rdb$parameter_name from rdb$procedure_parameters "
                                                         "where rdb$procedure_name=:n and rdb$parameter_type=1"),
                                          n);
        ASSERT_FALSE(salidas.isEmpty()) << "falta el procedimiento";
        EXPECT_GE(entradas.size(), p.entradasMin);
        EXPECT_LE(entradas.size(), p.entradasMax);
        for (const QString &s : partes(p.salidas))
            EXPECT_TRUE(salidas.contains(s)) << s.toStdString();
    }
    // El precio con impuestos se lee por la primera salida
    const QStringList primera =
        lista(BaseErp::Empresa, QStringLiteral("select rdb$parameter_name from rdb$procedure_parameters where "
                                               "rdb$procedure_name='PRECIO_CON_IMPTO_SI' and "
                                               "rdb$parameter_type=1 order by rdb$parameter_number"));
    EXPECT_EQ(primera.value(0), QStringLiteral("PRECIO_CON_IMPTO"));
}

TEST_F(ObjetosDelErp, GeneradorRolDominioYSistema)
{
    EXPECT_EQ(lista(BaseErp::Config,
                    QStringLiteral("select rdb$generator_name from rdb$generators where "
                                   "rdb$generator_name=:n"),
                    QString::fromLatin1(kGeneradorCatalogos))
                  .size(),
              1);
    for (BaseErp b : {BaseErp::Config, BaseErp::Metadatos, BaseErp::Empresa})
        EXPECT_EQ(lista(b, QStringLiteral("select rdb$role_name from rdb$roles where rdb$role_name=:n"),
                        QString::fromLatin1(kRolErp))
                      .size(),
                  1)
            << int(b);
    EXPECT_EQ(lista(BaseErp::Empresa, QStringLiteral("select rdb$field_name from rdb$fields where rdb$field_name=:n"),
                    QString::fromLatin1(kDominioSiNo))
                  .size(),
              1);
    EXPECT_EQ(lista(BaseErp::Metadatos, QStringLiteral("select nombre from sistemas where nombre=:n"),
                    QString::fromUtf16(kSistemaAdministracion)),
              QStringList{QString::fromUtf16(kSistemaAdministracion)});
}
