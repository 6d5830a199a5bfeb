#pragma once

#include <QList>
#include <QPrinter>
#include <QString>

class QPrinterInfo;

struct DatosImpresora
{
    QString nombre;
    qint64 estado = 0;   // valor al estilo PRINTER_STATUS_* (ver EstadoWindows)
    QString estadoTexto; // EstadoImpresora(estado)
    QString marcaModelo;
    QString ubicacion;
    QString descripcion;
    bool predeterminada = false;
};

// Estado de Qt al valor de estado de Windows: inactiva 0, imprimiendo 1024, error 2
qint64 EstadoWindows(QPrinter::PrinterState estado);

DatosImpresora DatosDeImpresora(const QPrinterInfo &info);
QList<DatosImpresora> ListaImpresoras();
QStringList NombresImpresoras();
QString ImpresoraPredeterminada(); // vacío si no hay
bool ExisteImpresora(const QString &nombre);
