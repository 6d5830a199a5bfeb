#include "report/FuenteDatos.h"

#include "db/MemTable.h"
#include "db/fbTexto.h"

#include <QFile>
#include <QStringDecoder>

int FuenteDatos::indiceCampo(const QString &nombre) const
{
    const int n = numCampos();
    for (int i = 0; i < n; ++i)
        if (nombreCampo(i).compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList FuenteDatos::nombresCampos() const
{
    QStringList r;
    for (int i = 0; i < numCampos(); ++i)
        r << nombreCampo(i);
    return r;
}

int DatosMemTable::numCampos() const { return m_tabla.numCampos(); }
QString DatosMemTable::nombreCampo(int campo) const { return m_tabla.campos().value(campo).nombre; }
int DatosMemTable::numFilas() const { return m_tabla.activa() ? m_tabla.cantidad() : 0; }
QVariant DatosMemTable::valor(int fila, int campo) const { return m_tabla.valorEn(fila, campo); }

QVariant DatosTabla::valor(int fila, int campo) const
{
    if (fila < 0 || fila >= int(m_filas.size()))
        return {};
    return m_filas[std::size_t(fila)].value(campo);
}

bool LeeCsvDeBytes(const QByteArray &bytes, DatosTabla &tabla, QString &error)
{
    QByteArray datos = bytes;
    if (datos.startsWith("\xEF\xBB\xBF"))
        datos.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(datos);
    if (utf8.hasError())
        texto = FbTexto::deCp1252(datos);
    if (texto.trimmed().isEmpty()) {
        error = QStringLiteral("El archivo de datos está vacío: falta la línea de encabezado.");
        return false;
    }
    // Separador: el más frecuente fuera de comillas en la primera línea
    QChar sep = QLatin1Char(',');
    {
        int comas = 0, puntoycoma = 0, tabs = 0;
        bool comillas = false;
        for (QChar c : texto) {
            if (c == QLatin1Char('"'))
                comillas = !comillas;
            else if (!comillas && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
                break;
            else if (!comillas && c == QLatin1Char(','))
                ++comas;
            else if (!comillas && c == QLatin1Char(';'))
                ++puntoycoma;
            else if (!comillas && c == QLatin1Char('\t'))
                ++tabs;
        }
        if (tabs > comas && tabs >= puntoycoma)
            sep = QLatin1Char('\t');
        else if (puntoycoma > comas)
            sep = QLatin1Char(';');
    }
    QList<QStringList> filas;
    QStringList fila;
    QString campo;
    bool comillas = false, hayAlgo = false;
    int linea = 1, lineaComilla = 0;
    const int n = int(texto.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = texto[i];
        if (comillas) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && texto[i + 1] == QLatin1Char('"')) {
                    campo += c;
                    ++i;
                } else {
                    comillas = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++linea;
                campo += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && campo.isEmpty()) {
            comillas = true;
            lineaComilla = linea;
            hayAlgo = true;
        } else if (c == sep) {
            fila << campo;
            campo.clear();
            hayAlgo = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && texto[i + 1] == QLatin1Char('\n'))
                ++i;
            ++linea;
            if (hayAlgo || !campo.isEmpty()) {
                fila << campo;
                filas << fila;
            }
            fila.clear();
            campo.clear();
            hayAlgo = false;
        } else {
            campo += c;
            hayAlgo = true;
        }
    }
    if (comillas) {
        error = QStringLiteral("El archivo de datos tiene comillas sin cerrar desde la línea %1.").arg(lineaComilla);
        return false;
    }
    if (hayAlgo || !campo.isEmpty()) {
        fila << campo;
        filas << fila;
    }
    if (filas.isEmpty()) {
        error = QStringLiteral("El archivo de datos está vacío: falta la línea de encabezado.");
        return false;
    }
    QStringList campos = filas.takeFirst();
    for (QString &c : campos)
        c = c.trimmed();
    tabla = DatosTabla(campos);
    for (const QStringList &f : filas) {
        QVariantList v;
        v.reserve(campos.size());
        for (int i = 0; i < campos.size(); ++i)
            v << (i < f.size() ? QVariant(f[i]) : QVariant(QString()));
        tabla.agregaFila(std::move(v));
    }
    return true;
}

bool LeeCsv(const QString &ruta, DatosTabla &tabla, QString &error)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("No se pudo abrir el archivo de datos %1: %2").arg(ruta, f.errorString());
        return false;
    }
    return LeeCsvDeBytes(f.readAll(), tabla, error);
}
