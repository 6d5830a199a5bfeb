#include "report/DisenadorPaneles.h"

#include "report/Informe.h"

#include "common/Dialogos.h"
#include "common/Mensaje.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QDoubleSpinBox *Mm(QWidget *padre, double minimo = -2000, double maximo = 2000)
{
    auto *s = new QDoubleSpinBox(padre);
    s->setRange(minimo, maximo);
    s->setDecimals(2);
    s->setSingleStep(0.5);
    s->setSuffix(QStringLiteral(" mm"));
    s->setKeyboardTracking(false);
    s->setAccelerated(true);
    return s;
}

QString ExpresionCampo(const QString &campo) { return QStringLiteral("[frxDBDataset.\"%1\"]").arg(campo); }

void PintaBotonColor(QPushButton *b, const QColor &c)
{
    QPixmap px(28, 14);
    px.fill(c.isValid() ? c : QColor(Qt::white));
    if (!c.isValid()) {
        QPainter p(&px);
        p.setPen(Qt::red);
        p.drawLine(0, 13, 27, 0);
    }
    b->setIcon(QIcon(px));
    b->setIconSize(px.size());
}

QGroupBox *Grupo(const QString &titulo, QFormLayout *&forma, QWidget *padre)
{
    auto *g = new QGroupBox(titulo, padre);
    forma = new QFormLayout(g);
    forma->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    forma->setContentsMargins(8, 6, 8, 6);
    forma->setVerticalSpacing(4);
    return g;
}

} // namespace

// ---------------------------------------------------------------- propiedades

