#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class InstaladorEsquema;

// Ventana "Base de datos": instala o completa el esquema del complemento con su bitácora.
class TfDBScript : public QDialog
{
    Q_OBJECT
public:
    TfDBScript(InstaladorEsquema &instalador, QWidget *padre = nullptr);

    QPushButton *bActualizar() const { return m_bActualizar; }
    QPlainTextEdit *bitacora() const { return m_log; }
    // Agrega una línea con la hora; un texto vacío agrega una línea vacía
    void Bitacora(const QString &texto);

    void bActualizarClick();

private:
    InstaladorEsquema &m_instalador;
    QPushButton *m_bActualizar;
    QPlainTextEdit *m_log;
};
