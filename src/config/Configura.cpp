#include "config/Configura.h"

#include "app/Sesion.h"
#include "common/Mensaje.h"
#include "config/ControlesConfigura.h"
#include "db/Registro.h"
#include "db/datos.h"
#include "db/fbError.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel *titulo(const QString &texto, QWidget *padre)
{
    auto *l = new QLabel(texto, padre);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLineEdit *campoMayusculas(QWidget *padre, int largo = 0)
{
    auto *e = new QLineEdit(padre);
    if (largo > 0)
        e->setMaxLength(largo);
    SoloMayusculas(e);
    return e;
}

QSpinBox *numero(QWidget *padre, int minimo, int maximo, int inicial)
{
    auto *s = new QSpinBox(padre);
    s->setRange(minimo, maximo);
    s->setValue(inicial);
    return s;
}

// Valor de un ajuste numérico para un campo de número; el inicial si no es número
void ponNumero(QSpinBox *s, const QString &texto)
{
    bool ok = false;
    const int n = texto.trimmed().toInt(&ok);
    if (ok)
        s->setValue(n);
}

} // namespace

TfConfigura::TfConfigura(Sesion &sesion, QWidget *padre) : TMForm(padre), m_sesion(sesion)
{
    setObjectName(QStringLiteral("fConfigura"));
    setWindowTitle(QStringLiteral("Configuración"));
    Tag = 10;
    m_ajustes = std::make_unique<AjustesEtiquetas>(sesion.fbDatabase, sesion.fbViewTrans, sesion.fbUpdateTrans,
                                                   sesion.registro(), DatosActual(), RutaIni());

    auto *principal = new QVBoxLayout(this);
    auto *barra = new QHBoxLayout;
    bSave = new QToolButton(this);
    bSave->setObjectName(QStringLiteral("bSave"));
    bSave->setText(QStringLiteral("Guardar y cerrar"));
    bSave->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bEdit = new QToolButton(this);
    bEdit->setObjectName(QStringLiteral("bEdit"));
    bEdit->setText(QStringLiteral("Modificar"));
    bEdit->setCheckable(true);
    barra->addWidget(bSave);
    barra->addWidget(bEdit);
    barra->addStretch(1);
    principal->addLayout(barra);

    Paginas = new QTabWidget(this);
    Paginas->setObjectName(QStringLiteral("Paginas"));
    tsGeneral = creaGeneral();
    tsAdicional = creaAdicional();
    tsCambiaPrecios = creaCambiaPrecios();
    Paginas->addTab(tsGeneral, QStringLiteral("General"));
    Paginas->addTab(tsAdicional, QStringLiteral("Etiquetas adicional"));
    Paginas->addTab(tsCambiaPrecios, QStringLiteral("Cambia precios"));
    principal->addWidget(Paginas, 1);

    connect(bSave, &QToolButton::clicked, this, &TfConfigura::bSaveClick);
    connect(bEdit, &QToolButton::clicked, this, &TfConfigura::bEditClick);
    connect(rCom, &QRadioButton::toggled, this, [this](bool si) {
        if (si)
            rComClick();
    });
    connect(rBar, &QRadioButton::toggled, this, [this](bool si) {
        if (si)
            rBarClick();
    });

    // Anchos: los campos cortos no se estiran
    for (QWidget *c : std::initializer_list<QWidget *>{vAddress, vExcelClave, vExcelNombre, vExcelUnidades,
                                                        vExcelClaveCP, vExcelCostoCP, vExcelListaCP})
        c->setMaximumWidth(60);
    for (QWidget *c : std::initializer_list<QWidget *>{vCOM, vExcelRenglon, vExcelRenglonCP})
        c->setMaximumWidth(100);
    vFolio->setMaximumWidth(160);
    for (QWidget *c : std::initializer_list<QWidget *>{vListaPrecios, vMoneda1, vExe, vBarExe2, vBarParam2, vBarText2,
                                                        btFormaros, vRol, cmClavealt, vListaClaves, vCamposPart,
                                                        vAlmacenLoc})
        c->setMaximumWidth(520);

    Inicializa();
}

TfConfigura::~TfConfigura() = default;

