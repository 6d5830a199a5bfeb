#include "app/Permisos.h"

#include "app/Acceso.h"
#include "app/Sesion.h"
#include "common/Dialogos.h"
#include "common/Mensaje.h"

#include <QApplication>

namespace {

ObservadorPermisos &observador()
{
    static ObservadorPermisos f;
    return f;
}

// Filas de tlv_permisos del usuario actual sobre su entrada
void LeeFilas(Sesion &s)
{
    Consulta q(s.fbDatabase, s.fbViewTrans);
    q.setSql(QStringLiteral("select modulo,acceso from tlv_permisos where usuario=:u"));
    q.asigna(QStringLiteral("u"), s.UsuarioActual);
    for (q.ejecuta(); !q.eof(); q.siguiente()) {
        const qint64 modulo = q.campo(0).entero();
        if (modulo >= 0 && modulo < qint64(s.Permisos.size()))
            s.Permisos[std::size_t(modulo)] = quint32(q.campo(1).entero());
    }
    q.cierra();
}

} // namespace

void CargaPermisos(Sesion &s)
{
    s.Permisos.fill(0);
    if (s.esAdministrador())
        s.Permisos.fill(65535);
    else
        LeeFilas(s);
    s.Permisos[0] = 1;
}

void RefrescaPermisos(Sesion &s)
{
    LeeFilas(s);
    if (observador())
        observador()();
}

ObservadorPermisos PonObservadorPermisos(ObservadorPermisos f)
{
    ObservadorPermisos anterior = std::move(observador());
    observador() = std::move(f);
    return anterior;
}

quint32 PermisoModulo(const Sesion &s, int modulo)
{
    if (modulo < 0 || modulo >= int(s.Permisos.size()))
        return 0;
    return s.Permisos[std::size_t(modulo)];
}

bool TienePermiso(int modulo, quint32 bits, const QString &accion)
{
    Sesion *s = SesionActual();
    return s && TienePermiso(*s, modulo, bits, accion);
}

bool TienePermiso(Sesion &s, int modulo, quint32 bits, const QString &accion)
{
    if ((PermisoModulo(s, modulo) & bits) == bits)
        return true;
    const int r = Mensaje(QStringLiteral("No tiene permisos para ") + accion + QStringLiteral("\r") +
                              QStringLiteral("¿Desea que otro usuario lo autorice?"),
                          QStringLiteral("Permisos"), MsjPreguntaNo);
    if (r != IDYES)
        return false;
    return Autoriza(s, modulo, bits, false);
}

bool Autoriza(int modulo, quint32 bits, bool soloSysdba)
{
    Sesion *s = SesionActual();
    return s && Autoriza(*s, modulo, bits, soloSysdba);
}

bool Autoriza(Sesion &s, int modulo, quint32 bits, bool soloSysdba)
{
    TfAcceso acceso(s.fbDatabase.base(), QApplication::activeWindow());
    if (soloSysdba)
        acceso.fijaUsuario(QString::fromUtf16(kAdministrador));
    if (EjecutaDialogo(acceso) != QDialog::Accepted || !acceso.conectado())
        return false;
    if (acceso.usuario() == QStringView(kAdministrador))
        return true;
    try {
        if (acceso.accesoModulo(modulo) & bits)
            return true;
    } catch (const std::exception &) {
        // sin fila legible cuenta como sin acceso
    }
    Mensaje(QStringLiteral("El usuario seleccionado no tiene acceso"), TituloAviso(), MsjInformacion);
    return false;
}
