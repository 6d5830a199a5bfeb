#include "labels/ImprimirForma.h"

#include "app/Sesion.h"
#include "common/Dialogos.h"
#include "common/Mensaje.h"
#include "common/Util.h"
#include "db/MemTable.h"
#include "db/MemTableModelo.h"
#include "db/Registro.h"
#include "db/fbError.h"
#include "platform/Impresoras.h"
#include "report/Disenador.h"
#include "report/Informe.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kSinForma = QStringLiteral(" < Seleccione una forma >");
QString g_impresoraActual;
AbridorDisenador g_abridor;

struct CursorEspera
{
    CursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QApplication::restoreOverrideCursor(); }
};
} // namespace

QString ImpresoraActual()
{
    if (g_impresoraActual.isEmpty())
        g_impresoraActual = ImpresoraPredeterminada();
    return g_impresoraActual;
}

void PonAbridorDisenador(AbridorDisenador abridor)
{
    g_abridor = std::move(abridor);
}

TfImprimirForma::TfImprimirForma(QWidget *padre) : QDialog(padre), m_informe(std::make_unique<Informe>())
{
    setWindowTitle(QStringLiteral("Imprimir"));
    m_carpetaFmt = QCoreApplication::applicationDirPath() + QStringLiteral("/Formatos/");

    m_paginas = new QTabWidget(this);

    // Página "Impresora"
    auto *pImpresora = new QWidget;
    m_cbImpresora = new QComboBox;
    m_cbImpresora->setEditable(false);
    m_bPropiedades = new QPushButton(QStringLiteral("&Propiedades"));
    m_lEstado = new QLabel;
    m_lTipo = new QLabel;
    m_lUbicacion = new QLabel;
    m_lComentario = new QLabel;
    m_eForma = new QLineEdit;
    m_eForma->setReadOnly(true);
    m_nota = new QPlainTextEdit;
    m_nota->setFixedHeight(70);
    m_bLimpiar = new QPushButton(QStringLiteral("Limpiar"));

    auto *filaImpresora = new QHBoxLayout;
    filaImpresora->addWidget(m_cbImpresora, 1);
    filaImpresora->addWidget(m_bPropiedades);
    auto *lNombre = new QLabel(QStringLiteral("&Nombre:"));
    lNombre->setBuddy(m_cbImpresora);
    auto *form = new QFormLayout(pImpresora);
    form->addRow(lNombre, filaImpresora);
    form->addRow(QStringLiteral("Estado:"), m_lEstado);
    form->addRow(QStringLiteral("Tipo:"), m_lTipo);
    form->addRow(QStringLiteral("Ubicación:"), m_lUbicacion);
    form->addRow(QStringLiteral("Comentario:"), m_lComentario);
    form->addRow(QStringLiteral("Forma:"), m_eForma);
    auto *filaNota = new QHBoxLayout;
    filaNota->addWidget(m_nota, 1);
    filaNota->addWidget(m_bLimpiar, 0, Qt::AlignTop);
    form->addRow(QStringLiteral("Nota general:"), filaNota);
    m_paginas->addTab(pImpresora, QStringLiteral("Impresora"));

    // Página "Forma"
    auto *pForma = new QWidget;
    m_mForma = std::make_unique<MemTable>(QStringLiteral("mForma"));
    m_mForma->agregaCampo(QStringLiteral("Nombre"), TipoCampo::Texto, 100);
    m_mForma->abre();
    m_modeloFormas = new MemTableModelo(m_mForma.get(), this);
    m_modeloFormas->ponColumnas({{QStringLiteral("Nombre"), QStringLiteral("Nombre"), false, {}}});
    m_gFormas = new QTableView;
    m_gFormas->setModel(m_modeloFormas);
    m_gFormas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gFormas->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_gFormas->setSelectionMode(QAbstractItemView::SingleSelection);
    m_gFormas->horizontalHeader()->setStretchLastSection(true);
    m_gFormas->verticalHeader()->hide();
    m_modeloFormas->enlazaSeleccion(m_gFormas->selectionModel());
    auto *layForma = new QVBoxLayout(pForma);
    layForma->addWidget(new QLabel(QStringLiteral("Seleccione la forma en la que desea imprimir:")));
    layForma->addWidget(m_gFormas);
    m_paginas->addTab(pForma, QStringLiteral("Forma"));

    m_bDiseno = new QPushButton(QStringLiteral("Diseño"));
    m_bImprimir = new QPushButton(QStringLiteral("Imprimir"));
    m_bVistaPrevia = new QPushButton(QStringLiteral("Vista previa"));
    m_bCancelar = new QPushButton(QStringLiteral("Cancelar"));
    m_bImprimir->setEnabled(false);
    m_bVistaPrevia->setEnabled(false);
    for (QPushButton *b : {m_bDiseno, m_bImprimir, m_bVistaPrevia, m_bCancelar, m_bLimpiar, m_bPropiedades})
        b->setAutoDefault(false);

    auto *botones = new QHBoxLayout;
    botones->addWidget(m_bDiseno);
    botones->addStretch();
    botones->addWidget(m_bImprimir);
    botones->addWidget(m_bVistaPrevia);
    botones->addWidget(m_bCancelar);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(m_paginas);
    lay->addLayout(botones);
    setFixedSize(520, 430);

    // Estado inicial
    m_paginas->setCurrentIndex(0);
    Sesion *s = SesionActual();
    m_bDiseno->setVisible(s && s->esAdministrador());
    ponForma(QString());

    connect(m_cbImpresora, &QComboBox::currentIndexChanged, this, &TfImprimirForma::cambiaImpresora);
    connect(m_bPropiedades, &QPushButton::clicked, this, [this] {
        if (m_cbImpresora->currentText().isEmpty())
            return;
        QPrinter impresora;
        impresora.setPrinterName(m_cbImpresora->currentText());
        QPrintDialog d(&impresora, this);
        EjecutaDialogo(d);
    });
    connect(m_bLimpiar, &QPushButton::clicked, m_nota, &QPlainTextEdit::clear);
    connect(m_bImprimir, &QPushButton::clicked, this, &TfImprimirForma::bImprimirClick);
    connect(m_bVistaPrevia, &QPushButton::clicked, this, &TfImprimirForma::bVistaPreviaClick);
    connect(m_bDiseno, &QPushButton::clicked, this, &TfImprimirForma::bDisenoClick);
    connect(m_bCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_paginas, &QTabWidget::currentChanged, this, [this](int i) {
        if (i == 1 && !m_formaElegida)
            tomaFormaDeLista();
    });
    connect(m_gFormas->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_paginas->currentIndex() == 1)
            tomaFormaDeLista();
    });
    connect(m_gFormas, &QTableView::doubleClicked, this, [this] { tomaFormaDeLista(); });
    m_eForma->installEventFilter(this);
}

