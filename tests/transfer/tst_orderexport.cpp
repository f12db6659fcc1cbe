#include "app/globals.h"
#include "app/regional.h"
#include "data/connection.h"
#include "report/reportdocument.h"
#include "report/reportpreview.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"
#include "transfer/frmtransferencia.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QString exported = QStringLiteral("Se exportó el archivo satisfactoriamente.\nSe procederá a visulizarlo.");

QString pdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000))
        return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

} // namespace

class tst_OrderExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void daysPdfAtTheDefaultPath();
    void typedPathReplacesAnExistingFile();
    void unwritablePathIsNamed_data();
    void unwritablePathIsNamed();
    void untickedBoxWritesNothingAndSaysNothing();
    void dayWithoutOrders();
    void sameDayTwiceWritesTheSamePath();
    void reportThatCannotRunIsTold();

private:
    // Opens the window in export mode on the date and returns it, the path already proposed.
    std::unique_ptr<frmTransferencia> openOn(const QString &date);
    void accept(frmTransferencia &window) const;

    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    QList<int> m_previewed;
};

void tst_OrderExport::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    QVERIFY(!acnDataBase().open(m_db->path()));
    strConexion = Connection::connectionString(m_db->path());
    frmTransferencia::setProgramFolder(m_db->folder());
    m_dialogs = new ScriptedDialogs;
    m_previewed.clear();
    ReportPreview::setPresenter([this](const ReportDocument &document) { m_previewed.append(document.pageCount()); });

    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('A1', 'Tornillo')")));
    for (const auto &[number, day] : {std::pair{4711, "2004-08-20"}, {4712, "2004-08-20"}, {4800, "2004-08-21"}}) {
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) VALUES (?, ?, ?)"),
            {number, QString::fromLatin1(day), QStringLiteral("Cliente %1").arg(number)}));
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, "
                                          "P_UNITARIO, DETALLES) VALUES (?, 1, 'A1', 3, 2.5, '')"),
            {number}));
    }
}

void tst_OrderExport::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    ReportPreview::setPresenter({});
    delete m_dialogs;
    acnDataBase().close();
    strConexion.clear();
    frmTransferencia::setProgramFolder({});
    delete m_db;
}

std::unique_ptr<frmTransferencia> tst_OrderExport::openOn(const QString &date)
{
    auto window = std::make_unique<frmTransferencia>();
    window->setMode(QStringLiteral("E"));
    window->show();
    m_dialogs->answerInput(date);
    QTest::mouseDClick(window->findChild<QLabel *>(QStringLiteral("lblFECHA")), Qt::LeftButton);
    // The path follows the date when the window is activated again.
    window->hide();
    window->show();
    m_dialogs->clear();
    return window;
}

void tst_OrderExport::accept(frmTransferencia &window) const
{
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
}

void tst_OrderExport::daysPdfAtTheDefaultPath()
{
    std::unique_ptr<frmTransferencia> window = openOn(QStringLiteral("20/08/2004"));
    const QString path = QDir(m_db->folder()).filePath(QStringLiteral("20040820.pdf"));
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->text(), QDir::toNativeSeparators(path));
    m_dialogs->answerMessage(QMessageBox::Ok);
    accept(*window);

    QVERIFY(QFileInfo(path).size() > 0);
    const QString text = pdfText(path);
    QVERIFY2(text.contains(QStringLiteral("4711")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("4712")));
    QVERIFY(!text.contains(QStringLiteral("4800")));
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages()[0].text, exported);
    QCOMPARE(m_dialogs->messages()[0].title, QStringLiteral("Atención"));
    QCOMPARE(m_dialogs->messages()[0].icon, QMessageBox::Information);
    QCOMPARE(m_previewed.size(), 1);
    QVERIFY(m_previewed[0] >= 1);
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("cmdAceptar"))->isEnabled());
}