DisenadorPropiedades::DisenadorPropiedades(DisenadorDocumento &doc, QWidget *padre) : QWidget(padre), m_doc(doc)
{
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    l->setSpacing(6);
    m_titulo = new QLabel(this);
    m_titulo->setStyleSheet(QStringLiteral("font-weight: bold; padding: 2px;"));
    l->addWidget(m_titulo);

    QFormLayout *f = nullptr;
    m_gGeometria = Grupo(QStringLiteral("Posición y tamaño"), f, this);
    m_x = Mm(this);
    m_y = Mm(this);
    m_ancho = Mm(this, 0);
    m_alto = Mm(this, 0);
    auto *fila1 = new QHBoxLayout;
    fila1->addWidget(m_x);
    fila1->addWidget(m_y);
    auto *fila2 = new QHBoxLayout;
    fila2->addWidget(m_ancho);
    fila2->addWidget(m_alto);
    f->addRow(QStringLiteral("Izq. / Arriba:"), fila1);
    f->addRow(QStringLiteral("Ancho / Alto:"), fila2);
    l->addWidget(m_gGeometria);
    for (QDoubleSpinBox *s : {m_x, m_y, m_ancho, m_alto})
        connect(s, &QDoubleSpinBox::valueChanged, this, &DisenadorPropiedades::cambiaGeometria);

    m_gTexto = Grupo(QStringLiteral("Texto"), f, this);
    m_fTexto = f;
    m_texto = new QPlainTextEdit(this);
    m_texto->setFixedHeight(64);
    m_texto->setTabChangesFocus(true);
    f->addRow(m_texto);
    m_campo = new QComboBox(this);
    m_campo->setEditable(false);
    m_inserta = new QPushButton(QStringLiteral("Insertar"), this);
    m_filaCampo = new QHBoxLayout;
    m_filaCampo->addWidget(m_campo, 1);
    m_filaCampo->addWidget(m_inserta);
    f->addRow(QStringLiteral("Campo:"), m_filaCampo);
    m_dato = new QComboBox(this);
    m_dato->setEditable(true);
    f->addRow(QStringLiteral("Dato:"), m_dato);
    m_formato = new QComboBox(this);
    m_formato->addItem(QStringLiteral("Sin formato"), int(FormatoNumero::Ninguno));
    m_formato->addItem(QStringLiteral("Moneda, dos decimales ($1,234.50)"), int(FormatoNumero::Moneda));
    m_formato->addItem(QStringLiteral("Entero con miles (1,235)"), int(FormatoNumero::EnteroMiles));
    f->addRow(QStringLiteral("Formato:"), m_formato);
    l->addWidget(m_gTexto);
    connect(m_texto, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = m_texto->toPlainText();
        cambia(QStringLiteral("texto"), [&](Vista &v) {
            if (v.tipo == TipoVista::Memo) {
                v.texto = t;
                v.campo.clear();
            } else if (v.tipo == TipoVista::CodigoBarras || v.tipo == TipoVista::Codigo2D) {
                v.texto = t;
            }
        });
    });
    connect(m_inserta, &QPushButton::clicked, this, [this] {
        if (m_campo->currentIndex() >= 0)
            insertaCampo(m_campo->currentText());
    });
    connect(m_dato, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        // Código de barras: un campo o una expresión <frxDBDataset."campo">
        QString e = t.trimmed();
        if (!e.isEmpty() && !e.contains(QLatin1Char('"')) && !e.contains(QLatin1Char('<')))
            e = QStringLiteral("<frxDBDataset.\"%1\">").arg(e);
        cambia(QStringLiteral("dato"), [&](Vista &v) {
            if (v.tipo == TipoVista::CodigoBarras || v.tipo == TipoVista::Codigo2D || v.tipo == TipoVista::Imagen) {
                v.expresion = v.tipo == TipoVista::Imagen ? QString() : e;
                if (v.tipo == TipoVista::Imagen) {
                    v.campo = t.trimmed();
                    if (!v.campo.isEmpty() && v.conjunto.isEmpty())
                        v.conjunto = QStringLiteral("frxDBDataset");
                } else {
                    v.campo.clear();
                }
            }
        });
    });
    connect(m_formato, &QComboBox::activated, this, [this] {
        const auto fmt = FormatoNumero(m_formato->currentData().toInt());
        cambia({}, [&](Vista &v) {
            if (v.tipo == TipoVista::Memo)
                PonFormatoNumero(v, fmt);
        });
    });

    m_gFuente = Grupo(QStringLiteral("Fuente y alineación"), f, this);
    m_fuente = new QFontComboBox(this);
    f->addRow(QStringLiteral("Fuente:"), m_fuente);
    m_puntos = new QDoubleSpinBox(this);
    m_puntos->setRange(2, 400);
    m_puntos->setDecimals(1);
    m_puntos->setSuffix(QStringLiteral(" pt"));
    m_puntos->setKeyboardTracking(false);
    m_negrita = new QCheckBox(QStringLiteral("Negrita"), this);
    m_cursiva = new QCheckBox(QStringLiteral("Cursiva"), this);
    auto *filaF = new QHBoxLayout;
    filaF->addWidget(m_puntos);
    filaF->addWidget(m_negrita);
    filaF->addWidget(m_cursiva);
    f->addRow(QStringLiteral("Tamaño:"), filaF);
    m_color = new QPushButton(QStringLiteral("Texto"), this);
    m_relleno = new QPushButton(QStringLiteral("Fondo"), this);
    auto *filaC = new QHBoxLayout;
    filaC->addWidget(m_color);
    filaC->addWidget(m_relleno);
    f->addRow(QStringLiteral("Color:"), filaC);
    m_alineaH = new QComboBox(this);
    m_alineaH->addItem(QStringLiteral("Izquierda"), int(AlineaH::Izquierda));
    m_alineaH->addItem(QStringLiteral("Centro"), int(AlineaH::Centro));
    m_alineaH->addItem(QStringLiteral("Derecha"), int(AlineaH::Derecha));
    m_alineaH->addItem(QStringLiteral("Justificado"), int(AlineaH::Justificado));
    m_alineaV = new QComboBox(this);
    m_alineaV->addItem(QStringLiteral("Arriba"), int(AlineaV::Arriba));
    m_alineaV->addItem(QStringLiteral("Centro"), int(AlineaV::Centro));
    m_alineaV->addItem(QStringLiteral("Abajo"), int(AlineaV::Abajo));
    auto *filaA = new QHBoxLayout;
    filaA->addWidget(m_alineaH);
    filaA->addWidget(m_alineaV);
    f->addRow(QStringLiteral("Alineación:"), filaA);
    m_ajusta = new QCheckBox(QStringLiteral("Ajustar líneas"), this);
    m_rotacion = new QComboBox(this);
    for (int r : {0, 90, 180, 270})
        m_rotacion->addItem(QStringLiteral("%1°").arg(r), r);
    auto *filaR = new QHBoxLayout;
    filaR->addWidget(m_ajusta);
    filaR->addWidget(new QLabel(QStringLiteral("Rotación:"), this));
    filaR->addWidget(m_rotacion);
    f->addRow(filaR);
    l->addWidget(m_gFuente);
    connect(m_fuente, &QFontComboBox::currentFontChanged, this, [this](const QFont &q) {
        cambia({}, [&](Vista &v) { v.fuente.nombre = q.family(); });
    });
    connect(m_puntos, &QDoubleSpinBox::valueChanged, this, [this](double pt) {
        cambia(QStringLiteral("puntos"), [&](Vista &v) { v.fuente.ponPuntos(pt); });
    });
    connect(m_negrita, &QCheckBox::toggled, this, [this](bool si) {
        cambia({}, [&](Vista &v) { v.fuente.estilo = si ? (v.fuente.estilo | 1) : (v.fuente.estilo & ~1); });
    });
    connect(m_cursiva, &QCheckBox::toggled, this, [this](bool si) {
        cambia({}, [&](Vista &v) { v.fuente.estilo = si ? (v.fuente.estilo | 2) : (v.fuente.estilo & ~2); });
    });
    connect(m_color, &QPushButton::clicked, this, [this] { eligeColor(true); });
    connect(m_relleno, &QPushButton::clicked, this, [this] { eligeColor(false); });
    connect(m_alineaH, &QComboBox::activated, this, [this] {
        const auto a = AlineaH(m_alineaH->currentData().toInt());
        cambia({}, [&](Vista &v) { v.alineaH = a; });
    });
    connect(m_alineaV, &QComboBox::activated, this, [this] {
        const auto a = AlineaV(m_alineaV->currentData().toInt());
        cambia({}, [&](Vista &v) { v.alineaV = a; });
    });
    connect(m_ajusta, &QCheckBox::toggled, this, [this](bool si) { cambia({}, [&](Vista &v) { v.ajustaLineas = si; }); });
    connect(m_rotacion, &QComboBox::activated, this, [this] {
        const int r = m_rotacion->currentData().toInt();
        cambia({}, [&](Vista &v) { v.rotacion = r; });
    });

    m_gBarras = Grupo(QStringLiteral("Código de barras"), f, this);
    m_tipoBarras = new QComboBox(this);
    for (const auto &t : TiposDeBarras())
        m_tipoBarras->addItem(t.second, t.first);
    f->addRow(QStringLiteral("Tipo:"), m_tipoBarras);
    m_muestraTexto = new QCheckBox(QStringLiteral("Mostrar texto"), this);
    m_verificador = new QCheckBox(QStringLiteral("Dígito verificador"), this);
    auto *filaB = new QHBoxLayout;
    filaB->addWidget(m_muestraTexto);
    filaB->addWidget(m_verificador);
    f->addRow(filaB);
    l->addWidget(m_gBarras);
    connect(m_tipoBarras, &QComboBox::activated, this, [this] {
        const QString t = m_tipoBarras->currentData().toString();
        cambia({}, [&](Vista &v) {
            if (v.tipo == TipoVista::CodigoBarras || v.tipo == TipoVista::Codigo2D)
                v.tipoBarras = t;
        });
    });
    connect(m_muestraTexto, &QCheckBox::toggled, this, [this](bool si) {
        cambia({}, [&](Vista &v) {
            if (v.tipo == TipoVista::CodigoBarras || v.tipo == TipoVista::Codigo2D)
                v.muestraTexto = si;
        });
    });
    connect(m_verificador, &QCheckBox::toggled, this, [this](bool si) {
        cambia({}, [&](Vista &v) {
            if (v.tipo == TipoVista::CodigoBarras || v.tipo == TipoVista::Codigo2D)
                v.calculaVerificador = si;
        });
    });

    m_gMarco = Grupo(QStringLiteral("Marco y línea"), f, this);
    m_fMarco = f;
    const char *lados[] = {"Izq.", "Der.", "Arriba", "Abajo"};
    auto *filaM = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_lados[i] = new QCheckBox(QString::fromUtf8(lados[i]), this);
        filaM->addWidget(m_lados[i]);
        const int bit = 1 << i;
        connect(m_lados[i], &QCheckBox::toggled, this, [this, bit](bool si) {
            cambia({}, [&](Vista &v) { v.marco.lados = si ? (v.marco.lados | bit) : (v.marco.lados & ~bit); });
        });
    }
    f->addRow(QStringLiteral("Lados:"), filaM);
    m_anchoMarco = new QDoubleSpinBox(this);
    m_anchoMarco->setRange(0.1, 50);
    m_anchoMarco->setDecimals(1);
    m_anchoMarco->setKeyboardTracking(false);
    m_colorMarco = new QPushButton(QStringLiteral("Color"), this);
    auto *filaG = new QHBoxLayout;
    filaG->addWidget(m_anchoMarco);
    filaG->addWidget(m_colorMarco);
    f->addRow(QStringLiteral("Grosor:"), filaG);
    m_figura = new QComboBox(this);
    m_figura->addItem(QStringLiteral("Rectángulo"), QStringLiteral("skRectangle"));
    m_figura->addItem(QStringLiteral("Rectángulo redondeado"), QStringLiteral("skRoundRectangle"));
    m_figura->addItem(QStringLiteral("Elipse"), QStringLiteral("skEllipse"));
    f->addRow(QStringLiteral("Figura:"), m_figura);
    l->addWidget(m_gMarco);
    connect(m_anchoMarco, &QDoubleSpinBox::valueChanged, this, [this](double a) {
        cambia(QStringLiteral("grosor"), [&](Vista &v) { v.marco.ancho = a; });
    });
    connect(m_colorMarco, &QPushButton::clicked, this, [this] {
        const Vista *v = m_doc.actual();
        if (!v)
            return;
        QColorDialog d(AColorQt(v->marco.color).isValid() ? AColorQt(v->marco.color) : QColor(Qt::black), this);
        d.setWindowTitle(QStringLiteral("Color del marco"));
        if (EjecutaDialogo(d) == QDialog::Accepted) {
            const ColorForma c = DeColorQt(d.selectedColor());
            cambia({}, [&](Vista &x) { x.marco.color = c; });
        }
    });
    connect(m_figura, &QComboBox::activated, this, [this] {
        const QString s = m_figura->currentData().toString();
        cambia({}, [&](Vista &v) {
            if (v.tipo == TipoVista::Figura)
                v.figura = s;
        });
    });

    m_gImagen = Grupo(QStringLiteral("Imagen"), f, this);
    m_cargaImagen = new QPushButton(QStringLiteral("Cargar imagen..."), this);
    f->addRow(m_cargaImagen);
    m_estirada = new QCheckBox(QStringLiteral("Estirar"), this);
    m_proporcion = new QCheckBox(QStringLiteral("Mantener proporción"), this);
    auto *filaI = new QHBoxLayout;
    filaI->addWidget(m_estirada);
    filaI->addWidget(m_proporcion);
    f->addRow(filaI);
    l->addWidget(m_gImagen);
    connect(m_cargaImagen, &QPushButton::clicked, this, [this] {
        const QString a = PideArchivoAbrir(this, QStringLiteral("Imagen"), {},
                                           QStringLiteral("Imágenes (*.png *.jpg *.jpeg *.bmp *.gif *.svg)"));
        if (a.isEmpty())
            return;
        QString error;
        if (!m_doc.ponImagenDeArchivo(a, error))
            Mensaje(error, TituloAviso(), MsjError);
    });
    connect(m_estirada, &QCheckBox::toggled, this, [this](bool si) { cambia({}, [&](Vista &v) { v.estirada = si; }); });
    connect(m_proporcion, &QCheckBox::toggled, this,
            [this](bool si) { cambia({}, [&](Vista &v) { v.mantieneProporcion = si; }); });

    l->addStretch(1);
    connect(&m_doc, &DisenadorDocumento::seleccionCambiada, this, &DisenadorPropiedades::refresca);
    connect(&m_doc, &DisenadorDocumento::cambiado, this, &DisenadorPropiedades::refresca);
    refresca();
}

