// Permisos: carga, cinta, apertura de módulos, refresco y autorización de otro usuario
// (TfAcceso) contra el servidor, con filas de tlv_permisos puestas como SYSDBA.
#include "Entorno.h"
#include "ErpPrueba.h"
#include "ImprimeQt.h"
#include "Respondedor.h"
#include "SesionPrueba.h"

#include "app/Acceso.h"
#include "app/Cinta.h"
#include "app/MForm.h"
#include "app/Main.h"
#include "app/Permisos.h"
#include "common/Dialogos.h"
#include "db/Registro.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

ErpPrueba::Erp &erp()
{
    static ErpPrueba::Erp e = ErpPrueba::crea();
    return e;
}

// Pone (o quita con acceso < 0) la fila de permisos de un usuario, como SYSDBA
void PonPermiso(const QString &usuario, int modulo, qint64 acceso)
{
    Conexion c(erp().empresaBd(0), Entorno::usuario(), Entorno::clave());
    c.conecta();
    Transaccion t(c);
    Consulta q(c, t);
    if (acceso < 0) {
        q.setSql(QStringLiteral("delete from tlv_permisos where usuario=:u and modulo=:m"));
    } else {
        q.setSql(QStringLiteral("update or insert into tlv_permisos (modulo, usuario, acceso) "
                                "values (:m, :u, :a) matching (modulo, usuario)"));
        q.asigna(QStringLiteral("a"), acceso);
    }
    q.asigna(QStringLiteral("u"), usuario);
    q.asigna(QStringLiteral("m"), modulo);
    q.ejecuta();
    t.confirma();
}

class Permisos : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir xdg;
        qputenv("XDG_CONFIG_HOME", xdg.path().toUtf8());
        ASSERT_TRUE(erp().ok) << erp().error.toStdString();
        // El esquema propio, una vez
        ASSERT_EQ(SesionPrueba::instalaEsquema(erp().empresaBd(0), erp().configBd()), QString());
    }

    // Ventana principal con la sesión del usuario dado, tras el inicio de sesión
    void entra(const ErpPrueba::UsuarioDemo &u) { entra(QString::fromLatin1(u.nombre), QString::fromLatin1(u.clave)); }
    void entra(const QString &usuario = {}, const QString &clave = {})
    {
        SesionPrueba::Opciones op;
        op.usuario = usuario;
        op.clave = clave;
        op.esquema = false;
        QString error;
        sesion = SesionPrueba::abre(erp(), op, &error);
        ASSERT_TRUE(sesion) << error.toStdString();
        main = std::make_unique<TfMain>(sesion.get());
        main->ponAccesoAutomatico(false);
        main->ponConector([](Sesion &, QWidget *) { return true; });
        ASSERT_TRUE(main->Acceso());
        sesion->registro().escribe(QStringLiteral("Etiquetas"), QStringLiteral("Rol_clave_etiquetas"),
                                   QStringLiteral("1"));
    }

    QStringList habilitados() const
    {
        QStringList r;
        for (QToolButton *b : main->Cinta()->botones())
            if (b->isEnabled())
                r << b->text();
        return r;
    }

    void TearDown() override
    {
        main.reset();
        sesion.reset();
    }

    std::unique_ptr<Sesion> sesion;
    std::unique_ptr<TfMain> main;
};

} // namespace

TEST_F(Permisos, UsuarioSinFilasSoloTieneAcercaDe)
{
    entra(ErpPrueba::kConsulta);
    for (int m = 1; m < 192; ++m)
        ASSERT_EQ(sesion->Permisos[std::size_t(m)], 0u) << m;
    EXPECT_EQ(sesion->Permisos[0], 1u);
    EXPECT_EQ(habilitados(), QStringList{QStringLiteral("Acerca de")});
    EXPECT_FALSE(main->bBaseDatos()->isEnabled());

    Respondedor r;
    main->VentanaModulo(90);
    main->AbreModulo(91);
    EXPECT_TRUE(main->ventanas().isEmpty());
    EXPECT_EQ(r.textos(), QStringList(2, QStringLiteral("No tiene permisos para acceder a esta ventana")));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Aviso del sistema"));
}

