#include "common/Dialogos.h"
#include "common/Mensaje.h"

#include "ImprimeQt.h"
#include "Respondedor.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>

TEST(Mensaje, RespondedorAnotaYContesta)
{
    Respondedor r(IDNO);
    r.responde(IDYES);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    EXPECT_EQ(Mensaje(QStringLiteral("¿Borrar?"), TituloAviso(), MsjPregunta), IDYES); // de la cola
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);                                // cursor normal
    EXPECT_EQ(Mensaje(QStringLiteral("Listo"), QStringLiteral("Otro"), MsjInformacion), IDOK);
    EXPECT_EQ(Mensaje(QStringLiteral("¿Seguro?"), TituloAviso(), MsjPreguntaNo), IDNO); // omisión
    ASSERT_EQ(r.cuantos(), 3);
    EXPECT_EQ(r.mensajes()[0].texto, QStringLiteral("¿Borrar?"));
    EXPECT_EQ(r.mensajes()[0].titulo, QStringLiteral("Aviso del sistema"));
    EXPECT_EQ(r.mensajes()[1].titulo, QStringLiteral("Otro"));
    EXPECT_EQ(r.mensajes()[1].flags, 64);
    EXPECT_EQ(r.ultimo().flags, 292);
    EXPECT_EQ(r.pendientes(), 0);
}

TEST(Mensaje, RespondedoresAnidadosSeRestauran)
{
    Respondedor externo;
    {
        Respondedor interno(IDNO);
        Mensaje(QStringLiteral("uno"), TituloAviso(), MsjPregunta);
        EXPECT_EQ(interno.cuantos(), 1);
    }
    EXPECT_EQ(Mensaje(QStringLiteral("dos"), TituloAviso(), MsjPregunta), IDYES);
    EXPECT_EQ(externo.textos(), QStringList{QStringLiteral("dos")});
}

namespace {

struct CajaVista
{
    bool vista = false;
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> botones;
    QMessageBox::StandardButton omision = QMessageBox::NoButton;
    QString titulo, texto;
};

// Espera la caja modal, la describe y pulsa el botón pedido
void contestaCaja(CajaVista &vista, QMessageBox::StandardButton pulsar)
{
    auto *reloj = new QTimer(qApp);
    reloj->setInterval(10);
    QObject::connect(reloj, &QTimer::timeout, reloj, [reloj, &vista, pulsar] {
        auto *caja = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!caja)
            return;
        reloj->stop();
        reloj->deleteLater();
        vista.vista = true;
        vista.icono = caja->icon();
        for (QAbstractButton *b : caja->buttons())
            vista.botones << caja->standardButton(b);
        std::sort(vista.botones.begin(), vista.botones.end());
        vista.omision = caja->defaultButton() ? caja->standardButton(caja->defaultButton()) : QMessageBox::NoButton;
        vista.titulo = caja->windowTitle();
        vista.texto = caja->text();
        if (QAbstractButton *b = caja->button(pulsar))
            b->click();
        else
            caja->reject();
    });
    reloj->start();
}

} // namespace

TEST(Mensaje, CajaRealSegunBanderas)
{
    struct Caso
    {
        int flags;
        QMessageBox::Icon icono;
        QList<QMessageBox::StandardButton> botones;
        QMessageBox::StandardButton omision; // NoButton = el primero
        QMessageBox::StandardButton pulsar;
        int resultado;
    };
    using B = QMessageBox;
    const Caso casos[] = {
        {64, B::Information, {B::Ok}, B::Ok, B::Ok, IDOK},
        {16, B::Critical, {B::Ok}, B::Ok, B::Ok, IDOK},
        {48, B::Warning, {B::Ok}, B::Ok, B::Ok, IDOK},
        {36, B::Question, {B::Yes, B::No}, B::Yes, B::Yes, IDYES},
        {36, B::Question, {B::Yes, B::No}, B::Yes, B::No, IDNO},
        {292, B::Question, {B::Yes, B::No}, B::No, B::Yes, IDYES},
        {292, B::Question, {B::Yes, B::No}, B::No, B::No, IDNO},
        {36 + 4096, B::Question, {B::Yes, B::No}, B::Yes, B::No, IDNO},
    };
    for (const Caso &c : casos) {
        CajaVista vista;
        contestaCaja(vista, c.pulsar);
        const int r = Mensaje(QStringLiteral("Primera línea\r\rsegunda"), TituloAviso(), c.flags);
        ASSERT_TRUE(vista.vista) << c.flags;
        EXPECT_EQ(r, c.resultado) << c.flags;
        EXPECT_EQ(vista.icono, c.icono) << c.flags;
        auto esperados = c.botones;
        std::sort(esperados.begin(), esperados.end());
        EXPECT_EQ(vista.botones, esperados) << c.flags;
        if (c.botones.size() > 1) {
            EXPECT_EQ(vista.omision, c.omision) << c.flags;
        }
        EXPECT_EQ(vista.titulo, QStringLiteral("Aviso del sistema"));
        EXPECT_EQ(vista.texto, QStringLiteral("Primera línea\n\nsegunda"));
    }
}

