#include "app/Main.h"

#include "app/Cinta.h"
#include "app/Conecta.h"
#include "app/DrawingPanel.h"
#include "app/MForm.h"
#include "app/Modulos.h"
#include "app/Permisos.h"
#include "app/presentacion.h"
#include "common/Dialogos.h"
#include "common/Mensaje.h"
#include "common/Util.h"
#include "common/Version.h"
#include "db/DBScript.h"
#include "db/InstaladorEsquema.h"
#include "db/datos.h"
#include "db/Registro.h"
#include "db/fbError.h"
#include "platform/ArchivoIni.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

QPointer<TfMain> g_principal;

enum class AccionCinta { Navega, NavegaMod, BaseDatos, AcercaDe };

// Pestañas de la cinta
enum PestanaCinta { kEtiquetas, kCambioPrecios, kSistema, kReportes };

// Botones de la cinta: pestaña, grupo (uno nuevo cuando cambia), texto, Tag, tecla rápida,
// sugerencia, icono del tema y su dibujo, acción
struct BotonCinta
{
    PestanaCinta pestana;
    const char16_t *grupo;
    const char16_t *texto;
    int tag;
    const char16_t *tecla;
    const char16_t *pista;
    const char *tema;
    DibujoIcono dibujo;
    AccionCinta accion;
};

const BotonCinta kBotones[] = {
    {kEtiquetas, u"Etiquetas", u"Imprimir etiquetas", 90, u"", u"", "document-print", DibujoIcono::Etiqueta,
     AccionCinta::Navega},
    {kEtiquetas, u"Etiquetas", u"Subir a colectora", 91, u"", u"", "document-send", DibujoIcono::Colectora,
     AccionCinta::Navega},
    {kCambioPrecios, u"Precios", u"Cambio de precios", 92, u"", u"", "", DibujoIcono::Precio, AccionCinta::NavegaMod},
    {kSistema, u"Sistema", u"&Permisos", 2, u"P", u"", "dialog-password", DibujoIcono::Llave, AccionCinta::NavegaMod},
    {kSistema, u"Sistema", u"Base de datos", 0, u"DB", u"Base de datos", "drive-harddisk", DibujoIcono::BaseDatos,
     AccionCinta::BaseDatos},
    {kSistema, u"Sistema", u"Configuración", 10, u"", u"", "preferences-system", DibujoIcono::Engrane,
     AccionCinta::Navega},
    {kSistema, u"Ayuda", u"Acerca de", 0, u"", u"", "help-about", DibujoIcono::Informacion, AccionCinta::AcercaDe},
};

QString T(const char16_t *s)
{
    return QString::fromUtf16(s);
}

// Ventana modal para un módulo modal que todavía no tiene la suya
void EjecutaProvisionalModal(const DefModulo &def, QWidget *padre)
{
    QDialog d(padre);
    d.setWindowTitle(def.titulo);
    auto *caja = new QVBoxLayout(&d);
    TMForm *w = def.crea();
    w->Tag = def.numero;
    caja->addWidget(w);
    d.resize(640, 420);
    EjecutaDialogo(d);
}

} // namespace

const EstilosRejilla &EstilosDeRejilla()
{
    static const EstilosRejilla e = [] {
        EstilosRejilla r;
        const QPalette p = QApplication::palette();
        r.seleccion = p.color(QPalette::Highlight);
        r.fondoResaltado = p.color(QPalette::Highlight).lighter(150);
        r.textoResaltado = p.color(QPalette::HighlightedText);
        return r;
    }();
    return e;
}

