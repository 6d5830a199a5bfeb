#pragma once

#include <QList>
#include <QString>

// Perfiles de conexión del ERP y su último acceso, leídos de sus archivos
// ProgramData.xml o, cuando falta el archivo común, del sustituto del registro
// (Microsip/Registro.ini en la carpeta común de datos de aplicación).

struct PerfilConexion
{
    QString nombre;
    int protocolo = 0;
    QString servidor;
    QString directorio;
    bool conDireccion = true; // false: el perfil no tiene datos legibles; no se intenta conectar

    QString DB() const;
};

// Dirección de la carpeta de datos: protocolo 1 -> \\servidor\directorio;
// otro -> servidor:directorio, o el directorio solo cuando no hay servidor.
QString DireccionPerfil(int protocolo, const QString &servidor, const QString &directorio);
// DB + "System" + sep + archivo; sep es "\" si DB contiene "\", si no "/"
QString RutaSistema(const QString &db, const QString &archivo);
QString RutaEmpresa(const QString &db, const QString &nombreCorto);
// Nombre del elemento por usuario: las vocales acentuadas minúsculas pasan a "_"
QString ElementoUsuario(const QString &nombreSesion);

class FuentePerfiles
{
public:
    // archivoComun: <datos comunes>/Microsip/ProgramData.xml
    // archivoUsuario: <datos locales del usuario>/Microsip/ProgramData.xml
    // archivoRegistro: <datos comunes>/Microsip/Registro.ini
    FuentePerfiles(QString archivoComun, QString archivoUsuario, QString archivoRegistro,
                   QString nombreSesion);
    // Con las carpetas del sistema y el usuario de la sesión
    static FuentePerfiles delSistema();

    // Lee perfiles y último acceso. false si un XML no se pudo cargar (ver error());
    // lo leído hasta entonces se conserva.
    bool lee();
    bool usaXml() const;

    const QList<PerfilConexion> &perfiles() const { return m_perfiles; }
    const PerfilConexion *perfil(const QString &nombre) const;
    const QString &ultimoUsuario() const { return m_ultimoUsuario; }
    const QString &ultimaConexion() const { return m_ultimaConexion; }
    const QString &error() const { return m_error; }

    // Recuerda el último usuario y perfil donde los guarda el ERP. Nunca informa errores.
    void guardaUltimo(const QString &usuario, const QString &conexion);

    const QString &archivoComun() const { return m_archivoComun; }
    const QString &archivoUsuario() const { return m_archivoUsuario; }
    const QString &archivoRegistro() const { return m_archivoRegistro; }

private:
    bool leeXml();
    void leeRegistro();

    QString m_archivoComun, m_archivoUsuario, m_archivoRegistro, m_nombreSesion;
    QList<PerfilConexion> m_perfiles;
    QString m_ultimoUsuario, m_ultimaConexion, m_error;
    bool m_barraEncontrada = false;
};
