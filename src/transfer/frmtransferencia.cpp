#include "frmtransferencia.h"

#include "articleimport.h"
#include "base/dialogs.h"
#include "base/globals.h"
#include "base/messagetitles.h"
#include "base/regional.h"
#include "data/connection.h"
#include "data/serversettings.h"
#include "orderexport.h"
#include "server/catalogueupdate.h"
#include "server/ordersender.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

QString &folderOverride()
{
    static QString folder;
    return folder;
}

QLabel *newLabel(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmTransferencia::frmTransferencia(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTransferencia"));
    setWindowTitle(QStringLiteral("Transferencias"));
    setModal(true);

    Label2 = newLabel(QStringLiteral("Label2"), QStringLiteral("Transferencia:"), this);
    lblModo = newLabel(QStringLiteral("lblModo"), QStringLiteral("-"), this);
    lblTrans = newLabel(QStringLiteral("lblTrans"), QStringLiteral("E"), this);
    lblTrans->setVisible(false);
    // The two headings are one control array in the window's design: Labels(0) and Labels(1).
    Labels[0] = newLabel(QStringLiteral("Labels"), QStringLiteral("Fecha:"), this);
    Labels[0]->setProperty("index", 0);
    Labels[1] = newLabel(QStringLiteral("Labels"), QStringLiteral("Archivo:"), this);
    Labels[1]->setProperty("index", 1);
    lblFECHA = newLabel(QStringLiteral("lblFECHA"), QStringLiteral("01/01/1980"), this);
    lblFECHA->setToolTip(QStringLiteral("Doble clic para cambiar la fecha"));
    lblFECHA->installEventFilter(this);

    txtArchivo = new QLineEdit(QStringLiteral("-"), this);
    txtArchivo->setObjectName(QStringLiteral("txtArchivo"));
    txtArchivo->setMinimumWidth(360);

    cmdBuscar = new QToolButton(this);
    cmdBuscar->setObjectName(QStringLiteral("cmdBuscar"));
    cmdBuscar->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdBuscar->setToolTip(QStringLiteral("Buscar el archivo"));

    Check_ExportPDF = new QCheckBox(QStringLiteral("Exportar a PDF"), this);
    Check_ExportPDF->setObjectName(QStringLiteral("Check_ExportPDF"));

    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setAutoDefault(false);

    fraServidor = new QWidget(this);
    fraServidor->setObjectName(QStringLiteral("fraServidor"));
    optServidor = new QRadioButton(QStringLiteral("Traer del servidor de la empresa"), fraServidor);
    optServidor->setObjectName(QStringLiteral("optServidor"));
    optArchivo = new QRadioButton(QStringLiteral("Leer el archivo"), fraServidor);
    optArchivo->setObjectName(QStringLiteral("optArchivo"));
    lblEnvio = newLabel(QStringLiteral("lblEnvio"),
        QStringLiteral("También se envían al servidor las órdenes que falten."), fraServidor);
    auto *origin = new QGridLayout(fraServidor);
    origin->setContentsMargins(0, 0, 0, 0);
    origin->addWidget(optServidor, 0, 0);
    origin->addWidget(optArchivo, 0, 1);
    origin->addWidget(lblEnvio, 1, 0, 1, 2);
    fraServidor->setVisible(false);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(lblModo, 0, 1, 1, 2);
    grid->addWidget(Labels[0], 1, 0);
    grid->addWidget(lblFECHA, 1, 1, 1, 2);
    grid->addWidget(Labels[1], 2, 0);
    grid->addWidget(txtArchivo, 2, 1);
    grid->addWidget(cmdBuscar, 2, 2);
    grid->addWidget(fraServidor, 3, 1, 1, 2);
    grid->addWidget(Check_ExportPDF, 4, 1, 1, 2);
    grid->addWidget(line, 5, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);
    grid->addLayout(buttons, 6, 0, 1, 3);

    connect(cmdBuscar, &QToolButton::clicked, this, &frmTransferencia::cmdBuscar_Click);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmTransferencia::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmTransferencia::cmdCancelar_Click);
    connect(optServidor, &QRadioButton::toggled, this, &frmTransferencia::showOrigin);

    Form_Load();
}

void frmTransferencia::showModal(const QString &mode, QWidget *parent)
{
    frmTransferencia window(parent);
    window.setMode(mode);
    window.exec();
}

void frmTransferencia::setMode(const QString &mode)
{
    lblTrans->setText(mode);
}

QString frmTransferencia::mode() const
{
    return lblTrans->text();
}

QString frmTransferencia::transferFolder()
{
    return folderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride();
}

void frmTransferencia::setTransferFolder(const QString &folder)
{
    folderOverride() = folder;
}

void frmTransferencia::Form_Load()
{
    lblFECHA->setText(Regional::shortDate(QDate::currentDate()));
    cmdAceptar->setEnabled(true);
    m_commonDialogFileName.clear();
    m_unloaded = false;
}

