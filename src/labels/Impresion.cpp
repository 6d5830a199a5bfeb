#include "labels/Impresion.h"

#include "common/Dialogos.h"
#include "common/FechaUtil.h"
#include "common/Mensaje.h"
#include "common/Moneda.h"
#include "db/MemTable.h"
#include "db/fbError.h"
#include "labels/BarTender.h"
#include "labels/ImprimirForma.h"
#include "labels/LoteEtiquetas.h"
#include "report/FuenteDatos.h"

#include <QApplication>
#include <cmath>

namespace {
QString S(const char *t)
{
    return QString::fromUtf8(t);
}

// Posición y avisos de mArt se restauran al salir, también tras un error
struct GuardaPosicion
{
    explicit GuardaPosicion(MemTable &t) : tabla(t), marca(t.marca()) { tabla.suspendeAvisos(); }
    ~GuardaPosicion()
    {
        if (tabla.marcaValida(marca))
            tabla.irA(marca);
        tabla.reanudaAvisos();
    }
    MemTable &tabla;
    MemTable::Marca marca;
};

bool marcado(const MemTable &t)
{
    const QVariant v = t.valor(S("imprimir"));
    return v.isValid() && !v.isNull() && v.toBool();
}
} // namespace

QString ContenidoEntero(const QString &texto)
{
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return S("0");
    bool ok = false;
    const qlonglong entero = t.toLongLong(&ok);
    if (ok)
        return QString::number(entero);
    QString n = t;
    n.replace(QLatin1Char(','), QLatin1Char('.'));
    const double d = n.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return S("0");
    if (d == std::floor(d) && std::fabs(d) < 9e15)
        return QString::number(qlonglong(d));
    return NumeroGeneral(d);
}

int LlenaImpresion(LoteEtiquetas &lote)
{
    MemTable &art = lote.mArt();
    MemTable &imp = lote.mArtImp();
    GuardaPosicion guarda(art);
    imp.cierra();
    imp.abre();
    imp.suspendeAvisos();

    // Campo de origen de cada campo de la tabla de impresión
    struct Copia
    {
        int destino;
        int origen;
        TipoCampo tipo;
        bool particular;
        bool contenido;
    };
    std::vector<Copia> copias;
    const QList<DefCampo> &campos = imp.campos();
    for (int i = 0; i < campos.size(); ++i) {
        const DefCampo &c = campos[i];
        if (c.tipo == TipoCampo::AutoIncremento)
            continue;
        const QString origen = c.nombre == QLatin1String("precio") ? S("Precio1") : c.nombre;
        const int o = art.indiceCampo(origen);
        if (o < 0)
            continue;
        copias.push_back({i, o, c.tipo, lote.tCampPart.contains(c.nombre),
                          c.nombre.startsWith(QLatin1String("Contenido_Empaque"))});
    }

    int filas = 0;
    try {
        for (art.primero(); !art.eof(); art.siguiente()) {
            if (!marcado(art))
                continue;
            const qint64 cantidad = art.esNulo(S("cantidad")) ? 0 : art.entero(S("cantidad"));
            // Los campos particulares se leen del ERP una vez por artículo, no por etiqueta
            QVariantList particulares;
            for (qint64 k = 0; k < cantidad; ++k) {
                imp.agrega();
                for (const Copia &c : copias) {
                    QVariant v = art.valor(c.origen);
                    if (c.contenido) {
                        v = ContenidoEntero(v.toString());
                    } else if (!c.particular && (!v.isValid() || v.isNull())) {
                        // Números y fechas vacíos se imprimen como 0 y la fecha cero
                        switch (c.tipo) {
                        case TipoCampo::Entero:
                            v = qint64(0);
                            break;
                        case TipoCampo::Real:
                            v = 0.0;
                            break;
                        case TipoCampo::Moneda:
                            v = QVariant::fromValue(Moneda());
                            break;
                        case TipoCampo::Fecha:
                            v = FechaCero();
                            break;
                        case TipoCampo::FechaHora:
                            v = QDateTime(FechaCero(), QTime(0, 0));
                            break;
                        default:
                            break;
                        }
                    }
                    imp.asigna(c.destino, v);
                }
                if (k == 0) {
                    lote.LlenaCamposParticulares();
                    for (const QString &campo : lote.tCampPart)
                        particulares << imp.valor(campo);
                } else {
                    for (int i = 0; i < lote.tCampPart.size(); ++i)
                        imp.asigna(lote.tCampPart[i], particulares.value(i));
                }
                imp.graba();
                ++filas;
            }
        }
    } catch (...) {
        if (imp.estado() != MemTable::Estado::Navegando)
            imp.cancela();
        imp.reanudaAvisos();
        throw;
    }
    imp.reanudaAvisos();
    imp.primero();
    return filas;
}

