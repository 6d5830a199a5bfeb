#include "common/ExportaGrid.h"

#include "common/Dialogos.h"
#include "common/Escritorio.h"
#include "common/Mensaje.h"
#include "common/Moneda.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLocale>
#include <QTableView>
#include <QTreeView>
#include <QWidget>

#include <xlsxwriter.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// libxlsxwriter usa zipOpen de minizip, y QuaZip (con el que se leen libros) exporta
// funciones con los mismos nombres pero otra firma: en un mismo espacio de enlace gana
// la que se cargó primero y el programa se cae. Por eso se carga aparte con dlmopen,
// en su propio espacio, donde sólo ve su minizip.
struct LibXlsx
{
#define ETQ_FUNCION(nombre) decltype(&::nombre) nombre = nullptr;
    ETQ_FUNCION(workbook_new_opt)
    ETQ_FUNCION(workbook_add_worksheet)
    ETQ_FUNCION(workbook_add_format)
    ETQ_FUNCION(workbook_close)
    ETQ_FUNCION(format_set_bold)
    ETQ_FUNCION(format_set_num_format)
    ETQ_FUNCION(worksheet_set_column)
    ETQ_FUNCION(worksheet_write_string)
    ETQ_FUNCION(worksheet_write_number)
    ETQ_FUNCION(worksheet_write_boolean)
    ETQ_FUNCION(worksheet_write_datetime)
    ETQ_FUNCION(lxw_strerror)
#undef ETQ_FUNCION
    QString error; // vacío si quedó cargada
};

LibXlsx cargaLibXlsx()
{
    LibXlsx l;
    const char *nombre = "libxlsxwriter.so." LXW_SOVERSION;
    void *h = dlmopen(LM_ID_NEWLM, nombre, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        l.error = QStringLiteral("No se pudo cargar %1: %2")
                      .arg(QString::fromLatin1(nombre), QString::fromLocal8Bit(dlerror()));
        return l;
    }
    bool completa = true;
    auto busca = [&](auto &puntero, const char *simbolo) {
        puntero = reinterpret_cast<std::remove_reference_t<decltype(puntero)>>(dlsym(h, simbolo));
        if (!puntero && completa) {
            completa = false;
            l.error = QStringLiteral("Falta %1 en %2").arg(QString::fromLatin1(simbolo), QString::fromLatin1(nombre));
        }
    };
#define ETQ_BUSCA(nombre) busca(l.nombre, #nombre);
    ETQ_BUSCA(workbook_new_opt)
    ETQ_BUSCA(workbook_add_worksheet)
    ETQ_BUSCA(workbook_add_format)
    ETQ_BUSCA(workbook_close)
    ETQ_BUSCA(format_set_bold)
    ETQ_BUSCA(format_set_num_format)
    ETQ_BUSCA(worksheet_set_column)
    ETQ_BUSCA(worksheet_write_string)
    ETQ_BUSCA(worksheet_write_number)
    ETQ_BUSCA(worksheet_write_boolean)
    ETQ_BUSCA(worksheet_write_datetime)
    ETQ_BUSCA(lxw_strerror)
#undef ETQ_BUSCA
    return l; // la biblioteca queda cargada mientras viva el programa
}

const LibXlsx &libXlsx()
{
    static const LibXlsx l = cargaLibXlsx();
    return l;
}

constexpr int MaxFilas = 1048576;
constexpr int MaxColumnas = 16384;
constexpr int MaxTexto = 32767;

struct CierraLibro
{
    void operator()(lxw_workbook *l) const
    {
        if (l)
            libXlsx().workbook_close(l);
    }
};

bool esNumero(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

lxw_datetime aLxw(const QDateTime &f)
{
    lxw_datetime d{};
    d.year = f.date().year();
    d.month = f.date().month();
    d.day = f.date().day();
    d.hour = f.time().hour();
    d.min = f.time().minute();
    d.sec = f.time().second() + f.time().msec() / 1000.0;
    return d;
}

QString textoError(lxw_error e)
{
    return QString::fromUtf8(libXlsx().lxw_strerror(e));
}

} // namespace

