#pragma once

#include "db/fbConexion.h"
#include "db/fbTransaccion.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// Ventana "Acceso al sistema": otro usuario se identifica con su propia contraseña
// conectándose a la base de la empresa con una conexión propia.
class TfAcceso : public QDialog
{
    Q_OBJECT
public:
    explicit TfAcceso(const QString &baseEmpresa, QWidget *padre = nullptr);
    ~TfAcceso() override;

    // Usuario fijo y de sólo lectura
    void fijaUsuario(const QString &usuario);

    QLineEdit *eUsuario() const { return m_usuario; }
    QLineEdit *eClave() const { return m_clave; }
    QPushButton *bAceptar() const { return m_bAceptar; }
    QPushButton *bCancelar() const { return m_bCancelar; }

    // Tras aceptar: el usuario que se conectó y su conexión
    bool conectado() const { return m_conexion.conectada(); }
    QString usuario() const { return m_usuarioConectado; }
    // ACCESO de su fila de tlv_permisos para el módulo (0 sin fila); lanza ErrorFb
    quint32 accesoModulo(int modulo);

    void bAceptarClick();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    QString m_base;
    Conexion m_conexion;
    Transaccion m_trans{m_conexion};
    QString m_usuarioConectado;
    QLineEdit *m_usuario;
    QLineEdit *m_clave;
    QPushButton *m_bAceptar;
    QPushButton *m_bCancelar;
};
