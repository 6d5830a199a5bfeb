#pragma once

#include "platform/PerfilesErp.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class Conexion;
class Consulta;
class Sesion;
class TfEmpresas;

// Diálogo de conexión: usuario, perfil de conexión del ERP y contraseña.
// Al aceptar conecta Config.fdb, elige y conecta la empresa, recuerda el último acceso
// y conecta Metadatos.fdb.
class TfConecta : public QDialog
{
    Q_OBJECT
public:
    TfConecta(Sesion &sesion, FuentePerfiles fuente, QWidget *padre = nullptr);
    ~TfConecta() override;

    bool ConectaSistema(Conexion &base, bool metadatos);
    void GuardaUltimoAcceso();
    // Crea o actualiza una fila del árbol registry de Config.fdb; devuelve su id
    int NodoMicrosip(const QString &nombre, int padreId, QChar tipo, const QString &valor, bool siempre);

    // La empresa recordada para el usuario (vacía si no hay)
    QString empresaRecordada() const { return m_empresaRecordada; }
    // Empresas ofrecidas en el último ConectaSistema(fbConfig)
    QStringList empresasOfrecidas() const { return m_empresas; }

    QLineEdit *eUsuario() const { return m_eUsuario; }
    QComboBox *cbConexion() const { return m_cbConexion; }
    QLineEdit *eClave() const { return m_eClave; }
    QPushButton *bAceptar() const { return m_bAceptar; }
    QPushButton *bCancelar() const { return m_bCancelar; }

    void bAceptarClick();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void FormShow();
    void actualizaAceptar();
    const PerfilConexion *perfilElegido() const;

    Sesion &m_s;
    FuentePerfiles m_fuente;
    QLineEdit *m_eUsuario;
    QComboBox *m_cbConexion;
    QLineEdit *m_eClave;
    QPushButton *m_bAceptar;
    QPushButton *m_bCancelar;
    QString m_empresaRecordada;
    QStringList m_empresas;
    bool m_mostrado = false;
    std::unique_ptr<Consulta> m_qNodo, m_qNodoId, m_qNodoGuarda; // NodoMicrosip
};

// Muestra el diálogo de conexión con los perfiles del sistema; true si quedó todo conectado
bool DialogoConecta(Sesion &sesion, QWidget *padre);

// Nombre de la empresa para mostrar, leído de la base de la empresa; "" si no hay
QString LeeNomEmp(Sesion &sesion);
