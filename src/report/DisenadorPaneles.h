#pragma once

#include "report/DisenadorDocumento.h"
#include "report/FuenteDatos.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

// Panel de propiedades del objeto elegido. Todo cambio pasa por el documento.
class DisenadorPropiedades : public QWidget
{
    Q_OBJECT
public:
    DisenadorPropiedades(DisenadorDocumento &doc, QWidget *padre = nullptr);
    void ponCampos(const QStringList &campos);
    void refresca();

    // Para pruebas y para la ventana
    QPlainTextEdit *editorTexto() const { return m_texto; }
    QComboBox *selectorCampo() const { return m_campo; }
    QComboBox *selectorFormato() const { return m_formato; }
    QComboBox *selectorBarras() const { return m_tipoBarras; }
    QDoubleSpinBox *editorIzquierda() const { return m_x; }
    QComboBox *selectorDato() const { return m_dato; }
    QCheckBox *casillaMuestraTexto() const { return m_muestraTexto; }
    // Pone la expresión del campo en el texto (memo) o como dato (código)
    void insertaCampo(const QString &campo);

private:
    void cambia(const QString &clave, const std::function<void(Vista &)> &f);
    void cambiaGeometria();
    void eligeColor(bool fuente);

    DisenadorDocumento &m_doc;
    bool m_refrescando = false;
    QLabel *m_titulo = nullptr;
    QGroupBox *m_gGeometria = nullptr, *m_gTexto = nullptr, *m_gFuente = nullptr, *m_gBarras = nullptr,
              *m_gMarco = nullptr, *m_gImagen = nullptr;
    QDoubleSpinBox *m_x = nullptr, *m_y = nullptr, *m_ancho = nullptr, *m_alto = nullptr;
    class QFormLayout *m_fTexto = nullptr, *m_fMarco = nullptr;
    class QHBoxLayout *m_filaCampo = nullptr;
    QPlainTextEdit *m_texto = nullptr;
    QComboBox *m_campo = nullptr;
    QPushButton *m_inserta = nullptr;
    QComboBox *m_dato = nullptr;
    QFontComboBox *m_fuente = nullptr;
    QDoubleSpinBox *m_puntos = nullptr;
    QCheckBox *m_negrita = nullptr, *m_cursiva = nullptr, *m_ajusta = nullptr;
    QPushButton *m_color = nullptr, *m_relleno = nullptr, *m_colorMarco = nullptr;
    QComboBox *m_alineaH = nullptr, *m_alineaV = nullptr, *m_rotacion = nullptr, *m_formato = nullptr;
    QComboBox *m_tipoBarras = nullptr;
    QCheckBox *m_muestraTexto = nullptr, *m_verificador = nullptr;
    QCheckBox *m_lados[4] = {};
    QDoubleSpinBox *m_anchoMarco = nullptr;
    QComboBox *m_figura = nullptr;
    QPushButton *m_cargaImagen = nullptr;
    QCheckBox *m_estirada = nullptr, *m_proporcion = nullptr;
};

// Ajustes de la página y de las bandas: papel, orientación, márgenes, columnas, alto
class DisenadorPagina : public QWidget
{
    Q_OBJECT
public:
    DisenadorPagina(DisenadorDocumento &doc, QWidget *padre = nullptr);
    void refresca();

    QComboBox *selectorPapel() const { return m_papel; }

private:
    void aplicaPapel();
    void aplicaColumnasPagina();
    void aplicaBanda();

    DisenadorDocumento &m_doc;
    bool m_refrescando = false;
    QComboBox *m_papel = nullptr, *m_orientacion = nullptr, *m_banda = nullptr;
    QDoubleSpinBox *m_anchoPapel = nullptr, *m_altoPapel = nullptr;
    QDoubleSpinBox *m_margen[4] = {};
    QSpinBox *m_colPagina = nullptr, *m_colBanda = nullptr;
    QDoubleSpinBox *m_anchoColPagina = nullptr, *m_espacioColPagina = nullptr;
    QDoubleSpinBox *m_altoBanda = nullptr, *m_anchoColBanda = nullptr, *m_espacioColBanda = nullptr;
    QLabel *m_resumen = nullptr;
    QPushButton *m_quitaBanda = nullptr;
};

// Las primeras filas de un conjunto de datos
class DatosPrimerasFilas : public FuenteDatos
{
public:
    DatosPrimerasFilas(const FuenteDatos *datos, int filas) : m_datos(datos), m_filas(filas) {}
    int numCampos() const override { return m_datos ? m_datos->numCampos() : 0; }
    QString nombreCampo(int campo) const override { return m_datos ? m_datos->nombreCampo(campo) : QString(); }
    int numFilas() const override { return m_datos ? std::min(m_filas, m_datos->numFilas()) : 0; }
    QVariant valor(int fila, int campo) const override { return m_datos ? m_datos->valor(fila, campo) : QVariant(); }

private:
    const FuenteDatos *m_datos;
    int m_filas;
};

// Vista previa viva: la primera hoja con las primeras filas, dibujada por el motor
class DisenadorVistaPrevia : public QWidget
{
    Q_OBJECT
public:
    DisenadorVistaPrevia(DisenadorDocumento &doc, QWidget *padre = nullptr);
    void ponDatos(const FuenteDatos *datos);
    // Dibuja ya (sin esperar al temporizador)
    void actualiza();
    const QImage &imagen() const { return m_imagen; }
    static constexpr int FilasPrevia = 60;

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    DisenadorDocumento &m_doc;
    const FuenteDatos *m_datos = nullptr;
    std::unique_ptr<DatosPrimerasFilas> m_primeras;
    QTimer m_temporizador;
    QImage m_imagen;
    QString m_pie;
};
