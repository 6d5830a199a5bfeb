#include "labels/AjustesEtiquetas.h"

#include "common/Util.h"
#include "db/Registro.h"
#include "platform/ArchivoIni.h"

namespace {
const QString kCarpeta = QStringLiteral("Etiquetas");
}

LectorAjustesEtiquetas::LectorAjustesEtiquetas(RegistroAjustes &registro, QString rutaIni)
    : m_registro(registro), m_rutaIni(std::move(rutaIni))
{
}

QString LectorAjustesEtiquetas::registro(const QString &clave)
{
    return m_registro.lee(kCarpeta, clave);
}

void LectorAjustesEtiquetas::escribe(const QString &clave, const QString &valor)
{
    m_registro.escribe(kCarpeta, clave, valor);
}

QString LectorAjustesEtiquetas::texto(const QString &clave, const QString &omision)
{
    const QString v = registro(clave);
    if (!EstaVacio(v))
        return v;
    return ArchivoIni(m_rutaIni).leeTexto(kCarpeta, clave, omision);
}

int LectorAjustesEtiquetas::entero(const QString &clave, int omision)
{
    const QString v = registro(clave);
    if (EstaVacio(v))
        return ArchivoIni(m_rutaIni).leeEntero(kCarpeta, clave, omision);
    bool ok = false;
    const int n = v.trimmed().toInt(&ok);
    return ok ? n : omision;
}

QString LectorAjustesEtiquetas::siNo(const QString &clave, bool omision, bool invertido)
{
    const QString v = registro(clave);
    if (!EstaVacio(v))
        return v.trimmed();
    const bool b = ArchivoIni(m_rutaIni).leeBooleano(kCarpeta, clave, omision);
    return (b != invertido) ? QStringLiteral("S") : QStringLiteral("N");
}

ConfiguracionEtiquetas LeeConfiguracion(LectorAjustesEtiquetas &l)
{
    ConfiguracionEtiquetas c;
    c.ptComExe = l.texto(QStringLiteral("exe_ptcomm"));
    c.Puerto = l.entero(QStringLiteral("com"), 1);
    c.Address = l.texto(QStringLiteral("pt_address"), QStringLiteral("A"));
    c.BarExe = l.texto(QStringLiteral("BarTenderExe"));
    c.BarParam = l.texto(QStringLiteral("BarTenderParams"), QStringLiteral("/P /X"));
    c.BarText = l.texto(QStringLiteral("BarTenderText"));
    c.CarpetaFmt = l.texto(QStringLiteral("CarpetaFormatos"));
    // Termina en separador: "\" como en el ERP; "/" si es una carpeta local con "/"
    const QChar sep = (c.CarpetaFmt.contains(QLatin1Char('/')) && !c.CarpetaFmt.contains(QLatin1Char('\\')))
                          ? QLatin1Char('/')
                          : QLatin1Char('\\');
    if (!c.CarpetaFmt.endsWith(sep))
        c.CarpetaFmt += sep;
    c.SeleccionarPrecio = l.siNo(QStringLiteral("SeleccionarPrecio"), false, true);
    c.SeleccionarClave = l.siNo(QStringLiteral("SeleccionarClave"), false, true);
    c.Fmt = l.texto(QStringLiteral("Formato"));
    c.iMoneda1 = l.entero(QStringLiteral("moneda1"), -1);
    c.ModificaPrecio = l.siNo(QStringLiteral("ModificaPrecio"), false) == QLatin1String("S");
    c.Bar = l.texto(QStringLiteral("Impresion")).trimmed() == QLatin1String("B");
    c.bModifP1 = l.siNo(QStringLiteral("ModifP1"), false) == QLatin1String("S");
    c.sAlmacenLoc = l.registro(QStringLiteral("AlmacenLocalizacion"));
    c.Artnagreg = l.registro(QStringLiteral("Art s/ registro"));
    c.precSP = l.registro(QStringLiteral("Precio promo")).trimmed() == QLatin1String("S");
    return c;
}