void DisenadorPropiedades::ponCampos(const QStringList &campos)
{
    m_refrescando = true;
    m_campo->clear();
    m_campo->addItems(campos);
    m_dato->clear();
    m_dato->addItems(campos);
    m_refrescando = false;
    refresca();
}

void DisenadorPropiedades::cambia(const QString &clave, const std::function<void(Vista &)> &f)
{
    if (m_refrescando)
        return;
    m_doc.cambiaSeleccion(clave, f);
}

void DisenadorPropiedades::insertaCampo(const QString &campo)
{
    const Vista *v = m_doc.actual();
    if (!v || campo.isEmpty())
        return;
    if (v->tipo == TipoVista::Memo) {
        m_texto->insertPlainText(ExpresionCampo(campo));
        m_texto->setFocus();
    } else {
        m_dato->setCurrentText(campo);
    }
}

void DisenadorPropiedades::cambiaGeometria()
{
    if (m_refrescando || m_doc.seleccion().isEmpty())
        return;
    m_doc.ponGeometria(m_doc.seleccion().first(), Longitud::deMm(m_x->value()), Longitud::deMm(m_y->value()),
                       Longitud::deMm(m_ancho->value()), Longitud::deMm(m_alto->value()));
}

void DisenadorPropiedades::eligeColor(bool fuente)
{
    const Vista *v = m_doc.actual();
    if (!v)
        return;
    const QColor inicial = AColorQt(fuente ? v->fuente.color : v->relleno);
    QColorDialog d(inicial.isValid() ? inicial : QColor(Qt::white), this);
    d.setWindowTitle(fuente ? QStringLiteral("Color del texto") : QStringLiteral("Color de fondo"));
    if (EjecutaDialogo(d) != QDialog::Accepted)
        return;
    const ColorForma c = DeColorQt(d.selectedColor());
    cambia({}, [&](Vista &x) {
        if (fuente)
            x.fuente.color = c;
        else
            x.relleno = c;
    });
}

