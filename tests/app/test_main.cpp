// Ventana principal: módulos, franja del título, teclado, generadores, inicio de sesión
// y captura de la ventana, contra el ERP de prueba en el servidor.
#include "Entorno.h"
#include "ErpPrueba.h"
#include "ImprimeQt.h"
#include "Respondedor.h"
#include "SesionPrueba.h"

#include "app/Cinta.h"
#include "app/DrawingPanel.h"
#include "app/MForm.h"
#include "app/Main.h"
#include "app/Modulos.h"
#include "app/Permisos.h"
#include "app/presentacion.h"
#include "common/Dialogos.h"
#include "common/Version.h"
#include "db/Registro.h"
#include "labels/col_Cenefa.h"
#include "platform/ArchivoIni.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

ErpPrueba::Erp &erp()
{
    static ErpPrueba::Erp e = ErpPrueba::crea();
    return e;
}

class VentanaPrincipal : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // El archivo etiquetas.ini de las pruebas va a una carpeta temporal
        static QTemporaryDir xdg;
        qputenv("XDG_CONFIG_HOME", xdg.path().toUtf8());
        ASSERT_TRUE(erp().ok) << erp().error.toStdString();
    }

    // Sesión del ERP y ventana principal con el inicio de sesión hecho (sin diálogo)
    void abre(const SesionPrueba::Opciones &op = {})
    {
        QString error;
        sesion = SesionPrueba::abre(erp(), op, &error);
        ASSERT_TRUE(sesion) << error.toStdString();
        main = std::make_unique<TfMain>(sesion.get());
        main->ponAccesoAutomatico(false);
        main->ponConector([](Sesion &, QWidget *) { return true; });
        ASSERT_TRUE(main->Acceso());
    }

    void ajuste(const QString &nombre, const QString &valor)
    {
        sesion->registro().escribe(QStringLiteral("Etiquetas"), nombre, valor);
    }

    void TearDown() override
    {
        main.reset();
        sesion.reset();
    }

    std::unique_ptr<Sesion> sesion;
    std::unique_ptr<TfMain> main;
};

// Ventana de módulo de prueba con botones de teclas de función
class VentanaTeclas : public TMForm
{
public:
    VentanaTeclas()
    {
        setWindowTitle(QStringLiteral("Teclas"));
        f10 = new QPushButton(QStringLiteral("F10"), this);
        f10->setProperty("Tag", -10);
        f5 = new QPushButton(QStringLiteral("F5"), this);
        f5->setProperty("Tag", -5);
        f5->setEnabled(false);
        texto = new QLineEdit(this);
        connect(f10, &QPushButton::clicked, this, [this] { ++pulsadosF10; });
        connect(f5, &QPushButton::clicked, this, [this] { ++pulsadosF5; });
        Inicializa();
    }
    QPushButton *f10;
    QPushButton *f5;
    QLineEdit *texto;
    int pulsadosF10 = 0;
    int pulsadosF5 = 0;
};