TEST_F(Permisos, AdministradorTieneTodo)
{
    entra();
    for (int m = 0; m < 192; ++m)
        ASSERT_EQ(sesion->Permisos[std::size_t(m)], m == 0 ? 1u : 65535u) << m;
    EXPECT_EQ(habilitados().size(), main->Cinta()->botones().size());
    EXPECT_TRUE(main->bBaseDatos()->isEnabled());
}

TEST_F(Permisos, UnBitBastaParaAbrirElModulo)
{
    PonPermiso(QStringLiteral("CAJERO"), 90, 8);
    PonPermiso(QStringLiteral("CAJERO"), 92, 0);
    PonPermiso(QStringLiteral("CAJERO"), 500, 7); // fuera de la tabla: se ignora
    entra(ErpPrueba::kCajero);
    EXPECT_EQ(sesion->Permisos[90], 8u);
    EXPECT_EQ(habilitados(), (QStringList{QStringLiteral("Imprimir etiquetas"), QStringLiteral("Acerca de")}));
    Respondedor r;
    main->botonModulo(90)->click();
    ASSERT_TRUE(main->CurrentForm());
    EXPECT_EQ(main->CurrentForm()->Acceso, 8u);
    EXPECT_EQ(r.cuantos(), 0) << r.textos().join(QLatin1Char('|')).toStdString();

    // El editor de permisos guarda: la cinta cambia, la ventana abierta conserva su copia
    PonPermiso(QStringLiteral("CAJERO"), 90, 1);
    PonPermiso(QStringLiteral("CAJERO"), 91, 2);
    RefrescaPermisos(*sesion);
    EXPECT_EQ(sesion->Permisos[90], 1u);
    EXPECT_EQ(habilitados(), (QStringList{QStringLiteral("Imprimir etiquetas"), QStringLiteral("Subir a colectora"),
                                          QStringLiteral("Acerca de")}));
    EXPECT_EQ(main->CurrentForm()->Acceso, 8u);
    // Una fila borrada no quita lo ya cargado
    PonPermiso(QStringLiteral("CAJERO"), 91, -1);
    RefrescaPermisos(*sesion);
    EXPECT_EQ(sesion->Permisos[91], 2u);
    PonPermiso(QStringLiteral("CAJERO"), 90, -1);
    PonPermiso(QStringLiteral("CAJERO"), 92, -1);
    PonPermiso(QStringLiteral("CAJERO"), 500, -1);
}

TEST_F(Permisos, TienePermisoSinPreguntarConTodosLosBits)
{
    entra(ErpPrueba::kCajero);
    sesion->Permisos[92] = 3;
    Respondedor r;
    GuionDialogos guion;
    EXPECT_TRUE(TienePermiso(92, 2, QStringLiteral("hacer un cambio de precios nuevo")));
    EXPECT_TRUE(TienePermiso(92, 3, QStringLiteral("x")));
    EXPECT_EQ(r.cuantos(), 0);
    // No: se niega sin pedir usuario
    r.responde(IDNO);
    EXPECT_FALSE(TienePermiso(92, 4, QStringLiteral("aplicar")));
    ASSERT_EQ(r.cuantos(), 1);
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("No tiene permisos para aplicar\r¿Desea que otro usuario lo autorice?"));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Permisos"));
    EXPECT_EQ(r.ultimo().flags, MsjPreguntaNo);
    EXPECT_EQ(guion.ejecutados(), 0);
}

