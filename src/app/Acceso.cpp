#include "app/Acceso.h"

#include "app/Sesion.h"
#include "db/fbConsulta.h"

#include <QApplication>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TfAcceso::TfAcceso(const QString &baseEmpresa, QWidget *padre)
    : QDialog(padre, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_base(baseEmpresa)
{
    setWindowTitle(QStringLiteral("Acceso al sistema"));
    m_usuario = new QLineEdit(this);
    m_usuario->setMaxLength(31);
    m_clave = new QLineEdit(this);
    m_clave->setEchoMode(QLineEdit::Password);
    m_clave->setMaxLength(31);
    // Todo a mayúsculas al escribir
    connect(m_usuario, &QLineEdit::textEdited, this, [this](const QString &t) {
        const QString m = t.toUpper();
        if (m != t) {
            const int pos = m_usuario->cursorPosition();
            m_usuario->setText(m);
            m_usuario->setCursorPosition(pos);
        }
    });
    m_bAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_bCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_bAceptar->setAutoDefault(false);
    m_bCancelar->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Usuario:"), m_usuario);
    form->addRow(QStringLiteral("Contraseña:"), m_clave);
    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(m_bAceptar);
    botones->addWidget(m_bCancelar);
    auto *caja = new QVBoxLayout(this);
    caja->addLayout(form);
    caja->addLayout(botones);
    setFixedWidth(300);

    m_usuario->installEventFilter(this);
    m_clave->installEventFilter(this);
    connect(m_bAceptar, &QPushButton::clicked, this, &TfAcceso::bAceptarClick);
    connect(m_bCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

TfAcceso::~TfAcceso()
{
    try {
        if (m_trans.activa())
            m_trans.deshace();
    } catch (...) {
    }
    m_conexion.desconecta();
}

void TfAcceso::fijaUsuario(const QString &usuario)
{
    m_usuario->setText(usuario.toUpper());
    m_usuario->setReadOnly(true);
}

void TfAcceso::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (QScreen *p = screen())
        move(p->availableGeometry().center() - rect().center());
    QTimer::singleShot(0, this, [this] { (m_usuario->isReadOnly() ? m_clave : m_usuario)->setFocus(); });
}

bool TfAcceso::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (o == m_usuario)
                m_clave->setFocus();
            else if (o == m_clave)
                m_bAceptar->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void TfAcceso::bAceptarClick()
{
    // Conexión propia, en dialecto 1, a la base de la empresa
    m_conexion.desconecta();
    m_usuarioConectado.clear();
    const QString usuario = UsuarioLimpio(m_usuario->text());
    m_conexion.setBase(m_base);
    m_conexion.setDialecto(1);
    PonParametrosErp(m_conexion, usuario, m_clave->text());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = Conectar(m_conexion);
    QApplication::restoreOverrideCursor();
    if (ok) {
        m_usuarioConectado = usuario.toUpper();
        accept();
    } else {
        m_usuario->setFocus();
    }
}

quint32 TfAcceso::accesoModulo(int modulo)
{
    Consulta q(m_conexion, m_trans);
    q.setSql(QStringLiteral("select p.acceso from tlv_permisos p where p.usuario=:u and p.modulo=:m"));
    q.asigna(QStringLiteral("u"), m_usuarioConectado);
    q.asigna(QStringLiteral("m"), modulo);
    q.ejecuta();
    const quint32 acceso = q.eof() ? 0 : quint32(q.campo(0).entero());
    q.cierra();
    m_trans.confirma();
    return acceso;
}