// Suelta una tecla sobre un control, con su propia marca de tiempo como las del teclado
void suelta(QWidget *w, Qt::Key tecla)
{
    static quint64 marca = 1000;
    QKeyEvent e(QEvent::KeyRelease, tecla, Qt::NoModifier);
    e.setTimestamp(++marca);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST_F(VentanaPrincipal, AbrirYCerrarModulos)
{
    abre();
    ajuste(QStringLiteral("Rol_clave_etiquetas"), QStringLiteral("1"));
    Respondedor r;
    TfMain &m = *main;
    QToolButton *etiquetas = m.botonModulo(90);
    ASSERT_TRUE(etiquetas);
    EXPECT_EQ(etiquetas->text(), QStringLiteral("Imprimir etiquetas"));
    EXPECT_TRUE(m.bCerrar()->isHidden());

    // Dos clics: una sola ventana, incrustada en pParent, con el título en la franja
    etiquetas->click();
    TMForm *w90 = m.CurrentForm();
    ASSERT_TRUE(w90);
    etiquetas->click();
    EXPECT_EQ(m.ventanas().size(), 1);
    EXPECT_EQ(m.CurrentForm(), w90);
    EXPECT_EQ(w90->parentWidget(), m.pParent());
    EXPECT_EQ(w90->Tag, 90);
    EXPECT_EQ(w90->Acceso, 65535u);
    EXPECT_EQ(m.Modulo()->text(), QStringLiteral("Imprimir etiquetas"));
    EXPECT_FALSE(m.bCerrar()->isHidden());

    // Otro módulo pasa al frente; volver a pedir el primero lo trae sin crear otro
    m.botonModulo(91)->click();
    TMForm *w91 = m.CurrentForm();
    ASSERT_TRUE(w91 && w91 != w90);
    EXPECT_EQ(m.Modulo()->text(), QStringLiteral("Archivo de artículos"));
    etiquetas->click();
    EXPECT_EQ(m.CurrentForm(), w90);
    EXPECT_EQ(m.Modulo()->text(), QStringLiteral("Imprimir etiquetas"));
    EXPECT_EQ(m.ventanas().size(), 2);

    // Cerrar una de dos: tras el temporizador se muestra la otra
    QPointer<TMForm> cerrada = w90;
    m.bCerrar()->click();
    EXPECT_EQ(m.clavesVentanas(), QStringList{QStringLiteral("TMForm91")});
    EXPECT_TRUE(m.tForma().isActive());
    QTRY_VERIFY(!m.tForma().isActive());
    QTRY_VERIFY(cerrada.isNull());
    EXPECT_EQ(m.CurrentForm(), w91);
    EXPECT_EQ(m.Modulo()->text(), QStringLiteral("Archivo de artículos"));
    EXPECT_FALSE(m.bCerrar()->isHidden());

    // Cerrar la única: sin botón de cerrar y sin título
    m.bCerrar()->click();
    QTRY_VERIFY(!m.tForma().isActive());
    EXPECT_EQ(m.CurrentForm(), nullptr);
    EXPECT_TRUE(m.bCerrar()->isHidden());
    EXPECT_EQ(m.Modulo()->text(), QString());
    EXPECT_TRUE(m.ventanas().isEmpty());

    // CierraModulo libera por clave; una clave desconocida no hace nada
    m.AbreModulo(10);
    m.CierraModulo(QStringLiteral("NoExiste"));
    EXPECT_EQ(m.ventanas().size(), 1);
    QPointer<TMForm> w10 = m.CurrentForm();
    m.CierraModulo(QStringLiteral("TMForm10"));
    EXPECT_TRUE(w10.isNull());
    EXPECT_TRUE(m.ventanas().isEmpty());
    QTRY_VERIFY(m.bCerrar()->isHidden());
    EXPECT_TRUE(r.mensajes().isEmpty()) << r.textos().join(QLatin1Char('|')).toStdString();
}

TEST_F(VentanaPrincipal, VentanaQueFallaAlCrearse)
{
    abre();
    Respondedor r;
    RegistraModulo(91, QStringLiteral("TfFalla"), []() -> TMForm * { throw std::runtime_error("sin recursos"); });
    main->AbreModulo(91);
    QuitaRegistroModulo(91);
    ASSERT_EQ(r.cuantos(), 1);
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("Ocurrio un error al crear la ventana\rsin recursos"));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Error"));
    EXPECT_TRUE(main->ventanas().isEmpty());
    EXPECT_TRUE(main->clavesVentanas().isEmpty());
    EXPECT_EQ(main->CurrentForm(), nullptr);
    // La lista quedó bien: el módulo abre después con su ventana
    main->AbreModulo(91);
    EXPECT_EQ(main->clavesVentanas(), QStringList{QStringLiteral("TMForm91")});
    EXPECT_EQ(r.cuantos(), 1);
}

