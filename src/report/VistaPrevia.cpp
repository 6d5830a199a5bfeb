#include "report/VistaPrevia.h"

#include "report/Informe.h"

#include "common/Dialogos.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>
#include <QVBoxLayout>

VistaPrevia::VistaPrevia(Informe &informe, const QString &impresora, QWidget *padre)
    : QDialog(padre), m_informe(informe), m_impresora(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setWindowTitle(QStringLiteral("Vista previa"));
    if (!impresora.isEmpty() && !QPrinterInfo::printerInfo(impresora).isNull())
        m_impresora->setPrinterName(impresora);
    m_impresora->setFullPage(true);
    const Composicion &c = m_informe.composicion();
    if (!c.paginas.isEmpty()) {
        const Pagina &p = *c.paginas[0].pagina;
        const QSizeF mm(p.anchoPapel.mm(), p.altoPapel.mm());
        const bool horizontal = mm.width() > mm.height();
        m_impresora->setPageLayout(QPageLayout(QPageSize(horizontal ? mm.transposed() : mm, QPageSize::Millimeter, QString(),
                                                         QPageSize::ExactMatch),
                                               horizontal ? QPageLayout::Landscape : QPageLayout::Portrait,
                                               QMarginsF(0, 0, 0, 0)));
    }
    auto *barra = new QToolBar(this);
    m_imprimir = barra->addAction(QStringLiteral("Imprimir"));
    barra->addSeparator();
    m_acercar = barra->addAction(QStringLiteral("Acercar"));
    m_alejar = barra->addAction(QStringLiteral("Alejar"));
    QAction *ancho = barra->addAction(QStringLiteral("Ajustar al ancho"));
    QAction *pagina = barra->addAction(QStringLiteral("Página completa"));
    m_vista = new QPrintPreviewWidget(m_impresora.get(), this);
    connect(m_vista, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *p) { m_informe.imprimeEn(*p); });
    connect(m_acercar, &QAction::triggered, m_vista, [this] { m_vista->zoomIn(); });
    connect(m_alejar, &QAction::triggered, m_vista, [this] { m_vista->zoomOut(); });
    connect(ancho, &QAction::triggered, m_vista, &QPrintPreviewWidget::fitToWidth);
    connect(pagina, &QAction::triggered, m_vista, &QPrintPreviewWidget::fitInView);
    connect(m_imprimir, &QAction::triggered, this, &VistaPrevia::imprime);
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(barra);
    l->addWidget(m_vista);
    resize(900, 700);
}

VistaPrevia::~VistaPrevia() = default;

int VistaPrevia::ejecuta()
{
    m_vista->updatePreview();
    return EjecutaDialogo(*this);
}

void VistaPrevia::imprime()
{
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setPrinterName(m_impresora->printerName());
    impresora.setPageLayout(m_impresora->pageLayout());
    impresora.setFullPage(true);
    QPrintDialog d(&impresora, this);
    d.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (EjecutaDialogo(d) != QDialog::Accepted)
        return;
    m_informe.imprimeEn(impresora);
}
