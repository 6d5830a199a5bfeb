#pragma once

#include <QComboBox>
#include <QList>
#include <QStringList>

class QStandardItemModel;

// Lista desplegable con casillas: se marcan varios elementos y al cerrarse avisa.
// Muestra los nombres marcados separados por comas, o el texto de vacío.
class ListaConMarcas : public QComboBox
{
    Q_OBJECT
public:
    ListaConMarcas(const QString &textoVacio, QWidget *padre = nullptr);

    struct Elemento
    {
        int id = 0;
        QString nombre;
        bool marcado = false;
    };
    void ponElementos(const QList<Elemento> &elementos);
    int cantidad() const;
    int id(int fila) const;
    QString nombre(int fila) const;
    bool marcado(int fila) const;
    void ponMarcado(int fila, bool marcado);
    QList<int> idsMarcados() const; // en el orden de la lista
    QStringList nombresMarcados() const;
    QString texto() const; // lo que muestra cerrada

    // Sólo lectura: las casillas no cambian y cerrar no avisa
    void ponSoloLectura(bool soloLectura);
    bool soloLectura() const { return m_soloLectura; }

    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void cerrada();

protected:
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    QStandardItemModel *m_modelo;
    QString m_textoVacio;
    bool m_soloLectura = false;
    bool m_abierta = false;
};
