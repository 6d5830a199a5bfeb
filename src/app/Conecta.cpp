#include "app/Conecta.h"

#include "app/Empresas.h"
#include "app/Sesion.h"
#include "common/Dialogos.h"
#include "common/Mensaje.h"
#include "common/Util.h"
#include "db/fbConsulta.h"
#include "db/fbError.h"

#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Cursor de espera mientras vive
struct CursorEspera
{
    CursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QApplication::restoreOverrideCursor(); }
};
} // namespace

TfConecta::TfConecta(Sesion &sesion, FuentePerfiles fuente, QWidget *padre)
    : QDialog(padre), m_s(sesion), m_fuente(std::move(fuente))
{
    setWindowTitle(QStringLiteral("Tolvani Punto de Venta"));
    m_eUsuario = new QLineEdit(this);
    m_eUsuario->setMaxLength(31);
    m_cbConexion = new QComboBox(this);
    m_cbConexion->setEditable(false);
    m_eClave = new QLineEdit(this);
    m_eClave->setMaxLength(31);
    m_eClave->setEchoMode(QLineEdit::Password);
    m_bAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_bCancelar = new QPushButton(QStringLiteral("Ca&ncelar"), this);
    m_bAceptar->setEnabled(false);
    m_bCancelar->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Nombre de usuario:"), m_eUsuario);
    form->addRow(QStringLiteral("Conexión:"), m_cbConexion);
    form->addRow(QStringLiteral("Contraseña:"), m_eClave);
    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(m_bAceptar);
    botones->addWidget(m_bCancelar);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addLayout(botones);
    setMinimumWidth(380);

    connect(m_eUsuario, &QLineEdit::textChanged, this, &TfConecta::actualizaAceptar);
    connect(m_eClave, &QLineEdit::textChanged, this, &TfConecta::actualizaAceptar);
    connect(m_cbConexion, &QComboBox::currentIndexChanged, this, &TfConecta::actualizaAceptar);
    connect(m_bAceptar, &QPushButton::clicked, this, &TfConecta::bAceptarClick);
    connect(m_bCancelar, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget *w : {static_cast<QWidget *>(m_eUsuario), static_cast<QWidget *>(m_cbConexion),
                       static_cast<QWidget *>(m_eClave)})
        w->installEventFilter(this);
}

TfConecta::~TfConecta() = default;

void TfConecta::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_mostrado) {
        m_mostrado = true;
        FormShow();
    }
}

void TfConecta::FormShow()
{
    m_empresaRecordada.clear();
    const bool bien = m_fuente.lee();
    if (!bien)
        Mensaje(QStringLiteral("No fue posible cargar la configuración XML\r") + m_fuente.error(), TituloAviso(),
                MsjInformacion);
    QStringList nombres;
    for (const PerfilConexion &p : m_fuente.perfiles())
        nombres << p.nombre;
    QCollator col;
    col.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(nombres.begin(), nombres.end(), [&](const QString &a, const QString &b) { return col.compare(a, b) < 0; });
    m_cbConexion->clear();
    m_cbConexion->addItems(nombres);
    m_eUsuario->setText(m_fuente.ultimoUsuario());

    const int i = m_cbConexion->findText(m_fuente.ultimaConexion(), Qt::MatchExactly);
    if (i >= 0)
        m_cbConexion->setCurrentIndex(i);
    else if (m_cbConexion->count() > 0)
        m_cbConexion->setCurrentIndex(0);
    if (!m_eUsuario->text().isEmpty())
        m_eClave->setFocus();
    else
        m_eUsuario->setFocus();
    actualizaAceptar();
}

void TfConecta::actualizaAceptar()
{
    m_bAceptar->setEnabled(!EstaVacio(m_eUsuario->text()) && !m_eClave->text().isEmpty() &&
                           m_cbConexion->currentIndex() >= 0);
}

bool TfConecta::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(e)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            if (o == m_eUsuario)
                m_cbConexion->setFocus();
            else if (o == m_cbConexion)
                m_eClave->setFocus();
            else if (o == m_eClave && m_bAceptar->isEnabled())
                m_bAceptar->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

const PerfilConexion *TfConecta::perfilElegido() const
{
    return m_fuente.perfil(m_cbConexion->currentText());
}

