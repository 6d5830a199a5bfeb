#pragma once

#include "app/MForm.h"
#include "config/AjustesEtiquetas.h"

#include <memory>

class CampoArchivo;
class ComboLista;
class ComboMarcas;
class DelegadoCaptura;
class ModeloCaptura;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class RejillaCaptura;
class Sesion;

// Ventana de configuración (módulo 10): ajustes de etiquetas, colectora y cambio de precios.
// Abre en modo consulta; "Modificar" pasa a edición y "Guardar y cerrar" guarda y cierra.
class TfConfigura : public TMForm
{
    Q_OBJECT
public:
    explicit TfConfigura(Sesion &sesion, QWidget *padre = nullptr);
    ~TfConfigura() override;

    AjustesEtiquetas &ajustes() { return *m_ajustes; }
    bool modoEdicion() const;

    // Apertura (la primera vez que se muestra)
    void FormShow();
    void bSaveClick();
    void bEditClick();
    // Valores de los controles
    ValoresConfigura valoresControles() const;

    // Barra
    QToolButton *bSave = nullptr;
    QToolButton *bEdit = nullptr;
    QTabWidget *Paginas = nullptr;
    QWidget *tsGeneral = nullptr;
    QWidget *tsAdicional = nullptr;
    QWidget *tsCambiaPrecios = nullptr;

    // General
    ComboMarcas *vListaPrecios = nullptr;
    ComboLista *vMoneda1 = nullptr;
    QCheckBox *chModifP1 = nullptr;
    QCheckBox *chPrecio = nullptr;
    QCheckBox *chPromo = nullptr;
    QCheckBox *ChPreciosModif = nullptr;
    CampoArchivo *vExe = nullptr;
    QSpinBox *vCOM = nullptr;
    QLineEdit *vAddress = nullptr;
    QGroupBox *gBarTender = nullptr; // oculto
    CampoArchivo *vBarExe2 = nullptr;
    QLineEdit *vBarParam2 = nullptr;
    CampoArchivo *vBarText2 = nullptr;
    CampoArchivo *btFormaros = nullptr;
    QRadioButton *rCom = nullptr;
    QRadioButton *rBar = nullptr;

    // Etiquetas adicional
    QLineEdit *vExcelClave = nullptr;
    QLineEdit *vExcelNombre = nullptr;
    QLineEdit *vExcelUnidades = nullptr;
    QSpinBox *vExcelRenglon = nullptr;
    ComboLista *vRol = nullptr;
    ComboLista *cmClavealt = nullptr; // oculto y deshabilitado
    ComboMarcas *vListaClaves = nullptr;
    QCheckBox *chklistaClaves = nullptr;
    ComboMarcas *vCamposPart = nullptr;
    ComboLista *vAlmacenLoc = nullptr;

    // Cambia precios
    QLineEdit *vFolio = nullptr;
    QLineEdit *vExcelClaveCP = nullptr;
    QLineEdit *vExcelCostoCP = nullptr;
    QSpinBox *vExcelRenglonCP = nullptr;
    QLineEdit *vExcelListaCP = nullptr; // oculto, ni se carga ni se guarda
    RejillaCaptura *cxGridDB2 = nullptr;
    QCheckBox *chDescArtsCostoCero = nullptr;
    QCheckBox *chkMarckup = nullptr;
    QCheckBox *ChkActmark = nullptr;
    QRadioButton *ram = nullptr;
    QRadioButton *rDm = nullptr;

    // Rejilla: Enter avanza; en edición, entrar con la tabla vacía agrega un renglón
    void teclaEnterRejilla();
    void entraRejilla();
    void agregaRenglon();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QWidget *creaGeneral();
    QWidget *creaAdicional();
    QWidget *creaCambiaPrecios();
    void aplicaModo(bool edicion);
    void ponColumnas(bool edicion);
    void rComClick();
    void rBarClick();
    void ponValores(const ValoresConfigura &v);

    Sesion &m_sesion;
    std::unique_ptr<AjustesEtiquetas> m_ajustes;
    ModeloCaptura *m_modelo = nullptr;
    DelegadoCaptura *m_delegado = nullptr;
    bool m_abierta = false;
};

// Fábrica del módulo 10 para la tabla de módulos de la ventana principal (sesión actual)
TMForm *CreaConfigura(QWidget *padre);
