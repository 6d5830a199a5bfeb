#pragma once

#include "db/fbConexion.h"

#include "common/Moneda.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <functional>
#include <vector>

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

class Transaccion;
class Consulta;

// Traduce los parámetros ":nombre" a "?" fuera de literales, identificadores entre
// comillas dobles y comentarios. 'nombres' recibe, por posición, el nombre en mayúsculas.
// CREATE/ALTER/RECREATE/DECLARE quedan intactos; en EXECUTE BLOCK sólo se traduce la cabecera.
QString TraduceParametros(const QString &sql, QStringList *nombres);

// Acceso a un valor de la fila actual (o de la salida de EXECUTE PROCEDURE / RETURNING).
class CampoFb
{
public:
    CampoFb(const Consulta *consulta, int indice) : m_q(consulta), m_i(indice) {}

    bool esNulo() const;
    // CHAR: sin los blancos finales de relleno. Texto decodificado de Windows-1252.
    QString texto() const;
    QByteArray bytes() const; // bytes tal cual (texto y BLOB)
    qint64 entero() const;
    double real() const;
    Moneda moneda() const;      // NUMERIC/DECIMAL exacto; enteros y reales también
    QDate fecha() const;
    QDateTime fechaHora() const;
    QTime hora() const;
    bool booleano() const;
    // Tipo natural: qint64 (enteros sin escala), double (escala o real), QString,
    // QDate, QTime, QDateTime, bool; QVariant() si es NULL
    QVariant variante() const;
    QString nombre() const;

private:
    const Consulta *m_q;
    int m_i;
};

// Consulta SQL con parámetros por nombre, preparada una vez y reutilizable.
// Recorrido: ejecuta() deja la primera fila como actual (o eof()); siguiente() avanza:
//   for (q.ejecuta(); !q.eof(); q.siguiente()) { ... q.campo("CLAVE").texto() ... }
class Consulta : public DependienteFb
{
public:
    Consulta(Conexion &conexion, Transaccion &transaccion);
    ~Consulta() override;
    Consulta(const Consulta &) = delete;
    Consulta &operator=(const Consulta &) = delete;

    // Texto SQL (si cambia se vuelve a preparar)
    void limpia();
    void agrega(const QString &linea);
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }

    // Modo actualización: cada sentencia confirma su transacción (iniciándola si hace falta)
    // justo después de ejecutarse; con cursor (SELECT de un procedimiento que escribe),
    // al llegar al final o al cerrarlo. Confirmar cierra los cursores de otras consultas
    // en la misma transacción: dale a esta consulta una transacción propia.
    void ponActualizacion(bool actualizacion) { m_actualizacion = actualizacion; }
    bool actualizacion() const { return m_actualizacion; }

    void prepara(); // sólo prepara si el texto cambió o la conexión se renovó
    bool preparada() const { return m_stmt != nullptr; }
    QStringList nombresParametros() const; // sin repetir, en mayúsculas

    // Asignación por nombre (sin ':', sin distinguir mayúsculas); prepara si hace falta
    void asigna(const QString &nombre, const QVariant &valor);
    void asigna(const QString &nombre, const QString &valor) { asigna(nombre, QVariant(valor)); }
    void asigna(const QString &nombre, const char *valor) { asigna(nombre, QVariant(QString::fromUtf8(valor))); }
    void asigna(const QString &nombre, qint64 valor) { asigna(nombre, QVariant(valor)); }
    void asigna(const QString &nombre, int valor) { asigna(nombre, QVariant(qint64(valor))); }
    void asigna(const QString &nombre, double valor) { asigna(nombre, QVariant(valor)); }
    void asigna(const QString &nombre, Moneda valor) { asigna(nombre, QVariant::fromValue(valor)); }
    void asigna(const QString &nombre, const QDate &valor) { asigna(nombre, QVariant(valor)); }
    void asigna(const QString &nombre, const QDateTime &valor) { asigna(nombre, QVariant(valor)); }
    void asigna(const QString &nombre, bool valor) { asigna(nombre, QVariant(valor)); }
    void asignaNulo(const QString &nombre) { asigna(nombre, QVariant()); }

    // Abre el cursor (SELECT) o ejecuta; inicia la transacción si no está activa
    void ejecuta();
    bool siguiente(); // avanza; false al llegar al final
    // Sin fila actual. Con UPDATE/DELETE ... RETURNING, también cuando no tocó ninguna fila.
    bool eof() const { return !m_hayFila; }
    void cierra();    // cierra el cursor; la sentencia sigue preparada
    qint64 filasAfectadas() const { return m_filas; }

    int numCampos() const { return int(m_campos.size()); }
    QString nombreCampo(int i) const;
    int indiceCampo(const QString &nombre) const; // -1 si no existe
    CampoFb campo(int i) const;
    CampoFb campo(const QString &nombre) const; // lanza ErrorFb si no existe

