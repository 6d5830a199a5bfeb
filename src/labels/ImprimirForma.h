#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class FuenteDatos;
class Informe;
class MemTable;
class MemTableModelo;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

// Diálogo "Imprimir": elige impresora y forma (.fr3 de la carpeta Formatos), vista previa,
// impresión sin preguntar y, para el administrador, el diseñador.
class TfImprimirForma : public QDialog
{
    Q_OBJECT
public:
    explicit TfImprimirForma(QWidget *padre = nullptr);
    ~TfImprimirForma() override;

    // Entradas del llamador
    void ponDatos(const FuenteDatos *datos) { m_datos = datos; } // se expone como "frxDBDataset"
    void ponTablaNota(MemTable *mArtImp) { m_tablaNota = mArtImp; } // destino de la nota general
    QString Sistema;
    QString Ventana;
    // Carpeta de las formas (por omisión la carpeta del programa + "Formatos/")
    void ponCarpetaFormas(const QString &carpeta) { m_carpetaFmt = carpeta; }
    QString CarpetaFmt() const { return m_carpetaFmt; }

    void CargaFormas();
    void GuardaForma();
    void PasaNotaGeneral();
    void DatosImpresora();

    void bVistaPreviaClick();
    void bImprimirClick();
    void bDisenoClick();

    // Forma elegida ("" mientras el campo sigue en gris)
    QString forma() const;
    void ponForma(const QString &nombre);
    QStringList formas() const; // nombres de la lista

    QTabWidget *paginas() const { return m_paginas; }
    QComboBox *cbImpresora() const { return m_cbImpresora; }
    QLineEdit *eForma() const { return m_eForma; }
    QPlainTextEdit *mNota() const { return m_nota; }
    QTableView *gFormas() const { return m_gFormas; }
    QPushButton *bImprimir() const { return m_bImprimir; }
    QPushButton *bVistaPrevia() const { return m_bVistaPrevia; }
    QPushButton *bDiseno() const { return m_bDiseno; }
    QPushButton *bLimpiar() const { return m_bLimpiar; }
    QPushButton *bPropiedades() const { return m_bPropiedades; }
    QLabel *lEstado() const { return m_lEstado; }
    QLabel *lTipo() const { return m_lTipo; }
    QLabel *lUbicacion() const { return m_lUbicacion; }
    QLabel *lComentario() const { return m_lComentario; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void FormShow();
    void cambiaImpresora();
    void tomaFormaDeLista();
    bool cargaInforme(); // false (con aviso) si el archivo de la forma no existe
    QString rutaForma() const;

    const FuenteDatos *m_datos = nullptr;
    MemTable *m_tablaNota = nullptr;
    QString m_carpetaFmt;
    std::unique_ptr<MemTable> m_mForma;
    MemTableModelo *m_modeloFormas = nullptr;
    std::unique_ptr<Informe> m_informe;
    bool m_formaElegida = false;
    bool m_mostrado = false;

    QTabWidget *m_paginas;
    QComboBox *m_cbImpresora;
    QPushButton *m_bPropiedades;
    QLabel *m_lEstado, *m_lTipo, *m_lUbicacion, *m_lComentario;
    QLineEdit *m_eForma;
    QPlainTextEdit *m_nota;
    QPushButton *m_bLimpiar;
    QTableView *m_gFormas;
    QPushButton *m_bDiseno, *m_bImprimir, *m_bVistaPrevia, *m_bCancelar;
};

// Impresora actual del programa (la última elegida en el diálogo; al inicio la del sistema)
QString ImpresoraActual();

// Abre el diseñador de formas (lo instala el programa); sin él se avisa que no está disponible
using AbridorDisenador = std::function<void(const QString &rutaForma, const FuenteDatos *datos, QWidget *padre)>;
void PonAbridorDisenador(AbridorDisenador abridor);
