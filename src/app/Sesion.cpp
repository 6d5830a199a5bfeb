#include "app/Sesion.h"

#include "common/Mensaje.h"
#include "common/Util.h"
#include "db/Registro.h"
#include "db/datos.h"
#include "db/fbError.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
Sesion *g_sesion = nullptr;
constexpr qint64 kUsuarioOClave = 335544472;
} // namespace

Sesion *SesionActual()
{
    return g_sesion;
}

void PonSesionActual(Sesion *sesion)
{
    g_sesion = sesion;
}

QString UsuarioLimpio(const QString &texto)
{
    return QuitaBlancos(texto);
}

void PonParametrosErp(Conexion &base, const QString &usuario, const QString &clave)
{
    base.setJuegoCaracteres(QStringLiteral("NONE"));
    base.setUsuario(usuario);
    base.setClave(clave);
    base.setRol(QStringLiteral("USUARIO_MICROSIP"));
}

bool Conectar(Conexion &base)
{
    try {
        base.conecta();
        return true;
    } catch (const ErrorFb &e) {
        if (Sesion *s = SesionActual()) {
            try {
                if (s->fbUpdateTrans.activa())
                    s->fbUpdateTrans.deshace();
            } catch (...) {
            }
        }
        if (e.codigo() == kUsuarioOClave)
            Mensaje(QStringLiteral("El nombre de usuario o contraseña no es válido"), QStringLiteral("Error de datos"),
                    MsjError);
        else if (e.codigo() != 0)
            Mensaje(QStringLiteral("Error ") + QString::number(e.codigo()) + QStringLiteral("\r") + e.texto(),
                    QStringLiteral("Error de datos"), MsjError);
        else
            Mensaje(QStringLiteral("Ocurrió un error al conectarse a la base de datos:\r") + e.texto(), TituloAviso(),
                    MsjInformacion);
    } catch (const std::exception &e) {
        Mensaje(QStringLiteral("Ocurrió un error al conectarse a la base de datos:\r") + QString::fromLocal8Bit(e.what()),
                TituloAviso(), MsjInformacion);
    }
    return false;
}

Sesion::Sesion()
{
    m_terminador = [] {
        // Sale del ciclo de eventos en cuanto se pueda
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    };
}

Sesion::~Sesion()
{
    if (g_sesion == this)
        g_sesion = nullptr;
    DatosActual().quitaBase(fbDatabase); // el módulo de datos no debe quedar con esta base
    desconectaTodo();
}

void Sesion::desconectaTodo()
{
    m_qQuery.reset();
    m_qGen.reset();
    m_consultas.clear();
    m_registro.reset();
    for (Transaccion *t : {&fbUpdateTrans, &fbViewTrans, &fbConfigTrans, &fbMetaTrans}) {
        try {
            if (t->activa())
                t->confirma();
        } catch (...) {
            try {
                t->deshace();
            } catch (...) {
            }
        }
    }
    fbDatabase.desconecta();
    fbMetadatos.desconecta();
    fbConfig.desconecta();
}

RegistroAjustes &Sesion::registro()
{
    if (!m_registro)
        m_registro = std::make_unique<RegistroAjustes>(fbDatabase, fbUpdateTrans);
    return *m_registro;
}

QString Sesion::ajuste(const QString &nombre)
{
    return registro().lee(QStringLiteral("Etiquetas"), nombre);
}

Consulta *Sesion::creaQuery(bool vista, const QString &nombre, Conexion *conn)
{
    Q_UNUSED(nombre);
    Conexion &c = conn ? *conn : fbDatabase;
    Transaccion *t = nullptr;
    if (&c == &fbDatabase)
        t = vista ? &fbViewTrans : &fbUpdateTrans;
    else if (&c == &fbConfig)
        t = &fbConfigTrans;
    else if (&c == &fbMetadatos)
        t = &fbMetaTrans;
    else
        return nullptr; // sólo las bases de la sesión tienen transacciones por omisión
    auto q = std::make_unique<Consulta>(c, *t);
    q->ponActualizacion(!vista);
    m_consultas.push_back(std::move(q));
    return m_consultas.back().get();
}