QWidget *TfConfigura::creaGeneral()
{
    auto *pagina = new QWidget;
    auto *l = new QVBoxLayout(pagina);
    l->addWidget(titulo(QStringLiteral("Empresa"), pagina));
    auto *f = new QFormLayout;
    vListaPrecios = new ComboMarcas(pagina);
    vListaPrecios->ponMenuMarcas(true);
    vListaPrecios->setObjectName(QStringLiteral("vListaPrecios"));
    vListaPrecios->setToolTip(QStringLiteral("Seleccione un precio"));
    f->addRow(QStringLiteral("Precio:"), vListaPrecios);
    vMoneda1 = new ComboLista(pagina);
    vMoneda1->setObjectName(QStringLiteral("vMoneda1"));
    vMoneda1->setPlaceholderText(QStringLiteral(" < Seleccione una moneda >"));
    f->addRow(QStringLiteral("Usando la moneda:"), vMoneda1);
    l->addLayout(f);
    chModifP1 = new QCheckBox(QStringLiteral("Modificar precio en lista."), pagina);
    chPrecio = new QCheckBox(QStringLiteral("Seleccionar otra lista de precios en la impresión de etiquetas"), pagina);
    chPromo = new QCheckBox(
        QStringLiteral("No tomar en cuenta políticas de descuento para precio del artículo."), pagina);
    ChPreciosModif = new QCheckBox(QStringLiteral("Poder modificar el importe del precio cuando es cero."), pagina);
    for (QCheckBox *c : {chModifP1, chPrecio, chPromo, ChPreciosModif})
        l->addWidget(c);

    l->addWidget(titulo(QStringLiteral("ptComm"), pagina));
    auto *fp = new QFormLayout;
    vExe = new CampoArchivo(QStringLiteral("Ejecutables (*.exe)"), false, pagina);
    vExe->setObjectName(QStringLiteral("vExe"));
    fp->addRow(QStringLiteral("Ejecutable:"), vExe);
    vCOM = numero(pagina, 1, 19, 1);
    vCOM->setObjectName(QStringLiteral("vCOM"));
    fp->addRow(QStringLiteral("Puerto COM:"), vCOM);
    vAddress = campoMayusculas(pagina, 1);
    vAddress->setObjectName(QStringLiteral("vAddress"));
    vAddress->setText(OmisionEtiquetas::kDireccion);
    fp->addRow(QStringLiteral("Dirección:"), vAddress);
    l->addLayout(fp);

    // BarTender: grupo oculto
    gBarTender = new QGroupBox(pagina);
    gBarTender->setObjectName(QStringLiteral("gBarTender"));
    auto *lb = new QVBoxLayout(gBarTender);
    lb->addWidget(titulo(QStringLiteral("BarTender"), gBarTender));
    auto *fb = new QFormLayout;
    vBarExe2 = new CampoArchivo(QStringLiteral("Ejecutables (*.exe)"), false, gBarTender);
    vBarExe2->setObjectName(QStringLiteral("vBarExe2"));
    fb->addRow(QStringLiteral("Ejecutable:"), vBarExe2);
    vBarParam2 = campoMayusculas(gBarTender);
    vBarParam2->setObjectName(QStringLiteral("vBarParam2"));
    fb->addRow(QStringLiteral("Parámetros:"), vBarParam2);
    vBarText2 = new CampoArchivo(QStringLiteral("Archivos de texto (*.txt)"), false, gBarTender);
    vBarText2->setObjectName(QStringLiteral("vBarText2"));
    vBarText2->setToolTip(
        QStringLiteral("Es el archivo base de datos que toma el BarTender para imprimir las etiquetas"));
    fb->addRow(QStringLiteral("Archivo texto:"), vBarText2);
    btFormaros = new CampoArchivo(QString(), true, gBarTender);
    btFormaros->setObjectName(QStringLiteral("btFormaros"));
    fb->addRow(QStringLiteral("Carpeta formatos:"), btFormaros);
    lb->addLayout(fb);
    rCom = new QRadioButton(QStringLiteral("Impresión directa"), gBarTender);
    rCom->setObjectName(QStringLiteral("rCom"));
    rBar = new QRadioButton(QStringLiteral("BarTender"), gBarTender);
    rBar->setObjectName(QStringLiteral("rBar"));
    lb->addWidget(rCom);
    lb->addWidget(rBar);
    gBarTender->setVisible(false);
    l->addWidget(gBarTender);
    l->addStretch(1);
    return pagina;
}

