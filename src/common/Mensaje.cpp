#include "common/Mensaje.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace {

RespondedorMensaje &respondedorActual()
{
    static RespondedorMensaje r;
    return r;
}

// Banderas de Windows: botones en los 4 bits bajos, icono en 0xF0, botón por omisión en 0xF00
constexpr int MascaraBotones = 0x0F;
constexpr int MascaraIcono = 0xF0;
constexpr int MascaraOmision = 0xF00;

QMessageBox::Icon iconoDe(int flags)
{
    switch (flags & MascaraIcono) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct Boton
{
    QMessageBox::StandardButton qt;
    int resultado;
};

QList<Boton> botonesDe(int flags)
{
    switch (flags & MascaraBotones) {
    case 1:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case 3:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case 4:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

// Windows corta renglones con CR; Qt con LF
QString textoParaQt(QString t)
{
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

} // namespace

QString TituloAviso()
{
    return QStringLiteral("Aviso del sistema");
}

bool MensajeEsPregunta(int flags)
{
    const int b = flags & MascaraBotones;
    return b == 3 || b == 4;
}

RespondedorMensaje PonRespondedorMensaje(RespondedorMensaje respondedor)
{
    RespondedorMensaje anterior = std::move(respondedorActual());
    respondedorActual() = std::move(respondedor);
    return anterior;
}

int Mensaje(const QString &texto, const QString &titulo, int flags)
{
    // Cursor normal antes de preguntar nada
    const bool hayVentanas = qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
    while (hayVentanas && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();

    if (respondedorActual())
        return respondedorActual()(texto, titulo, flags);

    // Sin interfaz (herramientas de línea de órdenes): a la consola; una pregunta se contesta No
    if (!hayVentanas) {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(titulo), qUtf8Printable(textoParaQt(texto)));
        if (MensajeEsPregunta(flags))
            return (flags & MascaraBotones) == 3 ? IDCANCEL : IDNO;
        return IDOK;
    }

    const QList<Boton> botones = botonesDe(flags);
    QMessageBox caja(iconoDe(flags), titulo, textoParaQt(texto), QMessageBox::NoButton, QApplication::activeWindow());
    caja.setWindowModality(Qt::ApplicationModal);
    QList<QAbstractButton *> creados;
    for (const Boton &b : botones)
        creados << caja.addButton(b.qt);
    const int omision = (flags & MascaraOmision) >> 8; // 0 primero, 1 segundo, 2 tercero
    if (omision < creados.size())
        caja.setDefaultButton(qobject_cast<QPushButton *>(creados[omision]));
    // Escape: Cancelar si lo hay; en Sí/No, el No
    for (int i = 0; i < botones.size(); ++i)
        if (botones[i].resultado == IDCANCEL || (botones[i].resultado == IDNO && botones.size() == 2))
            caja.setEscapeButton(creados[i]);
    caja.exec();

    QAbstractButton *pulsado = caja.clickedButton();
    for (int i = 0; i < creados.size(); ++i)
        if (creados[i] == pulsado)
            return botones[i].resultado;
    // Cerrada sin botón: Aceptar en avisos, No en preguntas
    return MensajeEsPregunta(flags) ? ((flags & MascaraBotones) == 3 ? IDCANCEL : IDNO)
                                    : (botones.size() > 1 ? IDCANCEL : IDOK);
}
