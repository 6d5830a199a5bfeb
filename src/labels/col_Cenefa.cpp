#include "labels/col_Cenefa.h"

#include "app/Sesion.h"
#include "common/ComboMarcas.h"
#include "common/FormatoNumero.h"
#include "common/Mensaje.h"
#include "db/MemTable.h"
#include "db/Registro.h"
#include "db/fbError.h"
#include "labels/Impresion.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString S(const char *t)
{
    return QString::fromUtf8(t);
}

// Etiquetas: caja de números de 1 a 9999
class DelegadoCantidad : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *padre, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *s = new QSpinBox(padre);
        s->setRange(1, 9999);
        return s;
    }
};

QToolButton *Boton(QWidget *padre, const QString &texto, const QString &ayuda = {})
{
    auto *b = new QToolButton(padre);
    b->setText(texto);
    b->setToolTip(ayuda);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

// Permisos del módulo 90 (bit n-1 = botón en el lugar n)
constexpr quint32 kAgregar = 1u << 1;
constexpr quint32 kColectora = 1u << 2;
constexpr quint32 kExcel = 1u << 3;
constexpr quint32 kImprimir = 1u << 4;
constexpr quint32 kNoRegistrados = 1u << 5;

} // namespace

// ---------------------------------------------------------------- ModeloLote

Qt::ItemFlags ModeloLote::flags(const QModelIndex &indice) const
{
    Qt::ItemFlags f = MemTableModelo::flags(indice);
    if (indice.isValid() && editable && !editable(indice.column()))
        f &= ~(Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
    return f;
}

QVariant ModeloLote::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::TextAlignmentRole && seccion >= primeraCentrada)
        return int(Qt::AlignCenter);
    return MemTableModelo::headerData(seccion, orientacion, rol);
}

// ---------------------------------------------------------------- Tfcol_Cenefa