QWidget *TfConfigura::creaAdicional()
{
    auto *pagina = new QWidget;
    auto *l = new QVBoxLayout(pagina);
    l->addWidget(titulo(QStringLiteral("Importar de Excel"), pagina));
    auto *fe = new QFormLayout;
    vExcelClave = campoMayusculas(pagina, 3);
    vExcelClave->setObjectName(QStringLiteral("vExcelClave"));
    fe->addRow(QStringLiteral("Columna de la clave del artículo:"), vExcelClave);
    vExcelNombre = campoMayusculas(pagina, 3);
    vExcelNombre->setObjectName(QStringLiteral("vExcelNombre"));
    fe->addRow(QStringLiteral("Columna del nombre del artículo:"), vExcelNombre);
    vExcelUnidades = campoMayusculas(pagina, 3);
    vExcelUnidades->setObjectName(QStringLiteral("vExcelUnidades"));
    fe->addRow(QStringLiteral("Columna de etiquetas:"), vExcelUnidades);
    vExcelRenglon = numero(pagina, 1, 65535, 2);
    vExcelRenglon->setObjectName(QStringLiteral("vExcelRenglon"));
    fe->addRow(QStringLiteral("Renglón donde inician los datos:"), vExcelRenglon);
    l->addLayout(fe);

    l->addWidget(titulo(QStringLiteral("Rol de Claves"), pagina));
    auto *fr = new QFormLayout;
    vRol = new ComboLista(pagina);
    vRol->setObjectName(QStringLiteral("vRol"));
    vRol->setPlaceholderText(QStringLiteral("< Seleccione un rol >"));
    fr->addRow(QStringLiteral("Rol clave etiqueta:"), vRol);
    cmClavealt = new ComboLista(pagina);
    cmClavealt->setObjectName(QStringLiteral("cmClavealt"));
    cmClavealt->setPlaceholderText(QStringLiteral("< Seleccione una clave alterna >"));
    cmClavealt->setVisible(false);
    cmClavealt->setEnabled(false);
    vListaClaves = new ComboMarcas(pagina);
    vListaClaves->ponMenuMarcas(true);
    vListaClaves->setObjectName(QStringLiteral("vListaClaves"));
    vListaClaves->setToolTip(QStringLiteral("Seleccione una clave alterna"));
    fr->addRow(QStringLiteral("Claves alternas:"), vListaClaves);
    l->addLayout(fr);
    chklistaClaves =
        new QCheckBox(QStringLiteral("Seleccionar otra lista de claves en la impresión de etiquetas"), pagina);
    l->addWidget(chklistaClaves);

    l->addWidget(titulo(QStringLiteral("Campos particulares"), pagina));
    auto *fc = new QFormLayout;
    vCamposPart = new ComboMarcas(pagina);
    vCamposPart->ponMenuMarcas(true);
    vCamposPart->setObjectName(QStringLiteral("vCamposPart"));
    fc->addRow(QStringLiteral("Campo:"), vCamposPart);
    l->addLayout(fc);

    l->addWidget(titulo(QStringLiteral("Localización en almacén"), pagina));
    auto *fa = new QFormLayout;
    vAlmacenLoc = new ComboLista(pagina);
    vAlmacenLoc->setObjectName(QStringLiteral("vAlmacenLoc"));
    vAlmacenLoc->setPlaceholderText(QStringLiteral("< Seleccione un almacén >"));
    vAlmacenLoc->setToolTip(QStringLiteral("Seleccione un almacen para llenar campo de Localizacion de almacén "
                                           "dentro del formato de etiqueta."));
    fa->addRow(QStringLiteral("Almacén:"), vAlmacenLoc);
    l->addLayout(fa);
    l->addStretch(1);
    return pagina;
}