TEST_F(Permisos, AutorizacionDeOtroUsuario)
{
    PonPermiso(QStringLiteral("SUPERVISOR"), 92, 3);
    PonPermiso(QStringLiteral("VENDEDOR"), 92, 1);
    entra(ErpPrueba::kCajero);
    sesion->Permisos[92] = 1;

    struct Caso
    {
        const char *nombre;
        QString usuario;
        QString clave;
        bool autoriza;
        QStringList avisos; // después de la pregunta
    };
    const Caso casos[] = {
        {"sysdba", QStringLiteral("sysdba"), Entorno::clave(), true, {}},
        {"comparte un bit", QStringLiteral("supervisor"), QStringLiteral("super123"), true, {}},
        {"sin el bit",
         QStringLiteral("VENDEDOR"),
         QStringLiteral("vendedor123"),
         false,
         {QStringLiteral("El usuario seleccionado no tiene acceso")}},
        {"sin fila",
         QStringLiteral("CONSULTA"),
         QStringLiteral("consulta123"),
         false,
         {QStringLiteral("El usuario seleccionado no tiene acceso")}},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nombre);
        Respondedor r(IDYES);
        GuionDialogos guion;
        QString usuarioEscrito;
        guion.agrega<TfAcceso>([&](TfAcceso &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Acceso al sistema"));
            d.eUsuario()->setText(c.usuario);
            Q_EMIT d.eUsuario()->textEdited(c.usuario);
            usuarioEscrito = d.eUsuario()->text();
            d.eClave()->setText(c.clave);
            d.bAceptar()->click();
            return d.result();
        });
        EXPECT_EQ(TienePermiso(92, 2, QStringLiteral("hacer un cambio de precios nuevo")), c.autoriza);
        EXPECT_EQ(guion.ejecutados(), 1);
        EXPECT_TRUE(guion.errores().isEmpty());
        EXPECT_EQ(usuarioEscrito, c.usuario.toUpper());
        QStringList esperados{QStringLiteral(
            "No tiene permisos para hacer un cambio de precios nuevo\r¿Desea que otro usuario lo autorice?")};
        esperados += c.avisos;
        EXPECT_EQ(r.textos(), esperados);
    }
    // La sesión sigue conectada como quien entró
    EXPECT_EQ(sesion->UsuarioActual, QStringLiteral("CAJERO"));
    PonPermiso(QStringLiteral("SUPERVISOR"), 92, -1);
    PonPermiso(QStringLiteral("VENDEDOR"), 92, -1);
}

TEST_F(Permisos, ClaveEquivocadaDejaLaVentanaAbierta)
{
    entra(ErpPrueba::kCajero);
    Respondedor r;
    GuionDialogos guion;
    bool abierta = false;
    guion.agrega<TfAcceso>([&](TfAcceso &d) {
        d.eUsuario()->setText(QStringLiteral("SUPERVISOR"));
        d.eClave()->setText(QStringLiteral("otra"));
        d.bAceptar()->click();
        abierta = d.result() == 0 && !d.conectado();
        // Sigue abierta: el usuario cancela
        d.bCancelar()->click();
        return d.result();
    });
    EXPECT_FALSE(Autoriza(92, 2, false));
    EXPECT_TRUE(abierta);
    EXPECT_EQ(r.textos(), QStringList{QStringLiteral("El nombre de usuario o contraseña no es válido")});
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Error de datos"));
}

TEST_F(Permisos, SoloSysdbaFijaElUsuario)
{
    entra(ErpPrueba::kCajero);
    Respondedor r;
    GuionDialogos guion;
    guion.agrega<TfAcceso>([&](TfAcceso &d) {
        EXPECT_EQ(d.eUsuario()->text(), QStringLiteral("SYSDBA"));
        EXPECT_TRUE(d.eUsuario()->isReadOnly());
        d.eClave()->setText(Entorno::clave());
        d.bAceptar()->click();
        return d.result();
    });
    EXPECT_TRUE(Autoriza(92, 256, true));
    EXPECT_EQ(r.cuantos(), 0) << r.textos().join(QLatin1Char('|')).toStdString();
}
