#include "labels/BarTender.h"

#include "common/Moneda.h"
#include "db/fbTexto.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QString NumeroGeneral(double valor)
{
    QString t = QString::number(valor, 'g', 15);
    if (t == QLatin1String("-0"))
        t = QStringLiteral("0");
    return t;
}

QString CampoBarTender(const QVariant &valor)
{
    if (!valor.isValid() || valor.isNull())
        return {};
    if (valor.userType() == qMetaTypeId<Moneda>())
        return NumeroGeneral(valor.value<Moneda>().aDouble());
    switch (valor.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return NumeroGeneral(valor.toDouble());
    default:
        return valor.toString();
    }
}

QString LineaBarTender(const QString &clave, qint64 cantidad, const QVariantList &precios, const QString &articulo,
                       bool noRegistrados, const QString &localizacion)
{
    QStringList campos{clave, QString::number(cantidad)};
    for (const QVariant &p : precios)
        campos << CampoBarTender(p);
    if (noRegistrados)
        campos << localizacion;
    campos << articulo;
    return campos.join(QLatin1Char(','));
}

QString LineaBarTenderCambio(const QString &clave, const QString &nombre, const QString &linea, const QVariant &costo,
                             const QVariant &existencia, const QVariant &cantidad)
{
    return QStringList{clave, nombre, linea, CampoBarTender(costo), CampoBarTender(existencia), CampoBarTender(cantidad)}
        .join(QLatin1Char(','));
}

QByteArray ContenidoBarTender(const QStringList &lineas)
{
    QByteArray r;
    for (const QString &l : lineas) {
        r += FbTexto::aCp1252(l);
        r += "\r\n";
    }
    return r;
}

bool EscribeArchivoBarTender(const QString &ruta, const QStringList &lineas, QString &error)
{
    QSaveFile f(ruta);
    if (!f.open(QIODevice::WriteOnly)) {
        error = f.errorString();
        return false;
    }
    f.write(ContenidoBarTender(lineas));
    if (!f.commit()) {
        error = f.errorString();
        return false;
    }
    return true;
}

QStringList FormatosBarTender(const QString &carpeta)
{
    QStringList r;
    // La carpeta puede venir con "\" de Windows
    const QString local = QDir::fromNativeSeparators(carpeta);
    if (carpeta.isEmpty() || !QFileInfo(local).isDir())
        return r;
    for (const QString &a : QDir(local).entryList({QStringLiteral("*.btw")}, QDir::Files, QDir::Name))
        r << a.left(a.size() - 4);
    return r;
}

QString EligeFormato(const QStringList &formatos, const QString &guardado)
{
    if (formatos.contains(guardado))
        return guardado;
    return formatos.value(0);
}

QString ArgumentosBarTender(const QString &carpetaFmt, const QString &formato, const QString &parametros)
{
    return QStringLiteral("/f=\"") + carpetaFmt + formato + QStringLiteral(".btw\" ") + parametros;
}

QStringList ListaArgumentosBarTender(const QString &carpetaFmt, const QString &formato, const QString &parametros)
{
    QStringList r{QStringLiteral("/f=\"") + carpetaFmt + formato + QStringLiteral(".btw\"")};
    r << parametros.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return r;
}

bool EjecutaBarTender(const QString &programa, const QString &carpetaFmt, const QString &formato,
                      const QString &parametros)
{
    if (programa.trimmed().isEmpty())
        return false;
    const QString carpeta = QFileInfo(QDir::fromNativeSeparators(programa)).absolutePath();
    return EjecutaPrograma(programa, ListaArgumentosBarTender(carpetaFmt, formato, parametros), false, carpeta) == 0;
}
