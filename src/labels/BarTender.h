#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

// Salida al programa de etiquetas BarTender: archivo de datos y línea de órdenes.

// Número en formato general: sin separador de miles ni ceros de sobra, hasta 15 cifras, punto decimal
QString NumeroGeneral(double valor);
// Valor de un campo de la línea: nulo -> vacío, números en formato general, texto tal cual
QString CampoBarTender(const QVariant &valor);

// Línea del lote: clave, cantidad, precios 1..N, [localización,] artículo
QString LineaBarTender(const QString &clave, qint64 cantidad, const QVariantList &precios, const QString &articulo,
                       bool noRegistrados, const QString &localizacion = {});
// Línea del cambio de precios: clave, nombre, línea, último costo, existencia, cantidad
QString LineaBarTenderCambio(const QString &clave, const QString &nombre, const QString &linea, const QVariant &costo,
                             const QVariant &existencia, const QVariant &cantidad);

// Contenido del archivo: Windows-1252, cada línea (también la última) con CR LF, sin encabezado
QByteArray ContenidoBarTender(const QStringList &lineas);
// Escribe el archivo de nuevo; false con el error del sistema
bool EscribeArchivoBarTender(const QString &ruta, const QStringList &lineas, QString &error);

// Formatos *.btw de la carpeta, sin extensión (vacía si la carpeta no existe)
QStringList FormatosBarTender(const QString &carpeta);
// El formato guardado si está en la lista; si no, el primero; vacío sin formatos
QString EligeFormato(const QStringList &formatos, const QString &guardado);

// Argumentos: /f="<carpeta><formato>.btw" seguido de los parámetros
QString ArgumentosBarTender(const QString &carpetaFmt, const QString &formato, const QString &parametros);
QStringList ListaArgumentosBarTender(const QString &carpetaFmt, const QString &formato, const QString &parametros);

// Arranca BarTender sin esperar, en la carpeta del programa. false si no arrancó.
bool EjecutaBarTender(const QString &programa, const QString &carpetaFmt, const QString &formato,
                      const QString &parametros);