qint64 Sesion::GetNextID(const QString &tabla, int suma)
{
    fbUpdateTrans.inicia();
    fbViewTrans.inicia();
    const QString gen = QStringLiteral("gen_tlv_") + QuitaBlancos(tabla);
    if (!m_qGen) {
        m_qGen = std::make_unique<Consulta>(fbDatabase, fbUpdateTrans);
        m_qGen->ponActualizacion(true);
    }
    try {
        m_qGen->setSql(QStringLiteral("select gen_id(") + gen + QLatin1Char(',') + QString::number(suma) +
                       QStringLiteral(") from rdb$database"));
        m_qGen->ejecuta();
        const qint64 v = m_qGen->campo(0).entero();
        m_qGen->cierra();
        return suma == 0 ? v + 1 : v;
    } catch (const ErrorFb &) {
        m_qGen->cierra();
        m_qGen->setSql(QStringLiteral("CREATE GENERATOR ") + gen);
        m_qGen->ejecuta();
        if (suma > 0) {
            m_qGen->setSql(QStringLiteral("SET GENERATOR ") + gen + QStringLiteral(" TO 1"));
            m_qGen->ejecuta();
        }
        fbUpdateTrans.confirma();
        return 1;
    }
}

bool Sesion::ExisteTabla(const QString &nombre)
{
    if (!m_qQuery)
        m_qQuery = std::make_unique<Consulta>(fbDatabase, fbViewTrans);
    Consulta &q = *m_qQuery;
    q.setSql(QStringLiteral("select count(*) from rdb$relations where rdb$relation_name=:n"));
    q.asigna(QStringLiteral("n"), QuitaBlancos(nombre).toUpper());
    q.ejecuta();
    const bool hay = q.campo(0).entero() > 0;
    q.cierra();
    return hay;
}

bool Sesion::VersionErpValida()
{
    Consulta q(fbMetadatos, fbMetaTrans);
    q.setSql(QStringLiteral(
        "SELECT substring(max(v.version_sis) from 1 for 3), max(v.version_sis) version FROM versiones_sis v "
        "JOIN sistemas s on s.sistema_id = v.sistema_id WHERE s.nombre = 'Microsip - Administración'"));
    q.ejecuta();
    const QString principal = q.eof() ? QString() : q.campo(0).texto().trimmed();
    const QString version = q.eof() ? QString() : q.campo(1).texto().trimmed();
    q.cierra();
    bool ok = false;
    const int numero = principal.toInt(&ok);
    VersionErp = version.left(1) + QLatin1Char('.') + version.mid(1, 2) + QLatin1Char('.') +
                 QString::number(version.mid(3, 2).toInt());
    return ok && numero <= 720;
}

bool Sesion::VerificaBD(bool quiet)
{
    if (!VersionErpValida()) {
        Mensaje(QStringLiteral("Etiquetas Tolvanas 2024 no es compatible con la versión de Microsip ") + VersionErp,
                TituloAviso(), MsjInformacion);
        terminaPrograma();
        return false;
    }
    if (ExisteTabla(QStringLiteral("TLV_REGISTRO"))) {
        QString v;
        try {
            registro().ValorRegistro({}, {}, {}, QStringLiteral("Etiquetas_DB"), v, true);
        } catch (const ErrorFb &) {
            v = QStringLiteral("0");
        }
        if (v == QStringView(kVersionEsquema))
            return true;
        if (!quiet) {
            if (v > QStringView(kVersionEsquema))
                Mensaje(QStringLiteral("La base de datos no es compatible, debe actualizar el sistema Tolvani"),
                        TituloAviso(), MsjInformacion);
            else
                Mensaje(QStringLiteral("Es necesario actualizar la base de datos para continuar"), TituloAviso(),
                        MsjInformacion);
        }
        return false;
    }
    if (!quiet)
        Mensaje(QStringLiteral("Es necesario actualizar la base de datos para continuar"), TituloAviso(),
                MsjInformacion);
    return false;
}

void Sesion::terminaPrograma()
{
    m_terminado = true;
    if (m_terminador)
        m_terminador();
}
