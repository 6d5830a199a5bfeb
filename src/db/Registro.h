#pragma once

#include "db/fbConsulta.h"

#include <QString>
#include <map>
#include <memory>

class Conexion;
class Transaccion;

// Ruta de carpetas ("c1*c2*c3") -> REGISTRO_ID de su última carpeta. Solo crece.
class CacheRegistro
{
public:
    static CacheRegistro &global(); // la de todo el programa
    bool busca(const QString &clave, int *id) const;
    void agrega(const QString &clave, int id); // ignora duplicados y ids <= 0
    void vacia() { m_mapa.clear(); }
    std::size_t cantidad() const { return m_mapa.size(); }

private:
    std::map<QString, int> m_mapa;
};

// Árbol de ajustes TLV_REGISTRO en la base de la empresa. Cada escritura se confirma al momento.
class RegistroAjustes
{
public:
    RegistroAjustes(Conexion &conexion, Transaccion &actualizacion, CacheRegistro &cache = CacheRegistro::global());

    // Lee (leer=true: 'valor' se vacía y recibe el texto) o escribe el valor; devuelve su REGISTRO_ID.
    // Leer un valor que no existe lo crea vacío, con sus carpetas. Los errores de la base llegan al llamador.
    int ValorRegistro(const QString &carpeta1, const QString &carpeta2, const QString &carpeta3,
                      const QString &nombre, QString &valor, bool leer);
    int RutaRegistro(const QString &carpeta1, const QString &carpeta2, const QString &carpeta3, QString &valor,
                     bool leer);
    int NodoRegistro(const QString &nombre, QChar tipo, QString &valor, int padreId, bool leer);

    // Atajos
    QString lee(const QString &carpeta1, const QString &nombre);
    void escribe(const QString &carpeta1, const QString &nombre, const QString &valor);

    // Sentencias ejecutadas desde la creación (para comprobar el uso de la caché)
    int sentencias() const { return m_sentencias; }

private:
    int busca(const QString &nombre, int padreId, QString *valor, bool *encontrado);

    CacheRegistro &m_cache;
    Consulta m_qReg;    // búsqueda
    Consulta m_qRegUpd; // actualización
    Consulta m_qRegIns; // alta
    int m_sentencias = 0;
};

enum class CarpetaSistema { DatosComunes, DatosUsuario };
// Carpeta especial del sistema; vacía si no se conoce
QString CarpetaEspecial(CarpetaSistema carpeta);
// <datos comunes>/Tolvanix/etiquetas.ini; crea la carpeta cada vez
QString RutaIni();
