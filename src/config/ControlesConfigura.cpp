#include "config/ControlesConfigura.h"

#include "common/Dialogos.h"
#include "db/MemTable.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QToolButton>

// ---------------------------------------------------------------- ComboLista

ComboLista::ComboLista(QWidget *padre) : QComboBox(padre)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
}

void ComboLista::llena(const MemTable &tabla, const QString &campoId, const QString &campoNombre)
{
    clear();
    const int cId = tabla.indiceCampo(campoId);
    const int cNombre = tabla.indiceCampo(campoNombre);
    for (int f = 0; f < tabla.cantidad(); ++f)
        addItem(tabla.valorEn(f, cNombre).toString(), QVariant(tabla.valorEn(f, cId).toLongLong()));
    setCurrentIndex(-1);
}

void ComboLista::eligeId(const QString &id)
{
    bool ok = false;
    const qint64 n = id.trimmed().toLongLong(&ok);
    setCurrentIndex(ok ? findData(QVariant(n)) : -1);
}

QString ComboLista::idElegido() const
{
    return currentIndex() < 0 ? QString() : QString::number(currentData().toLongLong());
}

void ComboLista::mousePressEvent(QMouseEvent *e)
{
    if (m_soloLectura) {
        e->accept();
        return;
    }
    QComboBox::mousePressEvent(e);
}

void ComboLista::keyPressEvent(QKeyEvent *e)
{
    if (m_soloLectura && e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void ComboLista::wheelEvent(QWheelEvent *e)
{
    if (m_soloLectura) {
        e->accept();
        return;
    }
    QComboBox::wheelEvent(e);
}

// ---------------------------------------------------------------- CampoArchivo

CampoArchivo::CampoArchivo(const QString &filtro, bool carpeta, QWidget *padre)
    : QWidget(padre)
    , m_editor(new QLineEdit(this))
    , m_boton(new QToolButton(this))
    , m_filtro(filtro)
    , m_carpeta(carpeta)
{
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    l->addWidget(m_editor, 1);
    l->addWidget(m_boton);
    m_boton->setText(QStringLiteral("..."));
    setFocusProxy(m_editor);
    connect(m_boton, &QToolButton::clicked, this, &CampoArchivo::examina);
}

QString CampoArchivo::text() const
{
    return m_editor->text();
}

void CampoArchivo::setText(const QString &texto)
{
    m_editor->setText(texto);
}

void CampoArchivo::setSoloLectura(bool si)
{
    m_editor->setReadOnly(si);
    m_boton->setVisible(!si);
}

bool CampoArchivo::soloLectura() const
{
    return m_editor->isReadOnly();
}

void CampoArchivo::examina()
{
    const QString actual = m_editor->text();
    QString elegido;
    if (m_carpeta) {
        QFileDialog dlg(this, QStringLiteral("Carpeta"), actual);
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly);
        if (EjecutaDialogo(dlg) == QDialog::Accepted)
            elegido = dlg.selectedFiles().value(0);
        if (!elegido.isEmpty() && !elegido.endsWith(QLatin1Char('/')))
            elegido += QLatin1Char('/');
    } else {
        elegido = PideArchivoAbrir(this, QStringLiteral("Abrir"), QFileInfo(actual).path(), m_filtro);
    }
    if (!elegido.isEmpty())
        m_editor->setText(elegido);
}

void SoloMayusculas(QLineEdit *editor)
{
    QObject::connect(editor, &QLineEdit::textEdited, editor, [editor](const QString &texto) {
        const QString mayusculas = texto.toUpper();
        if (mayusculas != texto) {
            const int cursor = editor->cursorPosition();
            editor->setText(mayusculas);
            editor->setCursorPosition(cursor);
        }
    });
}

// ---------------------------------------------------------------- Rejilla

QVariant ModeloCaptura::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::ToolTipRole)
        return ayudas.value(seccion).isEmpty() ? QVariant() : QVariant(ayudas.value(seccion));
    return MemTableModelo::headerData(seccion, orientacion, rol);
}