TfImprimirForma::~TfImprimirForma() = default;

void TfImprimirForma::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_mostrado) {
        m_mostrado = true;
        FormShow();
    }
}

void TfImprimirForma::FormShow()
{
    const QStringList impresoras = NombresImpresoras();
    {
        QSignalBlocker b(m_cbImpresora);
        m_cbImpresora->clear();
        m_cbImpresora->addItems(impresoras);
    }
    if (!impresoras.isEmpty()) {
        const int i = m_cbImpresora->findText(ImpresoraActual());
        m_cbImpresora->setCurrentIndex(i >= 0 ? i : 0);
        cambiaImpresora();
    }
    CargaFormas();
}

bool TfImprimirForma::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_eForma && e->type() == QEvent::MouseButtonPress && !m_formaElegida)
        m_paginas->setCurrentIndex(1);
    return QDialog::eventFilter(o, e);
}

void TfImprimirForma::cambiaImpresora()
{
    g_impresoraActual = m_cbImpresora->currentText();
    DatosImpresora();
}

void TfImprimirForma::DatosImpresora()
{
    const QString nombre = m_cbImpresora->currentText();
    for (const ::DatosImpresora &d : ListaImpresoras()) {
        if (d.nombre != nombre)
            continue;
        m_lEstado->setText(d.estadoTexto);
        m_lTipo->setText(d.marcaModelo);
        m_lUbicacion->setText(d.ubicacion);
        m_lComentario->setText(d.descripcion);
        return;
    }
    for (QLabel *l : {m_lEstado, m_lTipo, m_lUbicacion, m_lComentario})
        l->clear();
}

void TfImprimirForma::CargaFormas()
{
    QString guardada;
    if (Sesion *s = SesionActual()) {
        try {
            s->registro().ValorRegistro(Sistema, Ventana, s->UsuarioActual, QStringLiteral("Forma"), guardada, true);
        } catch (const ErrorFb &e) {
            Mensaje(QStringLiteral("Error al leer la última forma:\r") + e.texto(), TituloAviso(), MsjError);
        }
    }
    m_mForma->cierra();
    m_mForma->abre();
    QDir().mkpath(m_carpetaFmt);
    const QStringList archivos = QDir(m_carpetaFmt).entryList({QStringLiteral("*.fr3")}, QDir::Files, QDir::Name);
    m_mForma->suspendeAvisos();
    for (const QString &a : archivos) {
        m_mForma->agrega();
        m_mForma->asigna(QStringLiteral("Nombre"), a.left(a.size() - 4));
        m_mForma->graba();
    }
    m_mForma->reanudaAvisos();
    m_mForma->primero();
    if (!EstaVacio(guardada))
        ponForma(guardada);
}

