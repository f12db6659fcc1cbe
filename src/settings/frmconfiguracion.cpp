#include "frmconfiguracion.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "data/connection.h"
#include "data/listformat.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *newTextBox(const QString &name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QPushButton *newButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// libpq's TLS modes, as the user reads them, in the order ServerSettings offers them.
const QStringList tlsCaptions = {QStringLiteral("Si el servidor la ofrece (prefer)"), QStringLiteral("Nunca (disable)"),
    QStringLiteral("Solo si el servidor la pide (allow)"), QStringLiteral("Siempre (require)"),
    QStringLiteral("Siempre, con certificado de confianza (verify-ca)"),
    QStringLiteral("Siempre, con certificado y nombre comprobados (verify-full)")};

// The two groups' fields start at one column, as a single form's would.
void alignFieldColumns(const QList<QFormLayout *> &forms)
{
    QList<QWidget *> labels;
    for (QFormLayout *form : forms) {
        for (int row = 0; row < form->rowCount(); ++row) {
            if (QLayoutItem *item = form->itemAt(row, QFormLayout::LabelRole); item && item->widget())
                labels.append(item->widget());
        }
    }
    int widest = 0;
    for (QWidget *label : std::as_const(labels))
        widest = qMax(widest, label->sizeHint().width());
    for (QWidget *label : std::as_const(labels))
        label->setMinimumWidth(widest);
}

} // namespace