TfMain::TfMain(Sesion *sesionExterna, QWidget *padre) : QMainWindow(padre)
{
    if (sesionExterna) {
        m_s = sesionExterna;
    } else {
        m_propia = std::make_unique<Sesion>();
        m_s = m_propia.get();
        PonSesionActual(m_s);
    }
    g_principal = this;
    m_conector = [](Sesion &s, QWidget *padre) { return DialogoConecta(s, padre); };
    setWindowTitle(T(kTituloPrograma) + QStringLiteral(" v") + VersionArchivo());
    setObjectName(QStringLiteral("fMain"));

    construyeCinta();

    auto *central = new QWidget(this);
    auto *caja = new QVBoxLayout(central);
    caja->setContentsMargins(0, 0, 0, 0);
    caja->setSpacing(0);
    // Franja de título: nombre del módulo en pantalla y botón para cerrarlo
    auto *franja = new QWidget(central);
    franja->setObjectName(QStringLiteral("FranjaTitulo"));
    franja->setFixedHeight(25);
    franja->setAutoFillBackground(true);
    QPalette pal = franja->palette();
    pal.setColor(QPalette::Window, Qt::white);
    franja->setPalette(pal);
    auto *filaFranja = new QHBoxLayout(franja);
    filaFranja->setContentsMargins(8, 0, 2, 0);
    m_modulo = new QLabel(franja);
    m_modulo->setObjectName(QStringLiteral("Modulo"));
    QFont ft(QStringLiteral("Tahoma"));
    ft.setBold(true);
    ft.setPixelSize(16);
    m_modulo->setFont(ft);
    m_modulo->setStyleSheet(QStringLiteral("color: #1e395b;"));
    m_bCerrar = new QToolButton(franja);
    m_bCerrar->setObjectName(QStringLiteral("bCerrar"));
    m_bCerrar->setAutoRaise(true);
    m_bCerrar->setText(QStringLiteral("✕"));
    m_bCerrar->setToolTip(QStringLiteral("Cerrar"));
    m_bCerrar->setFocusPolicy(Qt::NoFocus);
    m_bCerrar->setFixedSize(22, 22);
    m_bCerrar->hide();
    filaFranja->addWidget(m_modulo, 1);
    filaFranja->addWidget(m_bCerrar);
    connect(m_bCerrar, &QToolButton::clicked, this, [this] {
        if (m_actual)
            m_actual->close();
    });
    auto *linea = new QWidget(central);
    linea->setFixedHeight(1);
    linea->setStyleSheet(QStringLiteral("background: #b6bcc6;"));
    m_pParent = new TDrawingPanel(central);
    m_pParent->setObjectName(QStringLiteral("pParent"));
    m_pParent->installEventFilter(this);
    caja->addWidget(franja);
    caja->addWidget(linea);
    caja->addWidget(m_pParent, 1);
    setCentralWidget(central);
    resize(1024, 700);

    m_tForma.setSingleShot(true);
    m_tForma.setInterval(50);
    connect(&m_tForma, &QTimer::timeout, this, &TfMain::tFormaTimer);
    m_tInicio.setSingleShot(true);
    m_tInicio.setInterval(50);
    connect(&m_tInicio, &QTimer::timeout, this, &TfMain::tInicioTimer);

    PonObservadorPermisos([this] { AplicaPermisos(); });
    qApp->installEventFilter(this);
    AplicaPermisos();
}

TfMain::~TfMain()
{
    qApp->removeEventFilter(this);
    if (g_principal == this)
        PonObservadorPermisos(nullptr);
    m_tForma.stop();
    m_tInicio.stop();
    // Las ventanas de los módulos se liberan antes que la sesión (usan sus consultas)
    for (const QPointer<TMForm> &w : std::as_const(m_lista))
        if (w) {
            disconnect(w, nullptr, this, nullptr);
            delete w.data();
        }
    m_lista.clear();
    m_claves.clear();
    if (m_propia) {
        m_propia->desconectaTodo();
        m_propia.reset();
    }
}

TfMain *TfMain::Actual()
{
    return g_principal;
}

void TfMain::construyeCinta()
{
    m_cinta = new TCinta(this);
    m_cinta->agregaPestana(QStringLiteral("Etiquetas"), QStringLiteral("F"));
    m_cinta->agregaPestana(QStringLiteral("Cambio de precios"));
    m_cinta->agregaPestana(QStringLiteral("Sistema"), QStringLiteral("S"));
    m_cinta->agregaPestana(QStringLiteral("Reportes"), QStringLiteral("R"));
    m_cinta->ocultaPestana(kReportes, true);
    const char16_t *grupo = nullptr;
    PestanaCinta pestana = kReportes;
    for (const BotonCinta &b : kBotones) {
        if (b.pestana != pestana || grupo != b.grupo) {
            m_cinta->agregaGrupo(b.pestana, T(b.grupo));
            pestana = b.pestana;
            grupo = b.grupo;
        }
        QToolButton *boton = m_cinta->agregaBoton(
            b.pestana, T(b.texto), IconoCinta(QString::fromLatin1(b.tema), b.dibujo), b.tag, T(b.tecla), T(b.pista));
        const int tag = b.tag;
        switch (b.accion) {
        case AccionCinta::Navega:
            connect(boton, &QToolButton::clicked, this, [this, tag] { AbreModulo(tag); });
            break;
        case AccionCinta::NavegaMod:
            connect(boton, &QToolButton::clicked, this, [this, tag] { NavegaMod(tag); });
            break;
        case AccionCinta::BaseDatos:
            m_bBaseDatos = boton;
            connect(boton, &QToolButton::clicked, this, [this] {
                try {
                    if (m_s->fbUpdateTrans.activa())
                        m_s->fbUpdateTrans.confirma();
                } catch (const ErrorFb &e) {
                    Mensaje(e.texto(), TituloAviso(), MsjError);
                }
                AbreBaseDatos();
            });
            break;
        case AccionCinta::AcercaDe:
            m_bAcercaDe = boton;
            connect(boton, &QToolButton::clicked, this, &TfMain::AcercaDe);
            break;
        }
    }
    m_cinta->ponPestanaActual(kEtiquetas);
    m_cinta->ponMinimizada(true);
    setMenuWidget(m_cinta);
}