Tfcol_Cenefa::Tfcol_Cenefa(QWidget *padre) : TMForm(padre), m_sesion(SesionActual())
{
    Tag = 90;
    setWindowTitle(S("Imprimir etiquetas"));
    CustomTitle = S("Etiquetas");

    // Creación: procedimiento de precios ligado a la base de la empresa y rol de la clave
    m_lote =
        std::make_unique<LoteEtiquetas>(m_sesion->fbDatabase, m_sesion->fbViewTrans, m_sesion->registro(), RutaIni());

    auto *barra = new QWidget(this);
    barra->setWindowTitle(S("Etiquetas"));
    auto *hb = new QHBoxLayout(barra);
    hb->setContentsMargins(2, 2, 2, 2);
    bNuevo = Boton(barra, S("Nuevo"), S("Limpiar la lista"));
    bNuevo->setShortcut(QKeySequence(S("Alt+N")));
    auto *lClave = new QLabel(S("&Clave:"), barra);
    vClave = new QLineEdit(barra);
    vClave->setToolTip(S("Buscar por clave"));
    lClave->setBuddy(vClave);
    bBuscar = Boton(barra, S("Buscar"), S("Buscar artículos por clave o nombre"));
    bArticulos = Boton(barra, S("Artículos"));
    cbPrecio = new ComboMarcas(S("< Seleccione una lista >"), S(", "), barra);
    cbPrecio->setToolTip(S("Precio"));
    cbClaves = new ComboMarcas(S("< Seleccione una lista >"), S(", "), barra);
    cbClaves->setToolTip(S("Claves"));
    cbFormato = new QComboBox(barra);
    cbFormato->setToolTip(S("Formato de BarTender"));
    cbFormato->hide();
    bColectora = Boton(barra, S("Colectora"), S("Cargar de la colectora"));
    bImprimir = Boton(barra, S("Imprimir"), S("Imprimir las etiquetas"));
    bHoja = Boton(barra, S("Hoja de cálculo"));
    bHoja->setPopupMode(QToolButton::InstantPopup);
    auto *menuHoja = new QMenu(bHoja);
    menuHoja->addAction(S("Importar"), this, &Tfcol_Cenefa::NoDisponible);
    menuHoja->addAction(S("Exportar"), this, &Tfcol_Cenefa::NoDisponible);
    bHoja->setMenu(menuHoja);
    bExcel = Boton(barra, S("Excel"));
    bExcel->hide();
    bDocumentos = Boton(barra, S("Documentos"));
    bDocumentos->setPopupMode(QToolButton::InstantPopup);
    auto *menuDoc = new QMenu(bDocumentos);
    menuDoc->addAction(S("Texto"), this, &Tfcol_Cenefa::NoDisponible);
    menuDoc->addAction(S("Inventario"), this, &Tfcol_Cenefa::NoDisponible);
    bDocumentos->setMenu(menuDoc);
    chNoRegistrados = new QCheckBox(S("Artículos no registrados."), barra);
    // Teclas de los botones
    bBuscar->setShortcut(QKeySequence(S("Alt+B")));
    bArticulos->setShortcut(QKeySequence(S("Alt+A")));
    bColectora->setShortcut(QKeySequence(S("Alt+L")));
    bImprimir->setShortcut(QKeySequence(S("Alt+P")));

    hb->addWidget(bNuevo);
    hb->addWidget(lClave);
    hb->addWidget(vClave);
    hb->addWidget(bBuscar);
    hb->addWidget(bArticulos);
    hb->addWidget(new QLabel(S("Precio"), barra));
    hb->addWidget(cbPrecio);
    hb->addWidget(new QLabel(S("Claves"), barra));
    hb->addWidget(cbClaves);
    hb->addWidget(cbFormato);
    hb->addWidget(bColectora);
    hb->addWidget(bImprimir);
    hb->addWidget(bHoja);
    hb->addWidget(bExcel);
    hb->addWidget(bDocumentos);
    hb->addWidget(chNoRegistrados);
    hb->addStretch();

    Grid = new QTableView(this);
    modelo = new ModeloLote(&mArt(), this);
    modelo->editable = [this](int c) {
        const bool sinRegistro = m_lote->sinRegistro();
        switch (c) {
        case ColImprimir:
        case ColEtiquetas:
        case ColDescuento:
        case ColExtra:
            return true;
        case ColClave:
        case ColArticulo:
            return sinRegistro;
        case ColPuntos:
            return false;
        default:
            break;
        }
        const int n = c - ColExtra; // precio n
        return n >= 1 && n <= int(m_lote->tIDPrecio.size()) && precioEditable(n);
    };
    Grid->setModel(modelo);
    modelo->enlazaSeleccion(Grid->selectionModel());
    Grid->setItemDelegateForColumn(ColEtiquetas, new DelegadoCantidad(Grid));
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    Grid->installEventFilter(this);
    menuGrid = new QMenu(this);
    aSeleccionarTodo = menuGrid->addAction(S("Seleccionar todo"), this, &Tfcol_Cenefa::SeleccionaTodo);
    aQuitarSeleccion = menuGrid->addAction(S("Quitar selección"), this, &Tfcol_Cenefa::QuitaSeleccion);
    aInvertirSeleccion = menuGrid->addAction(S("Invertir selección"), this, &Tfcol_Cenefa::InvierteSeleccion);
    connect(Grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { menuGrid->popup(Grid->viewport()->mapToGlobal(p)); });

    auto *vb = new QVBoxLayout(this);
    vb->setContentsMargins(0, 0, 0, 0);
    vb->addWidget(barra);
    vb->addWidget(Grid);

    // Clave en mayúsculas
    connect(vClave, &QLineEdit::textEdited, this, [this](const QString &t) {
        const int pos = vClave->cursorPosition();
        vClave->setText(t.toUpper());
        vClave->setCursorPosition(pos);
    });
    vClave->installEventFilter(this);
    connect(bNuevo, &QToolButton::clicked, this, &Tfcol_Cenefa::LimpiaLote);
    connect(bBuscar, &QToolButton::clicked, this, &Tfcol_Cenefa::Buscar);
    connect(bArticulos, &QToolButton::clicked, this, &Tfcol_Cenefa::NoDisponible);
    connect(bColectora, &QToolButton::clicked, this, &Tfcol_Cenefa::NoDisponible);
    connect(bImprimir, &QToolButton::clicked, this, [this] { ImprimeEtiquetas(*m_lote, this); });
    connect(bExcel, &QToolButton::clicked, this, &Tfcol_Cenefa::NoDisponible);
    connect(cbPrecio, &ComboMarcas::cerrada, this, &Tfcol_Cenefa::CierraPrecio);
    connect(cbClaves, &ComboMarcas::cerrada, this, &Tfcol_Cenefa::CierraClaves);
    connect(chNoRegistrados, &QCheckBox::clicked, this, &Tfcol_Cenefa::CambiaModo);

    // Regla del precio al cambiar de renglón; Descuento visible al grabar uno con descuento
    connect(&mArt(), &MemTable::filaActualCambiada, this, [this](int) { AplicaReglaPrecio(); });
    connect(&mArt(), &MemTable::insertada, this, &Tfcol_Cenefa::revisaDescuento);
    connect(&mArt(), &MemTable::cambiada, this, &Tfcol_Cenefa::revisaDescuento);

    ponColumnas();
    Inicializa();
}