void DisenadorPropiedades::refresca()
{
    m_refrescando = true;
    const Vista *v = m_doc.actual();
    const int n = int(m_doc.seleccion().size());
    const bool hay = v != nullptr;
    const TipoVista t = hay ? v->tipo : TipoVista::Desconocida;
    const bool memo = t == TipoVista::Memo;
    const bool barras = t == TipoVista::CodigoBarras || t == TipoVista::Codigo2D;
    static const QHash<int, QString> nombres = {{int(TipoVista::Memo), QStringLiteral("Texto")},
                                                {int(TipoVista::CodigoBarras), QStringLiteral("Código de barras")},
                                                {int(TipoVista::Codigo2D), QStringLiteral("Código 2D")},
                                                {int(TipoVista::Linea), QStringLiteral("Línea")},
                                                {int(TipoVista::Figura), QStringLiteral("Rectángulo")},
                                                {int(TipoVista::Imagen), QStringLiteral("Imagen")}};
    if (!hay)
        m_titulo->setText(QStringLiteral("Nada elegido: elija un objeto o dibuje uno con las herramientas."));
    else if (n > 1)
        m_titulo->setText(QStringLiteral("%1 objetos elegidos (se muestra %2)").arg(n).arg(v->nombre));
    else
        m_titulo->setText(QStringLiteral("%1: %2").arg(nombres.value(int(t)), v->nombre));
    m_titulo->setWordWrap(true);
    m_gGeometria->setVisible(hay);
    m_gTexto->setVisible(memo || barras || t == TipoVista::Imagen);
    m_gFuente->setVisible(memo || barras);
    m_gBarras->setVisible(barras);
    m_gMarco->setVisible(hay && t != TipoVista::Imagen);
    m_gImagen->setVisible(t == TipoVista::Imagen);
    if (hay) {
        m_x->setValue(v->izquierda.mm());
        m_y->setValue(v->arriba.mm());
        m_ancho->setValue(v->ancho.mm());
        m_alto->setValue(v->alto.mm());
        m_fTexto->setRowVisible(m_texto, memo || barras);
        m_fTexto->setRowVisible(m_filaCampo, memo);
        m_fTexto->setRowVisible(m_formato, memo);
        m_fTexto->setRowVisible(m_dato, barras || t == TipoVista::Imagen);
        const QString textoVista = memo && !v->campo.isEmpty() ? ExpresionCampo(v->campo) : v->texto;
        if (m_texto->toPlainText() != textoVista)
            m_texto->setPlainText(textoVista);
        if (barras) {
            QString dato = v->campo;
            static const QRegularExpression campo(QStringLiteral("^<?\\s*frxDBDataset\\s*\\.\\s*\"([^\"]*)\"\\s*>?$"));
            if (dato.isEmpty()) {
                const auto m = campo.match(v->expresion.trimmed());
                dato = m.hasMatch() ? m.captured(1) : v->expresion;
            }
            m_dato->setCurrentText(dato);
            const int i = m_tipoBarras->findData(v->tipoBarras);
            if (i < 0)
                m_tipoBarras->addItem(v->tipoBarras, v->tipoBarras);
            m_tipoBarras->setCurrentIndex(m_tipoBarras->findData(v->tipoBarras));
            m_muestraTexto->setChecked(v->muestraTexto);
            m_verificador->setChecked(v->calculaVerificador);
        } else if (t == TipoVista::Imagen) {
            m_dato->setCurrentText(v->campo);
        }
        const FormatoNumero fmt = FormatoDeVista(*v);
        if (fmt == FormatoNumero::Otro) {
            const QString texto = QStringLiteral("Otro: %1").arg(v->formato.cadena);
            if (m_formato->count() < 4)
                m_formato->addItem(texto, int(FormatoNumero::Otro));
            else
                m_formato->setItemText(3, texto);
        } else if (m_formato->count() > 3) {
            m_formato->removeItem(3);
        }
        m_formato->setCurrentIndex(m_formato->findData(int(fmt)));
        m_fuente->setCurrentFont(QFont(v->fuente.nombre));
        // El nombre de la forma, aunque el sistema lo sustituya por otra fuente
        if (m_fuente->isEditable())
            m_fuente->setEditText(v->fuente.nombre);
        m_puntos->setValue(v->fuente.puntos());
        m_negrita->setChecked(v->fuente.estilo & 1);
        m_cursiva->setChecked(v->fuente.estilo & 2);
        PintaBotonColor(m_color, AColorQt(v->fuente.color));
        PintaBotonColor(m_relleno, AColorQt(v->relleno));
        PintaBotonColor(m_colorMarco, AColorQt(v->marco.color));
        m_alineaH->setCurrentIndex(m_alineaH->findData(int(v->alineaH)));
        m_alineaV->setCurrentIndex(m_alineaV->findData(int(v->alineaV)));
        m_ajusta->setChecked(v->ajustaLineas);
        m_rotacion->setCurrentIndex(std::max(0, m_rotacion->findData(v->rotacion)));
        for (int i = 0; i < 4; ++i) {
            m_lados[i]->setChecked(v->marco.lados & (1 << i));
            m_lados[i]->setEnabled(t != TipoVista::Linea && t != TipoVista::Figura);
        }
        m_anchoMarco->setValue(v->marco.ancho);
        m_fMarco->setRowVisible(m_figura, t == TipoVista::Figura);
        m_figura->setCurrentIndex(std::max(0, m_figura->findData(v->figura)));
        m_estirada->setChecked(v->estirada);
        m_proporcion->setChecked(v->mantieneProporcion);
    }
    m_refrescando = false;
}