QToolButton *TfMain::botonModulo(int tag) const
{
    for (QToolButton *b : m_cinta->botones())
        if (b->property("Tag").toInt() == tag)
            return b;
    return nullptr;
}

void TfMain::AplicaPermisos()
{
    for (QToolButton *b : m_cinta->botones()) {
        const int tag = b->property("Tag").toInt();
        if (tag >= 0)
            b->setEnabled(PermisoModulo(*m_s, tag) != 0);
    }
    if (!m_s->esAdministrador() && m_bBaseDatos)
        m_bBaseDatos->setEnabled(false);
}

void TfMain::ponNomEmp(const QString &nombre)
{
    m_s->NomEmp = nombre;
    m_pParent->ponNomEmp(nombre);
}

bool TfMain::Acceso()
{
    Sesion &s = *m_s;
    if (!m_conector || !m_conector(s, this)) {
        s.terminaPrograma();
        return false;
    }
    s.UsuarioActual = s.userid.toUpper();
    try {
        CargaPermisos(s);
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Ocurrió un error al leer los permisos del usuario\r") + e.texto(), TituloAviso(),
                MsjError);
    }
    if (s.esAdministrador()) {
        if (m_bBaseDatos)
            m_bBaseDatos->setEnabled(true);
        if (!s.VerificaBD(false)) {
            if (s.terminado())
                return false;
            AbreBaseDatos();
        }
    }
    try {
        s.fbUpdateTrans.inicia();
        s.fbViewTrans.inicia();
    } catch (const ErrorFb &e) {
        Mensaje(e.texto(), TituloAviso(), MsjError);
    }
    // El módulo de datos trabaja sobre la base de la empresa
    DatosActual().ponBase(s.fbDatabase, s.fbViewTrans);
    QString nombre = LeeNomEmp(s);
    if (nombre.isEmpty())
        nombre = T(kTituloPrograma);
    ponNomEmp(nombre);
    AplicaPermisos();
    Usuario = s.UsuarioActual;
    return true;
}

void TfMain::NavegaMod(int numero)
{
    try {
        if (!m_s->VerificaBD(false))
            return;
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Ocurrió un error al revisar la base de datos\r") + e.texto(), TituloAviso(), MsjError);
        return;
    }
    AbreModulo(numero);
}

void TfMain::AbreModulo(int numero)
{
    const DefModulo *def = BuscaModulo(numero);
    if (!def)
        return;
    try {
        // Etiquetas y cambio de precios piden el rol de la clave de las etiquetas
        auto conRol = [this, numero] {
            if (!m_s->ajuste(QStringLiteral("Rol_clave_etiquetas")).isEmpty())
                VentanaModulo(numero);
            else
                Mensaje(QStringLiteral("Seleccione un rol para la clave de las etiquetas."), TituloAviso(),
                        MsjInformacion);
        };
        switch (numero) {
        case 2:
            if (!m_s->ExisteTabla(QStringLiteral("TLV_MENUSISTEMA"))) {
                Mensaje(QStringLiteral(
                            "Primero necesita actualizar la base de datos, puede hacerlo en la pestaña de Sistema"),
                        TituloAviso(), MsjInformacion);
                return;
            }
            if (def->modal)
                def->modal(this);
            else
                EjecutaProvisionalModal(*def, this);
            return;
        case 90:
            conRol();
            return;
        case 92: {
            const QString archivo =
                ArchivoIni(RutaIni()).leeTexto(QStringLiteral("Etiquetas"), QStringLiteral("FolioCambioPrecios"));
            const QString ajuste = m_s->ajuste(QStringLiteral("FolioCambioPrecios"));
            if (EstaVacio(archivo) && ajuste.isEmpty()) {
                Mensaje(QStringLiteral("Es necesario configurar un folio para los cambios de precio."),
                        QStringLiteral("Configuración"), MsjInformacion);
                return;
            }
            conRol();
            return;
        }
        default:
            VentanaModulo(numero);
            return;
        }
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Ocurrió un error al leer la configuración\r") + e.texto(), TituloAviso(), MsjError);
    }
}

