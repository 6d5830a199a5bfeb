#include "common/ExportaGrid.h"

#include "common/Dialogos.h"
#include "common/Escritorio.h"
#include "common/Mensaje.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <xlsxwriter.h>

#include <dlfcn.h>

#include <algorithm>
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
    QString nombre = elegido;
    for (;;) {
        if (nombre.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
            nombre.chop(5);
        else if (nombre.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
            nombre.chop(4);
        else
            break;
    }
    return nombre + QLatin1String(".xlsx");
}

QString EscribeLibroXlsx(const QAbstractItemModel &modelo, const QString &ruta)
{
    const int filas = modelo.rowCount();
    const int columnas = std::min(modelo.columnCount(), MaxColumnas);
    if (filas + 1 > MaxFilas)
        return QStringLiteral("La hoja admite %1 renglones y la tabla tiene %2").arg(MaxFilas - 1).arg(filas);

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

    // Con memoria constante los anchos van antes de los renglones: se miden las primeras filas
    auto valor = [&modelo](int f, int c) {
        const QModelIndex i = modelo.index(f, c);
        QVariant v = modelo.data(i, Qt::EditRole);
        return v.isValid() ? v : modelo.data(i, Qt::DisplayRole);
    };
    for (int c = 0; c < columnas; ++c) {
        int ancho = int(modelo.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().size());
        for (int f = 0; f < std::min(filas, 500); ++f) {
            const QVariant v = valor(f, c);
            const int largo = v.typeId() == QMetaType::QDate       ? 10
                              : v.typeId() == QMetaType::QDateTime ? 19
                                                                   : int(v.toString().size());
            ancho = std::max(ancho, largo);
        }
        anota(x.worksheet_set_column(hoja, lxw_col_t(c), lxw_col_t(c), std::clamp(ancho + 2, 8, 60), nullptr));
    }

    for (int c = 0; c < columnas; ++c)
        escribeTexto(0, c, modelo.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), negrita);
    for (int f = 0; f < filas && error == LXW_NO_ERROR; ++f) {
        const lxw_row_t fila = lxw_row_t(f + 1);
        for (int c = 0; c < columnas; ++c) {
            const QVariant v = valor(f, c);
            const lxw_col_t col = lxw_col_t(c);
            if (!v.isValid() || v.isNull())
                continue;
            if (v.typeId() == QMetaType::Bool) {
                anota(x.worksheet_write_boolean(hoja, fila, col, v.toBool(), nullptr));
            } else if (esNumero(v)) {
                anota(x.worksheet_write_number(hoja, fila, col, v.toDouble(), nullptr));
            } else if (v.typeId() == QMetaType::QDate && v.toDate().isValid()) {
                lxw_datetime d = aLxw(QDateTime(v.toDate(), QTime(0, 0)));
                anota(x.worksheet_write_datetime(hoja, fila, col, &d, formatoFecha));
            } else if (v.typeId() == QMetaType::QDateTime && v.toDateTime().isValid()) {
                lxw_datetime d = aLxw(v.toDateTime());
                anota(x.worksheet_write_datetime(hoja, fila, col, &d, formatoFechaHora));
            } else {
                const QString t = v.toString();
                if (!t.isEmpty())
                    escribeTexto(int(fila), c, t, nullptr);
            }
        }
    }
    if (error != LXW_NO_ERROR)
        return textoError(error);
    const lxw_error cierre = x.workbook_close(libro.release());
    if (cierre != LXW_NO_ERROR)
        return textoError(cierre);
    return {};
}

bool ExportaGrid(QAbstractItemModel *modelo, QWidget *padre)
{
    const QString elegido = PideArchivoGuardar(padre, QStringLiteral("Guardar"), QString(),
                                               QStringLiteral("Archivos de excel (*.xlsx)"), QStringLiteral("xlsx"));
    if (elegido.isEmpty())
        return false;
    const QString ruta = NombreLibroXlsx(elegido);
    QString error;
    if (!modelo)
        error = QStringLiteral("No hay datos que exportar");
    else
        error = EscribeLibroXlsx(*modelo, ruta);
    if (!error.isEmpty()) {
        Mensaje(QStringLiteral("No fue posible crear el documento, verifique que no esté abierto y que tenga permisos "
                               "de escritura\r\r") +
                    error,
                TituloAviso(), MsjError);
        return false;
    }
    // Como la acción "abrir" del escritorio: si no hay programa para el libro, el libro ya quedó escrito
    AbreArchivo(ruta);
    return true;
}