QStringList LineasBarTender(LoteEtiquetas &lote)
{
    MemTable &art = lote.mArt();
    GuardaPosicion guarda(art);
    QStringList lineas;
    const int n = int(lote.tIDPrecio.size());
    for (art.primero(); !art.eof(); art.siguiente()) {
        if (!marcado(art))
            continue;
        QVariantList precios;
        for (int i = 1; i <= n; ++i)
            precios << art.valor(S("Precio%1").arg(i));
        lineas << LineaBarTender(art.texto(S("clave")), art.esNulo(S("cantidad")) ? 0 : art.entero(S("cantidad")),
                                 precios, art.texto(S("articulo")), lote.sinRegistro(), art.texto(S("Localizacion")));
    }
    return lineas;
}

bool ImprimeBarTender(LoteEtiquetas &lote)
{
    const QString formato = EligeFormato(FormatosBarTender(lote.cfg.CarpetaFmt), lote.cfg.Fmt);
    try {
        lote.ajustes().escribe(S("Formato"), formato);
        lote.cfg.Fmt = formato;
    } catch (const ErrorFb &e) {
        Mensaje(S("Error al guardar el formato:\r") + e.texto(), TituloAviso(), MsjError);
        return false;
    }
    const QStringList lineas = LineasBarTender(lote);
    if (lineas.isEmpty()) {
        Mensaje(S("No hay artículos seleccionados a imprimir"), TituloAviso(), MsjInformacion);
        return false;
    }
    QString error;
    if (!EscribeArchivoBarTender(lote.cfg.BarText, lineas, error)) {
        Mensaje(S("No se pudo escribir el archivo ") + lote.cfg.BarText + S(":\r") + error, TituloAviso(), MsjError);
        return false;
    }
    if (!EjecutaBarTender(lote.cfg.BarExe, lote.cfg.CarpetaFmt, formato, lote.cfg.BarParam)) {
        Mensaje(S("No fue posible imprimir el archivo, inténtelo manualmente"), TituloAviso(), MsjInformacion);
        return false;
    }
    return true;
}

void ImprimeConFormas(LoteEtiquetas &lote, QWidget *padre)
{
    TfImprimirForma dlg(padre);
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restaura
        {
            ~Restaura() { QApplication::restoreOverrideCursor(); }
        } restaura;
        LlenaImpresion(lote);
    }
    DatosMemTable datos(lote.mArtImp());
    dlg.ponDatos(&datos);
    dlg.ponTablaNota(&lote.mArtImp());
    dlg.Sistema = S("EtiquetasTolvanas");
    dlg.Ventana = S("col_Cenefa");
    EjecutaDialogo(dlg);
}

void ImprimeEtiquetas(LoteEtiquetas &lote, QWidget *padre)
{
    try {
        if (lote.cfg.Bar) {
            ImprimeBarTender(lote);
            return;
        }
        if (Mensaje(S("¿Desea iniciar la impresión de las etiquetas?"), S("Imprimir"), MsjPregunta) != IDYES)
            return;
        ImprimeConFormas(lote, padre);
    } catch (const ErrorFb &e) {
        Mensaje(S("Error al preparar la impresión:\r") + e.texto(), TituloAviso(), MsjError);
    } catch (const ErrorEtiquetas &e) {
        Mensaje(e.texto(), TituloAviso(), MsjInformacion);
    }
}