bool TfMain::VentanaModulo(int numero, bool show, const QString &sufijo)
{
    const DefModulo *def = BuscaModulo(numero);
    if (!def || !def->crea)
        return false;
    return VentanaModulo(def->clase, def->crea, numero, show, sufijo);
}

bool TfMain::VentanaModulo(const QString &clase, const std::function<TMForm *()> &crea, int numero, bool show,
                           const QString &sufijo)
{
    const QString clave = clase + sufijo;
    const int i = m_claves.indexOf(clave);
    if (i >= 0 && m_lista[i]) {
        if (show) {
            TMForm *w = m_lista[i];
            w->show();
            w->raise();
            m_modulo->setText(w->windowTitle());
            m_actual = w;
            m_bCerrar->show();
        }
        return false;
    }
    if (i >= 0) { // quedó una clave sin ventana
        m_claves.removeAt(i);
        m_lista.removeAt(i);
    }
    if (PermisoModulo(*m_s, numero) == 0) {
        Mensaje(QStringLiteral("No tiene permisos para acceder a esta ventana"), TituloAviso(), MsjInformacion);
        return false;
    }
    QPointer<TMForm> w;
    try {
        w = crea();
        if (!w)
            throw std::runtime_error("La ventana no se creó");
        m_claves << clave;
        m_lista << w;
        if (!sufijo.isEmpty())
            w->setWindowTitle(sufijo);
        w->CustomTitle = sufijo;
        const bool incrustada = w->Tag != -1;
        if (incrustada) {
            w->setParent(m_pParent, Qt::Widget); // sin borde, dentro del área cliente
            w->setAutoFillBackground(true);
            if (show)
                AgregaForma(w);
        }
        w->Acceso = PermisoModulo(*m_s, numero);
        connect(w, &TMForm::cerrada, this, &TfMain::CierraVentana);
        connect(w, &QObject::destroyed, this, [this](QObject *o) { quitaDeLista(static_cast<TMForm *>(o)); });
        if (!w->isVisible())
            w->show();
        if (incrustada) {
            w->setGeometry(m_pParent->rect());
            w->raise();
        }
        w->Tag = numero;
        if (!show)
            w->hide();
        return true;
    } catch (const std::exception &e) {
        Mensaje(QStringLiteral("Ocurrio un error al crear la ventana\r") + QString::fromUtf8(e.what()),
                QStringLiteral("Error"), MsjError);
        if (w) {
            disconnect(w, nullptr, this, nullptr);
            quitaDeLista(w);
            if (m_actual == w)
                m_actual = nullptr;
            delete w.data();
            m_tForma.start();
        }
        return false;
    }
}

void TfMain::AgregaForma(TMForm *ventana)
{
    m_actual = ventana;
    m_bCerrar->show();
    m_modulo->setText(ventana->windowTitle());
}

void TfMain::quitaDeLista(TMForm *ventana)
{
    for (int i = m_lista.size() - 1; i >= 0; --i)
        if (m_lista[i] == ventana || m_lista[i].isNull()) {
            m_lista.removeAt(i);
            m_claves.removeAt(i);
        }
}

void TfMain::CierraVentana(TMForm *ventana)
{
    // La ventana se libera sola al cerrarse (WA_DeleteOnClose)
    quitaDeLista(ventana);
    if (m_actual == ventana)
        m_actual = nullptr;
    m_tForma.start();
}

void TfMain::CierraModulo(const QString &clave)
{
    const int i = m_claves.indexOf(clave);
    if (i < 0)
        return;
    QPointer<TMForm> w = m_lista[i];
    m_claves.removeAt(i);
    m_lista.removeAt(i);
    if (!w)
        return;
    disconnect(w, nullptr, this, nullptr);
    const bool eraActual = (w == m_actual);
    delete w.data();
    if (eraActual) {
        m_actual = nullptr;
        m_tForma.start();
    }
}

QList<TMForm *> TfMain::ventanas() const
{
    QList<TMForm *> r;
    for (const QPointer<TMForm> &w : m_lista)
        r << w.data();
    return r;
}

