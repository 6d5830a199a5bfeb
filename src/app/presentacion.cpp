#include "app/presentacion.h"

#include "app/Cinta.h"
#include "common/Dialogos.h"
#include "common/Version.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

TfPresentacion::TfPresentacion(QWidget *padre) : QDialog(padre, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(460, 260);
    setWindowTitle(QStringLiteral("Etiquetas Tolvanas"));
    m_version = new QLabel(QStringLiteral("Versión ") + VersionArchivo(), this);
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(10);
    m_version->setFont(f);
    m_version->setStyleSheet(QStringLiteral("color: #2d3a4a; background: transparent;"));
    m_version->adjustSize();
    m_version->move(width() - m_version->width() - 24, height() - m_version->height() - 18);
    m_timer.setSingleShot(true);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_cerrando = true;
        accept();
    });
}

void TfPresentacion::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (QScreen *p = screen())
        move(p->geometry().center() - rect().center());
    m_timer.start();
}

void TfPresentacion::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0xfd, 0xfd, 0xfe));
    g.setColorAt(1, QColor(0xd9, 0xdf, 0xe7));
    p.fillRect(rect(), g);
    p.setPen(QColor(0x8a, 0x96, 0xa6));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // Franja superior
    QLinearGradient franja(0, 0, width(), 0);
    franja.setColorAt(0, QColor(0x1f, 0x3c, 0x70));
    franja.setColorAt(1, QColor(0x3f, 0x6f, 0xb0));
    p.fillRect(QRect(1, 1, width() - 2, 10), franja);
    // Los dibujos del programa
    p.drawPixmap(28, 48, DibujaIcono(DibujoIcono::Etiqueta, 96));
    p.drawPixmap(112, 96, DibujaIcono(DibujoIcono::Precio, 64));
    // Nombre con sombra: plata y, tres puntos a la izquierda, azul marino
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(22);
    f.setBold(true);
    p.setFont(f);
    const QRect area(190, 70, width() - 200, 90);
    const QString nombre = QStringLiteral("Etiquetas Tolvanas ");
    p.setPen(QColor(0xc0, 0xc0, 0xc0));
    p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, nombre);
    p.setPen(QColor(0x00, 0x00, 0x80));
    p.drawText(area.translated(-3, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, nombre);
    QFont chico(QStringLiteral("Tahoma"));
    chico.setPointSize(9);
    p.setFont(chico);
    p.setPen(QColor(0x50, 0x5a, 0x66));
    p.drawText(QRect(190, 160, width() - 200, 20), Qt::AlignLeft, QStringLiteral("Etiquetas y cambios de precio"));
}

void TfPresentacion::mousePressEvent(QMouseEvent *e)
{
    e->accept(); // un clic no la cierra
}

void TfPresentacion::keyPressEvent(QKeyEvent *e)
{
    e->accept();
}

void TfPresentacion::reject()
{
    // Sólo se cierra con su temporizador
    if (m_cerrando)
        QDialog::reject();
}

void MuestraPresentacion(QWidget *padre)
{
    TfPresentacion p(padre);
    EjecutaDialogo(p);
}