QWidget *TfConfigura::creaCambiaPrecios()
{
    auto *pagina = new QWidget;
    auto *l = new QVBoxLayout(pagina);
    l->addWidget(titulo(QStringLiteral("Folio para cambio de precios:"), pagina));
    auto *ff = new QFormLayout;
    vFolio = campoMayusculas(pagina);
    vFolio->setObjectName(QStringLiteral("vFolio"));
    ff->addRow(QStringLiteral("Folio:"), vFolio);
    l->addLayout(ff);

    l->addWidget(titulo(QStringLiteral("Importar de Excel"), pagina));
    auto *fe = new QFormLayout;
    vExcelClaveCP = campoMayusculas(pagina, 3);
    vExcelClaveCP->setObjectName(QStringLiteral("vExcelClaveCP"));
    fe->addRow(QStringLiteral("Columna de la clave del artículo:"), vExcelClaveCP);
    vExcelCostoCP = campoMayusculas(pagina, 3);
    vExcelCostoCP->setObjectName(QStringLiteral("vExcelCostoCP"));
    fe->addRow(QStringLiteral("Columna del precio del artículo:"), vExcelCostoCP);
    vExcelRenglonCP = numero(pagina, 1, 65535, 2);
    vExcelRenglonCP->setObjectName(QStringLiteral("vExcelRenglonCP"));
    fe->addRow(QStringLiteral("Renglón donde inician los datos:"), vExcelRenglonCP);
    vExcelListaCP = campoMayusculas(pagina, 3);
    vExcelListaCP->setObjectName(QStringLiteral("vExcelListaCP"));
    fe->addRow(QStringLiteral("Columna de lista de precio:"), vExcelListaCP);
    fe->setRowVisible(vExcelListaCP, false);
    l->addLayout(fe);

    l->addWidget(titulo(QStringLiteral("Precios que se van a capturar"), pagina));
    Tfdatos &datos = m_ajustes->datos();
    cxGridDB2 = new RejillaCaptura(pagina);
    cxGridDB2->setObjectName(QStringLiteral("cxGridDB2"));
    m_modelo = new ModeloCaptura(&datos.mCmpPrecios, cxGridDB2);
    m_modelo->ayudas = {QString(), QString(), QString(), QStringLiteral("Aumentar / Disminuir")};
    ponColumnas(false);
    cxGridDB2->setModel(m_modelo);
    m_modelo->enlazaSeleccion(cxGridDB2->selectionModel());
    m_delegado = new DelegadoCaptura(m_ajustes->mPrecio, cxGridDB2);
    cxGridDB2->setItemDelegate(m_delegado);
    cxGridDB2->setSelectionBehavior(QAbstractItemView::SelectItems);
    cxGridDB2->setSelectionMode(QAbstractItemView::SingleSelection);
    cxGridDB2->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    cxGridDB2->horizontalHeader()->setStretchLastSection(true);
    cxGridDB2->setColumnWidth(0, 180);
    cxGridDB2->setColumnWidth(1, 130);
    cxGridDB2->setColumnWidth(2, 120);
    cxGridDB2->alPulsarEnter = [this] { teclaEnterRejilla(); };
    cxGridDB2->alEntrar = [this] { entraRejilla(); };
    cxGridDB2->alBorrar = [this] {
        // Borrar no pide confirmación
        if (!modoEdicion())
            return;
        MemTable &t = m_ajustes->datos().mCmpPrecios;
        const int fila = cxGridDB2->currentIndex().row();
        if (fila >= 0 && t.irAFila(fila))
            t.borra();
    };
    l->addWidget(cxGridDB2, 1);

    chDescArtsCostoCero = new QCheckBox(QStringLiteral("Descartar artículos con costo cero."), pagina);
    chkMarckup = new QCheckBox(QStringLiteral("Usar Markup"), pagina);
    ChkActmark = new QCheckBox(QStringLiteral("Actualizar Markup en Microsip"), pagina);
    for (QCheckBox *c : {chDescArtsCostoCero, chkMarckup, ChkActmark})
        l->addWidget(c);
    auto *radios = new QWidget(pagina);
    auto *lr = new QHBoxLayout(radios);
    lr->setContentsMargins(0, 0, 0, 0);
    ram = new QRadioButton(QStringLiteral("Aumentar Markup"), radios);
    ram->setObjectName(QStringLiteral("ram"));
    rDm = new QRadioButton(QStringLiteral("Disminuir Markup"), radios);
    rDm->setObjectName(QStringLiteral("rDm"));
    lr->addWidget(ram);
    lr->addWidget(rDm);
    lr->addStretch(1);
    l->addWidget(radios);
    return pagina;
}

