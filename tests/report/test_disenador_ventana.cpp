// Ventana del diseñador: ratón (arrastre, asas, marco, Ctrl-clic, herramientas), teclado,
// panel de propiedades, vista previa, guardado al cerrar, DisenaForma y una captura.
#include "report/ArchivoForma.h"
#include "report/Disenador.h"
#include "report/DisenadorPaneles.h"
#include "report/FuenteDatos.h"

#include "common/Dialogos.h"
#include "common/Mensaje.h"

#include "Entorno.h"
#include "ImprimeQt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

Longitud mm(double v) { return Longitud::deMm(v); }

DatosTabla Articulos(int n)
{
    DatosTabla t({QStringLiteral("articulo"), QStringLiteral("clave"), QStringLiteral("precio"), QStringLiteral("Precio2"),
                  QStringLiteral("Nota_General")});
    const char *nombres[] = {"Pinza de presión 10\"", "Martillo uña 16 oz", "Cinta métrica 5 m", "Desarmador plano 1/4",
                             "Lápiz amarillo HB", "Cuaderno profesional"};
    for (int i = 0; i < n; ++i)
        t.agregaFila({QString::fromUtf8(nombres[i % 6]), QStringLiteral("75010000%1").arg(1000 + i * 7, 5, 10, QLatin1Char('0')),
                      89.5 + i * 12.25, 85 + i, QStringLiteral("Precio válido en tienda")});
    return t;
}

class DisenadorVentana : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_ruta = m_tmp.filePath(QStringLiteral("Anaquel.fr3"));
        ASSERT_TRUE(QFile::copy(Entorno::fuentes() + QStringLiteral("/Formatos/Anaquel 3x10 Carta.fr3"), m_ruta));
        QFile::setPermissions(m_ruta, QFile::ReadOwner | QFile::WriteOwner);
        m_datos = Articulos(40);
        m_d = std::make_unique<TfDisenador>(m_ruta, &m_datos);
        m_d->resize(1400, 900);
        m_d->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_d.get()));
        m_d->activateWindow();
        (void)QTest::qWaitForWindowActive(m_d.get());
        m_d->lienzo()->ponZoom(1.0);
        m_d->lienzo()->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        if (m_d) {
            m_d->documento().ponForma(m_d->documento().forma()); // sin cambios pendientes: cierra sin preguntar
            m_d->close();
        }
        m_d.reset();
        PonRespondedorMensaje({});
    }

    DisenadorDocumento &doc() { return m_d->documento(); }
    DisenadorLienzo *lienzo() { return m_d->lienzo(); }
    QWidget *vp() { return m_d->lienzo()->viewport(); }
    QPoint px(const QPointF &unidades) { return lienzo()->aPantalla(unidades).toPoint(); }
    void tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(lienzo(), k, m); }

    QTemporaryDir m_tmp;
    QString m_ruta;
    DatosTabla m_datos;
    std::unique_ptr<TfDisenador> m_d;
};

} // namespace

TEST_F(DisenadorVentana, ArrastrarConElRatonEsUnPasoYCaeEnLaRejilla)
{
    ASSERT_TRUE(m_d->errorCarga().isEmpty());
    const RefVista r{0, 0};
    const Vista antes = *doc().vista(r);
    const Plantilla inicio = doc().forma();
    const QPoint c = px(doc().rectVista(r).center());
    ASSERT_TRUE(vp()->rect().contains(c));
    QTest::mousePress(vp(), Qt::LeftButton, {}, c);
    EXPECT_EQ(doc().seleccion(), QList<RefVista>{r});
    for (int i = 1; i <= 12; ++i)
        QTest::mouseMove(vp(), c + QPoint(i * 5, i * 2));
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, c + QPoint(60, 24));
    EXPECT_EQ(doc().pasosDeshacer(), 1) << "un arrastre es un solo paso";
    const Longitud dx = doc().ajusta(antes.izquierda + Longitud::deUnidades(60 / lienzo()->zoom())) - antes.izquierda;
    EXPECT_EQ(doc().vista(r)->izquierda, antes.izquierda + dx);
    EXPECT_GT(doc().vista(r)->izquierda, antes.izquierda);
    EXPECT_EQ(doc().vista(r)->izquierda.emu() % mm(1).emu(), 0) << "queda en la rejilla de 1 mm";
    EXPECT_TRUE(doc().modificado());
    EXPECT_TRUE(m_d->windowTitle().endsWith(QStringLiteral("*")));

    tecla(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(doc().forma() == inicio) << "Ctrl+Z deja la forma como estaba";
    tecla(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc().vista(r)->izquierda, antes.izquierda + dx);

    // Asa de la esquina inferior derecha: cambia el tamaño, un paso más
    const QPoint asa = px(doc().rectVista(r).bottomRight());
    QTest::mousePress(vp(), Qt::LeftButton, {}, asa);
    for (int i = 1; i <= 5; ++i)
        QTest::mouseMove(vp(), asa + QPoint(i * 4, i * 3));
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, asa + QPoint(20, 15));
    EXPECT_EQ(doc().pasosDeshacer(), 2);
    EXPECT_GT(doc().vista(r)->ancho, antes.ancho);
    EXPECT_GT(doc().vista(r)->alto, antes.alto);
    EXPECT_EQ(doc().vista(r)->izquierda, antes.izquierda + dx) << "la esquina opuesta no se mueve";
}