TMForm *TfMain::ventana(const QString &clave) const
{
    const int i = m_claves.indexOf(clave);
    return i < 0 ? nullptr : m_lista[i].data();
}

void TfMain::tFormaTimer()
{
    // La primera ventana hija que sigue abierta pasa al frente
    TMForm *siguiente = nullptr;
    for (QObject *o : m_pParent->children()) {
        auto *w = qobject_cast<TMForm *>(o);
        if (w && m_lista.contains(w)) {
            siguiente = w;
            break;
        }
    }
    if (siguiente) {
        m_actual = siguiente;
        m_modulo->setText(siguiente->windowTitle());
        siguiente->raise();
        siguiente->show();
        m_bCerrar->show();
    } else {
        m_bCerrar->hide();
        m_modulo->clear();
        m_actual = nullptr;
    }
}

Consulta *TfMain::creaQuery(bool vista, const QString &nombre, Conexion *conn)
{
    return m_s->creaQuery(vista, nombre, conn);
}

qint64 TfMain::GetNextID(const QString &tabla, int suma)
{
    return m_s->GetNextID(tabla, suma);
}

void TfMain::AbreBaseDatos()
{
    Sesion &s = *m_s;
    InstaladorEsquema instalador(s.fbDatabase, s.fbUpdateTrans, s.registro(), &s.fbConfig, &s.fbConfigTrans);
    TfDBScript ventana(instalador, this);
    EjecutaDialogo(ventana);
}

void TfMain::AcercaDe()
{
    MuestraPresentacion(this);
}

bool TfMain::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_pParent && e->type() == QEvent::Resize) {
        for (const QPointer<TMForm> &w : std::as_const(m_lista))
            if (w && w->parentWidget() == m_pParent)
                w->setGeometry(m_pParent->rect());
        return false;
    }
    const QEvent::Type t = e->type();
    if ((t == QEvent::KeyPress || t == QEvent::KeyRelease) && m_actual && o->isWidgetType()) {
        auto *w = static_cast<QWidget *>(o);
        auto *k = static_cast<QKeyEvent *>(e);
        // Vista previa: toda tecla de la ventana principal pasa antes por la ventana del módulo
        // en pantalla (los controles de edición no dejan subir las teclas a su ventana). El mismo
        // evento subiendo por los padres de su primer receptor no se reenvía otra vez.
        const bool subiendo = k == m_ultimaTecla && k->timestamp() == m_ultimaMarca && t == m_ultimoTipo &&
                              m_ultimoReceptor && w->isAncestorOf(m_ultimoReceptor);
        if (w->window() == this && w != m_actual && !subiendo) {
            m_ultimaTecla = k;
            m_ultimaMarca = k->timestamp();
            m_ultimoTipo = t;
            m_ultimoReceptor = w;
            k->setAccepted(false);
            if (t == QEvent::KeyPress)
                m_actual->teclaAbajo(k);
            else
                m_actual->teclaArriba(k);
            if (k->isAccepted())
                return true;
            k->setAccepted(true); // sigue su camino como llegó
        }
    }
    return QMainWindow::eventFilter(o, e);
}

void TfMain::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (m_mostrada)
        return;
    m_mostrada = true;
    if (QScreen *p = screen()) {
        const QRect r = p->availableGeometry();
        if (r.width() < width())
            resize(r.width() - 50, height());
        if (r.height() < height())
            resize(width(), r.height() - 50);
    }
    m_cinta->ponPestanaActual(kEtiquetas);
    m_presentando = true;
    QTimer::singleShot(0, this, [this] {
        MuestraPresentacion(this);
        m_presentando = false;
        if (m_accesoPendiente) {
            m_accesoPendiente = false;
            tInicioTimer();
        } else if (m_primeraVez) {
            // Sin gestor de ventanas (p. ej. Xvfb) la ventana puede no activarse nunca:
            // el inicio de sesión no debe depender de ello
            m_primeraVez = false;
            m_tInicio.start();
        }
    });
}

void TfMain::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && m_primeraVez) {
        m_primeraVez = false;
        m_tInicio.start();
    }
}

void TfMain::tInicioTimer()
{
    if (m_presentando) {
        m_accesoPendiente = true;
        return;
    }
    showMaximized();
    if (Acceso()) {
        setWindowTitle(Usuario + QStringLiteral(" - ") + m_s->NomEmp);
        raise();
        activateWindow();
    }
}

void TfMain::closeEvent(QCloseEvent *e)
{
    QMainWindow::closeEvent(e);
}