void TfConfigura::ponColumnas(bool edicion)
{
    const MemTable *precios = &m_ajustes->mPrecio;
    auto nombrePrecio = [precios](const QVariant &v) -> QString {
        if (!v.isValid())
            return {};
        const int cId = precios->indiceCampo(QStringLiteral("ID"));
        const int cNombre = precios->indiceCampo(QStringLiteral("Nombre"));
        for (int f = 0; f < precios->cantidad(); ++f)
            if (precios->valorEn(f, cId).toLongLong() == v.toLongLong())
                return precios->valorEn(f, cNombre).toString();
        return {};
    };
    auto porcentaje = [](const QVariant &v) { return v.isValid() ? FormatoPorcentaje(v.toDouble()) : QString(); };
    m_modelo->ponColumnas({
        {QStringLiteral("precio_empresa_id"), QStringLiteral("Tipos de precio"), edicion, nombrePrecio},
        {QStringLiteral("nombre"), QStringLiteral("Nombre corto"), edicion, {}},
        {QStringLiteral("ut_sugerida"), QStringLiteral("% Porc. sugerido"), edicion, porcentaje},
        {QStringLiteral("Inc"), QStringLiteral("Aumentar ✓"), true, {}}, // nunca se bloquea
    });
}

bool TfConfigura::modoEdicion() const
{
    return bEdit->isChecked();
}

void TfConfigura::aplicaModo(bool edicion)
{
    for (QLineEdit *e : {vAddress, vBarParam2, vExcelClave, vExcelNombre, vExcelUnidades, vFolio, vExcelClaveCP,
                         vExcelCostoCP, vExcelListaCP})
        e->setReadOnly(!edicion);
    for (QSpinBox *s : {vCOM, vExcelRenglon, vExcelRenglonCP})
        s->setReadOnly(!edicion);
    for (CampoArchivo *c : {vExe, vBarExe2, vBarText2, btFormaros})
        c->setSoloLectura(!edicion);
    for (ComboLista *c : {vMoneda1, vRol, cmClavealt, vAlmacenLoc})
        c->setSoloLectura(!edicion);
    for (QWidget *w : std::initializer_list<QWidget *>{
             chModifP1, chPrecio, chPromo, ChPreciosModif, rCom, rBar, chklistaClaves, chDescArtsCostoCero, chkMarckup,
             ChkActmark, ram, rDm, vListaPrecios, vListaClaves, vCamposPart})
        w->setEnabled(edicion);
    cmClavealt->setEnabled(false);
    cxGridDB2->confirmaEdicion();
    ponColumnas(edicion);
    cxGridDB2->setEnabled(edicion || !rCom->isChecked());
}

void TfConfigura::rComClick()
{
    // Impresión directa: sin datos de BarTender y sin rejilla hasta "Modificar"
    for (CampoArchivo *c : {vBarExe2, vBarText2, btFormaros}) {
        c->setText(QString());
        c->setSoloLectura(true);
    }
    vBarParam2->clear();
    vBarParam2->setReadOnly(true);
    cxGridDB2->setEnabled(false);
}

void TfConfigura::rBarClick()
{
    const bool edicion = modoEdicion();
    for (CampoArchivo *c : {vBarExe2, vBarText2, btFormaros})
        c->setSoloLectura(!edicion);
    vBarParam2->setReadOnly(!edicion);
    cxGridDB2->setEnabled(true);
}

void TfConfigura::bEditClick()
{
    // El botón queda abajo: la edición dura hasta cerrar
    bEdit->setChecked(true);
    aplicaModo(true);
}

void TfConfigura::showEvent(QShowEvent *e)
{
    TMForm::showEvent(e);
    if (!m_abierta) {
        m_abierta = true;
        FormShow();
    }
}