TEST_F(DisenadorVentana, TecladoMueveRedimensionaBorraDeshaceYRehace)
{
    const RefVista r{0, 2}; // el precio
    doc().selecciona(r);
    const Vista v0 = *doc().vista(r);
    const Longitud paso = doc().pasoRejilla();
    const int n0 = int(doc().pagina().bandas[0].vistas.size());

    tecla(Qt::Key_Right);
    tecla(Qt::Key_Right);
    tecla(Qt::Key_Down);
    EXPECT_EQ(doc().vista(r)->izquierda, v0.izquierda + paso * qint64(2));
    EXPECT_EQ(doc().vista(r)->arriba, v0.arriba + paso);
    tecla(Qt::Key_Left);
    tecla(Qt::Key_Up);
    EXPECT_EQ(doc().vista(r)->izquierda, v0.izquierda + paso);
    EXPECT_EQ(doc().vista(r)->arriba, v0.arriba);
    tecla(Qt::Key_Right, Qt::ShiftModifier);
    tecla(Qt::Key_Down, Qt::ShiftModifier);
    tecla(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(doc().vista(r)->ancho, v0.ancho + paso);
    EXPECT_EQ(doc().vista(r)->alto, v0.alto + paso * qint64(2));
    EXPECT_EQ(doc().vista(r)->izquierda, v0.izquierda + paso) << "Mayús+flecha no mueve";
    tecla(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(doc().vista(r)->ancho, v0.ancho);
    EXPECT_EQ(doc().pasosDeshacer(), 9);

    tecla(Qt::Key_Delete);
    EXPECT_EQ(doc().pagina().bandas[0].vistas.size(), n0 - 1);
    EXPECT_TRUE(doc().seleccion().isEmpty());
    tecla(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(doc().pagina().bandas[0].vistas.size(), n0);
    EXPECT_EQ(doc().vista(r)->nombre, v0.nombre);
    for (int i = 0; i < 9; ++i)
        tecla(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(*doc().vista(r) == v0);
    EXPECT_FALSE(m_d->accion(QStringLiteral("deshacer"))->isEnabled());
    for (int i = 0; i < 10; ++i)
        tecla(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc().pagina().bandas[0].vistas.size(), n0 - 1);

    // Ctrl+A elige todo
    tecla(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(doc().seleccion().size(), doc().todas().size());

    // Copiar y pegar con el teclado
    tecla(Qt::Key_Z, Qt::ControlModifier);
    doc().selecciona({0, 0});
    tecla(Qt::Key_C, Qt::ControlModifier);
    tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(doc().pagina().bandas[0].vistas.size(), n0 + 1);
    EXPECT_EQ(doc().vista({0, n0})->texto, doc().vista({0, 0})->texto);
}

TEST_F(DisenadorVentana, MarcoCtrlClicYHerramientaDeTextoConCampoDelConjunto)
{
    const BandaEnDiseno *b = doc().bandaEnDiseno(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->etiquetas.size(), 29) << "la hoja de 3 x 10 se dibuja completa";
    // Marco desde el gris de fuera del papel hasta el fin de la primera etiqueta
    const QPoint desde(4, 4), hasta = px(b->rect().bottomRight() - QPointF(1, 1));
    QTest::mousePress(vp(), Qt::LeftButton, {}, desde);
    QTest::mouseMove(vp(), (desde + hasta) / 2);
    QTest::mouseMove(vp(), hasta);
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, hasta);
    const int n = int(doc().pagina().bandas[0].vistas.size());
    EXPECT_EQ(doc().seleccion().size(), n);
    // Ctrl+clic quita una y la vuelve a poner
    const QPoint c = px(doc().rectVista({0, 1}).center());
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, c);
    EXPECT_EQ(doc().seleccion().size(), n - 1);
    EXPECT_FALSE(doc().seleccionada({0, 1}));
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, c);
    EXPECT_TRUE(doc().seleccionada({0, 1}));
    EXPECT_TRUE(m_d->accion(QStringLiteral("alinIzq"))->isEnabled());
    EXPECT_EQ(doc().pasosDeshacer(), 0) << "elegir no es un cambio";

    // El selector de campos lista los del conjunto
    QComboBox *campos = m_d->propiedades()->selectorCampo();
    ASSERT_EQ(campos->count(), m_datos.numCampos());
    EXPECT_EQ(campos->itemText(2), QStringLiteral("precio"));

    // Herramienta de texto: se dibuja un recuadro en la etiqueta
    m_d->accion(QStringLiteral("hTexto"))->trigger();
    EXPECT_EQ(lienzo()->herramienta(), Herramienta::Texto);
    const QPointF o = doc().origenUnidades(0);
    const QPoint p0 = px(o + QPointF(mm(40).unidades(), mm(2).unidades()));
    const QPoint p1 = px(o + QPointF(mm(60).unidades(), mm(8).unidades()));
    QTest::mousePress(vp(), Qt::LeftButton, {}, p0);
    QTest::mouseMove(vp(), p1);
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, p1);
    ASSERT_EQ(doc().pagina().bandas[0].vistas.size(), n + 1);
    const RefVista nueva{0, n};
    EXPECT_EQ(doc().seleccion(), QList<RefVista>{nueva});
    EXPECT_EQ(lienzo()->herramienta(), Herramienta::Seleccionar);
    EXPECT_EQ(doc().vista(nueva)->izquierda.emu() % mm(1).emu(), 0);
    EXPECT_NEAR(doc().vista(nueva)->ancho.mm(), 20, 1.0);

    m_d->propiedades()->editorTexto()->setPlainText(QStringLiteral("Precio: "));
    m_d->propiedades()->editorTexto()->moveCursor(QTextCursor::End);
    m_d->propiedades()->insertaCampo(QStringLiteral("precio"));
    EXPECT_EQ(doc().vista(nueva)->texto, QStringLiteral("Precio: [frxDBDataset.\"precio\"]"));
    QComboBox *fmt = m_d->propiedades()->selectorFormato();
    fmt->setCurrentIndex(fmt->findData(int(FormatoNumero::Moneda)));
    emit fmt->activated(fmt->currentIndex());
    EXPECT_EQ(doc().vista(nueva)->formato.cadena, QStringLiteral("%2.2m"));

    // Guardar con Ctrl+S y leer lo mismo
    m_d->accion(QStringLiteral("guardar"))->trigger();
    EXPECT_FALSE(doc().modificado());
    Plantilla leida;
    QString error;
    ASSERT_TRUE(LeeForma(m_ruta, leida, error)) << error.toStdString();
    EXPECT_TRUE(leida == doc().forma());
    EXPECT_TRUE(m_d->guardado());
}

TEST_F(DisenadorVentana, VistaPreviaMuestraLosDatosYCerrarPreguntaPorLosCambios)
{
    m_d->vistaPrevia()->actualiza();
    const QImage img = m_d->vistaPrevia()->imagen();
    ASSERT_FALSE(img.isNull());
    int oscuros = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            oscuros += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(oscuros, 200) << "la hoja de muestra lleva texto y barras";

    // Cerrar con cambios: "No" cierra sin guardar
    QStringList preguntas;
    PonRespondedorMensaje([&](const QString &t, const QString &, int) {
        preguntas << t;
        return IDNO;
    });
    QFile f(m_ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    f.close();
    doc().selecciona({0, 0});
    doc().mueve(mm(1), mm(1));
    m_d->reject();
    ASSERT_EQ(preguntas.size(), 1);
    EXPECT_TRUE(preguntas[0].contains(QStringLiteral("cambios")));
    EXPECT_FALSE(m_d->isVisible());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), original);
    f.close();
}

