#pragma once

#include <QString>
#include <QStringList>

// Archivo INI al estilo de los perfiles privados de Windows: secciones y claves
// sin distinguir mayúsculas, valores tal cual (UTF-8). Cada operación abre,
// lee o escribe y cierra el archivo; no hay copia en memoria.
class ArchivoIni
{
public:
    explicit ArchivoIni(QString ruta);

    const QString &ruta() const { return m_ruta; }

    QString leeTexto(const QString &seccion, const QString &clave, const QString &omision = {}) const;
    int leeEntero(const QString &seccion, const QString &clave, int omision) const;
    bool leeBooleano(const QString &seccion, const QString &clave, bool omision) const;

    // Escribe (crea el archivo, la sección o la clave si faltan). false si no se pudo escribir.
    bool escribeTexto(const QString &seccion, const QString &clave, const QString &valor);
    bool escribeEntero(const QString &seccion, const QString &clave, int valor);
    bool escribeBooleano(const QString &seccion, const QString &clave, bool valor);

    bool existeClave(const QString &seccion, const QString &clave) const;
    QStringList secciones() const;
    QStringList claves(const QString &seccion) const;

private:
    QStringList lineas() const;
    QString m_ruta;
};
