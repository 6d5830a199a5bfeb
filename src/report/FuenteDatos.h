#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class MemTable;

// Conjunto de datos que lee una forma: campos con nombre y filas.
class FuenteDatos
{
public:
    virtual ~FuenteDatos() = default;
    virtual int numCampos() const = 0;
    virtual QString nombreCampo(int campo) const = 0;
    virtual int numFilas() const = 0;
    virtual QVariant valor(int fila, int campo) const = 0;

    // Índice del campo sin distinguir mayúsculas; -1 si no existe
    int indiceCampo(const QString &nombre) const;
    QStringList nombresCampos() const;
};

// Las filas visibles de una tabla en memoria, en su orden actual
class DatosMemTable : public FuenteDatos
{
public:
    explicit DatosMemTable(const MemTable &tabla) : m_tabla(tabla) {}
    int numCampos() const override;
    QString nombreCampo(int campo) const override;
    int numFilas() const override;
    QVariant valor(int fila, int campo) const override;

private:
    const MemTable &m_tabla;
};

// Tabla simple de valores (la usan el lector de CSV y las pruebas)
class DatosTabla : public FuenteDatos
{
public:
    DatosTabla() = default;
    explicit DatosTabla(QStringList campos) : m_campos(std::move(campos)) {}
    void ponCampos(const QStringList &campos) { m_campos = campos; }
    void agregaFila(QVariantList valores) { m_filas.push_back(std::move(valores)); }
    void vacia() { m_filas.clear(); }

    int numCampos() const override { return int(m_campos.size()); }
    QString nombreCampo(int campo) const override { return m_campos.value(campo); }
    int numFilas() const override { return int(m_filas.size()); }
    QVariant valor(int fila, int campo) const override;

private:
    QStringList m_campos;
    std::vector<QVariantList> m_filas;
};

// CSV con una línea de encabezado (separador ",", ";" o tabulador, el que use el encabezado),
// comillas dobles al estilo RFC 4180, UTF-8 o Windows-1252.
bool LeeCsv(const QString &ruta, DatosTabla &tabla, QString &error);
bool LeeCsvDeBytes(const QByteArray &bytes, DatosTabla &tabla, QString &error);
