#pragma once

#include <QDialog>

#include <memory>

class Informe;
class QPrinter;
class QPrintPreviewWidget;
class QAction;

// Vista previa de un informe: imprimir y zoom. Se ejecuta con EjecutaDialogo.
class VistaPrevia : public QDialog
{
    Q_OBJECT
public:
    VistaPrevia(Informe &informe, const QString &impresora = {}, QWidget *padre = nullptr);
    ~VistaPrevia() override;

    int ejecuta();
    QPrintPreviewWidget *vista() const { return m_vista; }
    QAction *accionImprimir() const { return m_imprimir; }
    QAction *accionAcercar() const { return m_acercar; }
    QAction *accionAlejar() const { return m_alejar; }
    // Imprime en la impresora elegida en el diálogo de impresión
    void imprime();

private:
    Informe &m_informe;
    std::unique_ptr<QPrinter> m_impresora;
    QPrintPreviewWidget *m_vista = nullptr;
    QAction *m_imprimir = nullptr, *m_acercar = nullptr, *m_alejar = nullptr;
};
