#pragma once

#include "db/fbConexion.h"
#include "db/fbConsulta.h"
#include "db/Registro.h"
#include "db/fbTransaccion.h"

#include <QString>

#include <array>
#include <functional>
#include <list>
#include <memory>

class RegistroAjustes;

// Usuario administrador y título del programa
inline constexpr char16_t kAdministrador[] = u"SYSDBA";
inline constexpr char16_t kTituloPrograma[] = u"Etiquetas Tolvanas";
// Versión del esquema propio que requiere el programa
inline constexpr char16_t kVersionEsquema[] = u"000024";

// Accesos por número de módulo (0..191); el bit n-1 es el botón en el lugar n
using TablaPermisos = std::array<quint32, 192>;

// Estado del programa después del inicio de sesión: las tres bases del ERP con sus
// transacciones, el usuario, la empresa y los permisos. La ventana principal la posee;
// los módulos la toman de SesionActual().
class Sesion
{
public:
    Sesion();
    ~Sesion();
    Sesion(const Sesion &) = delete;
    Sesion &operator=(const Sesion &) = delete;

    Conexion fbConfig;    // Config.fdb
    Conexion fbMetadatos; // Metadatos.fdb
    Conexion fbDatabase;  // base de la empresa
    Transaccion fbConfigTrans{fbConfig};
    Transaccion fbMetaTrans{fbMetadatos};
    Transaccion fbViewTrans{fbDatabase};
    Transaccion fbUpdateTrans{fbDatabase};

    QString userid;        // usuario tal como se escribió, sin blancos ni saltos
    QString UsuarioActual; // userid en mayúsculas
    QString Empresa;       // nombre corto de la empresa
    int EmpresaID = 0;
    QString NomEmp;     // nombre para mostrar de la empresa
    QString VersionErp; // versión del ERP para los avisos ("7.20.1")
    TablaPermisos Permisos{};

    bool esAdministrador() const { return UsuarioActual == QStringView(kAdministrador); }

    // Ajustes en TLV_REGISTRO de la empresa (sobre fbDatabase / fbUpdateTrans)
    RegistroAjustes &registro();
    // Atajo: valor de la carpeta "Etiquetas"; un error de la base se deja pasar
    QString ajuste(const QString &nombre);

    // Consulta sobre 'conn' (fbDatabase si es nula); de vista: transacción de lectura;
    // de actualización: transacción de actualización y confirma tras cada sentencia.
    // La sesión la posee y la libera antes de desconectar.
    Consulta *creaQuery(bool vista, const QString &nombre = {}, Conexion *conn = nullptr);

    // Siguiente valor del generador gen_tlv_<tabla>; suma 0 no consume. Crea el generador si falta.
    qint64 GetNextID(const QString &tabla, int suma);

    // La base de la empresa tiene la tabla (nombre sin blancos, en mayúsculas)
    bool ExisteTabla(const QString &nombre);
    // Versión del ERP en Metadatos.fdb; false si es posterior a la soportada
    bool VersionErpValida();
    // Esquema propio al día; quiet calla los avisos salvo el de la versión del ERP,
    // que además termina el programa
    bool VerificaBD(bool quiet);

    // Cómo termina el programa (por omisión sale del ciclo de eventos); las pruebas lo cambian
    void ponTerminador(std::function<void()> f) { m_terminador = std::move(f); }
    void terminaPrograma();
    bool terminado() const { return m_terminado; }

    // Desconecta las tres bases (libera antes las consultas)
    void desconectaTodo();

private:
    std::unique_ptr<RegistroAjustes> m_registro;
    std::list<std::unique_ptr<Consulta>> m_consultas;
    std::unique_ptr<Consulta> m_qQuery; // consulta compartida de la empresa
    std::unique_ptr<Consulta> m_qGen;   // generadores
    std::function<void()> m_terminador;
    bool m_terminado = false;
};

// Sesión del programa (la de la ventana principal, o la que ponga una prueba)
Sesion *SesionActual();
void PonSesionActual(Sesion *sesion);

// Conecta 'base'. Con un error de Firebird deshace antes fbUpdateTrans de la sesión actual
// (si está activa) y avisa; devuelve false sin lanzar.
bool Conectar(Conexion &base);

// Parámetros de conexión del ERP: lc_ctype NONE, usuario, clave y el rol USUARIO_MICROSIP
void PonParametrosErp(Conexion &base, const QString &usuario, const QString &clave);
// Quita blancos, CR y LF del nombre de usuario escrito
QString UsuarioLimpio(const QString &texto);
