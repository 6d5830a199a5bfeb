#pragma once

#include "db/MemTable.h"

#include <QString>

#include <memory>

class Conexion;
class Consulta;
class Transaccion;

// Módulo de datos del programa: tablas en memoria que comparten varias ventanas
// (listas de precios del ERP y listas de precios a capturar) y dos pruebas del esquema.
// Se crea al iniciar y vive todo el programa; no abre nada por sí mismo.
class Tfdatos
{
public:
    Tfdatos();
    ~Tfdatos();
    Tfdatos(const Tfdatos &) = delete;
    Tfdatos &operator=(const Tfdatos &) = delete;

    // Base de la empresa y su transacción de lectura (tras iniciar sesión o cambiar de empresa)
    void ponBase(Conexion &conexion, Transaccion &lectura);
    bool tieneBase() const { return m_conexion != nullptr; }
    // Olvida la base si es 'conexion' (la sesión que la posee se cierra)
    void quitaBase(const Conexion &conexion);

    // Listas de precios del ERP: ID, Nombre (50)
    MemTable mPreciosEmpresa{QStringLiteral("mPreciosEmpresa")};
    // Listas de precios a capturar: precio_empresa_id, nombre (15), ut_sugerida, Inc (falso al agregar)
    MemTable mCmpPrecios{QStringLiteral("mCmpPrecios")};

    // Vuelve a llenar mPreciosEmpresa con las listas de precios, en el orden de la base
    void precios_empresa();
    // La tabla existe (el nombre se pasa tal cual; el catálogo guarda mayúsculas)
    bool VerificaTabla(const QString &T);
    // El procedimiento existe (nombre tal cual)
    bool VerificaSP(const QString &SP);

private:
    Consulta &consulta(std::unique_ptr<Consulta> &q);
    bool cuenta(std::unique_ptr<Consulta> &q, const QString &sql, const QString &parametro, const QString &valor);

    Conexion *m_conexion = nullptr;
    Transaccion *m_lectura = nullptr;
    std::unique_ptr<Consulta> Query;   // listas de precios
    std::unique_ptr<Consulta> m_qTabla; // cada prueba con su sentencia preparada
    std::unique_ptr<Consulta> m_qSP;
};

// Módulo de datos de todo el programa: el que puso la entrada del programa con
// PonDatosActual, o uno propio creado al primer uso.
Tfdatos &DatosActual();
void PonDatosActual(Tfdatos *datos);