void TfConfigura::ponValores(const ValoresConfigura &v)
{
    const AjustesEtiquetas &a = *m_ajustes;
    vListaPrecios->ponElementos(a.nombresPrecios);
    vListaPrecios->ponMarcas(v.listaPrecios);
    vListaClaves->ponElementos(a.nombresClaves);
    vListaClaves->ponMarcas(v.listaClaves);
    vCamposPart->ponElementos(a.nombresCampos);
    vCamposPart->ponMarcas(v.camposPart);
    vMoneda1->llena(a.mMonedas, QStringLiteral("moneda_id"), QStringLiteral("Nombre"));
    vMoneda1->eligeId(v.moneda1);
    vRol->llena(a.mRoles, QStringLiteral("ID"), QStringLiteral("Nombre"));
    vRol->eligeId(v.rolClave);
    cmClavealt->llena(a.mRolalt, QStringLiteral("ID"), QStringLiteral("Nombre"));
    cmClavealt->eligeId(v.rolAlterna);
    vAlmacenLoc->llena(a.mAlm, QStringLiteral("ID"), QStringLiteral("Nombre"));
    vAlmacenLoc->eligeId(v.almacenLoc);

    vExcelClave->setText(v.excelClave);
    vExcelNombre->setText(v.excelNombre);
    vExcelUnidades->setText(v.excelUnidades);
    ponNumero(vExcelRenglon, v.excelRenglon);
    vExcelClaveCP->setText(v.excelClaveCP);
    vExcelCostoCP->setText(v.excelCostoCP);
    ponNumero(vExcelRenglonCP, v.excelRenglonCP);

    chPromo->setChecked(v.promo);
    vExe->setText(v.exePtcomm);
    ponNumero(vCOM, v.com);
    vAddress->setText(v.ptAddress);
    vBarExe2->setText(v.barTenderExe);
    vBarParam2->setText(v.barTenderParams);
    vBarText2->setText(v.barTenderText);
    btFormaros->setText(v.carpetaFormatos);

    chPrecio->setChecked(v.seleccionarPrecio);
    chklistaClaves->setChecked(v.seleccionarClave);
    ChPreciosModif->setChecked(v.modificaPrecio);
    chModifP1->setChecked(v.modifP1);
    chDescArtsCostoCero->setChecked(v.descArtsCostoCero);
    chkMarckup->setChecked(v.usarMarckup);
    ram->setChecked(v.aumentarMarckup);
    rDm->setChecked(v.disminuirMarckup);
    ChkActmark->setChecked(v.actualizarMarckup);
    if (v.impresion == QLatin1String("C")) {
        rCom->setChecked(true);
        rComClick(); // también si ya estaba elegido
    } else if (v.impresion == QLatin1String("B")) {
        rBar->setChecked(true);
    }

    vFolio->setText(v.folio);
    if (vExe->text().isEmpty())
        vExe->setText(OmisionEtiquetas::kExePtcomm);
    if (vAddress->text().isEmpty())
        vAddress->setText(OmisionEtiquetas::kDireccion);
}

void TfConfigura::FormShow()
{
    aplicaModo(false);
    try {
        ponValores(m_ajustes->carga());
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Error al leer la configuración: \r\r") + e.texto(), QStringLiteral("Error"), MsjError);
    }
    ponColumnas(modoEdicion());
}