TEST_F(VentanaPrincipal, AvisosAlAbrirEtiquetasYCambioDePrecios)
{
    abre();
    Respondedor r;
    ArchivoIni ini(RutaIni());
    ini.escribeTexto(QStringLiteral("Etiquetas"), QStringLiteral("FolioCambioPrecios"), QString());
    ajuste(QStringLiteral("FolioCambioPrecios"), QString());
    ajuste(QStringLiteral("Rol_clave_etiquetas"), QString());

    main->AbreModulo(90);
    ASSERT_EQ(r.cuantos(), 1);
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("Seleccione un rol para la clave de las etiquetas."));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Aviso del sistema"));

    main->AbreModulo(92);
    ASSERT_EQ(r.cuantos(), 2);
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("Es necesario configurar un folio para los cambios de precio."));
    EXPECT_EQ(r.ultimo().titulo, QStringLiteral("Configuración"));
    // Con folio pero sin rol: el aviso del rol
    ajuste(QStringLiteral("FolioCambioPrecios"), QStringLiteral("CP"));
    main->AbreModulo(92);
    EXPECT_EQ(r.ultimo().texto, QStringLiteral("Seleccione un rol para la clave de las etiquetas."));
    EXPECT_TRUE(main->ventanas().isEmpty());

    // El folio del archivo local basta; con el rol, ambas abren
    ajuste(QStringLiteral("FolioCambioPrecios"), QString());
    ini.escribeTexto(QStringLiteral("Etiquetas"), QStringLiteral("FolioCambioPrecios"), QStringLiteral("CP"));
    ajuste(QStringLiteral("Rol_clave_etiquetas"), QStringLiteral("1"));
    r.limpia();
    main->AbreModulo(92);
    main->AbreModulo(90);
    EXPECT_EQ(main->clavesVentanas(), (QStringList{QStringLiteral("TMForm92"), QStringLiteral("TMForm90")}));
    EXPECT_EQ(r.cuantos(), 0);
    // Un número que no es de un módulo no abre nada
    main->AbreModulo(55);
    EXPECT_EQ(main->ventanas().size(), 2);
    ini.escribeTexto(QStringLiteral("Etiquetas"), QStringLiteral("FolioCambioPrecios"), QString());
}

TEST_F(VentanaPrincipal, AdministradorSinEsquemaAbreBaseDeDatos)
{
    // La segunda empresa no tiene el esquema propio
    SesionPrueba::Opciones op;
    op.empresa = 1;
    op.esquema = false;
    QString error;
    sesion = SesionPrueba::abre(erp(), op, &error);
    ASSERT_TRUE(sesion) << error.toStdString();
    main = std::make_unique<TfMain>(sesion.get());
    main->ponAccesoAutomatico(false);
    main->ponConector([](Sesion &, QWidget *) { return true; });
    Respondedor r;
    GuionDialogos guion;
    ASSERT_TRUE(main->Acceso());
    // El aviso del esquema y, en seguida, la ventana "Base de datos"
    EXPECT_EQ(r.textos(), QStringList{QStringLiteral("Es necesario actualizar la base de datos para continuar")});
    EXPECT_EQ(guion.clases(), QStringList{QStringLiteral("TfDBScript")});
    EXPECT_TRUE(main->bBaseDatos()->isEnabled());

    // Permisos antes del esquema
    r.limpia();
    main->AbreModulo(2);
    EXPECT_EQ(r.textos(), QStringList{QStringLiteral(
                              "Primero necesita actualizar la base de datos, puede hacerlo en la pestaña de Sistema")});
    EXPECT_EQ(guion.ejecutados(), 1);
    // Desde la cinta, la verificación del esquema lo detiene antes
    r.limpia();
    main->botonModulo(2)->click();
    EXPECT_EQ(r.textos(), QStringList{QStringLiteral("Es necesario actualizar la base de datos para continuar")});
    EXPECT_EQ(guion.ejecutados(), 1);
}

TEST_F(VentanaPrincipal, PermisosConEsquemaEsModal)
{
    abre();
    Respondedor r;
    GuionDialogos guion;
    main->botonModulo(2)->click();
    EXPECT_EQ(r.cuantos(), 0) << r.textos().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(guion.titulos(), QStringList{QStringLiteral("Módulo de Seguridad")});
    EXPECT_TRUE(main->ventanas().isEmpty());
}

