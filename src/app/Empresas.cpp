#include "app/Empresas.h"

#include <QCollator>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TfEmpresas::TfEmpresas(QWidget *padre) : QDialog(padre)
{
    setWindowTitle(QStringLiteral("Seleccione una empresa"));
    auto *etiqueta = new QLabel(QStringLiteral("&Seleccione la empresa con la que desea trabajar:"), this);
    m_lista = new QListWidget(this);
    etiqueta->setBuddy(m_lista);
    m_bAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_bCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_bAceptar->setDefault(false);
    m_bCancelar->setAutoDefault(false);

    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(m_bAceptar);
    botones->addWidget(m_bCancelar);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(etiqueta);
    lay->addWidget(m_lista);
    lay->addLayout(botones);
    resize(380, 320);

    connect(m_bAceptar, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_bCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lista, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_bAceptar->isEnabled())
            m_bAceptar->click();
    });
    m_lista->installEventFilter(this);
}

void TfEmpresas::ponEmpresas(const QStringList &nombres, const QString &recordada)
{
    QStringList orden = nombres;
    QCollator col;
    col.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(orden.begin(), orden.end(), [&](const QString &a, const QString &b) { return col.compare(a, b) < 0; });
    m_lista->clear();
    m_lista->addItems(orden);
    m_recordada = recordada;
    FormShow();
}

QString TfEmpresas::empresa() const
{
    const QListWidgetItem *i = m_lista->currentItem();
    return i ? i->text() : QString();
}

void TfEmpresas::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TfEmpresas::FormShow()
{
    m_lista->setFocus();
    m_bAceptar->setEnabled(m_lista->count() > 0);
    if (!m_recordada.isEmpty()) {
        const auto hay = m_lista->findItems(m_recordada, Qt::MatchExactly);
        if (!hay.isEmpty())
            m_lista->setCurrentItem(hay.first());
    }
    if (!m_lista->currentItem() && m_lista->count() > 0)
        m_lista->setCurrentRow(0);
}

bool TfEmpresas::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_lista && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(e)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            if (m_bAceptar->isEnabled())
                m_bAceptar->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}
