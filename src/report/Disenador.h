#pragma once

#include "report/DisenadorDocumento.h"
#include "report/DisenadorLienzo.h"

#include <QDialog>
#include <QHash>

class FuenteDatos;
class QAction;
class QComboBox;
class QLabel;
class QMainWindow;
class QTabWidget;
class DisenadorPropiedades;
class DisenadorPagina;
class DisenadorVistaPrevia;

// Diseñador de formas ("Diseño"): la hoja a escala, herramientas, propiedades, página,
// vista previa con las primeras filas y guardado del .fr3. Se ejecuta con EjecutaDialogo.
class TfDisenador : public QDialog
{
    Q_OBJECT
public:
    // 'ruta' vacía o inexistente: forma nueva que se guarda en esa ruta.
    // 'datos' da los campos del selector y las filas de la vista previa (no se adueña de ellos).
    TfDisenador(const QString &ruta, const FuenteDatos *datos, QWidget *padre = nullptr);
    ~TfDisenador() override;

    DisenadorDocumento &documento() { return m_doc; }
    DisenadorLienzo *lienzo() const { return m_lienzo; }
    DisenadorPropiedades *propiedades() const { return m_propiedades; }
    DisenadorPagina *paginaAjustes() const { return m_pagina; }
    DisenadorVistaPrevia *vistaPrevia() const { return m_previa; }
    QAction *accion(const QString &nombre) const { return m_acciones.value(nombre); }
    const QString &errorCarga() const { return m_errorCarga; }
    // Guarda en la ruta abierta (o pregunta una); false si no se guardó
    bool guarda();
    bool guardaComo();
    // true si se guardó al menos una vez
    bool guardado() const { return m_guardado; }

    QTabWidget *pestanas() const { return m_pestanas; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    QAction *agregaAccion(const QString &nombre, const QString &texto, const QIcon &icono, const QKeySequence &atajo = {});
    void construyeBarras();
    void actualizaAcciones();
    void actualizaTitulo();

    DisenadorDocumento m_doc;
    const FuenteDatos *m_datos;
    QString m_ruta;
    QString m_errorCarga;
    bool m_guardado = false;
    bool m_mostrada = false;
    QMainWindow *m_ventana = nullptr;
    DisenadorLienzo *m_lienzo = nullptr;
    DisenadorPropiedades *m_propiedades = nullptr;
    DisenadorPagina *m_pagina = nullptr;
    DisenadorVistaPrevia *m_previa = nullptr;
    QTabWidget *m_pestanas = nullptr;
    QLabel *m_posicion = nullptr;
    QLabel *m_estado = nullptr;
    QComboBox *m_paginas = nullptr;
    QAction *m_accionPaginas = nullptr;
    QHash<QString, QAction *> m_acciones;
};

// Abre el diseñador sobre la forma 'ruta' con los campos de 'datos' (alias frxDBDataset).
// Devuelve true si el usuario guardó la forma.
bool DisenaForma(const QString &ruta, const FuenteDatos *datos, QWidget *padre = nullptr);
