#include "platform/Impresoras.h"

#include "common/Util.h"

#include <QPrinterInfo>

qint64 EstadoWindows(QPrinter::PrinterState estado)
{
    switch (estado) {
    case QPrinter::Idle:
        return 0;
    case QPrinter::Active:
        return 1024;
    case QPrinter::Aborted:
        return 4; // trabajo cancelado: pendiente de borrar
    case QPrinter::Error:
        return 2;
    }
    return 8388608; // desconocido
}

DatosImpresora DatosDeImpresora(const QPrinterInfo &info)
{
    DatosImpresora d;
    d.nombre = info.printerName();
    d.estado = EstadoWindows(info.state());
    d.estadoTexto = EstadoImpresora(d.estado);
    d.marcaModelo = info.makeAndModel();
    d.ubicacion = info.location();
    d.descripcion = info.description();
    d.predeterminada = info.isDefault();
    return d;
}

QList<DatosImpresora> ListaImpresoras()
{
    QList<DatosImpresora> r;
    for (const QPrinterInfo &info : QPrinterInfo::availablePrinters())
        r << DatosDeImpresora(info);
    return r;
}

QStringList NombresImpresoras()
{
    return QPrinterInfo::availablePrinterNames();
}

QString ImpresoraPredeterminada()
{
    return QPrinterInfo::defaultPrinterName();
}

bool ExisteImpresora(const QString &nombre)
{
    return !nombre.isEmpty() && NombresImpresoras().contains(nombre, Qt::CaseInsensitive);
}