ValoresConfigura TfConfigura::valoresControles() const
{
    ValoresConfigura v;
    v.listaPrecios = vListaPrecios->marcas();
    v.moneda1 = vMoneda1->idElegido();
    v.modifP1 = chModifP1->isChecked();
    v.seleccionarPrecio = chPrecio->isChecked();
    v.promo = chPromo->isChecked();
    v.modificaPrecio = ChPreciosModif->isChecked();
    v.exePtcomm = vExe->text();
    v.com = QString::number(vCOM->value());
    v.ptAddress = vAddress->text();
    v.barTenderExe = vBarExe2->text();
    v.barTenderParams = vBarParam2->text();
    v.barTenderText = vBarText2->text();
    v.carpetaFormatos = btFormaros->text();
    v.impresion = rCom->isChecked() ? QStringLiteral("C") : rBar->isChecked() ? QStringLiteral("B") : QString();

    v.excelClave = vExcelClave->text();
    v.excelNombre = vExcelNombre->text();
    v.excelUnidades = vExcelUnidades->text();
    v.excelRenglon = QString::number(vExcelRenglon->value());
    v.rolClave = vRol->idElegido();
    v.rolAlterna = cmClavealt->idElegido();
    v.listaClaves = vListaClaves->marcas();
    v.seleccionarClave = chklistaClaves->isChecked();
    v.camposPart = vCamposPart->marcas();
    v.almacenLoc = vAlmacenLoc->idElegido();

    v.folio = vFolio->text();
    v.excelClaveCP = vExcelClaveCP->text();
    v.excelCostoCP = vExcelCostoCP->text();
    v.excelRenglonCP = QString::number(vExcelRenglonCP->value());
    v.descArtsCostoCero = chDescArtsCostoCero->isChecked();
    v.usarMarckup = chkMarckup->isChecked();
    v.aumentarMarckup = ram->isChecked();
    v.disminuirMarckup = rDm->isChecked();
    v.actualizarMarckup = ChkActmark->isChecked();
    return v;
}

void TfConfigura::bSaveClick()
{
    if (!modoEdicion()) {
        close();
        return;
    }
    cxGridDB2->confirmaEdicion();
    const ValoresConfigura v = valoresControles();
    const AjustesEtiquetas::Falla falla = AjustesEtiquetas::valida(v);
    switch (falla) {
    case AjustesEtiquetas::Falla::ExePtcomm:
        Paginas->setCurrentWidget(tsGeneral);
        vExe->setFocus();
        break;
    case AjustesEtiquetas::Falla::SinPrecio:
        Paginas->setCurrentWidget(tsGeneral);
        vListaPrecios->setFocus();
        break;
    case AjustesEtiquetas::Falla::SinClave:
        Paginas->setCurrentWidget(tsAdicional);
        vListaClaves->setFocus();
        break;
    case AjustesEtiquetas::Falla::Markup:
    case AjustesEtiquetas::Falla::Ninguna:
        break;
    }
    if (falla != AjustesEtiquetas::Falla::Ninguna) {
        Mensaje(AjustesEtiquetas::mensaje(falla), TituloAviso(), MsjInformacion);
        return;
    }
    try {
        QString error;
        if (!m_ajustes->guarda(v, &error)) {
            Mensaje(QStringLiteral("Error al guardar los precios: \r\r") + error, QStringLiteral("Error"), MsjError);
            return;
        }
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Error al guardar la configuración: \r\r") + e.texto(), QStringLiteral("Error"),
                MsjError);
        return;
    }
    close();
}

void TfConfigura::agregaRenglon()
{
    MemTable &t = m_ajustes->datos().mCmpPrecios;
    if (t.estado() != MemTable::Estado::Navegando)
        t.graba();
    t.ultimo();
    t.agrega();
    t.graba();
}

void TfConfigura::teclaEnterRejilla()
{
    const QModelIndex i = cxGridDB2->currentIndex();
    if (!i.isValid())
        return;
    int fila = i.row();
    const int columna = i.column();
    if (columna == 0 || columna == 1) {
        cxGridDB2->setCurrentIndex(m_modelo->index(fila, columna + 1));
        return;
    }
    // Precio o "Aumentar": renglón nuevo si este ya tiene lista de precios
    MemTable &t = m_ajustes->datos().mCmpPrecios;
    if (modoEdicion() && t.valorEn(fila, QStringLiteral("precio_empresa_id")).isValid()) {
        agregaRenglon();
        fila = t.cantidad() - 1;
    }
    cxGridDB2->setCurrentIndex(m_modelo->index(fila, 0));
}

void TfConfigura::entraRejilla()
{
    MemTable &t = m_ajustes->datos().mCmpPrecios;
    if (modoEdicion() && t.activa() && t.cantidad() == 0) {
        agregaRenglon();
        cxGridDB2->setCurrentIndex(m_modelo->index(0, 0));
    }
}

TMForm *CreaConfigura(QWidget *padre)
{
    Sesion *s = SesionActual();
    if (!s)
        return nullptr;
    return new TfConfigura(*s, padre);
}
