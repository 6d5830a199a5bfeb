#include "platform/PerfilesErp.h"

#include "platform/ArchivoIni.h"
#include "platform/CarpetasEspeciales.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace {

const QString kConexiones = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsip\\Conexiones");
const QString kBarra = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsip\\Barra Microsip");

QDomElement hijo(const QDomElement &padre, const QString &nombre)
{
    return padre.isNull() ? QDomElement() : padre.firstChildElement(nombre);
}

QDomElement ruta(const QDomDocument &doc, const QStringList &nombres)
{
    QDomElement e = doc.documentElement();
    if (e.isNull() || e.tagName() != nombres.value(0))
        return {};
    for (qsizetype i = 1; i < nombres.size() && !e.isNull(); ++i)
        e = hijo(e, nombres[i]);
    return e;
}

bool cargaXml(const QString &archivo, QDomDocument &doc, QString &error)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    QString msg;
    int linea = 0, columna = 0;
    if (!doc.setContent(&f, &msg, &linea, &columna)) {
        error = QStringLiteral("%1 (%2, línea %3, columna %4)").arg(msg, archivo).arg(linea).arg(columna);
        return false;
    }
    return true;
}

QStringList rutaBarra(const QString &elementoUsuario)
{
    return {QStringLiteral("ProgramData"), QStringLiteral("CurrentUser"), elementoUsuario,
            QStringLiteral("Software"),    QStringLiteral("Microsip"),    QStringLiteral("Barra_Microsip")};
}

// Busca el elemento Barra_Microsip; con crear, completa la ruta que falte
QDomElement barra(QDomDocument &doc, const QString &elementoUsuario, bool crear)
{
    const QStringList nombres = rutaBarra(elementoUsuario);
    QDomElement e = doc.documentElement();
    if (e.isNull() || e.tagName() != nombres[0]) {
        if (!crear)
            return {};
        doc = QDomDocument();
        doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                        QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        e = doc.createElement(nombres[0]);
        doc.appendChild(e);
    }
    for (qsizetype i = 1; i < nombres.size(); ++i) {
        QDomElement h = e.firstChildElement(nombres[i]);
        if (h.isNull()) {
            if (!crear)
                return {};
            h = doc.createElement(nombres[i]);
            e.appendChild(h);
        }
        e = h;
    }
    return e;
}

void ponTextoHijo(QDomDocument &doc, QDomElement &padre, const QString &nombre, const QString &texto)
{
    QDomElement h = padre.firstChildElement(nombre);
    if (h.isNull()) {
        h = doc.createElement(nombre);
        padre.appendChild(h);
    }
    while (h.hasChildNodes())
        h.removeChild(h.firstChild());
    h.appendChild(doc.createTextNode(texto));
}

} // namespace

QString DireccionPerfil(int protocolo, const QString &servidor, const QString &directorio)
{
    if (protocolo == 1)
        return QStringLiteral("\\\\") + servidor + QLatin1Char('\\') + directorio;
    if (!servidor.isEmpty())
        return servidor + QLatin1Char(':') + directorio;
    return directorio;
}

QString PerfilConexion::DB() const { return DireccionPerfil(protocolo, servidor, directorio); }

QString RutaSistema(const QString &db, const QString &archivo)
{
    const QChar sep = db.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    return db + QStringLiteral("System") + sep + archivo;
}

QString RutaEmpresa(const QString &db, const QString &nombreCorto) { return db + nombreCorto + QStringLiteral(".fdb"); }

QString ElementoUsuario(const QString &nombreSesion)
{
    QString r = nombreSesion.left(255);
    for (QChar &c : r)
        if (QStringLiteral("áéíóú").contains(c))
            c = QLatin1Char('_');
    return r;
}

FuentePerfiles::FuentePerfiles(QString archivoComun, QString archivoUsuario, QString archivoRegistro,
                               QString nombreSesion)
    : m_archivoComun(std::move(archivoComun))
    , m_archivoUsuario(std::move(archivoUsuario))
    , m_archivoRegistro(std::move(archivoRegistro))
    , m_nombreSesion(std::move(nombreSesion))
{
}

FuentePerfiles FuentePerfiles::delSistema()
{
    const QString comun = CarpetaDatosComunes();
    const QString local = CarpetaDatosUsuario();
    return FuentePerfiles(comun + QStringLiteral("/Microsip/ProgramData.xml"),
                          local + QStringLiteral("/Microsip/ProgramData.xml"),
                          comun + QStringLiteral("/Microsip/Registro.ini"), NombreUsuarioSistema());
}

bool FuentePerfiles::usaXml() const { return QFileInfo::exists(m_archivoComun); }

const PerfilConexion *FuentePerfiles::perfil(const QString &nombre) const
{
    for (const PerfilConexion &p : m_perfiles)
        if (p.nombre == nombre)
            return &p;
    return nullptr;
}