namespace {
QString campoDe(const QModelIndex &indice)
{
    const auto *m = qobject_cast<const MemTableModelo *>(indice.model());
    if (!m || indice.column() < 0 || indice.column() >= m->columnas().size())
        return {};
    return m->columnas()[indice.column()].campo;
}
} // namespace

DelegadoCaptura::DelegadoCaptura(const MemTable &precios, QObject *padre)
    : QStyledItemDelegate(padre), m_precios(precios)
{
}

QWidget *DelegadoCaptura::createEditor(QWidget *padre, const QStyleOptionViewItem &opcion,
                                       const QModelIndex &indice) const
{
    const QString campo = campoDe(indice);
    if (campo == QLatin1String("precio_empresa_id")) {
        auto *c = new QComboBox(padre);
        const int cId = m_precios.indiceCampo(QStringLiteral("ID"));
        const int cNombre = m_precios.indiceCampo(QStringLiteral("Nombre"));
        for (int f = 0; f < m_precios.cantidad(); ++f)
            c->addItem(m_precios.valorEn(f, cNombre).toString(), QVariant(m_precios.valorEn(f, cId).toLongLong()));
        return c;
    }
    if (campo == QLatin1String("nombre")) {
        auto *e = new QLineEdit(padre);
        e->setMaxLength(15);
        return e;
    }
    if (campo == QLatin1String("ut_sugerida")) {
        auto *s = new QDoubleSpinBox(padre);
        s->setDecimals(5);
        s->setRange(-999999.99999, 999999.99999);
        s->setButtonSymbols(QAbstractSpinBox::NoButtons);
        return s;
    }
    return QStyledItemDelegate::createEditor(padre, opcion, indice);
}

void DelegadoCaptura::setEditorData(QWidget *editor, const QModelIndex &indice) const
{
    const QVariant v = indice.data(Qt::EditRole);
    if (auto *c = qobject_cast<QComboBox *>(editor)) {
        c->setCurrentIndex(v.isValid() ? c->findData(QVariant(v.toLongLong())) : -1);
        return;
    }
    if (auto *s = qobject_cast<QDoubleSpinBox *>(editor)) {
        s->setValue(v.toDouble());
        return;
    }
    if (auto *e = qobject_cast<QLineEdit *>(editor)) {
        e->setText(v.toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, indice);
}

void DelegadoCaptura::setModelData(QWidget *editor, QAbstractItemModel *modelo, const QModelIndex &indice) const
{
    if (auto *c = qobject_cast<QComboBox *>(editor)) {
        modelo->setData(indice, c->currentIndex() < 0 ? QVariant() : c->currentData(), Qt::EditRole);
        return;
    }
    if (auto *s = qobject_cast<QDoubleSpinBox *>(editor)) {
        s->interpretText();
        modelo->setData(indice, s->value(), Qt::EditRole);
        return;
    }
    if (auto *e = qobject_cast<QLineEdit *>(editor)) {
        modelo->setData(indice, e->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, modelo, indice);
}

void RejillaCaptura::confirmaEdicion()
{
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void RejillaCaptura::keyPressEvent(QKeyEvent *e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != EditingState) {
        if (alPulsarEnter)
            alPulsarEnter();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier) && state() != EditingState) {
        if (alBorrar)
            alBorrar();
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void RejillaCaptura::focusInEvent(QFocusEvent *e)
{
    QTableView::focusInEvent(e);
    if (alEntrar)
        alEntrar();
}

void RejillaCaptura::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint pista)
{
    QTableView::closeEditor(editor, pista);
    // Enter en un editor confirma y avanza como Enter en la rejilla
    if (pista == QAbstractItemDelegate::SubmitModelCache && alPulsarEnter)
        alPulsarEnter();
}

QString FormatoPorcentaje(double valor)
{
    QString s = QString::number(valor, 'f', 5);
    const qsizetype punto = s.indexOf(QLatin1Char('.'));
    while (s.size() > punto + 3 && s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s == QLatin1String("-0.00"))
        s = QStringLiteral("0.00");
    return s;
}