void TfConecta::bAceptarClick()
{
    if (!m_bAceptar->isEnabled())
        return;
    {
        CursorEspera espera;
        if (!ConectaSistema(m_s.fbConfig, false))
            return;
        GuardaUltimoAcceso();
        ConectaSistema(m_s.fbMetadatos, true);
    }
    const QString u = QuitaBlancos(m_eUsuario->text()).toUpper();
    if (u == QStringView(kAdministrador) || m_s.VerificaBD(true)) {
        accept();
        return;
    }
    if (m_s.terminado()) { // versión del ERP no soportada
        reject();
        return;
    }
    m_eUsuario->setText(QString::fromUtf16(kAdministrador));
    Mensaje(QStringLiteral("Es necesario actualizar la base de datos, para hacerlo debe entrar con el usuario SYSDBA"),
            TituloAviso(), MsjInformacion);
    m_eClave->clear();
    m_eClave->setFocus();
}

bool TfConecta::ConectaSistema(Conexion &base, bool metadatos)
{
    m_s.userid = UsuarioLimpio(m_eUsuario->text());
    base.desconecta();
    const PerfilConexion *perfil = perfilElegido();
    if (!perfil || !perfil->conDireccion) {
        // Un perfil sin datos legibles no se intenta
        Mensaje(QStringLiteral("La conexión \"") + m_cbConexion->currentText() +
                    QStringLiteral("\" no tiene el directorio de datos configurado"),
                TituloAviso(), MsjInformacion);
        return false;
    }
    PonParametrosErp(base, m_s.userid, m_eClave->text());
    const QString db = perfil->DB();
    base.setBase(RutaSistema(db, metadatos ? QStringLiteral("Metadatos.fdb") : QStringLiteral("Config.fdb")));
    if (!Conectar(base))
        return false;
    if (metadatos)
        return true;

    const QString usr = m_s.userid.toUpper();
    QString elegida;
    try {
        m_s.fbConfigTrans.inicia();
        Consulta q(m_s.fbConfig, m_s.fbConfigTrans);
        q.setSql(QStringLiteral("select usuario_id,acceso_empresas from usuarios where nombre=:usr and tipo='U'"));
        q.asigna(QStringLiteral("usr"), usr);
        q.ejecuta();
        const qint64 usuarioId = q.eof() ? 0 : q.campo(0).entero();
        const QString acceso = q.eof() ? QString() : q.campo(1).texto();
        q.cierra();

        if (acceso == QLatin1String("L")) {
            q.setSql(QStringLiteral("select e.nombre_corto from empresas e join empresas_usuarios u on "
                                    "e.empresa_id=u.empresa_id where u.usuario_id=:id"));
            q.asigna(QStringLiteral("id"), usuarioId);
        } else {
            q.setSql(QStringLiteral("select nombre_corto from empresas"));
        }
        m_empresas.clear();
        for (q.ejecuta(); !q.eof(); q.siguiente())
            m_empresas << q.campo(0).texto();
        q.cierra();

        q.setSql(QStringLiteral(
            "select valor from registry where nombre='Empresa' and padre_id=(select elemento_id from registry "
            "where nombre='Microsip' and padre_id=(select elemento_id from registry where nombre=:usr and "
            "padre_id=0))"));
        q.asigna(QStringLiteral("usr"), usr);
        q.ejecuta();
        const int idRecordada = q.eof() ? 0 : q.campo(0).texto().trimmed().toInt();
        q.cierra();
        m_empresaRecordada.clear();
        if (idRecordada > 0) {
            q.setSql(QStringLiteral("select nombre_corto from empresas where empresa_id=:id"));
            q.asigna(QStringLiteral("id"), idRecordada);
            q.ejecuta();
            if (!q.eof())
                m_empresaRecordada = q.campo(0).texto();
            q.cierra();
        }
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Ocurrió un error al leer las empresas:\r") + e.texto(), TituloAviso(), MsjInformacion);
        return false;
    }

    m_s.fbDatabase.desconecta();
    PonParametrosErp(m_s.fbDatabase, m_s.userid, m_eClave->text());

    if (m_empresas.size() == 1) {
        elegida = m_empresas.first();
    } else {
        QApplication::restoreOverrideCursor();
        TfEmpresas dlg(this);
        dlg.ponEmpresas(m_empresas, m_empresaRecordada);
        const int r = EjecutaDialogo(dlg);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (r != QDialog::Accepted || dlg.empresa().isEmpty())
            return false;
        elegida = dlg.empresa();
    }

    m_s.fbDatabase.setBase(RutaEmpresa(db, elegida));
    if (!Conectar(m_s.fbDatabase))
        return false;
    try {
        Consulta q(m_s.fbConfig, m_s.fbConfigTrans);
        q.setSql(QStringLiteral("select empresa_id from empresas where nombre_corto=:n"));
        q.asigna(QStringLiteral("n"), elegida);
        q.ejecuta();
        m_s.EmpresaID = q.eof() ? 0 : int(q.campo(0).entero());
        q.cierra();
    } catch (const ErrorFb &e) {
        Mensaje(QStringLiteral("Ocurrió un error al leer las empresas:\r") + e.texto(), TituloAviso(), MsjInformacion);
        return false;
    }
    m_s.Empresa = elegida;
    m_s.UsuarioActual = usr;
    return true;
}