// ---------------------------------------------------------------- página

DisenadorPagina::DisenadorPagina(DisenadorDocumento &doc, QWidget *padre) : QWidget(padre), m_doc(doc)
{
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    QFormLayout *f = nullptr;
    auto *gPapel = Grupo(QStringLiteral("Papel"), f, this);
    m_papel = new QComboBox(this);
    m_papel->addItem(QStringLiteral("Carta (215.9 × 279.4 mm)"), int(PapelForma::Carta));
    m_papel->addItem(QStringLiteral("A4 (210 × 297 mm)"), int(PapelForma::A4));
    m_papel->addItem(QStringLiteral("A la medida"), int(PapelForma::Medida));
    f->addRow(QStringLiteral("Tamaño:"), m_papel);
    m_anchoPapel = Mm(this, 10, 2000);
    m_altoPapel = Mm(this, 10, 2000);
    auto *fila = new QHBoxLayout;
    fila->addWidget(m_anchoPapel);
    fila->addWidget(m_altoPapel);
    f->addRow(QStringLiteral("Ancho / Alto:"), fila);
    m_orientacion = new QComboBox(this);
    m_orientacion->addItem(QStringLiteral("Vertical"));
    m_orientacion->addItem(QStringLiteral("Horizontal"));
    f->addRow(QStringLiteral("Orientación:"), m_orientacion);
    l->addWidget(gPapel);

    auto *gMargen = Grupo(QStringLiteral("Márgenes"), f, this);
    for (auto *&m : m_margen)
        m = Mm(this, 0, 500);
    auto *f1 = new QHBoxLayout;
    f1->addWidget(m_margen[0]);
    f1->addWidget(m_margen[2]);
    auto *f2 = new QHBoxLayout;
    f2->addWidget(m_margen[1]);
    f2->addWidget(m_margen[3]);
    f->addRow(QStringLiteral("Izq. / Der.:"), f1);
    f->addRow(QStringLiteral("Arriba / Abajo:"), f2);
    l->addWidget(gMargen);

    auto *gCol = Grupo(QStringLiteral("Columnas de la página"), f, this);
    m_colPagina = new QSpinBox(this);
    m_colPagina->setRange(1, 50);
    m_colPagina->setKeyboardTracking(false);
    f->addRow(QStringLiteral("Columnas:"), m_colPagina);
    m_anchoColPagina = Mm(this, 0, 2000);
    m_espacioColPagina = Mm(this, 0, 500);
    auto *f3 = new QHBoxLayout;
    f3->addWidget(m_anchoColPagina);
    f3->addWidget(m_espacioColPagina);
    f->addRow(QStringLiteral("Ancho / Espacio:"), f3);
    l->addWidget(gCol);

    auto *gBanda = Grupo(QStringLiteral("Banda"), f, this);
    m_banda = new QComboBox(this);
    f->addRow(QStringLiteral("Banda:"), m_banda);
    m_altoBanda = Mm(this, 0, 2000);
    f->addRow(QStringLiteral("Alto:"), m_altoBanda);
    m_colBanda = new QSpinBox(this);
    m_colBanda->setRange(1, 50);
    m_colBanda->setKeyboardTracking(false);
    f->addRow(QStringLiteral("Etiquetas por fila:"), m_colBanda);
    m_anchoColBanda = Mm(this, 0, 2000);
    m_espacioColBanda = Mm(this, 0, 500);
    auto *f4 = new QHBoxLayout;
    f4->addWidget(m_anchoColBanda);
    f4->addWidget(m_espacioColBanda);
    f->addRow(QStringLiteral("Ancho / Espacio:"), f4);
    auto *agrega = new QPushButton(QStringLiteral("Agregar banda"), this);
    auto *menu = new QMenu(agrega);
    const QList<QPair<TipoBanda, QString>> tipos = {{TipoBanda::TituloInforme, QStringLiteral("Título del informe")},
                                                    {TipoBanda::EncabezadoPagina, QStringLiteral("Encabezado de página")},
                                                    {TipoBanda::DatosMaestros, QStringLiteral("Datos (una por registro)")},
                                                    {TipoBanda::PieDatos, QStringLiteral("Pie de los datos")},
                                                    {TipoBanda::PiePagina, QStringLiteral("Pie de página")},
                                                    {TipoBanda::ResumenInforme, QStringLiteral("Resumen del informe")}};
    for (const auto &t : tipos) {
        const TipoBanda tipo = t.first;
        connect(menu->addAction(t.second), &QAction::triggered, this, [this, tipo] { m_doc.agregaBanda(tipo); });
    }
    agrega->setMenu(menu);
    m_quitaBanda = new QPushButton(QStringLiteral("Quitar banda"), this);
    connect(m_quitaBanda, &QPushButton::clicked, this, [this] {
        const int b = m_banda->currentData().toInt();
        if (b < 0 || m_banda->currentIndex() < 0)
            return;
        if (Mensaje(QStringLiteral("¿Quitar la banda %1 con sus objetos?").arg(m_banda->currentText()), TituloAviso(),
                    MsjPreguntaNo) == IDYES)
            m_doc.quitaBanda(b);
    });
    auto *f5 = new QHBoxLayout;
    f5->addWidget(agrega);
    f5->addWidget(m_quitaBanda);
    f->addRow(f5);
    l->addWidget(gBanda);
    m_resumen = new QLabel(this);
    m_resumen->setWordWrap(true);
    m_resumen->setStyleSheet(QStringLiteral("color: #35506b; padding: 4px;"));
    l->addWidget(m_resumen);
    l->addStretch(1);

    connect(m_papel, &QComboBox::activated, this, &DisenadorPagina::aplicaPapel);
    connect(m_anchoPapel, &QDoubleSpinBox::valueChanged, this, &DisenadorPagina::aplicaPapel);
    connect(m_altoPapel, &QDoubleSpinBox::valueChanged, this, &DisenadorPagina::aplicaPapel);
    connect(m_orientacion, &QComboBox::activated, this, [this](int i) {
        if (!m_refrescando)
            m_doc.ponHorizontal(i == 1);
    });
    for (auto *m : m_margen)
        connect(m, &QDoubleSpinBox::valueChanged, this, [this] {
            if (!m_refrescando)
                m_doc.ponMargenes(Longitud::deMm(m_margen[0]->value()), Longitud::deMm(m_margen[1]->value()),
                                  Longitud::deMm(m_margen[2]->value()), Longitud::deMm(m_margen[3]->value()));
        });
    connect(m_colPagina, &QSpinBox::valueChanged, this, &DisenadorPagina::aplicaColumnasPagina);
    connect(m_anchoColPagina, &QDoubleSpinBox::valueChanged, this, &DisenadorPagina::aplicaColumnasPagina);
    connect(m_espacioColPagina, &QDoubleSpinBox::valueChanged, this, &DisenadorPagina::aplicaColumnasPagina);
    connect(m_banda, &QComboBox::activated, this, [this] {
        m_doc.ponBandaActual(m_banda->currentData().toInt());
        refresca();
    });
    connect(m_altoBanda, &QDoubleSpinBox::valueChanged, this, &DisenadorPagina::aplicaBanda);
    connect(m_colBanda, &QSpinBox::valueChanged, this, &DisenadorPagina::aplicaBanda);
    connect(m_anchoColBanda, &QDoubleSpinBox::valueChanged, this, &DisenadorPagina::aplicaBanda);
    connect(m_espacioColBanda, &QDoubleSpinBox::valueChanged, this, &DisenadorPagina::aplicaBanda);
    connect(&m_doc, &DisenadorDocumento::cambiado, this, &DisenadorPagina::refresca);
    connect(&m_doc, &DisenadorDocumento::seleccionCambiada, this, &DisenadorPagina::refresca);
    refresca();
}