protected:
    int nivelFb() const override { return 0; }
    void liberaFb() noexcept override;
    void olvidaConexion() noexcept override;
    void olvidaTransaccion(Transaccion *t) noexcept override;

private:
    friend class CampoFb;
    struct Columna
    {
        QString nombre;
        unsigned tipo = 0;
        int escala = 0;
        unsigned largo = 0;
        unsigned subtipo = 0;
        unsigned juego = 0;
        unsigned desp = 0;
        unsigned despNulo = 0;
    };

    void exigeConexion() const;
    void liberaSentencia() noexcept;
    void liberaCursor() noexcept;
    void llenaEntrada();
    static std::vector<Columna> columnas(Firebird::IMessageMetadata *meta);
    [[noreturn]] void error(const QString &texto) const;
    const Columna &columna(int i) const;
    const unsigned char *dato(int i) const;
    QByteArray leeBlob(int i) const;

    Conexion *m_conexion;
    Transaccion *m_trans;
    QString m_sql;
    QString m_sqlPreparado;
    QStringList m_nombres; // por posición
    QHash<QString, int> m_indiceCampos;
    bool m_actualizacion = false;

    Firebird::IStatement *m_stmt = nullptr;
    Firebird::IResultSet *m_cursor = nullptr;
    Firebird::IMessageMetadata *m_metaEntrada = nullptr;
    Firebird::IMessageMetadata *m_metaSalida = nullptr;
    unsigned m_tipoSentencia = 0; // banderas de IStatement
    bool m_cambiaFilas = false;   // UPDATE, DELETE o MERGE (con RETURNING: sin fila si no tocó nada)
    quint64 m_numeroTrans = 0;
    std::vector<Columna> m_parametros;
    std::vector<Columna> m_campos;
    std::vector<QVariant> m_valores;
    std::vector<unsigned char> m_bufEntrada;
    std::vector<unsigned char> m_bufSalida;
    bool m_hayFila = false;
    qint64 m_filas = 0;
};

// Bitácora de sentencias: se avisa una vez por cada preparación real y por cada ejecución.
// Sin bitácora puesta no cuesta nada más que una comprobación. Sirve a pruebas y medidas.
enum class EventoSentencia { Prepara, Ejecuta };
using BitacoraSentencias = std::function<void(EventoSentencia evento, const QString &sql)>;
// Pone la bitácora (vacía = ninguna); devuelve la anterior
BitacoraSentencias PonBitacoraSentencias(BitacoraSentencias bitacora);

// Para pruebas: anota las sentencias mientras vive y restaura la bitácora anterior al morir
class RegistroSentencias
{
public:
    struct Entrada
    {
        EventoSentencia evento;
        QString sql;
    };
    RegistroSentencias();
    ~RegistroSentencias();
    RegistroSentencias(const RegistroSentencias &) = delete;
    RegistroSentencias &operator=(const RegistroSentencias &) = delete;

    const std::vector<Entrada> &entradas() const { return m_entradas; }
    QStringList ejecutadas() const;   // texto de cada ejecución, en orden
    int preparaciones() const;
    void limpia() { m_entradas.clear(); }

private:
    std::vector<Entrada> m_entradas;
    BitacoraSentencias m_anterior;
};