// Runs when the window is shown. Re-activations caused by closing one of its own boxes or the
// file dialog do not count: they would throw away a path the user just chose.
void frmTransferencia::Form_Activate()
{
    // Without a server, the window is exactly the one it always was. Settings that cannot be
    // read are no reason to pretend there is none: the export says so.
    ServerSettings server;
    m_serverUnread = ServerSettings::read(acnDataBase(), server);
    m_serverConfigured = !m_serverUnread && server.isConfigured();
    fraServidor->setVisible(m_serverConfigured);
    optServidor->setVisible(mode() == QLatin1String("I"));
    optArchivo->setVisible(mode() == QLatin1String("I"));
    lblEnvio->setVisible(mode() == QLatin1String("E"));
    optServidor->setChecked(true);
    showOrigin();
    const QDir folder(transferFolder());
    if (mode() == QLatin1String("E")) {
        m_proposedPath = defaultExportPath();
        txtArchivo->setText(m_proposedPath);
        Check_ExportPDF->setVisible(true);
        Check_ExportPDF->setChecked(true);
        lblModo->setText(QStringLiteral("Exportar"));
    } else if (mode() == QLatin1String("I")) {
        txtArchivo->setText(QDir::toNativeSeparators(folder.filePath(QStringLiteral("entrada.dat"))));
        Check_ExportPDF->setVisible(false);
        lblModo->setText(QStringLiteral("Importar"));
    }
}

QString frmTransferencia::defaultExportPath() const
{
    const std::optional<QDate> date = Regional::toDate(lblFECHA->text());
    const QString day = date ? date->toString(QStringLiteral("yyyyMMdd")) : QString();
    return QDir::toNativeSeparators(QDir(transferFolder()).filePath(day + QStringLiteral(".pdf")));
}

void frmTransferencia::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // A window closed and shown again starts over, as a new one would.
    if (m_unloaded)
        Form_Load();
    Form_Activate();
}