Tfcol_Cenefa::~Tfcol_Cenefa()
{
    // Nada de la ventana toca el lote mientras se destruye
    m_cerrando = true;
    Grid->removeEventFilter(this);
    vClave->removeEventFilter(this);
    disconnect(&mArt(), nullptr, this, nullptr);
    // El modelo deja de ver la tabla antes de que el lote la libere
    Grid->setModel(nullptr);
    delete modelo;
    modelo = nullptr;
}

TMForm *CreaCol_Cenefa(QWidget *padre)
{
    return new Tfcol_Cenefa(padre);
}

void Tfcol_Cenefa::showEvent(QShowEvent *e)
{
    TMForm::showEvent(e);
    if (!m_iniciada) {
        m_iniciada = true;
        FormShow();
    }
}

void Tfcol_Cenefa::FormShow()
{
    LoteEtiquetas &l = *m_lote;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        mArt().abre();
        vClave->setFocus();
        l.LeeConfiguracion();

        // Roles de clave y listas de precios con lo elegido antes
        QList<ComboMarcas::Elemento> roles;
        for (const auto &e : l.CargaRolesClave())
            roles.append({e.id, e.nombre, e.marcado});
        cbClaves->ponElementos(roles);
        QList<ComboMarcas::Elemento> listas;
        int ancho = 0;
        for (const auto &e : l.CargaListasPrecio()) {
            listas.append({e.id, e.nombre, e.marcado});
            ancho = qMax(ancho, cbPrecio->fontMetrics().horizontalAdvance(e.nombre));
        }
        cbPrecio->ponElementos(listas);
        cbPrecio->view()->setMinimumWidth(ancho + 200); // la lista desplegada

        // Modo: sin el permiso siempre artículos registrados (el ajuste no se toca)
        l.Artnagreg = l.cfg.Artnagreg;
        if (Acceso & kNoRegistrados) {
            chNoRegistrados->setEnabled(true);
            chNoRegistrados->show();
        } else {
            chNoRegistrados->hide();
            l.Artnagreg = S("N");
        }
        chNoRegistrados->setChecked(l.sinRegistro());

        const bool agregar = Acceso & kAgregar;
        vClave->setEnabled(agregar);
        bBuscar->setEnabled(agregar);
        bArticulos->setEnabled(agregar);
        bColectora->setEnabled(Acceso & kColectora);
        bExcel->setEnabled(Acceso & kExcel);
        bImprimir->setEnabled(Acceso & kImprimir);
        cbPrecio->ponSoloLectura(l.cfg.SeleccionarPrecio == QLatin1String("N"));
        cbClaves->ponSoloLectura(l.cfg.SeleccionarClave == QLatin1String("N"));

        LlenaFormatos();
        l.precSP = l.cfg.precSP;
        l.tIDClaves.clear();
        l.tNomClaves.clear();
        for (int i = 0; i < cbClaves->cantidad(); ++i)
            if (cbClaves->marcado(i)) {
                l.tIDClaves << QString::number(cbClaves->id(i));
                l.tNomClaves << cbClaves->nombre(i);
            }
        ArmaCampos();
        l.Limpia();
        l.LeeSucursal();
    } catch (const ErrorFb &e) {
        QApplication::restoreOverrideCursor();
        Mensaje(S("No se pudo preparar la ventana de etiquetas.\r") + e.texto(), TituloAviso(), MsjError);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void Tfcol_Cenefa::LlenaFormatos()
{
    cbFormato->clear();
    QString carpeta = m_lote->cfg.CarpetaFmt;
    if (carpeta.endsWith(QLatin1Char('\\')))
        carpeta.chop(1);
    if (carpeta.isEmpty() || !QFileInfo(carpeta).isDir())
        return;
    const QFileInfoList archivos = QDir(carpeta).entryInfoList({S("*.btw")}, QDir::Files, QDir::Name);
    for (const QFileInfo &f : archivos)
        cbFormato->addItem(f.completeBaseName());
    const int i = cbFormato->findText(m_lote->cfg.Fmt);
    cbFormato->setCurrentIndex(i >= 0 ? i : 0);
}

void Tfcol_Cenefa::ArmaCampos()
{
    m_lote->ArmaCampos();
    ponColumnas();
}

void Tfcol_Cenefa::ponColumnas()
{
    const LoteEtiquetas &l = *m_lote;
    auto dosDecimales = [](const QVariant &v) {
        return v.isValid() ? QString::number(v.toDouble(), 'f', 2) : QString();
    };
    auto moneda = [](const QVariant &v) { return v.isValid() ? FormatoNumero(v.toDouble(), 2) : QString(); };
    QList<MemTableModelo::Columna> c = {
        {S("imprimir"), S("Imprimir"), true, {}},         {S("clave"), S("Clave"), true, {}},
        {S("articulo"), S("Artículo"), true, {}},         {S("cantidad"), S("Etiquetas"), true, {}},
        {S("dscto"), S("Descuento"), true, dosDecimales}, {S("Puntos"), S("Puntos"), false, {}},
        {S("Localizacion"), S("Campo extra"), true, {}},
    };
    const int N = int(l.tIDPrecio.size());
    for (int n = 1; n <= N; ++n)
        c.append({S("Precio%1").arg(n), S("P%1: %2").arg(n).arg(l.tNomPrecio[n - 1]), true, moneda});
    for (int n = 1; n <= l.tIDClaves.size(); ++n)
        c.append({S("Clave%1").arg(n), S("C%1: %2").arg(n).arg(l.tNomClaves.value(n - 1)), false, {}});
    modelo->ponColumnas(c);
    LastPrecIndex = N > 0 ? ColExtra + N : -1;
    for (int i = ColExtra + 1; i < c.size(); ++i)
        Grid->setColumnWidth(i, 100);
    AplicaVisibilidad();
    AplicaReglaPrecio();
}

void Tfcol_Cenefa::AplicaVisibilidad()
{
    const LoteEtiquetas &l = *m_lote;
    const bool sinRegistro = l.sinRegistro();
    Grid->setColumnHidden(ColDescuento, !m_verDescuento);
    Grid->setColumnHidden(ColPuntos, sinRegistro || !l.ConPuntos);
    Grid->setColumnHidden(ColExtra, !sinRegistro);
    for (int n = 1; n <= l.tIDPrecio.size(); ++n)
        Grid->setColumnHidden(ColExtra + n, sinRegistro);
}

void Tfcol_Cenefa::revisaDescuento(int posicion)
{
    if (m_verDescuento || m_lote->sinRegistro() || !mArt().activa())
        return;
    if (mArt().valorEn(posicion, S("dscto")).toDouble() > 0) {
        m_verDescuento = true;
        Grid->setColumnHidden(ColDescuento, false);
    }
}

bool Tfcol_Cenefa::precioEditable(int n) const
{
    return n >= 1 && size_t(n) <= m_precioEditable.size() && m_precioEditable[size_t(n - 1)];
}

void Tfcol_Cenefa::AplicaReglaPrecio()
{
    const int N = int(m_lote->tIDPrecio.size());
    m_precioEditable.assign(size_t(N), false);
    for (int n = 1; n <= N; ++n)
        m_precioEditable[size_t(n - 1)] = m_lote->PrecioEditable(n);
}

bool Tfcol_Cenefa::AgregaArticulo(const QString &clave, int id, int cantidad)
{
    const bool ok = m_lote->AgregaArticulo(clave, id, cantidad);
    AplicaReglaPrecio();
    return ok;
}

bool Tfcol_Cenefa::AgregaNoRegistrado(const QString &clave, const QString &nombre, const QString &extra,
                                      const QString &cantidad)
{
    const bool ok = m_lote->AgregaNoRegistrado(clave, nombre, extra, cantidad);
    AplicaReglaPrecio();
    return ok;
}

int Tfcol_Cenefa::BuscaIdPorClave(const QString &clave)
{
    try {
        return m_lote->BuscaIdPorClave(clave);
    } catch (const ErrorFb &e) {
        Mensaje(S("No se pudo buscar el artículo.\r") + e.texto(), TituloAviso(), MsjError);
    }
    return 0;
}

void Tfcol_Cenefa::ClaveEnter()
{
    const QString clave = vClave->text();
    if (m_lote->sinRegistro()) {
        Mensaje(S("Tiene activa la configuración para articulos no registrados."), TituloAviso(), MsjInformacion);
    } else {
        const int id = BuscaIdPorClave(clave);
        if (id != 0)
            AgregaArticulo(clave, id, 1);
        else
            Mensaje(S("No se encontró el artículo con la clave: ") + clave, TituloAviso(), MsjInformacion);
    }
    vClave->setFocus();
}

void Tfcol_Cenefa::Buscar()
{
    if (m_lote->sinRegistro()) {
        Mensaje(S("Tiene activa la configuración para articulos no registrados."), TituloAviso(), MsjInformacion);
        return;
    }
    NoDisponible();
}

void Tfcol_Cenefa::NoDisponible()
{
    Mensaje(S("Función no disponible todavía."), TituloAviso(), MsjInformacion);
}

namespace {
// Ids y nombres de lo marcado en una lista
void Marcados(const ComboMarcas &lista, QStringList &ids, QStringList &nombres)
{
    ids.clear();
    nombres.clear();
    for (int i = 0; i < lista.cantidad(); ++i)
        if (lista.marcado(i)) {
            ids << QString::number(lista.id(i));
            nombres << lista.nombre(i);
        }
}
} // namespace

void Tfcol_Cenefa::CierraPrecio()
{
    if (m_cerrando)
        return;
    Marcados(*cbPrecio, m_lote->tIDPrecio, m_lote->tNomPrecio);
    CambiaEstructura();
}

void Tfcol_Cenefa::CierraClaves()
{
    if (m_cerrando)
        return;
    Marcados(*cbClaves, m_lote->tIDClaves, m_lote->tNomClaves);
    CambiaEstructura();
}

void Tfcol_Cenefa::CambiaEstructura()
{
    try {
        ArmaCampos();
        m_lote->Limpia();
    } catch (const ErrorFb &e) {
        m_lote->Limpia();
        Mensaje(S("No se pudieron preparar los campos de las etiquetas.\r") + e.texto(), TituloAviso(), MsjError);
    }
}

void Tfcol_Cenefa::agregaRenglonEscrito()
{
    MemTable &t = mArt();
    t.agrega();
    t.asigna(S("imprimir"), true);
    t.asigna(S("cantidad"), 1);
    t.graba();
    const QModelIndex i = modelo->index(t.recno(), ColClave);
    Grid->setCurrentIndex(i);
    Grid->setFocus();
}

void Tfcol_Cenefa::LimpiaLote()
{
    if (!m_lote->sinRegistro()) {
        if (Mensaje(S("¿Desea limpiar la lista de artículos?"), S("Limpiar"), MsjPregunta) == IDYES) {
            mArt().cierra();
            mArt().abre();
        }
        return;
    }
    mArt().cierra();
    mArt().abre();
    agregaRenglonEscrito();
}

void Tfcol_Cenefa::CambiaModo(bool sinRegistro)
{
    LoteEtiquetas &l = *m_lote;
    if (sinRegistro)
        Mensaje(S("Se iniciara nuevo documento con la configuración de artículos no registrados en Microsip."),
                TituloAviso(), MsjInformacion);
    else
        Mensaje(S("Se iniciara nuevo documento con la configuración de artículos registrados en Microsip."),
                TituloAviso(), MsjInformacion);
    mArt().cierra();
    mArt().abre();
    l.Artnagreg = sinRegistro ? S("S") : S("N");
    try {
        l.ajustes().escribe(S("Art s/ registro"), l.Artnagreg);
    } catch (const ErrorFb &e) {
        Mensaje(S("No se pudo guardar el ajuste.\r") + e.texto(), TituloAviso(), MsjError);
    }
    if (sinRegistro)
        m_verDescuento = false;
    chNoRegistrados->setChecked(sinRegistro);
    AplicaVisibilidad();
}

void Tfcol_Cenefa::recorreSeleccion(int modo)
{
    MemTable &t = mArt();
    if (!t.activa() || t.cantidad() == 0)
        return;
    const MemTable::Marca actual = t.marca();
    t.suspendeAvisos();
    for (t.primero(); !t.eof(); t.siguiente()) {
        t.edita();
        t.asigna(S("imprimir"), modo == 0 ? true : modo == 1 ? false : !t.booleano(S("imprimir")));
        t.graba();
    }
    t.reanudaAvisos();
    t.irA(actual);
}

void Tfcol_Cenefa::SeleccionaTodo()
{
    recorreSeleccion(0);
}
void Tfcol_Cenefa::QuitaSeleccion()
{
    recorreSeleccion(1);
}
void Tfcol_Cenefa::InvierteSeleccion()
{
    recorreSeleccion(2);
}

void Tfcol_Cenefa::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_F4 && !e->isAutoRepeat()) {
        if (bBuscar->isEnabled())
            bBuscar->click();
        e->accept();
        return;
    }
    TMForm::keyReleaseEvent(e);
}