TEST(Mensaje, CajaRealCerradaSinBotonEnPreguntaEsNo)
{
    CajaVista vista;
    contestaCaja(vista, QMessageBox::Cancel); // no existe: se cierra con Escape
    EXPECT_EQ(Mensaje(QStringLiteral("¿Seguro?"), TituloAviso(), MsjPregunta), IDNO);
    EXPECT_TRUE(vista.vista);
}

namespace {

class DialogoNombre : public QDialog
{
public:
    DialogoNombre()
    {
        setWindowTitle(QStringLiteral("Nombre"));
        auto *capa = new QVBoxLayout(this);
        edicion = new QLineEdit(this);
        capa->addWidget(edicion);
    }
    QLineEdit *edicion;
};

} // namespace

TEST(Dialogos, GuionLlenaYContesta)
{
    GuionDialogos guion;
    guion.agrega([](QDialog &d) {
        static_cast<DialogoNombre &>(d).edicion->setText(QStringLiteral("Martillo"));
        return int(QDialog::Accepted);
    });
    guion.agrega(std::function<int(QMessageBox &)>([](QMessageBox &) { return int(QDialog::Accepted); }));

    DialogoNombre d;
    EXPECT_EQ(EjecutaDialogo(d), QDialog::Accepted);
    EXPECT_EQ(d.edicion->text(), QStringLiteral("Martillo"));
    EXPECT_EQ(d.result(), QDialog::Accepted);

    DialogoNombre otro; // se esperaba una QMessageBox: se rechaza y se anota
    EXPECT_EQ(EjecutaDialogo(otro), QDialog::Rejected);
    EXPECT_EQ(guion.errores().size(), 1);

    DialogoNombre tercero; // sin pasos: la omisión
    EXPECT_EQ(EjecutaDialogo(tercero), QDialog::Rejected);
    EXPECT_EQ(guion.ejecutados(), 3);
    EXPECT_EQ(guion.titulos(), QStringList(3, QStringLiteral("Nombre")));
}

TEST(Dialogos, GuionDeArchivos)
{
    GuionArchivos guion;
    guion.agrega(QStringLiteral("/tmp/a.csv"));
    EXPECT_EQ(PideArchivoAbrir(nullptr, QStringLiteral("Abrir"), QStringLiteral("/tmp"), QStringLiteral("CSV (*.csv)")),
              QStringLiteral("/tmp/a.csv"));
    EXPECT_EQ(PideArchivoGuardar(nullptr, QStringLiteral("Guardar"), {}, {}, QStringLiteral("xlsx")), QString());
    ASSERT_EQ(guion.solicitudes().size(), 2);
    EXPECT_FALSE(guion.solicitudes()[0].guardar);
    EXPECT_EQ(guion.solicitudes()[0].filtro, QStringLiteral("CSV (*.csv)"));
    EXPECT_TRUE(guion.solicitudes()[1].guardar);
    EXPECT_EQ(guion.solicitudes()[1].extensionOmision, QStringLiteral("xlsx"));
}

TEST(Dialogos, ArchivoRealPasaPorElEjecutorDeDialogos)
{
    // Sin guion de archivos el QFileDialog real llega al ejecutor: se llena y se acepta
    GuionDialogos guion;
    QString clase;
    guion.agrega(std::function<int(QFileDialog &)>([&clase](QFileDialog &d) {
        clase = QString::fromLatin1(d.metaObject()->className());
        d.selectFile(QStringLiteral("/tmp/libro.xlsx"));
        return int(QDialog::Accepted);
    }));
    const QString r = PideArchivoGuardar(nullptr, QStringLiteral("Guardar"), QStringLiteral("/tmp"),
                                         QStringLiteral("Archivos de excel (*.xlsx)"), QStringLiteral("xlsx"));
    EXPECT_EQ(clase, QStringLiteral("QFileDialog"));
    EXPECT_TRUE(guion.errores().isEmpty()) << guion.errores().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(r, QStringLiteral("/tmp/libro.xlsx"));
}
