#include "ErpPrueba.h"

#include "Entorno.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

namespace ErpPrueba {

QString Erp::conexion(const QString &archivo) const
{
    return servidor ? Entorno::enServidor(archivo) : archivo;
}

Erp crea(const Opciones &opciones)
{
    Erp erp;
    erp.servidor = opciones.servidor;
    erp.carpeta = Entorno::rutaNueva(QStringLiteral("erp"), QString()) + QLatin1Char('/');
    erp.empresas = opciones.empresas.isEmpty()
                       ? QStringList{QStringLiteral("Ferreteria_Demo"), QStringLiteral("Papeleria_Centro")}
                       : opciones.empresas;
    erp.config = erp.carpeta + QStringLiteral("System/Config.fdb");
    erp.metadatos = erp.carpeta + QStringLiteral("System/Metadatos.fdb");
    for (const QString &e : erp.empresas)
        erp.archivosEmpresa << erp.carpeta + e + QStringLiteral(".fdb");

    QStringList args{Entorno::fuentes() + QStringLiteral("/erp/crea_erp.sh"), erp.carpeta,
                     QStringLiteral("--params-precio"), QString::number(opciones.paramsPrecio),
                     QStringLiteral("--empresas"), erp.empresas.join(QLatin1Char(',')),
                     QStringLiteral("--rapido")};
    if (opciones.servidor)
        args << QStringLiteral("--servidor") << Entorno::servidor();
    if (opciones.demo)
        args << QStringLiteral("--demo");
    if (opciones.articulos > 0)
        args << QStringLiteral("--articulos") << QString::number(opciones.articulos);
    if (!opciones.usuarios)
        args << QStringLiteral("--sin-usuarios");

    QProcess p;
    // La clave va por el entorno, no en la línea de órdenes
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("ISC_USER"), Entorno::usuario());
    entorno.insert(QStringLiteral("ISC_PASSWORD"), Entorno::clave());
    p.setProcessEnvironment(entorno);
    p.start(QStringLiteral("bash"), args);
    if (!p.waitForFinished(-1)) {
        erp.error = QStringLiteral("no se pudo ejecutar crea_erp.sh: ") + p.errorString();
        return erp;
    }
    erp.salida = QString::fromUtf8(p.readAllStandardOutput());
    erp.error = QString::fromUtf8(p.readAllStandardError());
    erp.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!erp.ok && erp.error.isEmpty())
        erp.error = QStringLiteral("crea_erp.sh terminó con código %1").arg(p.exitCode());
    return erp;
}

} // namespace ErpPrueba