TEST_F(VentanaPrincipal, InicioDeSesion)
{
    QString error;
    sesion = SesionPrueba::abre(erp(), {}, &error);
    ASSERT_TRUE(sesion) << error.toStdString();
    sesion->Permisos.fill(0); // como antes de conectarse
    main = std::make_unique<TfMain>(sesion.get());
    main->ponAccesoAutomatico(false);
    EXPECT_TRUE(main->windowTitle().startsWith(QStringLiteral("Etiquetas Tolvanas v")));
    // Antes del inicio todo está deshabilitado
    for (QToolButton *b : main->Cinta()->botones())
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();

    // Cancelar el diálogo de conexión termina el programa
    main->ponConector([](Sesion &, QWidget *) { return false; });
    EXPECT_FALSE(main->Acceso());
    EXPECT_TRUE(sesion->terminado());

    Sesion *vista = nullptr;
    main->ponConector([&](Sesion &s, QWidget *) {
        vista = &s;
        s.userid = QStringLiteral("sysdba");
        return true;
    });
    Respondedor r;
    ASSERT_TRUE(main->Acceso());
    EXPECT_EQ(vista, sesion.get());
    EXPECT_EQ(sesion->UsuarioActual, QStringLiteral("SYSDBA"));
    EXPECT_EQ(main->Usuario, QStringLiteral("SYSDBA"));
    EXPECT_EQ(sesion->Permisos[90], 65535u);
    EXPECT_TRUE(sesion->fbUpdateTrans.activa());
    EXPECT_TRUE(sesion->fbViewTrans.activa());
    EXPECT_FALSE(sesion->NomEmp.isEmpty());
    EXPECT_EQ(main->pParent()->NomEmp(), sesion->NomEmp);
    for (QToolButton *b : main->Cinta()->botones())
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    EXPECT_EQ(r.cuantos(), 0) << r.textos().join(QLatin1Char('|')).toStdString();
}

TEST_F(VentanaPrincipal, CintaDeOpciones)
{
    abre();
    TCinta *c = main->Cinta();
    ASSERT_EQ(c->cuantasPestanas(), 4);
    EXPECT_EQ(c->tituloPestana(0), QStringLiteral("Etiquetas"));
    EXPECT_EQ(c->tituloPestana(1), QStringLiteral("Cambio de precios"));
    EXPECT_EQ(c->tituloPestana(2), QStringLiteral("Sistema"));
    EXPECT_EQ(c->tituloPestana(3), QStringLiteral("Reportes"));
    EXPECT_TRUE(c->pestanaOculta(3));
    EXPECT_TRUE(c->botonesDe(3).isEmpty());
    EXPECT_TRUE(c->minimizada());
    EXPECT_EQ(c->pestanaActual(), 0);

    struct Fila
    {
        int pestana;
        QString texto;
        int tag;
        QString tecla;
    };
    const Fila filas[] = {
        {0, QStringLiteral("Imprimir etiquetas"), 90, {}},
        {0, QStringLiteral("Subir a colectora"), 91, {}},
        {1, QStringLiteral("Cambio de precios"), 92, {}},
        {2, QStringLiteral("&Permisos"), 2, QStringLiteral("P")},
        {2, QStringLiteral("Base de datos"), 0, QStringLiteral("DB")},
        {2, QStringLiteral("Configuración"), 10, {}},
        {2, QStringLiteral("Acerca de"), 0, {}},
    };
    QList<QToolButton *> todos;
    for (int p = 0; p < 3; ++p)
        todos += c->botonesDe(p);
    ASSERT_EQ(todos.size(), int(std::size(filas)));
    for (int i = 0; i < todos.size(); ++i) {
        const Fila &f = filas[i];
        QToolButton *b = todos[i];
        EXPECT_TRUE(c->botonesDe(f.pestana).contains(b)) << f.texto.toStdString();
        EXPECT_EQ(b->text(), f.texto);
        EXPECT_EQ(b->property("Tag").toInt(), f.tag) << f.texto.toStdString();
        EXPECT_EQ(b->property("TeclaRapida").toString(), f.tecla) << f.texto.toStdString();
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_EQ(b->iconSize(), QSize(32, 32));
        EXPECT_FALSE(b->icon().isNull());
    }
    EXPECT_EQ(main->bBaseDatos()->toolTip(), QStringLiteral("Base de datos (DB)"));

    // Teclas rápidas: Sistema y luego D, B abre "Base de datos"
    GuionDialogos guion;
    c->entraModoTeclas(2);
    EXPECT_EQ(c->pestanaActual(), 2);
    EXPECT_TRUE(c->teclaRapida(QStringLiteral("d")));
    EXPECT_EQ(guion.ejecutados(), 0);
    c->teclaRapida(QStringLiteral("b"));
    EXPECT_EQ(guion.clases(), QStringList{QStringLiteral("TfDBScript")});
    EXPECT_FALSE(c->modoTeclas());

    // "Acerca de": la presentación, modal
    main->bAcercaDe()->click();
    EXPECT_EQ(guion.clases().value(1), QStringLiteral("TfPresentacion"));

    // Minimizada: un clic en una pestaña despliega su página; pulsar un botón la repliega
    main->show();
    Q_EMIT c->barra()->tabBarClicked(0);
    EXPECT_EQ(c->pestanaActual(), 0);
    EXPECT_TRUE(c->desplegada());
    main->botonModulo(91)->click();
    EXPECT_FALSE(c->desplegada());
    c->ponMinimizada(false);
    EXPECT_FALSE(c->minimizada());
    EXPECT_TRUE(main->botonModulo(91)->isVisibleTo(main.get()));
}

