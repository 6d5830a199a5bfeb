#pragma once

#include <QString>

class RegistroAjustes;

// Lectura de los ajustes de etiquetas: carpeta "Etiquetas" del registro de la empresa y,
// para las claves que lo tienen, la sección "Etiquetas" de etiquetas.ini cuando el valor
// del registro está en blanco.
class LectorAjustesEtiquetas
{
public:
    LectorAjustesEtiquetas(RegistroAjustes &registro, QString rutaIni);

    // Valor del registro tal cual (leerlo lo crea vacío si falta)
    QString registro(const QString &clave);
    // Con respaldo en el INI
    QString texto(const QString &clave, const QString &omision = {});
    int entero(const QString &clave, int omision);
    // Sí/no con respaldo booleano en el INI: en blanco, el booleano del INI da "S" cuando es
    // verdadero; con 'invertido' da "N" cuando es verdadero
    QString siNo(const QString &clave, bool omision, bool invertido = false);

    void escribe(const QString &clave, const QString &valor);
    const QString &rutaIni() const { return m_rutaIni; }

private:
    RegistroAjustes &m_registro;
    QString m_rutaIni;
};

// Ajustes que la ventana de etiquetas lee al mostrarse
struct ConfiguracionEtiquetas
{
    QString ptComExe;
    int Puerto = 1;
    QString Address = QStringLiteral("A");
    QString BarExe;
    QString BarParam = QStringLiteral("/P /X");
    QString BarText;
    QString CarpetaFmt;                              // siempre termina en separador
    QString SeleccionarPrecio = QStringLiteral("S"); // "N": la lista de precios no se cambia
    QString SeleccionarClave = QStringLiteral("S");  // "N": la lista de claves no se cambia
    QString Fmt;
    int iMoneda1 = -1;
    bool ModificaPrecio = false;
    bool Bar = false;
    bool bModifP1 = false;
    QString sAlmacenLoc;
    QString Artnagreg;
    bool precSP = false;
};

ConfiguracionEtiquetas LeeConfiguracion(LectorAjustesEtiquetas &lector);