void tst_OrderExport::typedPathReplacesAnExistingFile()
{
    QVERIFY(QDir(m_db->folder()).mkpath(QStringLiteral("salida")));
    const QString path = QDir(m_db->folder()).filePath(QStringLiteral("salida/pedidos del día.pdf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    std::unique_ptr<frmTransferencia> window = openOn(QStringLiteral("21/8/2004"));
    window->findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->setText(QDir::toNativeSeparators(path));
    m_dialogs->answerMessage(QMessageBox::Ok);
    accept(*window);

    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(5), QByteArray("%PDF-"));
    const QString text = pdfText(path);
    QVERIFY2(text.contains(QStringLiteral("4800")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("4711")));
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages()[0].text, exported);
}

void tst_OrderExport::unwritablePathIsNamed_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << "no-existe/20040820.pdf";
    QTest::newRow("path is a folder") << "carpeta";
}

void tst_OrderExport::unwritablePathIsNamed()
{
    QFETCH(QString, relative);
    QVERIFY(QDir(m_db->folder()).mkpath(QStringLiteral("carpeta")));
    const QString path = QDir::toNativeSeparators(QDir(m_db->folder()).filePath(relative));
    std::unique_ptr<frmTransferencia> window = openOn(QStringLiteral("20/08/2004"));
    window->findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->setText(path);
    m_dialogs->answerMessage(QMessageBox::Ok);
    accept(*window);

    QCOMPARE(m_dialogs->messages().size(), 1);
    const Dialogs::Message failure = m_dialogs->messages()[0];
    QVERIFY2(failure.text.contains(path), qPrintable(failure.text));
    QCOMPARE(failure.icon, QMessageBox::Critical);
    QVERIFY(failure.text != exported);
    // The report is still there to be looked at and printed.
    QCOMPARE(m_previewed.size(), 1);
    QVERIFY(!QFileInfo(path).isFile());
}

void tst_OrderExport::untickedBoxWritesNothingAndSaysNothing()
{
    std::unique_ptr<frmTransferencia> window = openOn(QStringLiteral("20/08/2004"));
    const QString path = QDir(m_db->folder()).filePath(QStringLiteral("20040820.pdf"));
    window->findChild<QCheckBox *>(QStringLiteral("Check_ExportPDF"))->setChecked(false);
    accept(*window);
    QVERIFY(m_dialogs->messages().isEmpty());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_previewed.size(), 1);
}

void tst_OrderExport::dayWithoutOrders()
{
    std::unique_ptr<frmTransferencia> window = openOn(QStringLiteral("1/1/2005"));
    const QString path = QDir(m_db->folder()).filePath(QStringLiteral("20050101.pdf"));
    m_dialogs->answerMessage(QMessageBox::Ok);
    accept(*window);
    QVERIFY(QFile::exists(path));
    const QString text = pdfText(path);
    QVERIFY(!text.contains(QStringLiteral("4711")));
    QVERIFY(!text.contains(QStringLiteral("4800")));
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages()[0].text, exported);
    QCOMPARE(m_previewed.size(), 1);
}

void tst_OrderExport::sameDayTwiceWritesTheSamePath()
{
    const QString path = QDir(m_db->folder()).filePath(QStringLiteral("20040820.pdf"));
    for (int opening = 0; opening < 2; ++opening) {
        std::unique_ptr<frmTransferencia> window = openOn(QStringLiteral("20/08/2004"));
        QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->text(), QDir::toNativeSeparators(path));
        m_dialogs->answerMessage(QMessageBox::Ok);
        accept(*window);
        QVERIFY(QFile::exists(path));
    }
    QCOMPARE(m_previewed.size(), 2);
}

void tst_OrderExport::reportThatCannotRunIsTold()
{
    std::unique_ptr<frmTransferencia> window = openOn(QStringLiteral("20/08/2004"));
    strConexion = Connection::connectionString(QDir(m_db->folder()).filePath(QStringLiteral("no-existe.mdb")));
    m_dialogs->answerMessage(QMessageBox::Ok);
    accept(*window);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages()[0].icon, QMessageBox::Critical);
    QVERIFY(m_dialogs->messages()[0].text != exported);
    QVERIFY(m_previewed.isEmpty());
    QVERIFY(!QFile::exists(QDir(m_db->folder()).filePath(QStringLiteral("20040820.pdf"))));
}

QTEST_MAIN(tst_OrderExport)
#include "tst_orderexport.moc"
