#include "SesionPrueba.h"

#include "Entorno.h"

#include "db/InstaladorEsquema.h"
#include "db/Registro.h"
#include "db/fbError.h"

namespace SesionPrueba {

QString instalaEsquema(const QString &baseEmpresa, const QString &configBd)
{
    try {
        Conexion emp(baseEmpresa, Entorno::usuario(), Entorno::clave());
        emp.conecta();
        Transaccion upd(emp);
        CacheRegistro cache;
        RegistroAjustes reg(emp, upd, cache);
        std::unique_ptr<Conexion> cfg;
        std::unique_ptr<Transaccion> cfgTrans;
        if (!configBd.isEmpty()) {
            cfg = std::make_unique<Conexion>(configBd, Entorno::usuario(), Entorno::clave());
            cfg->conecta();
            cfgTrans = std::make_unique<Transaccion>(*cfg);
        }
        InstaladorEsquema inst(emp, upd, reg, cfg.get(), cfgTrans.get());
        QStringList bitacora;
        inst.setBitacora([&](const QString &t) { bitacora << t; });
        if (inst.ejecuta() != InstaladorEsquema::Resultado::Instalado)
            return QStringLiteral("esquema incompleto: ") + inst.faltantes().join(QLatin1Char(',')) +
                   QLatin1Char('\n') + bitacora.join(QLatin1Char('\n'));
        return {};
    } catch (const ErrorFb &e) {
        return e.texto();
    }
}

std::unique_ptr<Sesion> abre(const ErpPrueba::Erp &erp, const Opciones &opciones, QString *error)
{
    auto falla = [&](const QString &t) {
        if (error)
            *error = t;
        return std::unique_ptr<Sesion>();
    };
    if (!erp.ok)
        return falla(QStringLiteral("ERP no creado: ") + erp.error);
    if (opciones.esquema) {
        const QString e = instalaEsquema(erp.empresaBd(opciones.empresa), erp.configBd());
        if (!e.isEmpty())
            return falla(e);
    }
    const QString usuario = opciones.usuario.isEmpty() ? Entorno::usuario() : opciones.usuario;
    const QString clave = opciones.usuario.isEmpty() ? Entorno::clave() : opciones.clave;
    auto s = std::make_unique<Sesion>();
    s->ponTerminador([] {});
    try {
        for (Conexion *c : {&s->fbConfig, &s->fbMetadatos, &s->fbDatabase})
            PonParametrosErp(*c, usuario, clave);
        s->fbConfig.setBase(erp.configBd());
        s->fbMetadatos.setBase(erp.metadatosBd());
        s->fbDatabase.setBase(erp.empresaBd(opciones.empresa));
        s->fbConfig.conecta();
        s->fbMetadatos.conecta();
        s->fbDatabase.conecta();
        s->userid = usuario;
        s->UsuarioActual = usuario.toUpper();
        s->Empresa = erp.empresas.value(opciones.empresa);
        Consulta q(s->fbConfig, s->fbConfigTrans);
        q.setSql(QStringLiteral("select empresa_id from empresas where nombre_corto=:n"));
        q.asigna(QStringLiteral("n"), s->Empresa);
        q.ejecuta();
        s->EmpresaID = q.eof() ? 0 : int(q.campo(0).entero());
        q.cierra();
        s->NomEmp = s->Empresa;
        if (s->esAdministrador())
            s->Permisos.fill(65535);
        s->Permisos[0] = 1;
    } catch (const ErrorFb &e) {
        return falla(e.texto());
    }
    PonSesionActual(s.get());
    return s;
}

} // namespace SesionPrueba