void DisenadorPagina::aplicaPapel()
{
    if (m_refrescando)
        return;
    const auto papel = PapelForma(m_papel->currentData().toInt());
    m_doc.ponPapel(papel, Longitud::deMm(m_anchoPapel->value()), Longitud::deMm(m_altoPapel->value()));
}

void DisenadorPagina::aplicaColumnasPagina()
{
    if (m_refrescando)
        return;
    m_doc.ponColumnasPagina(m_colPagina->value(), Longitud::deMm(m_anchoColPagina->value()),
                            Longitud::deMm(m_espacioColPagina->value()));
}

void DisenadorPagina::aplicaBanda()
{
    if (m_refrescando)
        return;
    const int b = m_banda->currentData().toInt();
    m_doc.ponAltoBanda(b, Longitud::deMm(m_altoBanda->value()));
    m_doc.ponColumnasBanda(b, m_colBanda->value(), Longitud::deMm(m_anchoColBanda->value()),
                           Longitud::deMm(m_espacioColBanda->value()));
}

void DisenadorPagina::refresca()
{
    m_refrescando = true;
    const Pagina &p = m_doc.pagina();
    m_papel->setCurrentIndex(m_papel->findData(int(m_doc.papel())));
    m_anchoPapel->setValue(p.anchoPapel.mm());
    m_altoPapel->setValue(p.altoPapel.mm());
    const bool medida = m_doc.papel() == PapelForma::Medida;
    m_anchoPapel->setEnabled(medida);
    m_altoPapel->setEnabled(medida);
    m_orientacion->setCurrentIndex(p.horizontal ? 1 : 0);
    m_margen[0]->setValue(p.margenIzquierdo.mm());
    m_margen[1]->setValue(p.margenSuperior.mm());
    m_margen[2]->setValue(p.margenDerecho.mm());
    m_margen[3]->setValue(p.margenInferior.mm());
    m_colPagina->setValue(std::max(1, p.columnas));
    m_anchoColPagina->setValue(p.anchoColumna.mm());
    m_espacioColPagina->setValue(m_doc.espacioColumnasPagina().mm());
    m_anchoColPagina->setEnabled(p.columnas > 1);
    m_espacioColPagina->setEnabled(p.columnas > 1);

    m_banda->clear();
    int actual = -1;
    for (int i = 0; i < p.bandas.size(); ++i) {
        if (p.bandas[i].tipo == TipoBanda::Desconocida)
            continue;
        m_banda->addItem(p.bandas[i].nombre, i);
        if (i == m_doc.bandaActual())
            actual = m_banda->count() - 1;
    }
    if (actual < 0 && m_banda->count() > 0)
        actual = 0;
    m_banda->setCurrentIndex(actual);
    const int b = m_banda->currentData().toInt();
    const bool hay = actual >= 0 && b >= 0 && b < p.bandas.size();
    for (QWidget *w : std::initializer_list<QWidget *>{m_altoBanda, m_colBanda, m_anchoColBanda, m_espacioColBanda, m_quitaBanda})
        w->setEnabled(hay);
    if (hay) {
        const Banda &x = p.bandas[b];
        m_altoBanda->setValue(x.alto.mm());
        m_colBanda->setValue(std::max(1, x.columnas));
        m_anchoColBanda->setValue(x.anchoColumna.mm());
        m_espacioColBanda->setValue(x.espacioColumna.mm());
        m_anchoColBanda->setEnabled(x.columnas > 1);
        m_espacioColBanda->setEnabled(x.columnas > 1);
        const BandaEnDiseno *d = m_doc.bandaEnDiseno(b);
        if (d && x.tipo == TipoBanda::DatosMaestros)
            m_resumen->setText(QStringLiteral("Etiquetas por hoja: %1 (etiqueta de %2 × %3 mm)")
                                   .arg(d->etiquetas.size() + 1)
                                   .arg(d->ancho.mm(), 0, 'f', 1)
                                   .arg(d->alto.mm(), 0, 'f', 1));
        else
            m_resumen->clear();
    } else {
        m_resumen->clear();
    }
    m_refrescando = false;
}

