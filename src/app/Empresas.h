#pragma once

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;

// Elección de la empresa con la que se trabaja
class TfEmpresas : public QDialog
{
    Q_OBJECT
public:
    explicit TfEmpresas(QWidget *padre = nullptr);

    // Nombres cortos (se ordenan) y la empresa recordada (vacía si no hay)
    void ponEmpresas(const QStringList &nombres, const QString &recordada);
    QString empresa() const; // la seleccionada

    QListWidget *lista() const { return m_lista; }
    QPushButton *bAceptar() const { return m_bAceptar; }
    QPushButton *bCancelar() const { return m_bCancelar; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void FormShow();

    QListWidget *m_lista;
    QPushButton *m_bAceptar;
    QPushButton *m_bCancelar;
    QString m_recordada;
};