bool frmTransferencia::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblFECHA && event->type() == QEvent::MouseButtonDblClick) {
        lblFECHA_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmTransferencia::lblFECHA_DblClick()
{
    const QString answer = Dialogs::current().input(
        QStringLiteral("Ingrese la fecha a transferir:"), QStringLiteral("Fecha"), lblFECHA->text());
    if (const std::optional<QDate> date = Regional::toDate(answer)) {
        lblFECHA->setText(Regional::shortDate(*date));
        // The proposed file follows the date at once; one the user chose stays.
        if (mode() == QLatin1String("E") && txtArchivo->text() == m_proposedPath) {
            m_proposedPath = defaultExportPath();
            txtArchivo->setText(m_proposedPath);
        }
        return;
    }
    Dialogs::current().message(QStringLiteral("La fecha ingresada no es correcta."),
        QStringLiteral("Fecha(dd/mm/aaaa)"), Dialogs::Information, Dialogs::Ok);
}

void frmTransferencia::cmdBuscar_Click()
{
    // The export writes a PDF: its dialog is a save dialog for PDF files, starting from the
    // path in the box. The import reads the article list.
    const QString chosen = mode() == QLatin1String("E")
        ? Dialogs::current().saveFile(
            {QStringLiteral("Guardar como"), txtArchivo->text().isEmpty() ? transferFolder() : txtArchivo->text(),
                QStringLiteral("Archivos PDF (*.pdf)"), QStringLiteral("pdf")})
        : Dialogs::current().openFile(
            {QStringLiteral("Abrir"), transferFolder(), QStringLiteral("Archivos de transferencias (*.dat)")});
    // Cancelling leaves the dialog's file name as it stood, and the box takes it all the same.
    if (!chosen.isEmpty())
        m_commonDialogFileName = QDir::toNativeSeparators(chosen);
    txtArchivo->setText(m_commonDialogFileName);
}

void frmTransferencia::cmdAceptar_Click()
{
    if (m_busy)
        return;
    // Answered No, nothing runs and the window stays as it was, to choose another file.
    const bool exporting = mode() != QLatin1String("I");
    if (exporting && Check_ExportPDF->isChecked() && OrderExport::replacesOtherFile(txtArchivo->text())
        && Dialogs::current().message(OrderExport::replaceQuestion(txtArchivo->text()), MessageTitles::attention(),
               Dialogs::Warning, Dialogs::Yes | Dialogs::No, Dialogs::No)
            != Dialogs::Yes)
        return;
    // One transfer for each opening: no second click may start another while this one runs.
    cmdAceptar->setEnabled(false);
    m_busy = true;
    if (mode() == QLatin1String("I") && m_serverConfigured && optServidor->isChecked()) {
        bringDownCatalogue();
    } else if (mode() == QLatin1String("I")) {
        ProcesoImportar();
    } else {
        if (m_serverConfigured)
            sendOrders();
        else if (m_serverUnread)
            Dialogs::current().message(QStringLiteral("No se pudo leer la configuración del servidor de la empresa, y "
                                                      "las órdenes no se enviaron: %1")
                                           .arg(m_serverUnread->description),
                MessageTitles::error(m_serverUnread->number), Dialogs::Critical, Dialogs::Ok);
        ProcesoExportar();
    }
    m_busy = false;
    QCoreApplication::processEvents();
}

void frmTransferencia::cmdCancelar_Click()
{
    reject();
}

void frmTransferencia::done(int result)
{
    // The window stays while a transfer runs; it closes when the transfer returns.
    if (m_busy && !m_closingAfterImport)
        return;
    m_unloaded = true;
    QDialog::done(result);
}

void frmTransferencia::closeEvent(QCloseEvent *event)
{
    if (m_busy && !m_closingAfterImport) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

std::unique_ptr<QProgressDialog> frmTransferencia::newProgressWindow()
{
    auto progress = std::make_unique<QProgressDialog>(this);
    progress->setObjectName(QStringLiteral("prgImportar"));
    progress->setWindowTitle(QStringLiteral("Importación"));
    progress->setCancelButton(nullptr);
    // Modal, so that the window repaints while the user is kept out of it.
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setRange(0, 100);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->show();
    return progress;
}

void frmTransferencia::ProcesoImportar()
{
    ArticleImport import(txtArchivo->text(), acnDataBase(), Dialogs::current());
    import.setProgressDelay(m_progressDelayMs);
    std::unique_ptr<QProgressDialog> progress;
    ArticleImport::Progress shown;
    shown.update = [this, &progress](int records, int percent) {
        if (!progress)
            progress = newProgressWindow();
        progress->setLabelText(QStringLiteral("Importando artículos: %1 registros leídos.").arg(records));
        progress->setValue(percent);
    };
    shown.close = [&progress] { progress.reset(); };
    import.setProgress(shown);

    const ArticleImport::Outcome outcome = import.run();
    if (outcome.fileDeleted) {
        QCoreApplication::processEvents();
        m_closingAfterImport = true;
        cmdCancelar_Click();
        m_closingAfterImport = false;
    }
}

void frmTransferencia::ProcesoExportar()
{
    OrderExport::run(lblFECHA->text(), Check_ExportPDF->isChecked(), txtArchivo->text(), this, Dialogs::current());
}

void frmTransferencia::showOrigin()
{
    // Bringing the catalogue from the server reads no file.
    const bool fromFile = !(m_serverConfigured && mode() == QLatin1String("I") && optServidor->isChecked());
    txtArchivo->setEnabled(fromFile);
    cmdBuscar->setEnabled(fromFile);
}

std::unique_ptr<QProgressDialog> frmTransferencia::newCancellableProgress(const QString &title)
{
    auto progress = std::make_unique<QProgressDialog>(this);
    progress->setObjectName(QStringLiteral("prgServidor"));
    progress->setWindowTitle(title);
    progress->setCancelButtonText(QStringLiteral("&Cancelar"));
    progress->setWindowModality(Qt::WindowModal);
    // A short run never shows it.
    progress->setMinimumDuration(m_progressDelayMs);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    return progress;
}

namespace {

// A server run's progress shown in its window ("done of total"); Cancel asks the run to stop.
std::function<bool(int, int)> followedBy(QProgressDialog &progress, const QString &label)
{
    return [&progress, label](int done, int total) {
        progress.setMaximum(total);
        progress.setLabelText(label.arg(done).arg(total));
        progress.setValue(done);
        return !progress.wasCanceled();
    };
}

} // namespace

void frmTransferencia::sendOrders()
{
    std::unique_ptr<QProgressDialog> progress = newCancellableProgress(QStringLiteral("Envío al servidor"));
    const OrderSender::Result result = OrderSender::sendAll(acnDataBase(), Dialogs::current(),
        followedBy(*progress, QStringLiteral("Enviando órdenes al servidor: %1 de %2.")));
    progress.reset();
    // A counter raised past the server's numbers, or by an order given a new number, is the
    // run's counter too.
    if (result.lastOrder)
        strULTIMO_PEDIDO = result.lastOrder->text();
    if (result.total == 0 && !result.stoppedBy)
        return;
    // An order the server holds another order under waits until someone acts: an error.
    const Dialogs::Icon icon = result.complete() ? Dialogs::Information
        : result.conflicts.isEmpty()             ? Dialogs::Warning
                                                 : Dialogs::Critical;
    Dialogs::current().message(result.text(),
        result.complete() ? QStringLiteral("Envío al servidor") : MessageTitles::attention(), icon, Dialogs::Ok);
}

void frmTransferencia::bringDownCatalogue()
{
    std::unique_ptr<QProgressDialog> progress = newCancellableProgress(QStringLiteral("Catálogo del servidor"));
    const CatalogueUpdate::Result result = CatalogueUpdate::bringDown(acnDataBase(), Dialogs::current(),
        followedBy(*progress, QStringLiteral("Trayendo artículos del servidor: %1 de %2.")));
    progress.reset();
    const bool complete = !result.stoppedBy && !result.cancelled;
    Dialogs::current().message(result.text(),
        complete ? QStringLiteral("Catálogo del servidor") : MessageTitles::attention(),
        complete ? Dialogs::Information : Dialogs::Warning, Dialogs::Ok);
}