bool FuentePerfiles::lee()
{
    m_perfiles.clear();
    m_ultimoUsuario.clear();
    m_ultimaConexion.clear();
    m_error.clear();
    m_barraEncontrada = false;
    bool ok = true;
    if (usaXml())
        ok = leeXml();
    else
        leeRegistro();
    std::sort(m_perfiles.begin(), m_perfiles.end(),
              [](const PerfilConexion &a, const PerfilConexion &b) { return a.nombre < b.nombre; });
    return ok;
}

bool FuentePerfiles::leeXml()
{
    QDomDocument doc;
    if (!cargaXml(m_archivoComun, doc, m_error))
        return false;
    const QDomElement conexiones =
        ruta(doc, {QStringLiteral("ProgramData"), QStringLiteral("LocalMachine"), QStringLiteral("Software"),
                   QStringLiteral("Microsip"), QStringLiteral("Conexiones")});
    for (QDomElement p = conexiones.firstChildElement(); !p.isNull(); p = p.nextSiblingElement()) {
        const QDomElement dir = p.firstChildElement(QStringLiteral("Directorio_de_datos"));
        if (dir.isNull())
            continue; // sin directorio el perfil no cuenta
        PerfilConexion perfil;
        perfil.nombre = p.tagName();
        perfil.directorio = dir.text();
        perfil.servidor = p.firstChildElement(QStringLiteral("Nombre_del_servidor")).text();
        perfil.protocolo = p.firstChildElement(QStringLiteral("Protocolo")).text() == QLatin1String("1") ? 1 : 0;
        m_perfiles.append(perfil);
    }

    // Sin archivo del usuario no hay último acceso que leer; se crea al guardarlo
    if (!QFileInfo::exists(m_archivoUsuario))
        return true;
    QDomDocument docUsuario;
    if (!cargaXml(m_archivoUsuario, docUsuario, m_error))
        return false;
    const QDomElement b = barra(docUsuario, ElementoUsuario(m_nombreSesion), false);
    if (!b.isNull()) {
        m_barraEncontrada = true;
        m_ultimoUsuario = b.firstChildElement(QStringLiteral("Usuario")).text();
        m_ultimaConexion = b.firstChildElement(QStringLiteral("Conexi_n")).text();
    }
    return true;
}

void FuentePerfiles::leeRegistro()
{
    const ArchivoIni ini(m_archivoRegistro);
    if (ini.secciones().contains(kBarra, Qt::CaseInsensitive)) {
        m_ultimoUsuario = ini.leeTexto(kBarra, QStringLiteral("Usuario"));
        m_ultimaConexion = ini.leeTexto(kBarra, QString::fromUtf8("Conexión"));
    }
    const QString prefijo = kConexiones + QLatin1Char('\\');
    for (const QString &seccion : ini.secciones()) {
        if (!seccion.startsWith(prefijo, Qt::CaseInsensitive))
            continue;
        const QString nombre = seccion.mid(prefijo.size());
        if (nombre.isEmpty() || nombre.contains(QLatin1Char('\\')))
            continue;
        PerfilConexion p;
        p.nombre = nombre;
        p.protocolo = ini.leeEntero(seccion, QStringLiteral("Protocolo"), 0);
        p.servidor = ini.leeTexto(seccion, QStringLiteral("Nombre del servidor"));
        p.directorio = ini.leeTexto(seccion, QStringLiteral("Directorio de datos"));
        p.conDireccion = ini.existeClave(seccion, QStringLiteral("Directorio de datos"));
        m_perfiles.append(p);
    }
}

void FuentePerfiles::guardaUltimo(const QString &usuario, const QString &conexion)
{
    if (!usaXml()) {
        // Como el registro: se escribe solo si la clave ya existe
        ArchivoIni ini(m_archivoRegistro);
        if (ini.secciones().contains(kBarra, Qt::CaseInsensitive)) {
            ini.escribeTexto(kBarra, QStringLiteral("Usuario"), usuario);
            ini.escribeTexto(kBarra, QString::fromUtf8("Conexión"), conexion);
        }
        return;
    }
    QDomDocument doc;
    QString error;
    if (QFileInfo::exists(m_archivoUsuario) && !cargaXml(m_archivoUsuario, doc, error))
        return; // un archivo ilegible no se sobrescribe
    QDomElement b = barra(doc, ElementoUsuario(m_nombreSesion), true);
    ponTextoHijo(doc, b, QStringLiteral("Usuario"), usuario);
    ponTextoHijo(doc, b, QStringLiteral("Conexi_n"), conexion);
    QDir().mkpath(QFileInfo(m_archivoUsuario).absolutePath());
    QSaveFile f(m_archivoUsuario);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(doc.toByteArray(2));
        f.commit();
    }
    m_barraEncontrada = true;
}