TEST_F(DisenadorVentana, DisenaFormaAbreModalYDiceSiSeGuardo)
{
    m_d.reset();
    GuionDialogos guion;
    guion.agrega<TfDisenador>([](TfDisenador &d) {
        d.documento().selecciona({0, 0});
        d.documento().cambiaSeleccion({}, [](Vista &v) { v.fuente.ponPuntos(15); });
        d.guarda();
        return int(QDialog::Accepted);
    });
    const DatosTabla datos = Articulos(3);
    EXPECT_TRUE(DisenaForma(m_ruta, &datos));
    EXPECT_EQ(guion.ejecutados(), 1);
    EXPECT_TRUE(guion.errores().isEmpty());
    Plantilla f;
    QString error;
    ASSERT_TRUE(LeeForma(m_ruta, f, error));
    EXPECT_DOUBLE_EQ(f.paginas[0].bandas[0].vistas[0].fuente.puntos(), 15.0);

    // Sin guardar: false, y una forma que no existe abre una en blanco que se guarda ahí
    GuionDialogos otro;
    otro.agrega<TfDisenador>([](TfDisenador &d) {
        EXPECT_EQ(d.documento().pagina().bandas.size(), 1);
        // Sin conjunto de datos: las expresiones a la vista y una vista previa vacía
        d.documento().agregaEn(TipoVista::CodigoBarras, 0, Longitud::deMm(5), Longitud::deMm(5));
        d.vistaPrevia()->actualiza();
        EXPECT_FALSE(d.grab().isNull());
        d.documento().ponForma(d.documento().forma());
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(DisenaForma(m_tmp.filePath(QStringLiteral("Nueva.fr3")), nullptr));
    EXPECT_EQ(otro.ejecutados(), 1);
}

TEST_F(DisenadorVentana, Captura)
{
    doc().selecciona({0, 2});
    m_d->paginaAjustes(); // la pestaña de página existe; se muestra la del objeto
    m_d->vistaPrevia()->actualiza();
    QCoreApplication::processEvents();
    const QString carpeta = QCoreApplication::applicationDirPath();
    const QPixmap px = m_d->grab();
    ASSERT_FALSE(px.isNull());
    EXPECT_TRUE(px.save(carpeta + QStringLiteral("/disenador.png")));

    // Una etiqueta térmica chica abre a lo ancho, con la pestaña de página
    m_d.reset();
    const DatosTabla datos = Articulos(5);
    TfDisenador d(Entorno::fuentes() + QStringLiteral("/Formatos/Termica 50x25.fr3"), &datos);
    d.resize(1400, 900);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_GT(d.lienzo()->zoom(), 2.0);
    d.pestanas()->setCurrentIndex(1);
    d.documento().selecciona({0, 0});
    d.vistaPrevia()->actualiza();
    QCoreApplication::processEvents();
    EXPECT_TRUE(d.grab().save(carpeta + QStringLiteral("/disenador_termica.png")));
}

TEST_F(DisenadorVentana, PanelDePropiedadesCambiaLoElegidoYCadaCambioSeDeshace)
{
    DisenadorPropiedades *pp = m_d->propiedades();
    doc().selecciona({0, 1}); // el código de barras de la clave
    EXPECT_EQ(pp->selectorDato()->currentText(), QStringLiteral("clave"));
    EXPECT_EQ(pp->selectorBarras()->currentData().toString(), QStringLiteral("bcCode128"));
    const Plantilla inicio = doc().forma();

    QComboBox *tipo = pp->selectorBarras();
    tipo->setCurrentIndex(tipo->findData(QStringLiteral("bcCodeEAN13")));
    emit tipo->activated(tipo->currentIndex());
    EXPECT_EQ(doc().actual()->tipoBarras, QStringLiteral("bcCodeEAN13"));
    pp->selectorDato()->setCurrentText(QStringLiteral("Precio2"));
    EXPECT_EQ(doc().actual()->expresion, QStringLiteral("<frxDBDataset.\"Precio2\">"));
    pp->casillaMuestraTexto()->setChecked(false);
    EXPECT_FALSE(doc().actual()->muestraTexto);
    pp->editorIzquierda()->setValue(12.5);
    EXPECT_EQ(doc().actual()->izquierda, mm(12.5));
    EXPECT_EQ(doc().pasosDeshacer(), 4);
    for (int i = 0; i < 4; ++i)
        doc().deshacer();
    EXPECT_TRUE(doc().forma() == inicio);
    EXPECT_EQ(pp->selectorDato()->currentText(), QStringLiteral("clave")) << "el panel sigue al modelo";
    EXPECT_DOUBLE_EQ(pp->editorIzquierda()->value(), std::round(doc().actual()->izquierda.mm() * 100) / 100);

    // Varios elegidos: el cambio va a todos
    doc().seleccionaVarias({{0, 0}, {0, 2}});
    pp->editorTexto()->clear();
    EXPECT_TRUE(doc().vista({0, 0})->texto.isEmpty());
    EXPECT_TRUE(doc().vista({0, 2})->texto.isEmpty());
}