QString NombreLibroXlsx(const QString &elegido)
{
    // Sólo en el nombre del archivo, no en las carpetas
    const qsizetype barra = std::max(elegido.lastIndexOf(QLatin1Char('/')), elegido.lastIndexOf(QLatin1Char('\\')));
    QString nombre = elegido.mid(barra + 1);
    nombre.remove(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    nombre.remove(QLatin1String(".xls"), Qt::CaseInsensitive);
    return elegido.left(barra + 1) + nombre + QLatin1String(".xlsx");
}

namespace {

// Formato numérico de lo que muestra la rejilla: "1,234.50" -> #,##0.00; "$12.5" -> "$"0.0
struct FormatoMostrado
{
    int decimales = -1; // -1: sin formato propio
    bool miles = false;
    bool moneda = false;

    QByteArray codigo() const
    {
        QByteArray c;
        if (moneda)
            c += "\"$\"";
        c += miles ? "#,##0" : "0";
        if (decimales > 0)
            c += '.' + QByteArray(decimales, '0');
        return c;
    }
};

FormatoMostrado formatoDe(const QVariant &mostrado, double valor)
{
    if (mostrado.typeId() != QMetaType::QString)
        return {};
    QString t = mostrado.toString().trimmed();
    FormatoMostrado f;
    f.moneda = t.contains(QLatin1Char('$'));
    f.miles = t.contains(QLatin1Char(','));
    t.remove(QLatin1Char('$'));
    t.remove(QLatin1Char(','));
    t.remove(QLatin1Char(' '));
    bool ok = false;
    const double leido = QLocale::c().toDouble(t, &ok);
    if (!ok || t.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return {};
    const qsizetype punto = t.indexOf(QLatin1Char('.'));
    const int decimales = punto < 0 ? 0 : int(t.size() - punto - 1);
    // Sólo cuando lo mostrado es el mismo valor redondeado a esos decimales
    const double tolerancia = 0.5 * std::pow(10.0, -decimales) + 1e-9 * std::max(1.0, std::fabs(valor));
    if (decimales > 10 || std::fabs(leido - valor) > tolerancia)
        return {};
    if (decimales == 0 && !f.miles && !f.moneda)
        return {};
    f.decimales = decimales;
    return f;
}

// Filas en el orden de la rejilla, con los grupos (hijos) expandidos
void recogeFilas(const QAbstractItemModel &modelo, const QModelIndex &padre, QList<QModelIndex> &filas)
{
    const int n = modelo.rowCount(padre);
    for (int f = 0; f < n; ++f) {
        const QModelIndex i = modelo.index(f, 0, padre);
        filas << i;
        if (modelo.hasChildren(i))
            recogeFilas(modelo, i, filas);
    }
}

// Columnas visibles de la vista en su orden en pantalla
QList<int> columnasVisibles(const QAbstractItemView &vista)
{
    const QHeaderView *encabezado = nullptr;
    if (auto *tabla = qobject_cast<const QTableView *>(&vista))
        encabezado = tabla->horizontalHeader();
    else if (auto *arbol = qobject_cast<const QTreeView *>(&vista))
        encabezado = arbol->header();
    QList<int> r;
    if (!encabezado || !vista.model())
        return r; // todas
    for (int visual = 0; visual < encabezado->count(); ++visual) {
        const int logica = encabezado->logicalIndex(visual);
        if (logica >= 0 && !encabezado->isSectionHidden(logica))
            r << logica;
    }
    return r;
}

QString &ultimaCarpeta()
{
    static QString carpeta; // como el diálogo compartido: recuerda dónde se guardó la última vez
    return carpeta;
}

} // namespace

QString EscribeLibroXlsx(const QAbstractItemModel &modelo, const QString &ruta, const QList<int> &columnasPedidas)
{
    QList<int> columnas;
    if (columnasPedidas.isEmpty()) {
        for (int c = 0; c < modelo.columnCount(); ++c)
            columnas << c;
    } else {
        for (int c : columnasPedidas)
            if (c >= 0 && c < modelo.columnCount())
                columnas << c;
    }
    if (columnas.size() > MaxColumnas)
        columnas.resize(MaxColumnas);
    QList<QModelIndex> filas;
    recogeFilas(modelo, {}, filas);
    if (filas.size() + 1 > MaxFilas)
        return QStringLiteral("La hoja admite %1 renglones y la tabla tiene %2").arg(MaxFilas - 1).arg(filas.size());

    const LibXlsx &x = libXlsx();
    if (!x.error.isEmpty())
        return x.error;
    const QByteArray rutaLocal = QFile::encodeName(ruta);
    lxw_workbook_options opciones{};
    opciones.constant_memory = LXW_TRUE; // sin cargar todo en memoria para tablas grandes
    opciones.tmpdir = nullptr;
    std::unique_ptr<lxw_workbook, CierraLibro> libro(x.workbook_new_opt(rutaLocal.constData(), &opciones));
    if (!libro)
        return QStringLiteral("No se pudo crear el libro %1").arg(ruta);
    lxw_worksheet *hoja = x.workbook_add_worksheet(libro.get(), nullptr);
    lxw_format *negrita = x.workbook_add_format(libro.get());
    x.format_set_bold(negrita);
    lxw_format *formatoFecha = x.workbook_add_format(libro.get());
    x.format_set_num_format(formatoFecha, "dd/mm/yyyy");
    lxw_format *formatoFechaHora = x.workbook_add_format(libro.get());
    x.format_set_num_format(formatoFechaHora, "dd/mm/yyyy hh:mm:ss");
    QHash<QByteArray, lxw_format *> formatosNumero;
    auto formatoNumero = [&](const QByteArray &codigo) {
        lxw_format *&f = formatosNumero[codigo];
        if (!f) {
            f = x.workbook_add_format(libro.get());
            x.format_set_num_format(f, codigo.constData());
        }
        return f;
    };

    lxw_error error = LXW_NO_ERROR;
    auto anota = [&error](lxw_error e) {
        if (error == LXW_NO_ERROR && e != LXW_NO_ERROR && e != LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
            error = e;
    };
    auto escribeTexto = [&](int f, int c, QString t, lxw_format *formato) {
        if (t.size() > MaxTexto)
            t.truncate(MaxTexto);
        anota(x.worksheet_write_string(hoja, lxw_row_t(f), lxw_col_t(c), t.toUtf8().constData(), formato));
    };

    // El valor (EditRole) manda; lo mostrado da el formato de los números
    auto celda = [&filas](int f, int c) { return filas[f].siblingAtColumn(c); };
    auto valor = [&modelo](const QModelIndex &i) {
        QVariant v = modelo.data(i, Qt::EditRole);
        return v.isValid() ? v : modelo.data(i, Qt::DisplayRole);
    };

    // Con memoria constante los anchos van antes de los renglones: se miden las primeras filas
    const int totalFilas = int(filas.size());
    for (int k = 0; k < columnas.size(); ++k) {
        const int c = columnas[k];
        int ancho = int(modelo.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().size());
        for (int f = 0; f < std::min(totalFilas, 500); ++f) {
            const QModelIndex i = celda(f, c);
            const QVariant v = valor(i);
            const int largo = v.typeId() == QMetaType::QDate       ? 10
                              : v.typeId() == QMetaType::QDateTime ? 19
                                                                   : int(modelo.data(i).toString().size());
            ancho = std::max(ancho, largo);
        }
        anota(x.worksheet_set_column(hoja, lxw_col_t(k), lxw_col_t(k), std::clamp(ancho + 2, 8, 60), nullptr));
    }

    for (int k = 0; k < columnas.size(); ++k)
        escribeTexto(0, k, modelo.headerData(columnas[k], Qt::Horizontal, Qt::DisplayRole).toString(), negrita);
    for (int f = 0; f < totalFilas && error == LXW_NO_ERROR; ++f) {
        const lxw_row_t fila = lxw_row_t(f + 1);
        for (int k = 0; k < columnas.size(); ++k) {
            const QModelIndex i = celda(f, columnas[k]);
            const QVariant v = valor(i);
            const lxw_col_t col = lxw_col_t(k);
            if (!v.isValid() || v.isNull())
                continue;
            const bool esMoneda = v.metaType() == QMetaType::fromType<Moneda>();
            if (v.typeId() == QMetaType::Bool) {
                anota(x.worksheet_write_boolean(hoja, fila, col, v.toBool(), nullptr));
            } else if (esMoneda || esNumero(v)) {
                const double numero = esMoneda ? v.value<Moneda>().aDouble() : v.toDouble();
                FormatoMostrado fm = formatoDe(modelo.data(i, Qt::DisplayRole), numero);
                if (fm.decimales < 0 && esMoneda) {
                    fm.decimales = 2; // importes con dos decimales
                    fm.miles = true;
                }
                lxw_format *formato = fm.decimales < 0 ? nullptr : formatoNumero(fm.codigo());
                anota(x.worksheet_write_number(hoja, fila, col, numero, formato));
            } else if (v.typeId() == QMetaType::QDate && v.toDate().isValid()) {
                lxw_datetime d = aLxw(QDateTime(v.toDate(), QTime(0, 0)));
                anota(x.worksheet_write_datetime(hoja, fila, col, &d, formatoFecha));
            } else if (v.typeId() == QMetaType::QDateTime && v.toDateTime().isValid()) {
                lxw_datetime d = aLxw(v.toDateTime());
                anota(x.worksheet_write_datetime(hoja, fila, col, &d, formatoFechaHora));
            } else {
                const QString t = v.toString();
                if (!t.isEmpty())
                    escribeTexto(int(fila), k, t, nullptr);
            }
        }
    }
    if (error != LXW_NO_ERROR)
        return textoError(error);
    const lxw_error cierre = x.workbook_close(libro.release());
    if (cierre != LXW_NO_ERROR) {
        QString texto = textoError(cierre);
        // La causa del sistema (la biblioteca sólo la escribe en la consola)
        QFile prueba(ruta);
        const bool existia = prueba.exists();
        if (!prueba.open(QIODevice::ReadWrite))
            texto += QStringLiteral("\r") + prueba.errorString();
        else if (!existia)
            prueba.remove();
        return texto;
    }
    return {};
}

bool ExportaGrid(QAbstractItemModel *modelo, QWidget *padre, const QList<int> &columnas)
{
    const QString elegido = PideArchivoGuardar(padre, QStringLiteral("Guardar"), ultimaCarpeta(),
                                               QStringLiteral("Archivos de excel (*.xlsx)"), QStringLiteral("xlsx"));
    if (elegido.isEmpty())
        return false;
    const QString ruta = NombreLibroXlsx(elegido);
    QString error;
    if (!modelo)
        error = QStringLiteral("No hay datos que exportar");
    else
        error = EscribeLibroXlsx(*modelo, ruta, columnas);
    if (!error.isEmpty()) {
        Mensaje(QStringLiteral("No fue posible crear el documento, verifique que no esté abierto y que tenga permisos "
                               "de escritura\r\r") +
                    error,
                TituloAviso(), MsjError);
        return false;
    }
    ultimaCarpeta() = QFileInfo(ruta).absolutePath();
    // Como la acción "abrir" del escritorio: si no hay programa para el libro, el libro ya quedó escrito
    AbreArchivo(ruta);
    return true;
}

bool ExportaGrid(QAbstractItemView *vista)
{
    if (!vista)
        return ExportaGrid(static_cast<QAbstractItemModel *>(nullptr), nullptr);
    return ExportaGrid(vista->model(), vista->window(), columnasVisibles(*vista));
}
