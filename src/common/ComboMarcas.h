#pragma once

#include <QComboBox>
#include <QList>
#include <QStringList>

class QStandardItemModel;

// Lista desplegable con casillas: se marcan varios elementos sin cerrarla (clic o espacio;
// Intro la cierra). Cerrada muestra los nombres marcados unidos por el separador, o el
// texto de vacío. Al cerrarse avisa con cerrada(), salvo en sólo lectura.
class ComboMarcas : public QComboBox
{
    Q_OBJECT
public:
    struct Elemento
    {
        int id = 0;
        QString nombre;
        bool marcado = false;
    };

    explicit ComboMarcas(QWidget *padre = nullptr);
    ComboMarcas(const QString &textoVacio, const QString &separador, QWidget *padre = nullptr);

    void ponElementos(const QList<Elemento> &elementos);
    void ponElementos(const QStringList &nombres); // sin marcas; el id es la posición
    int cantidad() const;
    int id(int fila) const;
    QString nombre(int fila) const;
    bool marcado(int fila) const;
    void marca(int fila, bool si);
    QList<bool> marcas() const;
    void ponMarcas(const QList<bool> &marcas);
    QList<int> idsMarcados() const; // en el orden de la lista
    QStringList nombresMarcados() const;
    QString texto() const;          // lo que muestra cerrada

    void seleccionaTodo();
    void quitaSeleccion();
    void invierteSeleccion();

    // Sólo lectura: las casillas no cambian con el usuario y cerrar no avisa
    void ponSoloLectura(bool soloLectura);
    bool soloLectura() const { return m_soloLectura; }
    // Menú contextual "&Selecionar todo", "&Quitar selección", "&Invertir selección"
    void ponMenuMarcas(bool si) { m_menu = si; }

    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void marcasCambiadas();
    void cerrada();

protected:
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *objeto, QEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

private:
    void alterna(int fila);
    Qt::ItemFlags banderas() const;

    QStandardItemModel *m_modelo;
    QString m_textoVacio;
    QString m_separador = QStringLiteral(",");
    bool m_soloLectura = false;
    bool m_menu = false;
    bool m_mantener = false; // un clic en una entrada no la cierra
    bool m_abierta = false;  // para avisar sólo al cerrar una lista abierta
};