TEST_F(VentanaPrincipal, TecladoPasaALaVentanaDelModulo)
{
    abre();
    RegistraModulo(10, QStringLiteral("VentanaTeclas"), [] { return new VentanaTeclas; });
    main->AbreModulo(10);
    QuitaRegistroModulo(10);
    auto *w = dynamic_cast<VentanaTeclas *>(main->CurrentForm());
    ASSERT_TRUE(w);
    EXPECT_EQ(main->clavesVentanas(), QStringList{QStringLiteral("VentanaTeclas")});

    // Tecla soltada sobre la ventana principal (fuera del módulo): una sola pulsación
    suelta(main.get(), Qt::Key_F10);
    EXPECT_EQ(w->pulsadosF10, 1);
    // Sobre la cinta
    suelta(main->Cinta(), Qt::Key_F10);
    EXPECT_EQ(w->pulsadosF10, 2);
    // Dentro del módulo llega por su camino, también una sola vez
    suelta(w->texto, Qt::Key_F10);
    EXPECT_EQ(w->pulsadosF10, 3);
    // F5 con su botón deshabilitado no pulsa nada
    suelta(main.get(), Qt::Key_F5);
    EXPECT_EQ(w->pulsadosF5, 0);
    w->f5->setEnabled(true);
    suelta(main.get(), Qt::Key_F5);
    EXPECT_EQ(w->pulsadosF5, 1);
}

TEST_F(VentanaPrincipal, GetNextIdCreaElGenerador)
{
    abre();
    const QString tabla = QStringLiteral("PRUEBA_") + QString::number(QDateTime::currentMSecsSinceEpoch() % 100000);
    EXPECT_EQ(main->GetNextID(tabla, 1), 1);
    EXPECT_EQ(main->GetNextID(tabla, 1), 2);
    // Suma 0: el siguiente sin consumirlo
    EXPECT_EQ(main->GetNextID(tabla, 0), 3);
    EXPECT_EQ(main->GetNextID(tabla, 0), 3);
    EXPECT_EQ(main->GetNextID(tabla, 1), 3);
    // Un generador que falta pedido con suma 0 se crea en cero
    const QString otra = tabla + QStringLiteral("_B");
    EXPECT_EQ(main->GetNextID(otra, 0), 1);
    EXPECT_EQ(main->GetNextID(otra, 0), 1);
    EXPECT_EQ(main->GetNextID(otra, 1), 1);
    EXPECT_EQ(main->GetNextID(otra, 1), 2);
}