QStringList TfImprimirForma::formas() const
{
    QStringList r;
    for (int i = 0; i < m_mForma->cantidad(); ++i)
        r << m_mForma->valorEn(i, 0).toString();
    return r;
}

void TfImprimirForma::tomaFormaDeLista()
{
    if (m_mForma->cantidad() == 0 || m_mForma->recno() < 0)
        return;
    ponForma(m_mForma->texto(QStringLiteral("Nombre")));
}

void TfImprimirForma::ponForma(const QString &nombre)
{
    m_formaElegida = !nombre.isEmpty();
    QPalette pal = m_eForma->palette();
    pal.setColor(QPalette::Text, m_formaElegida ? palette().color(QPalette::Text) : QColor(Qt::gray));
    m_eForma->setPalette(pal);
    m_eForma->setText(m_formaElegida ? nombre : kSinForma);
    m_bImprimir->setEnabled(m_formaElegida);
    m_bVistaPrevia->setEnabled(m_formaElegida);
}

QString TfImprimirForma::forma() const
{
    return m_formaElegida ? m_eForma->text() : QString();
}

void TfImprimirForma::GuardaForma()
{
    Sesion *s = SesionActual();
    if (!s)
        return;
    QString v = forma();
    try {
        s->registro().ValorRegistro(Sistema, Ventana, s->UsuarioActual, QStringLiteral("Forma"), v, false);
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Error al guardar la forma:\r") + e.texto(), TituloAviso(), MsjError);
    }
}

void TfImprimirForma::PasaNotaGeneral()
{
    if (!m_tablaNota || !m_tablaNota->activa() || m_tablaNota->indiceCampo(QStringLiteral("Nota_General")) < 0)
        return;
    const QString nota = m_nota->toPlainText();
    m_tablaNota->suspendeAvisos();
    for (m_tablaNota->primero(); !m_tablaNota->eof(); m_tablaNota->siguiente()) {
        m_tablaNota->edita();
        m_tablaNota->asigna(QStringLiteral("Nota_General"), nota);
        m_tablaNota->graba();
    }
    m_tablaNota->reanudaAvisos();
}

QString TfImprimirForma::rutaForma() const
{
    return m_carpetaFmt + forma() + QStringLiteral(".fr3");
}

bool TfImprimirForma::cargaInforme()
{
    m_informe->vacia();
    const QString ruta = rutaForma();
    if (!QFileInfo::exists(ruta)) {
        // Una forma guardada que ya no existe no imprime un informe vacío en silencio
        Mensaje(QStringLiteral("No se encontró la forma \"") + forma() + QStringLiteral("\" en la carpeta ") +
                    QDir::toNativeSeparators(m_carpetaFmt),
                TituloAviso(), MsjAdvertencia);
        return false;
    }
    if (!m_informe->carga(ruta)) {
        Mensaje(m_informe->error(), TituloAviso(), MsjError);
        return false;
    }
    m_informe->ponDatos(m_datos);
    return true;
}

void TfImprimirForma::bVistaPreviaClick()
{
    PasaNotaGeneral();
    GuardaForma();
    bool bien;
    {
        CursorEspera espera;
        bien = cargaInforme();
    }
    if (bien)
        m_informe->vistaPrevia(this, m_cbImpresora->currentText());
}

void TfImprimirForma::bImprimirClick()
{
    PasaNotaGeneral();
    GuardaForma();
    {
        CursorEspera espera;
        if (!cargaInforme())
            return;
        if (!m_informe->imprime(m_cbImpresora->currentText())) {
            QApplication::restoreOverrideCursor();
            Mensaje(QStringLiteral("No fue posible imprimir:\r") + m_informe->error(), TituloAviso(), MsjError);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            return;
        }
    }
    accept();
}

void TfImprimirForma::bDisenoClick()
{
    PasaNotaGeneral();
    // Sin forma elegida el diseñador empieza una nueva en la carpeta de formas
    const QString ruta = forma().isEmpty() ? m_carpetaFmt + QStringLiteral("Nueva forma.fr3") : rutaForma();
    if (g_abridor)
        g_abridor(ruta, m_datos, this);
    else
        DisenaForma(ruta, m_datos, this);
    // El diseñador pudo crear formas: se vuelve a leer la lista sin perder la elegida
    const QString elegida = forma();
    CargaFormas();
    if (!elegida.isEmpty())
        ponForma(elegida);
}
