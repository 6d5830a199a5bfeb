#include "app/MForm.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDate>
#include <QDateEdit>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>

TMForm::TMForm(QWidget *padre) : QWidget(padre)
{
    MainMenu = new QMenuBar(this);
    MainMenu->hide();
    setAttribute(Qt::WA_DeleteOnClose);
}

TMForm::~TMForm()
{
    DestroyOnce = true;
}

void TMForm::DoFiltroChange(QObject *)
{
}

void TMForm::DoIt(const QString &)
{
}

void TMForm::Inicializa()
{
    if (QScreen *pantalla = QGuiApplication::primaryScreen()) {
        const int ancho = pantalla->availableGeometry().width();
        if (ancho > 0 && ancho < width())
            resize(ancho, height());
    }
    const QDate hoy = QDate::currentDate();
    const QDate primero(hoy.year(), hoy.month(), 1);
    for (QDateEdit *f : findChildren<QDateEdit *>()) {
        const int tag = f->property("Tag").toInt();
        if (tag == 1)
            f->setDate(primero);
        else if (tag == 2)
            f->setDate(primero.addMonths(1).addDays(-1));
        else
            f->setDate(hoy);
    }
}

int TMForm::PulsaBotonesF(int n)
{
    int pulsados = 0;
    for (QAbstractButton *b : findChildren<QAbstractButton *>()) {
        const QVariant tag = b->property("Tag");
        if (tag.isValid() && tag.toInt() == -n && b->isEnabled()) {
            b->click();
            ++pulsados;
        }
    }
    return pulsados;
}

void TMForm::keyReleaseEvent(QKeyEvent *e)
{
    const int k = e->key();
    if (k >= Qt::Key_F5 && k <= Qt::Key_F12 && !e->isAutoRepeat()) {
        PulsaBotonesF(5 + (k - Qt::Key_F5));
        e->accept();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TMForm::closeEvent(QCloseEvent *e)
{
    Q_EMIT cerrada(this);
    QWidget::closeEvent(e);
}
