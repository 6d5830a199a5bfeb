#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

// Ventana de presentación: sin borde, centrada; se cierra sola un segundo después de
// mostrarse. Los clics no la cierran.
class TfPresentacion : public QDialog
{
    Q_OBJECT
public:
    explicit TfPresentacion(QWidget *padre = nullptr);

    QLabel *lVersion() const { return m_version; }
    QTimer &tCierre() { return m_timer; }

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void reject() override;

private:
    QLabel *m_version;
    QTimer m_timer;
    bool m_cerrando = false;
};

// Muestra la presentación en forma modal (EjecutaDialogo)
void MuestraPresentacion(QWidget *padre);