bool Tfcol_Cenefa::enterEnRejilla()
{
    const QModelIndex actual = Grid->currentIndex();
    const int ultima = modelo->rowCount() - 1;
    if (actual.isValid() && actual.row() == ultima && LastPrecIndex >= 0 && actual.column() == LastPrecIndex) {
        agregaRenglonEscrito();
        return true;
    }
    // Siguiente celda visible
    int c = actual.isValid() ? actual.column() + 1 : 0;
    int f = actual.isValid() ? actual.row() : 0;
    while (c < modelo->columnCount() && Grid->isColumnHidden(c))
        ++c;
    if (c >= modelo->columnCount()) {
        c = 0;
        ++f;
        while (c < modelo->columnCount() && Grid->isColumnHidden(c))
            ++c;
    }
    if (f <= ultima)
        Grid->setCurrentIndex(modelo->index(f, c));
    return true;
}

bool Tfcol_Cenefa::eventFilter(QObject *objeto, QEvent *evento)
{
    if (m_cerrando)
        return TMForm::eventFilter(objeto, evento);
    if (objeto == vClave && evento->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(evento);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            ClaveEnter();
            return true; // la tecla no sigue
        }
    }
    if (objeto == Grid) {
        if (evento->type() == QEvent::KeyRelease) {
            const auto *k = static_cast<QKeyEvent *>(evento);
            if (k->key() == Qt::Key_Delete && (k->modifiers() & Qt::ControlModifier)) {
                const QModelIndex i = Grid->currentIndex();
                if (i.isValid() && mArt().irAFila(i.row()))
                    mArt().borra();
                return true;
            }
        } else if (evento->type() == QEvent::KeyPress) {
            const auto *k = static_cast<QKeyEvent *>(evento);
            if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && m_lote->sinRegistro())
                return enterEnRejilla();
        } else if (evento->type() == QEvent::FocusIn) {
            if (m_lote->sinRegistro() && mArt().activa() && mArt().cantidad() == 0)
                agregaRenglonEscrito();
        }
    }
    return TMForm::eventFilter(objeto, evento);
}
