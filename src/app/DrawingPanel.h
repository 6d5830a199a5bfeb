#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

// Panel del área cliente de la ventana principal: fondo en mosaico y el nombre de la
// empresa. Las ventanas de los módulos son sus hijas.
class TDrawingPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TDrawingPanel(QWidget *padre = nullptr);

    void ponFondo(const QPixmap &fondo);
    const QPixmap &fondo() const { return m_fondo; }
    void ponNomEmp(const QString &nombre);
    QString NomEmp() const { return m_nomEmp; }

    // Filas y columnas del mosaico para una ventana de alto x ancho
    static int mosaico(int ventana, int imagen);
    // Dibujo de fondo predeterminado (mosaico claro)
    static QPixmap FondoPredeterminado();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPixmap m_fondo;
    QString m_nomEmp;
};