// ---------------------------------------------------------------- vista previa

DisenadorVistaPrevia::DisenadorVistaPrevia(DisenadorDocumento &doc, QWidget *padre) : QWidget(padre), m_doc(doc)
{
    setMinimumSize(160, 160);
    m_temporizador.setSingleShot(true);
    m_temporizador.setInterval(350);
    connect(&m_temporizador, &QTimer::timeout, this, &DisenadorVistaPrevia::actualiza);
    connect(&m_doc, &DisenadorDocumento::cambiado, this, [this] {
        // Durante un arrastre se espera a que termine
        if (!m_doc.enGesto())
            m_temporizador.start();
    });
    m_temporizador.start();
}

void DisenadorVistaPrevia::ponDatos(const FuenteDatos *datos)
{
    m_datos = datos;
    m_primeras = datos ? std::make_unique<DatosPrimerasFilas>(datos, FilasPrevia) : nullptr;
    m_temporizador.start();
}

void DisenadorVistaPrevia::actualiza()
{
    m_temporizador.stop();
    Informe inf;
    Plantilla f = m_doc.forma();
    // Sólo la página que se diseña
    if (m_doc.hayPagina() && f.paginas.size() > 1) {
        const Pagina p = f.paginas[m_doc.indicePagina()];
        f.paginas = {p};
    }
    inf.ponForma(f);
    if (m_primeras)
        inf.ponDatos(m_primeras.get());
    const Pagina &pg = m_doc.pagina();
    const double ancho = std::max(1.0, pg.anchoPapel.pulgadas());
    const double alto = std::max(1.0, pg.altoPapel.pulgadas());
    const double dpi = std::clamp(std::min((width() - 12) / ancho, (height() - 30) / alto) * devicePixelRatioF(), 20.0, 300.0);
    m_imagen = inf.numPaginas() > 0 ? inf.imagenPagina(0, dpi) : QImage();
    const int filas = m_primeras ? m_primeras->numFilas() : 0;
    m_pie = QStringLiteral("Hoja 1 de %1 · %2 filas de muestra").arg(std::max(1, inf.numPaginas())).arg(filas);
    update();
}

void DisenadorVistaPrevia::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_temporizador.start();
}

void DisenadorVistaPrevia::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x9a, 0xa3, 0xad));
    if (!m_imagen.isNull()) {
        QSizeF t = QSizeF(m_imagen.size()) / devicePixelRatioF();
        t.scale(QSizeF(width() - 12, height() - 30), Qt::KeepAspectRatio);
        const QRectF r(QPointF((width() - t.width()) / 2, 6), t);
        p.fillRect(r.translated(3, 3), QColor(0, 0, 0, 60));
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, m_imagen);
    }
    p.setPen(Qt::white);
    p.drawText(QRect(0, height() - 22, width(), 20), Qt::AlignCenter, m_pie);
}
