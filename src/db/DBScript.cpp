#include "db/DBScript.h"

#include "common/Mensaje.h"
#include "db/InstaladorEsquema.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTime>
#include <QVBoxLayout>

TfDBScript::TfDBScript(InstaladorEsquema &instalador, QWidget *padre)
    : QDialog(padre)
    , m_instalador(instalador)
{
    setWindowTitle(QStringLiteral("Base de datos"));
    resize(640, 460);
    auto *tabs = new QTabWidget(this);
    auto *pagina = new QWidget(tabs);
    tabs->addTab(pagina, QStringLiteral("Actualizar"));

    auto *aviso = new QLabel(QStringLiteral("Cierre todas las otras sesiones de Microsip y Etiquetas tolvanas que "
                                            "tenga abiertas \r\nantes de actualizar la base de datos"),
                             pagina);
    aviso->setStyleSheet(QStringLiteral("font-weight: bold; color: blue;"));
    aviso->setWordWrap(true);
    m_bActualizar = new QPushButton(QStringLiteral("Actualizar DB"), pagina);
    m_log = new QPlainTextEdit(pagina);
    m_log->setReadOnly(true);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto *lp = new QVBoxLayout(pagina);
    lp->addWidget(aviso);
    lp->addWidget(m_bActualizar, 0, Qt::AlignLeft);
    lp->addWidget(m_log, 1);
    auto *l = new QVBoxLayout(this);
    l->addWidget(tabs);

    m_instalador.setBitacora([this](const QString &t) { Bitacora(t); });
    connect(m_bActualizar, &QPushButton::clicked, this, &TfDBScript::bActualizarClick);
}

void TfDBScript::Bitacora(const QString &texto)
{
    if (texto.isEmpty())
        m_log->appendPlainText(QString());
    else
        m_log->appendPlainText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat) + QStringLiteral(": ")
                               + texto);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfDBScript::bActualizarClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_bActualizar->setEnabled(false);
    InstaladorEsquema::Resultado r = InstaladorEsquema::Resultado::Incompleto;
    try {
        r = m_instalador.ejecuta();
    } catch (const std::exception &e) {
        Bitacora(QString::fromUtf8(e.what()));
    }
    m_bActualizar->setEnabled(true);
    QApplication::restoreOverrideCursor();
    // Una base de una versión posterior no se toca
    if (r == InstaladorEsquema::Resultado::Rechazado)
        Mensaje(QStringLiteral("La base de datos no es compatible, es necesario actualizar el sistema Administración "
                               "Tolvana "),
                TituloAviso(), MsjAdvertencia);
}
