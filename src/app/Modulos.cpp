#include "app/Modulos.h"

#include "app/MForm.h"

#include <QLabel>
#include <QVBoxLayout>

#include <map>

namespace {

// Ventana provisional de un módulo que aún no tiene la suya
class VentanaProvisional : public TMForm
{
public:
    explicit VentanaProvisional(const QString &titulo)
    {
        setWindowTitle(titulo);
        auto *caja = new QVBoxLayout(this);
        auto *aviso = new QLabel(titulo, this);
        aviso->setAlignment(Qt::AlignCenter);
        QFont f = aviso->font();
        f.setPointSize(16);
        aviso->setFont(f);
        aviso->setStyleSheet(QStringLiteral("color: #808080;"));
        caja->addWidget(aviso);
        Inicializa();
    }
};

DefModulo provisional(int numero, const QString &titulo)
{
    DefModulo d;
    d.numero = numero;
    d.titulo = titulo;
    d.clase = QStringLiteral("TMForm") + QString::number(numero);
    d.crea = [titulo] { return new VentanaProvisional(titulo); };
    d.provisional = true;
    return d;
}

std::map<int, DefModulo> &tabla()
{
    static std::map<int, DefModulo> t = [] {
        std::map<int, DefModulo> m;
        m[2] = provisional(2, QStringLiteral("Módulo de Seguridad"));
        m[10] = provisional(10, QStringLiteral("Configuración"));
        m[90] = provisional(90, QStringLiteral("Imprimir etiquetas"));
        m[91] = provisional(91, QStringLiteral("Archivo de artículos"));
        m[92] = provisional(92, QStringLiteral("Cambio de precios"));
        return m;
    }();
    return t;
}

} // namespace

void RegistraModulo(int numero, const QString &clase, FabricaVentana crea)
{
    auto it = tabla().find(numero);
    if (it == tabla().end())
        return;
    it->second.clase = clase;
    it->second.crea = std::move(crea);
    it->second.modal = nullptr;
    it->second.provisional = false;
}

void RegistraModuloModal(int numero, EjecutaModal ejecuta)
{
    auto it = tabla().find(numero);
    if (it == tabla().end())
        return;
    it->second.modal = std::move(ejecuta);
    it->second.provisional = false;
}

void QuitaRegistroModulo(int numero)
{
    auto it = tabla().find(numero);
    if (it != tabla().end())
        it->second = provisional(numero, it->second.titulo);
}

const DefModulo *BuscaModulo(int numero)
{
    auto it = tabla().find(numero);
    return it == tabla().end() ? nullptr : &it->second;
}

std::vector<int> NumerosModulo()
{
    std::vector<int> v;
    for (const auto &[n, d] : tabla())
        v.push_back(n);
    return v;
}
