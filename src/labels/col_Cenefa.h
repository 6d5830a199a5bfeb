#pragma once

#include "app/MForm.h"
#include "db/MemTable.h"
#include "db/MemTableModelo.h"
#include "labels/LoteEtiquetas.h"

#include <memory>
#include <vector>

class ComboMarcas;
class MemTable;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QTableView;
class QToolButton;
class Sesion;

// Modelo de la rejilla del lote: cada columna decide si se edita en cada momento
class ModeloLote : public MemTableModelo
{
    Q_OBJECT
public:
    using MemTableModelo::MemTableModelo;
    std::function<bool(int columna)> editable;
    int primeraCentrada = 7; // desde aquí los títulos van centrados

    Qt::ItemFlags flags(const QModelIndex &indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
};

// Columnas fijas de la rejilla
enum ColumnaLote { ColImprimir = 0, ColClave, ColArticulo, ColEtiquetas, ColDescuento, ColPuntos, ColExtra };

// "Imprimir etiquetas" (módulo 90): el lote de artículos con sus etiquetas y precios
class Tfcol_Cenefa : public TMForm
{
    Q_OBJECT
public:
    explicit Tfcol_Cenefa(QWidget *padre = nullptr);
    ~Tfcol_Cenefa() override;

    LoteEtiquetas &lote() { return *m_lote; }
    MemTable &mArt() { return m_lote->mArt(); }
    MemTable &mArtImp() { return m_lote->mArtImp(); }
    MemTable &mArts() { return m_lote->mArts(); }

    // Altas de renglones (las usan también las demás fuentes de artículos)
    bool AgregaArticulo(const QString &clave, int id, int cantidad);
    bool AgregaNoRegistrado(const QString &clave, const QString &nombre, const QString &extra, const QString &cantidad);
    int BuscaIdPorClave(const QString &clave);

    // Arranque (corre una vez, al mostrarse la ventana)
    void FormShow();
    // Campos dinámicos y sus columnas
    void ArmaCampos();
    // "Nuevo"
    void LimpiaLote();
    // Casilla "Artículos no registrados."
    void CambiaModo(bool sinRegistro);
    // Menú de la rejilla
    void SeleccionaTodo();
    void QuitaSeleccion();
    void InvierteSeleccion();
    // Enter en la caja de la clave
    void ClaveEnter();
    // Regla de edición de los precios en el renglón actual
    void AplicaReglaPrecio();
    bool precioEditable(int n) const; // columna del precio n (1..N)

    int LastPrecIndex = -1;

    // Controles (públicos para las pruebas y las demás partes del módulo)
    QToolButton *bNuevo = nullptr;
    QLineEdit *vClave = nullptr;
    QToolButton *bBuscar = nullptr;
    QToolButton *bArticulos = nullptr;
    ComboMarcas *cbPrecio = nullptr;
    ComboMarcas *cbClaves = nullptr;
    QComboBox *cbFormato = nullptr;
    QToolButton *bColectora = nullptr;
    QToolButton *bImprimir = nullptr;
    QToolButton *bHoja = nullptr;       // "Importar" / "Exportar"
    QToolButton *bExcel = nullptr;      // exportación ligada al permiso; nunca se muestra
    QToolButton *bDocumentos = nullptr; // "Texto" / "Inventario"
    QCheckBox *chNoRegistrados = nullptr;
    QTableView *Grid = nullptr;
    ModeloLote *modelo = nullptr;
    QMenu *menuGrid = nullptr;
    QAction *aSeleccionarTodo = nullptr;
    QAction *aQuitarSeleccion = nullptr;
    QAction *aInvertirSeleccion = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void Buscar();
    void NoDisponible();
    void CierraPrecio();
    void CierraClaves();
    void CambiaEstructura(); // listas o roles cambiados: campos nuevos y lote vacío
    void AplicaVisibilidad();
    void ponColumnas();
    void agregaRenglonEscrito();     // renglón nuevo en modo sin registro, cursor en Clave
    void recorreSeleccion(int modo); // 0 todo, 1 nada, 2 invierte
    void revisaDescuento(int posicion);
    bool enterEnRejilla();
    void LlenaFormatos();

    Sesion *m_sesion;
    std::unique_ptr<LoteEtiquetas> m_lote;
    bool m_iniciada = false;
    bool m_cerrando = false;
    bool m_verDescuento = false;
    std::vector<bool> m_precioEditable;
};

// Para la tabla de módulos de la ventana principal (módulo 90)
TMForm *CreaCol_Cenefa(QWidget *padre);
