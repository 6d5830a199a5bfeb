#include "app/DrawingPanel.h"

#include <QPainter>

#include <cmath>

TDrawingPanel::TDrawingPanel(QWidget *padre) : QWidget(padre), m_fondo(FondoPredeterminado())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDrawingPanel::ponFondo(const QPixmap &fondo)
{
    m_fondo = fondo;
    update();
}

void TDrawingPanel::ponNomEmp(const QString &nombre)
{
    m_nomEmp = nombre;
    update();
}

int TDrawingPanel::mosaico(int ventana, int imagen)
{
    if (imagen <= 0)
        return 1;
    // Redondeo al par más cercano, más uno
    return int(std::nearbyint(double(ventana) / double(imagen))) + 1;
}

QPixmap TDrawingPanel::FondoPredeterminado()
{
    // Azulejo de 96 x 96 sin costuras: color plano con un enrejado diagonal tenue
    QPixmap px(96, 96);
    px.fill(QColor(0xe6, 0xea, 0xef));
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(QPointF(0, 0), QPointF(96, 96));
    p.setPen(QPen(QColor(176, 186, 199, 60), 1));
    p.drawLine(QPointF(96, 0), QPointF(0, 96));
    return px;
}

void TDrawingPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_fondo.isNull()) {
        p.fillRect(rect(), palette().window());
    } else {
        // Filas y columnas según el tamaño de la ventana principal
        const QWidget *v = window();
        const int filas = mosaico(v->height(), m_fondo.height());
        const int columnas = mosaico(v->width(), m_fondo.width());
        for (int f = 0; f < filas; ++f)
            for (int c = 0; c < columnas; ++c)
                p.drawPixmap(c * m_fondo.width(), f * m_fondo.height(), m_fondo);
    }
    if (m_nomEmp.isEmpty())
        return;
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(26);
    p.setFont(f);
    p.setBackgroundMode(Qt::TransparentMode);
    const QRect area(0, 0, width() * 4, height());
    p.setPen(QColor(0xc0, 0xc0, 0xc0));
    p.drawText(area.translated(11, 11), Qt::AlignLeft | Qt::AlignTop, m_nomEmp);
    p.setPen(Qt::black);
    p.drawText(area.translated(10, 10), Qt::AlignLeft | Qt::AlignTop, m_nomEmp);
}
