#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "report/reportdocument.h"
#include "report/reportpreview.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"
#include "transfer/frmtransferencia.h"

#include <QDir>
#include <QFile>
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
    return pdftotext.waitForFinished(60000) ? QString::fromUtf8(pdftotext.readAllStandardOutput()) : QString();
}

} // namespace

class tst_OrderExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exportsTheDay_data();
    void exportsTheDay();
    void lineWithoutPriceIsToldThenExported();
    void reportThatCannotRunIsTold();

private:
    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    int m_previewed = 0;
    ReportDocument m_shown;
};

void tst_OrderExport::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    QVERIFY(!acnDataBase().open(m_db->path()));
    strConexion = Connection::connectionString(m_db->path());
    frmTransferencia::setTransferFolder(m_db->folder());
    m_dialogs = new ScriptedDialogs;
    m_previewed = 0;
    ReportPreview::setPresenter([this](const ReportDocument &document) {
        ++m_previewed;
        m_shown = document;
    });
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('A1', 'Tornillo')")));
    for (const auto &[number, day] : {std::pair{4711, "2004-08-20"}, {4712, "2004-08-20"}, {4800, "2004-08-21"}}) {
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) VALUES (?, ?, 'C')"),
            {number, QString::fromLatin1(day)}));
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, "
                                          "P_UNITARIO) VALUES (?, 1, 'A1', 3, 2.5)"),
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
    frmTransferencia::setTransferFolder({});
    delete m_db;
}

void tst_OrderExport::exportsTheDay_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("typed"); // relative to the transfer folder; empty keeps the proposed path
    QTest::addColumn<QString>("written"); // empty when the path cannot be written
    QTest::addColumn<QStringList>("orders");
    QTest::newRow("default path") << "20/08/2004"
                                  << ""
                                  << "20040820.pdf" << QStringList{"4711", "4712"};
    QTest::newRow("typed path over an old file") << "21/8/2004"
                                                 << "salida/pedidos del día.pdf"
                                                 << "salida/pedidos del día.pdf" << QStringList{"4800"};
    QTest::newRow("missing folder") << "20/08/2004"
                                    << "no-existe/x.pdf"
                                    << "" << QStringList();
    QTest::newRow("path is a folder") << "20/08/2004"
                                      << "salida"
                                      << "" << QStringList();
    QTest::newRow("day without orders") << "1/1/2005"
                                        << ""
                                        << "20050101.pdf" << QStringList();
}

void tst_OrderExport::exportsTheDay()
{
    QFETCH(QString, date);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QStringList, orders);
    const QDir folder(m_db->folder());
    QVERIFY(folder.mkpath(QStringLiteral("salida")));
    QFile old(folder.filePath(QStringLiteral("salida/pedidos del día.pdf")));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(100000, 'x')) == 100000);
    old.close();

    frmTransferencia window;
    window.setMode(QStringLiteral("E"));
    window.show();
    m_dialogs->answerInput(date);
    QTest::mouseDClick(window.findChild<QLabel *>(QStringLiteral("lblFECHA")), Qt::LeftButton);
    // The proposed path follows the date when the window is activated again.
    window.hide();
    window.show();
    if (!typed.isEmpty())
        window.findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->setText(folder.filePath(typed));
    const QString path = folder.filePath(typed.isEmpty() ? written : typed);
    QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->text(), QDir::toNativeSeparators(path));
    m_dialogs->answerMessage(Dialogs::Ok);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);

    const Dialogs::Message message = m_dialogs->messages().value(0);
    // Whether written or not, the report is still there to be looked at and printed.
    QCOMPARE(m_previewed, 1);
    if (written.isEmpty()) {
        QVERIFY2(message.text.contains(QDir::toNativeSeparators(path)), qPrintable(message.text));
        QCOMPARE(message.icon, Dialogs::Critical);
        return;
    }
    QCOMPARE(message.text, exported);
    const QString text = pdfText(path);
    QVERIFY2(text.contains(QStringLiteral("Ordenes:")), qPrintable(text));
    for (const QString number : {"4711", "4712", "4800"})
        QCOMPARE(text.contains(number), orders.contains(number));
}

void tst_OrderExport::lineWithoutPriceIsToldThenExported()
{
    QVERIFY(m_db->exec(QStringLiteral("UPDATE LINEAS_PEDIDOS SET P_UNITARIO = NULL WHERE NRO_PEDIDO = 4712")));
    frmTransferencia window;
    window.setMode(QStringLiteral("E"));
    window.show();
    m_dialogs->answerInput(QStringLiteral("20/08/2004"));
    QTest::mouseDClick(window.findChild<QLabel *>(QStringLiteral("lblFECHA")), Qt::LeftButton);
    window.hide();
    window.show();
    m_dialogs->answerMessage(Dialogs::Ok);
    m_dialogs->answerMessage(Dialogs::Ok);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);

    // First what the total leaves out, then the file and the preview all the same.
    QVERIFY2(m_dialogs->messages().value(0).text.contains(QStringLiteral("4712")),
        qPrintable(m_dialogs->messages().value(0).text));
    QCOMPARE(m_dialogs->messages().value(1).text, exported);
    QCOMPARE(m_previewed, 1);
    QCOMPARE(m_shown.texts(0, QStringLiteral("lblTOTAL_LINEA")), QStringList({"7,50", ""}));
    const QString text = pdfText(QDir(m_db->folder()).filePath(QStringLiteral("20040820.pdf")));
    QVERIFY(text.contains(QStringLiteral("4711")) && text.contains(QStringLiteral("4712")));
}

void tst_OrderExport::reportThatCannotRunIsTold()
{
    frmTransferencia window;
    window.setMode(QStringLiteral("E"));
    window.show();
    strConexion = Connection::connectionString(QDir(m_db->folder()).filePath(QStringLiteral("no-existe.mdb")));
    m_dialogs->answerMessage(Dialogs::Ok);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages().value(0).icon, Dialogs::Critical);
    QVERIFY(m_dialogs->messages().value(0).text != exported);
    QCOMPARE(m_previewed, 0);
    QCOMPARE(QDir(m_db->folder()).entryList({QStringLiteral("*.pdf")}), QStringList());
}

QTEST_MAIN(tst_OrderExport)
#include "tst_orderexport.moc"