frmConfiguracion::frmConfiguracion(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConfiguracion"));
    setWindowTitle(QStringLiteral("Configuración"));
    setModal(true);

    auto *company = new QGroupBox(QStringLiteral("Empresa"), this);
    txtEmpresa = newTextBox(QStringLiteral("txtEmpresa"), company);
    txtVendedor = newTextBox(QStringLiteral("txtVendedor"), company);
    txtUltimoPedido = newTextBox(QStringLiteral("txtUltimoPedido"), company);
    auto *companyForm = new QFormLayout(company);
    companyForm->addRow(QStringLiteral("Empresa:"), txtEmpresa);
    companyForm->addRow(QStringLiteral("Vendedor:"), txtVendedor);
    companyForm->addRow(QStringLiteral("Último número de pedido:"), txtUltimoPedido);

    auto *list = new QGroupBox(QStringLiteral("Lista de artículos (entrada.dat)"), this);
    cboFormatoLista = new QComboBox(list);
    cboFormatoLista->setObjectName(QStringLiteral("cboFormatoLista"));
    for (const ListFormat &format : ListFormat::all())
        cboFormatoLista->addItem(format.description(), format.code());
    auto *listForm = new QFormLayout(list);
    listForm->addRow(QStringLiteral("Números y fechas:"), cboFormatoLista);

    auto *server = new QGroupBox(QStringLiteral("Servidor de la empresa"), this);
    txtServidor = newTextBox(QStringLiteral("txtServidor"), server);
    txtServidor->setPlaceholderText(QStringLiteral("este equipo"));
    txtPuerto = newTextBox(QStringLiteral("txtPuerto"), server);
    txtPuerto->setPlaceholderText(QStringLiteral("5432"));
    txtBaseDeDatos = newTextBox(QStringLiteral("txtBaseDeDatos"), server);
    txtCodigoVendedor = newTextBox(QStringLiteral("txtCodigoVendedor"), server);
    txtUsuario = newTextBox(QStringLiteral("txtUsuario"), server);
    cboModoTls = new QComboBox(server);
    cboModoTls->setObjectName(QStringLiteral("cboModoTls"));
    for (qsizetype i = 0; i < ServerSettings::tlsModes().size(); ++i)
        cboModoTls->addItem(tlsCaptions.value(i), ServerSettings::tlsModes().at(i));
    cmdProbar = newButton(QStringLiteral("cmdProbar"), QStringLiteral("Probar conexión"), server);
    auto *password = new QLabel(QStringLiteral("La contraseña no se guarda: se toma del archivo de contraseñas de "
                                               "PostgreSQL (~/.pgpass) o se pide al conectar."),
        server);
    password->setWordWrap(true);
    auto *serverForm = new QFormLayout(server);
    serverForm->addRow(QStringLiteral("Servidor:"), txtServidor);
    serverForm->addRow(QStringLiteral("Puerto:"), txtPuerto);
    serverForm->addRow(QStringLiteral("Base de datos:"), txtBaseDeDatos);
    serverForm->addRow(QStringLiteral("Código del vendedor:"), txtCodigoVendedor);
    serverForm->addRow(QStringLiteral("Usuario:"), txtUsuario);
    serverForm->addRow(QStringLiteral("Cifrado (TLS):"), cboModoTls);
    serverForm->addRow(password);
    serverForm->addRow(QString(), cmdProbar);
    alignFieldColumns({companyForm, listForm, serverForm});

    cmdAceptar = newButton(QStringLiteral("cmdAceptar"), QStringLiteral("&Aceptar"), this);
    cmdCancelar = newButton(QStringLiteral("cmdCancelar"), QStringLiteral("&Cancelar"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(company);
    layout->addWidget(list);
    layout->addWidget(server);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    connect(txtBaseDeDatos, &QLineEdit::textChanged, this, &frmConfiguracion::showDefaultLogin);
    connect(txtCodigoVendedor, &QLineEdit::textChanged, this, &frmConfiguracion::showDefaultLogin);
    connect(cmdProbar, &QPushButton::clicked, this, &frmConfiguracion::cmdProbar_Click);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmConfiguracion::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

bool frmConfiguracion::showModal(QWidget *parent)
{
    frmConfiguracion window(parent);
    return window.exec() == QDialog::Accepted;
}

void frmConfiguracion::Form_Load()
{
    SettingsEditor::Typed stored;
    if (MaybeError error = SettingsEditor::load(acnDataBase(), stored))
        Dialogs::current().message(QStringLiteral("No se pudo leer la configuración: %1").arg(error->description),
            MessageTitles::attention(), Dialogs::Warning);
    txtEmpresa->setText(stored.company.empresa);
    txtVendedor->setText(stored.company.vendedor);
    txtUltimoPedido->setText(stored.company.ultimoPedido);
    txtServidor->setText(stored.server.host);
    txtPuerto->setText(stored.server.port);
    txtBaseDeDatos->setText(stored.server.database);
    txtCodigoVendedor->setText(stored.server.salesperson);
    txtUsuario->setText(stored.server.login);
    cboModoTls->setCurrentIndex(qMax(0, cboModoTls->findData(stored.server.tlsMode)));
    cboFormatoLista->setCurrentIndex(qMax(0, cboFormatoLista->findData(stored.listFormat)));
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->setCursorPosition(0);
}

SettingsEditor::Typed frmConfiguracion::typed() const
{
    SettingsEditor::Typed typed;
    typed.company = {txtEmpresa->text(), txtVendedor->text(), txtUltimoPedido->text()};
    typed.server = {txtServidor->text(), txtPuerto->text(), txtBaseDeDatos->text(), txtCodigoVendedor->text(),
        txtUsuario->text(), cboModoTls->currentData().toString()};
    typed.listFormat = cboFormatoLista->currentData().toString();
    return typed;
}

void frmConfiguracion::showDefaultLogin()
{
    txtUsuario->setPlaceholderText(SettingsEditor::defaultLogin(typed().server));
}

void frmConfiguracion::cmdProbar_Click()
{
    // Connecting can take up to the connection's time-out: the window says it is busy.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cmdProbar->setEnabled(false);
    QString found;
    const MaybeError failed = SettingsEditor::tryServer(typed().server, Dialogs::current(), found);
    cmdProbar->setEnabled(true);
    // Disabled, the button gave its focus away: a second Space would have pressed "Aceptar".
    cmdProbar->setFocus(Qt::OtherFocusReason);
    QApplication::restoreOverrideCursor();
    Dialogs::current().message(failed ? failed->description : found, QStringLiteral("Probar conexión"),
        failed ? Dialogs::Warning : Dialogs::Information);
}

void frmConfiguracion::cmdAceptar_Click()
{
    // Storing a server compares the order counter with the server's, which can take up to
    // the connection's time-out.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const MaybeError refused = SettingsEditor::save(acnDataBase(), typed(), Dialogs::current());
    QApplication::restoreOverrideCursor();
    if (refused) {
        if (refused->number != DbErrorNumber::Cancelled)
            Dialogs::current().message(refused->description, MessageTitles::attention(), Dialogs::Warning);
        return;
    }
    accept();
}