TEST(PanelDeFondo, MosaicoRedondeaAlPar)
{
    struct Caso
    {
        int ventana, imagen, esperado;
    };
    const Caso casos[] = {{700, 96, 8}, {480, 96, 6}, {144, 96, 3}, {240, 96, 3}, {336, 96, 5}, {0, 96, 1}};
    for (const Caso &c : casos)
        EXPECT_EQ(TDrawingPanel::mosaico(c.ventana, c.imagen), c.esperado) << c.ventana << "/" << c.imagen;
}

TEST(Presentacion, SeCierraSolaEnUnSegundo)
{
    GuionDialogos guion;
    QString version;
    bool sinBorde = false;
    guion.agrega([&](QDialog &d) {
        auto *p = qobject_cast<TfPresentacion *>(&d);
        if (p) {
            version = p->lVersion()->text();
            sinBorde = p->windowFlags().testFlag(Qt::FramelessWindowHint);
            // Un clic a medio segundo no la cierra
            QTimer::singleShot(300, p, [p] { QTest::mouseClick(p, Qt::LeftButton); });
        }
        return d.exec();
    });
    QElapsedTimer t;
    t.start();
    QWidget padre;
    MuestraPresentacion(&padre);
    EXPECT_GE(t.elapsed(), 900);
    EXPECT_LT(t.elapsed(), 3000);
    ASSERT_EQ(guion.clases(), QStringList{QStringLiteral("TfPresentacion")});
    EXPECT_EQ(version, QStringLiteral("Versión ") + VersionArchivo());
    EXPECT_TRUE(sinBorde);
}

TEST_F(VentanaPrincipal, CapturaDeLaVentana)
{
    abre();
    GuionDialogos guion; // la presentación al mostrarse
    main->show();
    main->resize(1280, 800);
    QTest::qWait(100);
    ASSERT_TRUE(main->pParent()->NomEmp().size() > 0);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString inicio = dir + QStringLiteral("/ventana_principal.png");
    ASSERT_TRUE(main->grab().save(inicio));
    // Con la cinta desplegada en "Sistema" y un módulo abierto
    main->Cinta()->ponMinimizada(false);
    main->Cinta()->ponPestanaActual(2);
    ajuste(QStringLiteral("Rol_clave_etiquetas"), QStringLiteral("1"));
    RegistraVentanaModulo<Tfcol_Cenefa>(90);
    main->AbreModulo(90);
    QuitaRegistroModulo(90);
    EXPECT_EQ(main->Modulo()->text(), QStringLiteral("Imprimir etiquetas"));
    QTest::qWait(50);
    const QString modulo = dir + QStringLiteral("/ventana_principal_modulo.png");
    ASSERT_TRUE(main->grab().save(modulo));
    EXPECT_GT(QFile(inicio).size(), 1000);
    // Las otras dos páginas de la cinta
    for (int p : {0, 1}) {
        main->Cinta()->ponPestanaActual(p);
        ASSERT_TRUE(main->Cinta()->grab().save(dir + QStringLiteral("/cinta_%1.png").arg(p)));
    }
}

TEST_F(VentanaPrincipal, PrimeraActivacionIniciaSesion)
{
    QString error;
    sesion = SesionPrueba::abre(erp(), {}, &error);
    ASSERT_TRUE(sesion) << error.toStdString();
    main = std::make_unique<TfMain>(sesion.get());
    int conexiones = 0;
    main->ponConector([&](Sesion &, QWidget *) {
        ++conexiones;
        return true;
    });
    GuionDialogos guion; // la presentación
    main->show();
    main->activateWindow();
    QTRY_COMPARE(main->windowTitle(), QStringLiteral("SYSDBA - ") + sesion->NomEmp);
    EXPECT_EQ(guion.clases().value(0), QStringLiteral("TfPresentacion"));
    // Otra activación no vuelve a pedir la conexión
    main->hide();
    main->show();
    main->activateWindow();
    QTest::qWait(150);
    EXPECT_EQ(conexiones, 1);
    EXPECT_EQ(main->Cinta()->pestanaActual(), 0);
}
