#pragma once

#include "data/dberror.h"

#include <QDialog>
#include <QString>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QToolButton;

// The transfer window: exports the orders of one day ("E") or imports the article list ("I").
// The main window sets the mode letter and shows it modally; accepting runs the transfer once.
// With a company server configured, exporting also sends the orders the server lacks, and
// importing brings the catalogue down from the server or reads the file, as the user chooses.
class frmTransferencia : public QDialog
{
    Q_OBJECT

public:
    explicit frmTransferencia(QWidget *parent = nullptr);

    // What the main window's transfer tools call: a fresh window in the mode, shown modally.
    static void showModal(const QString &mode, QWidget *parent);

    // The mode letter, held by the hidden lblTrans: "E" export, "I" import.
    void setMode(const QString &mode);
    QString mode() const;

    // The folder of the proposed paths: the program's own unless the run (FileLocations) or a
    // test sets another.
    static QString transferFolder();
    static void setTransferFolder(const QString &folder);

    // How long an import runs before its progress window shows.
    void setProgressDelay(int milliseconds) { m_progressDelayMs = milliseconds; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Form_Activate();
    // The export's default file: the program's folder and the date as yyyymmdd.pdf.
    QString defaultExportPath() const;
    void lblFECHA_DblClick();
    void cmdBuscar_Click();
    void cmdAceptar_Click();
    void cmdCancelar_Click();
    void ProcesoImportar();
    std::unique_ptr<QProgressDialog> newProgressWindow();
    void ProcesoExportar();
    std::unique_ptr<QProgressDialog> newCancellableProgress(const QString &title);
    void sendOrders();
    void bringDownCatalogue();
    void showOrigin();

    QLabel *Label2;
    QLabel *lblModo;
    QLabel *lblTrans;
    QLabel *Labels[2];
    QLabel *lblFECHA;
    QLineEdit *txtArchivo;
    QToolButton *cmdBuscar;
    QCheckBox *Check_ExportPDF;
    // Shown only with a company server configured.
    QWidget *fraServidor;
    QRadioButton *optServidor;
    QRadioButton *optArchivo;
    QLabel *lblEnvio;
    QPushButton *cmdAceptar;
    QPushButton *cmdCancelar;

    // The file dialog's file name, kept from one browse to the next while the window lives.
    QString m_commonDialogFileName;
    // The export path the window proposed last: while txtArchivo still holds it, it follows
    // the date; a path typed or browsed stays as it is.
    QString m_proposedPath;
    bool m_unloaded = false;
    bool m_busy = false;
    bool m_closingAfterImport = false;
    bool m_serverConfigured = false;
    MaybeError m_serverUnread; // the server settings could not be read
    int m_progressDelayMs = 500;
};
