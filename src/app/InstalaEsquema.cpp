// Instala el esquema del complemento en las empresas de una carpeta de datos del ERP.
// Uso: etiquetas-esquema CARPETA [usuario clave]
#include "db/InstaladorEsquema.h"
#include "db/Registro.h"
#include "db/fbConexion.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"
#include "db/fbTransaccion.h"
#include "platform/PerfilesErp.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream salida(stdout);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        salida << "Uso: etiquetas-esquema CARPETA_DE_DATOS [usuario clave]\n";
        return 2;
    }
    QString db = args[1];
    if (!db.endsWith(QLatin1Char('/')))
        db += QLatin1Char('/');
    const QString usuario = args.value(2, QStringLiteral("SYSDBA"));
    const QString clave = args.value(3);
    int errores = 0;
    try {
        Conexion config(RutaSistema(db, QStringLiteral("Config.fdb")), usuario, clave, QStringLiteral("USUARIO_MICROSIP"));
        config.conecta();
        Transaccion tc(config);
        Consulta q(config, tc);
        q.setSql(QStringLiteral("select nombre_corto from empresas order by nombre_corto"));
        QStringList empresas;
        for (q.ejecuta(); !q.eof(); q.siguiente())
            empresas << q.campo(0).texto();
        q.cierra();
        tc.confirma();
        for (const QString &empresa : empresas) {
            Conexion c(RutaEmpresa(db, empresa), usuario, clave, QStringLiteral("USUARIO_MICROSIP"));
            c.conecta();
            Transaccion t(c);
            CacheRegistro cache;
            RegistroAjustes reg(c, t, cache);
            InstaladorEsquema inst(c, t, reg, &config, &tc);
            inst.setBitacora([&](const QString &l) { salida << empresa << ": " << l << '\n'; salida.flush(); });
            if (inst.ejecuta() != InstaladorEsquema::Resultado::Instalado)
                ++errores;
        }
    } catch (const ErrorFb &e) {
        salida << "Error " << e.codigo() << ": " << e.texto() << '\n';
        return 1;
    }
    return errores ? 1 : 0;
}