int TfConecta::NodoMicrosip(const QString &nombre, int padreId, QChar tipo, const QString &valor, bool siempre)
{
    // Sentencias preparadas una vez para todos los nodos
    if (!m_qNodo) {
        m_qNodo = std::make_unique<Consulta>(m_s.fbConfig, m_s.fbConfigTrans);
        m_qNodo->setSql(QStringLiteral("SELECT elemento_id FROM registry WHERE nombre = :nombre and padre_id = :padre_id"));
        m_qNodoId = std::make_unique<Consulta>(m_s.fbConfig, m_s.fbConfigTrans);
        m_qNodoId->setSql(QStringLiteral("select GEN_ID(ID_CATALOGOS,1) from rdb$database"));
        m_qNodoGuarda = std::make_unique<Consulta>(m_s.fbConfig, m_s.fbConfigTrans);
        m_qNodoGuarda->setSql(QStringLiteral("UPDATE or INSERT INTO registry (elemento_id, nombre, tipo, padre_id, valor) "
                                             "VALUES (:elemento_id, :nombre, :tipo, :padre_id, :valor)"));
    }
    Consulta &q = *m_qNodo;
    q.asigna(QStringLiteral("nombre"), nombre);
    q.asigna(QStringLiteral("padre_id"), padreId);
    q.ejecuta();
    const bool hay = !q.eof();
    int id = hay ? int(q.campo(0).entero()) : 0;
    q.cierra();
    if (!hay || siempre) {
        if (id < 1) {
            m_qNodoId->ejecuta();
            id = int(m_qNodoId->campo(0).entero());
            m_qNodoId->cierra();
        }
        Consulta &g = *m_qNodoGuarda;
        g.asigna(QStringLiteral("elemento_id"), id);
        g.asigna(QStringLiteral("nombre"), nombre);
        g.asigna(QStringLiteral("tipo"), QString(tipo));
        g.asigna(QStringLiteral("padre_id"), padreId);
        g.asigna(QStringLiteral("valor"), valor);
        g.ejecuta();
    }
    return id;
}

void TfConecta::GuardaUltimoAcceso()
{
    m_fuente.guardaUltimo(m_s.userid, m_cbConexion->currentText());
    if (m_s.EmpresaID <= 0)
        return;
    try {
        m_s.fbConfigTrans.inicia();
        const int raiz = NodoMicrosip(m_s.userid.toUpper(), 0, QLatin1Char('L'), QString(), false);
        const int microsip = NodoMicrosip(QStringLiteral("Microsip"), raiz, QLatin1Char('L'), QString(), false);
        NodoMicrosip(QStringLiteral("Empresa"), microsip, QLatin1Char('V'), QString::number(m_s.EmpresaID), true);
        m_s.fbConfigTrans.confirma();
    } catch (...) {
        // Recordar el último acceso nunca informa errores
        try {
            m_s.fbConfigTrans.deshace();
        } catch (...) {
        }
    }
}

bool DialogoConecta(Sesion &sesion, QWidget *padre)
{
    TfConecta dlg(sesion, FuentePerfiles::delSistema(), padre);
    return EjecutaDialogo(dlg) == QDialog::Accepted;
}

QString LeeNomEmp(Sesion &sesion)
{
    // Nombre en las preferencias de la empresa del ERP (PreferenciasEmpresa/DatosEmpresa/Nombre)
    try {
        Consulta q(sesion.fbDatabase, sesion.fbViewTrans);
        q.setSql(QStringLiteral(
            "select first 1 valor from registry where nombre='Nombre' and padre_id=(select first 1 elemento_id "
            "from registry where nombre='DatosEmpresa' and padre_id=(select first 1 elemento_id from registry "
            "where nombre='PreferenciasEmpresa' and padre_id=0))"));
        q.ejecuta();
        const QString nombre = q.eof() ? QString() : q.campo(0).texto().trimmed();
        q.cierra();
        return nombre;
    } catch (const ErrorFb &) {
        return {};
    }
}
