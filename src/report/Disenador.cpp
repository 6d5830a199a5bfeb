#include "report/Disenador.h"

#include "report/DisenadorIconos.h"
#include "report/DisenadorPaneles.h"
#include "report/FuenteDatos.h"

#include "common/Dialogos.h"
#include "common/Mensaje.h"

#include <QPlainTextEdit>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfDisenador::TfDisenador(const QString &ruta, const FuenteDatos *datos, QWidget *padre)
    : QDialog(padre), m_datos(datos), m_ruta(ruta)
{
    setObjectName(QStringLiteral("TfDisenador"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setSizeGripEnabled(true);
    resize(1366, 860);

    if (!ruta.isEmpty() && QFileInfo::exists(ruta)) {
        if (!m_doc.abre(ruta, m_errorCarga)) {
            // No se escribe encima de un archivo que no se pudo leer: Guardar pedirá un nombre
            m_doc.nuevo();
            m_ruta.clear();
        }
    }

    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    // Una ventana principal dentro del diálogo: barras y paneles acoplables
    m_ventana = new QMainWindow(this);
    m_ventana->setWindowFlags(Qt::Widget);
    m_ventana->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    l->addWidget(m_ventana);

    m_lienzo = new DisenadorLienzo(m_doc, m_ventana);
    m_lienzo->ponDatos(datos);
    m_ventana->setCentralWidget(m_lienzo);

    // Panel derecho: propiedades y página
    m_propiedades = new DisenadorPropiedades(m_doc);
    m_propiedades->ponCampos(datos ? datos->nombresCampos() : QStringList());
    m_pagina = new DisenadorPagina(m_doc);
    m_pestanas = new QTabWidget;
    auto envuelve = [](QWidget *w) {
        auto *s = new QScrollArea;
        s->setWidget(w);
        s->setWidgetResizable(true);
        s->setFrameShape(QFrame::NoFrame);
        s->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return s;
    };
    m_pestanas->addTab(envuelve(m_propiedades), QStringLiteral("Objeto"));
    m_pestanas->addTab(envuelve(m_pagina), QStringLiteral("Página y etiquetas"));
    auto *dProp = new QDockWidget(QStringLiteral("Propiedades"), m_ventana);
    dProp->setObjectName(QStringLiteral("propiedades"));
    dProp->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dProp->setWidget(m_pestanas);
    dProp->setMinimumWidth(340);
    m_ventana->addDockWidget(Qt::RightDockWidgetArea, dProp);

    m_previa = new DisenadorVistaPrevia(m_doc);
    m_previa->ponDatos(datos);
    auto *dPrevia = new QDockWidget(QStringLiteral("Vista previa con los primeros datos"), m_ventana);
    dPrevia->setObjectName(QStringLiteral("previa"));
    dPrevia->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    dPrevia->setWidget(m_previa);
    m_ventana->addDockWidget(Qt::RightDockWidgetArea, dPrevia);
    m_ventana->resizeDocks({dProp, dPrevia}, {520, 300}, Qt::Vertical);
    m_ventana->resizeDocks({dProp}, {360}, Qt::Horizontal);

    construyeBarras();
    m_acciones.value(QStringLiteral("previa"))->setChecked(true);
    connect(m_acciones.value(QStringLiteral("previa")), &QAction::toggled, dPrevia, &QDockWidget::setVisible);
    connect(dPrevia, &QDockWidget::visibilityChanged, m_acciones.value(QStringLiteral("previa")), &QAction::setChecked);

    m_posicion = new QLabel(this);
    m_estado = new QLabel(this);
    m_ventana->statusBar()->addWidget(m_estado, 1);
    m_ventana->statusBar()->addPermanentWidget(m_posicion);
    connect(m_lienzo, &DisenadorLienzo::posicionCursor, this, [this](double x, double y) {
        m_posicion->setText(QStringLiteral("X: %1 mm   Y: %2 mm").arg(x, 0, 'f', 1).arg(y, 0, 'f', 1));
    });
    connect(&m_doc, &DisenadorDocumento::cambiado, this, [this] {
        actualizaAcciones();
        actualizaTitulo();
    });
    connect(&m_doc, &DisenadorDocumento::seleccionCambiada, this, &TfDisenador::actualizaAcciones);
    connect(m_lienzo, &DisenadorLienzo::editaVista, this, [this] {
        m_pestanas->setCurrentIndex(0);
        m_propiedades->editorTexto()->setFocus();
    });
    // Una imagen nueva pide su archivo, que queda dentro de la forma
    connect(m_lienzo, &DisenadorLienzo::vistaCreada, this, [this](TipoVista tipo) {
        m_pestanas->setCurrentIndex(0);
        if (tipo != TipoVista::Imagen)
            return;
        const QString a = PideArchivoAbrir(this, QStringLiteral("Imagen"), {},
                                           QStringLiteral("Imágenes (*.png *.jpg *.jpeg *.bmp *.gif *.svg)"));
        QString error;
        if (!a.isEmpty() && !m_doc.ponImagenDeArchivo(a, error))
            Mensaje(error, TituloAviso(), MsjError);
    });
    actualizaAcciones();
    actualizaTitulo();
    m_lienzo->setFocus();
}

TfDisenador::~TfDisenador() = default;

QAction *TfDisenador::agregaAccion(const QString &nombre, const QString &texto, const QIcon &icono, const QKeySequence &atajo)
{
    auto *a = new QAction(icono, texto, this);
    a->setObjectName(nombre);
    if (!atajo.isEmpty()) {
        a->setShortcut(atajo);
        a->setToolTip(QStringLiteral("%1 (%2)").arg(texto, atajo.toString(QKeySequence::NativeText)));
    }
    m_acciones.insert(nombre, a);
    return a;
}

void TfDisenador::construyeBarras()
{
    auto *barra = new QToolBar(QStringLiteral("Forma"), m_ventana);
    barra->setObjectName(QStringLiteral("barraForma"));
    barra->setMovable(false);
    barra->setIconSize(QSize(22, 22));
    barra->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_ventana->addToolBar(Qt::TopToolBarArea, barra);

    auto *nuevo = agregaAccion(QStringLiteral("nuevo"), QStringLiteral("Nueva"), IconoDisenador(QStringLiteral("nuevo")));
    connect(nuevo, &QAction::triggered, this, [this] {
        if (m_doc.modificado() &&
            Mensaje(QStringLiteral("Se perderán los cambios de la forma. ¿Desea empezar una forma en blanco?"), TituloAviso(),
                    MsjPreguntaNo) != IDYES)
            return;
        const QString ruta = m_doc.ruta();
        m_doc.nuevo();
        Q_UNUSED(ruta);
    });
    auto *guardar = agregaAccion(QStringLiteral("guardar"), QStringLiteral("Guardar"), IconoDisenador(QStringLiteral("guardar")),
                                 QKeySequence::Save);
    connect(guardar, &QAction::triggered, this, [this] { guarda(); });
    auto *guardarComo = agregaAccion(QStringLiteral("guardarComo"), QStringLiteral("Guardar como..."), QIcon());
    connect(guardarComo, &QAction::triggered, this, [this] { guardaComo(); });
    barra->addAction(nuevo);
    auto *bGuardar = new QToolButton(barra);
    bGuardar->setDefaultAction(guardar);
    bGuardar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto *menuGuardar = new QMenu(bGuardar);
    menuGuardar->addAction(guardarComo);
    bGuardar->setMenu(menuGuardar);
    bGuardar->setPopupMode(QToolButton::MenuButtonPopup);
    barra->addWidget(bGuardar);
    barra->addSeparator();

    auto *deshacer = agregaAccion(QStringLiteral("deshacer"), QStringLiteral("Deshacer"),
                                  IconoDisenador(QStringLiteral("deshacer")), QKeySequence::Undo);
    connect(deshacer, &QAction::triggered, &m_doc, &DisenadorDocumento::deshacer);
    auto *rehacer = agregaAccion(QStringLiteral("rehacer"), QStringLiteral("Rehacer"), IconoDisenador(QStringLiteral("rehacer")),
                                 QKeySequence(Qt::CTRL | Qt::Key_Y));
    connect(rehacer, &QAction::triggered, &m_doc, &DisenadorDocumento::rehacer);
    barra->addAction(deshacer);
    barra->addAction(rehacer);
    barra->addSeparator();

    auto *cortar = agregaAccion(QStringLiteral("cortar"), QStringLiteral("Cortar"), IconoDisenador(QStringLiteral("cortar")),
                                QKeySequence::Cut);
    connect(cortar, &QAction::triggered, &m_doc, &DisenadorDocumento::corta);
    auto *copiar = agregaAccion(QStringLiteral("copiar"), QStringLiteral("Copiar"), IconoDisenador(QStringLiteral("copiar")),
                                QKeySequence::Copy);
    connect(copiar, &QAction::triggered, &m_doc, &DisenadorDocumento::copia);
    connect(copiar, &QAction::triggered, this, &TfDisenador::actualizaAcciones);
    auto *pegar = agregaAccion(QStringLiteral("pegar"), QStringLiteral("Pegar"), IconoDisenador(QStringLiteral("pegar")),
                               QKeySequence::Paste);
    connect(pegar, &QAction::triggered, &m_doc, &DisenadorDocumento::pega);
    auto *eliminar = agregaAccion(QStringLiteral("eliminar"), QStringLiteral("Eliminar"),
                                  IconoDisenador(QStringLiteral("eliminar")), QKeySequence::Delete);
    connect(eliminar, &QAction::triggered, &m_doc, &DisenadorDocumento::elimina);
    for (QAction *a : {cortar, copiar, pegar, eliminar})
        barra->addAction(a);
    barra->addSeparator();

    auto *frente = agregaAccion(QStringLiteral("frente"), QStringLiteral("Al frente"), IconoDisenador(QStringLiteral("frente")));
    connect(frente, &QAction::triggered, &m_doc, &DisenadorDocumento::alFrente);
    auto *fondo = agregaAccion(QStringLiteral("fondo"), QStringLiteral("Al fondo"), IconoDisenador(QStringLiteral("fondo")));
    connect(fondo, &QAction::triggered, &m_doc, &DisenadorDocumento::alFondo);
    barra->addAction(frente);
    barra->addAction(fondo);

    // Alinear: un botón con menú
    auto *alinear = new QToolButton(barra);
    alinear->setText(QStringLiteral("Alinear"));
    alinear->setIcon(IconoDisenador(QStringLiteral("alinIzq")));
    alinear->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    alinear->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(alinear);
    const struct
    {
        const char *nombre, *texto;
        Alineacion a;
    } alineaciones[] = {{"alinIzq", "Izquierdas", Alineacion::Izquierdas},
                        {"alinCentroH", "Centros horizontales", Alineacion::CentrosH},
                        {"alinDer", "Derechas", Alineacion::Derechas},
                        {"alinArriba", "Arriba", Alineacion::Arriba},
                        {"alinCentroV", "Centros verticales", Alineacion::CentrosV},
                        {"alinAbajo", "Abajo", Alineacion::Abajo},
                        {"mismoAncho", "Mismo ancho", Alineacion::MismoAncho},
                        {"mismoAlto", "Mismo alto", Alineacion::MismoAlto}};
    for (const auto &x : alineaciones) {
        auto *a = agregaAccion(QString::fromLatin1(x.nombre), QString::fromUtf8(x.texto), IconoDisenador(QString::fromLatin1(x.nombre)));
        const Alineacion al = x.a;
        connect(a, &QAction::triggered, this, [this, al] { m_doc.alinea(al); });
        menu->addAction(a);
        if (x.a == Alineacion::Derechas || x.a == Alineacion::Abajo)
            menu->addSeparator();
    }
    alinear->setMenu(menu);
    barra->addWidget(alinear);
    barra->addSeparator();

    auto *acercar = agregaAccion(QStringLiteral("acercar"), QStringLiteral("Acercar"), IconoDisenador(QStringLiteral("acercar")),
                                 QKeySequence::ZoomIn);
    connect(acercar, &QAction::triggered, this, [this] { m_lienzo->ponZoom(m_lienzo->zoom() * 1.25); });
    auto *alejar = agregaAccion(QStringLiteral("alejar"), QStringLiteral("Alejar"), IconoDisenador(QStringLiteral("alejar")),
                                QKeySequence::ZoomOut);
    connect(alejar, &QAction::triggered, this, [this] { m_lienzo->ponZoom(m_lienzo->zoom() / 1.25); });
    auto *ancho = agregaAccion(QStringLiteral("ancho"), QStringLiteral("Al ancho"), IconoDisenador(QStringLiteral("ancho")));
    connect(ancho, &QAction::triggered, m_lienzo, &DisenadorLienzo::ajustaAncho);
    barra->addAction(acercar);
    barra->addAction(alejar);
    barra->addAction(ancho);
    barra->addSeparator();

    auto *rejilla = agregaAccion(QStringLiteral("rejilla"), QStringLiteral("Ajustar"), IconoDisenador(QStringLiteral("rejilla")));
    rejilla->setCheckable(true);
    rejilla->setChecked(m_doc.ajustaRejilla());
    rejilla->setToolTip(QStringLiteral("Ajustar a la rejilla"));
    connect(rejilla, &QAction::toggled, this, [this](bool si) { m_doc.ponAjustaRejilla(si); });
    barra->addAction(rejilla);
    auto *paso = new QComboBox(barra);
    paso->setObjectName(QStringLiteral("pasoRejilla"));
    paso->setToolTip(QStringLiteral("Paso de la rejilla"));
    for (double mm : {0.5, 1.0, 2.0, 2.5, 5.0})
        paso->addItem(QStringLiteral("%1 mm").arg(mm), mm);
    paso->setCurrentIndex(1);
    connect(paso, &QComboBox::activated, this, [this, paso] {
        m_doc.ponPasoRejilla(Longitud::deMm(paso->currentData().toDouble()));
        m_lienzo->viewport()->update();
    });
    barra->addWidget(paso);
    auto *datos = agregaAccion(QStringLiteral("datos"), QStringLiteral("Datos"), IconoDisenador(QStringLiteral("datos")));
    datos->setCheckable(true);
    datos->setChecked(m_lienzo->muestraDatos());
    datos->setToolTip(QStringLiteral("Mostrar el primer registro en lugar de las expresiones"));
    connect(datos, &QAction::toggled, m_lienzo, &DisenadorLienzo::ponMuestraDatos);
    barra->addAction(datos);
    // Formas de varias páginas: cuál se diseña
    m_paginas = new QComboBox(barra);
    m_paginas->setToolTip(QStringLiteral("Página que se diseña"));
    connect(m_paginas, &QComboBox::activated, this, [this](int i) { m_doc.ponIndicePagina(i); });
    m_accionPaginas = barra->addWidget(m_paginas);
    auto *previa = agregaAccion(QStringLiteral("previa"), QStringLiteral("Vista previa"), IconoDisenador(QStringLiteral("previa")));
    previa->setCheckable(true);
    barra->addAction(previa);

    // Herramientas de objetos, a la izquierda
    auto *objetos = new QToolBar(QStringLiteral("Objetos"), m_ventana);
    objetos->setObjectName(QStringLiteral("barraObjetos"));
    objetos->setMovable(false);
    objetos->setIconSize(QSize(24, 24));
    objetos->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_ventana->addToolBar(Qt::LeftToolBarArea, objetos);
    auto *grupo = new QActionGroup(this);
    const struct
    {
        const char *nombre, *texto, *icono;
        Herramienta h;
    } herramientas[] = {{"hSeleccionar", "Seleccionar", "seleccionar", Herramienta::Seleccionar},
                        {"hTexto", "Texto", "texto", Herramienta::Texto},
                        {"hBarras", "Código de barras", "barras", Herramienta::CodigoBarras},
                        {"hLinea", "Línea", "linea", Herramienta::Linea},
                        {"hRectangulo", "Rectángulo", "rectangulo", Herramienta::Rectangulo},
                        {"hImagen", "Imagen", "imagen", Herramienta::Imagen}};
    for (const auto &x : herramientas) {
        auto *a = agregaAccion(QString::fromLatin1(x.nombre), QString::fromUtf8(x.texto), IconoDisenador(QString::fromLatin1(x.icono)));
        a->setCheckable(true);
        a->setActionGroup(grupo);
        a->setChecked(x.h == Herramienta::Seleccionar);
        const Herramienta h = x.h;
        connect(a, &QAction::triggered, this, [this, h] { m_lienzo->ponHerramienta(h); });
        objetos->addAction(a);
    }
    connect(m_lienzo, &DisenadorLienzo::herramientaCambiada, this, [this](Herramienta h) {
        static const char *nombres[] = {"hSeleccionar", "hTexto", "hBarras", "hLinea", "hRectangulo", "hImagen"};
        if (QAction *a = m_acciones.value(QString::fromLatin1(nombres[int(h)])))
            a->setChecked(true);
    });

    // Los atajos de teclado valen en toda la ventana (el lienzo atiende los suyos antes)
    for (QAction *a : std::as_const(m_acciones))
        addAction(a);
}

void TfDisenador::actualizaAcciones()
{
    const int n = int(m_doc.seleccion().size());
    m_acciones.value(QStringLiteral("deshacer"))->setEnabled(m_doc.puedeDeshacer());
    m_acciones.value(QStringLiteral("rehacer"))->setEnabled(m_doc.puedeRehacer());
    for (const char *a : {"cortar", "copiar", "eliminar", "frente", "fondo"})
        m_acciones.value(QString::fromLatin1(a))->setEnabled(n > 0);
    m_acciones.value(QStringLiteral("pegar"))->setEnabled(m_doc.hayCopia());
    for (const char *a : {"alinIzq", "alinCentroH", "alinDer", "alinArriba", "alinCentroV", "alinAbajo", "mismoAncho", "mismoAlto"})
        m_acciones.value(QString::fromLatin1(a))->setEnabled(n > 1);
    const Pagina &p = m_doc.pagina();
    const int nPaginas = int(m_doc.forma().paginas.size());
    if (m_paginas->count() != nPaginas) {
        m_paginas->clear();
        for (int i = 0; i < nPaginas; ++i)
            m_paginas->addItem(QStringLiteral("Página %1").arg(i + 1));
    }
    m_paginas->setCurrentIndex(m_doc.indicePagina());
    m_accionPaginas->setVisible(nPaginas > 1);
    int objetos = int(p.vistas.size());
    for (const Banda &b : p.bandas)
        objetos += int(b.vistas.size());
    QString estado = QStringLiteral("Papel %1 × %2 mm · %3 objetos")
                         .arg(p.anchoPapel.mm(), 0, 'f', 1)
                         .arg(p.altoPapel.mm(), 0, 'f', 1)
                         .arg(objetos);
    if (n > 0)
        estado += QStringLiteral(" · %1 elegido(s)").arg(n);
    if (!m_doc.avisos().isEmpty())
        estado += QStringLiteral(" · %1 aviso(s) al leer la forma").arg(m_doc.avisos().size());
    m_estado->setText(estado);
}

void TfDisenador::actualizaTitulo()
{
    const QString nombre = m_ruta.isEmpty() ? QStringLiteral("(nueva)") : QFileInfo(m_ruta).completeBaseName();
    setWindowTitle(QStringLiteral("Diseño de forma - %1%2").arg(nombre, m_doc.modificado() ? QStringLiteral(" *") : QString()));
}

bool TfDisenador::guarda()
{
    if (m_ruta.isEmpty())
        return guardaComo();
    QString error;
    if (!m_doc.guarda(m_ruta, error)) {
        Mensaje(error, TituloAviso(), MsjError);
        return false;
    }
    m_guardado = true;
    actualizaTitulo();
    m_estado->setText(QStringLiteral("Forma guardada en %1").arg(m_ruta));
    return true;
}

bool TfDisenador::guardaComo()
{
    const QString carpeta = m_ruta.isEmpty() ? QString() : QFileInfo(m_ruta).absolutePath();
    const QString ruta = PideArchivoGuardar(this, QStringLiteral("Guardar forma"), carpeta,
                                            QStringLiteral("Formas (*.fr3)"), QStringLiteral("fr3"));
    if (ruta.isEmpty())
        return false;
    m_ruta = ruta;
    return guarda();
}

void TfDisenador::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_mostrada)
        return;
    m_mostrada = true;
    // La primera vez, el papel a lo ancho (las etiquetas chicas se ven grandes)
    if (layout())
        layout()->activate();
    m_lienzo->ajustaAncho();
}

void TfDisenador::reject()
{
    if (m_doc.modificado()) {
        const int r = Mensaje(QStringLiteral("La forma tiene cambios sin guardar. ¿Desea guardarlos?"), TituloAviso(), 32 | 3);
        if (r == IDCANCEL)
            return;
        if (r == IDYES && !guarda())
            return;
    }
    QDialog::reject();
}

bool DisenaForma(const QString &ruta, const FuenteDatos *datos, QWidget *padre)
{
    TfDisenador d(ruta, datos, padre);
    if (!d.errorCarga().isEmpty())
        Mensaje(d.errorCarga() + QStringLiteral("\nSe abre una forma en blanco."), TituloAviso(), MsjAdvertencia);
    EjecutaDialogo(d);
    return d.guardado();
}
