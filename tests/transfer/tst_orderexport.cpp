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
    void dateAndProposedPath_data();
    void dateAndProposedPath();
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
    QTest::addColumn<int>("replace"); // the answer to replacing a file that is no PDF; 0: not asked
    QTest::addColumn<QString>("written"); // empty when nothing is written there
    QTest::addColumn<QStringList>("orders");
    const QString day = QStringLiteral("20/08/2004");
    const QStringList both = {"4711", "4712"};
    QTest::newRow("default path") << day << "" << 0 << "20040820.pdf" << both;
    QTest::newRow("typed path over an old PDF")
        << "21/8/2004"
        << "salida/pedidos del día.pdf" << 0 << "salida/pedidos del día.pdf" << QStringList{"4800"};
    QTest::newRow("over the article list, No") << day << "entrada.dat" << int(Dialogs::No) << "" << QStringList();
    QTest::newRow("over the article list, Yes") << day << "entrada.dat" << int(Dialogs::Yes) << "entrada.dat" << both;
    QTest::newRow("missing folder") << day << "no-existe/x.pdf" << 0 << "" << QStringList();
    QTest::newRow("path is a folder") << day << "salida" << 0 << "" << QStringList();
    // What the total leaves out is told first, then the day is written and shown all the same.
    QTest::newRow("a line without a price") << day << "" << 0 << "20040820.pdf" << both;
    QTest::newRow("day without orders") << "1/1/2005"
                                        << "" << 0 << "20050101.pdf" << QStringList();
}

void tst_OrderExport::exportsTheDay()
{
    QFETCH(QString, date);
    QFETCH(QString, typed);
    QFETCH(int, replace);
    QFETCH(QString, written);
    QFETCH(QStringList, orders);
    const bool noPrice = QByteArray(QTest::currentDataTag()).contains("without a price");
    if (noPrice)
        QVERIFY(m_db->exec(QStringLiteral("UPDATE LINEAS_PEDIDOS SET P_UNITARIO = NULL WHERE NRO_PEDIDO = 4712")));
    const QDir folder(m_db->folder());
    QVERIFY(folder.mkpath(QStringLiteral("salida")));
    const QByteArray articleList = "A1,F1,\"Tornillo\",1,2,3\n";
    for (const auto &[name, bytes] :
        {std::pair{"salida/pedidos del día.pdf", QByteArray("%PDF-1.4\n").append(100000, 'x')},
            {"entrada.dat", articleList}}) {
        QFile old(folder.filePath(QString::fromUtf8(name)));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(bytes) == bytes.size());
    }

    frmTransferencia window;
    window.setMode(QStringLiteral("E"));
    window.show();
    m_dialogs->answerInput(date);
    QTest::mouseDClick(window.findChild<QLabel *>(QStringLiteral("lblFECHA")), Qt::LeftButton);
    if (!typed.isEmpty())
        window.findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->setText(folder.filePath(typed));
    const QString path = folder.filePath(typed.isEmpty() ? written : typed);
    QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->text(), QDir::toNativeSeparators(path));
    if (replace || noPrice)
        m_dialogs->answerMessage(noPrice ? Dialogs::Ok : Dialogs::Button(replace));
    if (replace != Dialogs::No)
        m_dialogs->answerMessage(Dialogs::Ok);
    auto *cmdAceptar = window.findChild<QPushButton *>(QStringLiteral("cmdAceptar"));
    QTest::mouseClick(cmdAceptar, Qt::LeftButton);

    const Dialogs::Message first = m_dialogs->messages().value(0);
    if (replace) {
        QVERIFY2(first.text.contains(QDir::toNativeSeparators(path)), qPrintable(first.text));
        QCOMPARE(first.defaultButton, Dialogs::No);
    }
    if (noPrice) {
        QVERIFY2(first.text.contains(QStringLiteral("4712")), qPrintable(first.text));
        QCOMPARE(m_shown.texts(0, QStringLiteral("lblTOTAL_LINEA")), QStringList({"7,50", ""}));
    }
    if (replace == Dialogs::No) {
        // Nothing ran: the list is kept, and the window waits for another file.
        QCOMPARE(m_previewed, 0);
        QFile list(path);
        QVERIFY(list.open(QIODevice::ReadOnly) && list.readAll() == articleList);
        QVERIFY(cmdAceptar->isEnabled());
        return;
    }
    const Dialogs::Message message = m_dialogs->messages().value(replace || noPrice ? 1 : 0);
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

void tst_OrderExport::dateAndProposedPath_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("date"); // empty: not a date, told, and the date stays
    QTest::addColumn<bool>("browsed");
    QTest::newRow("a date") << "20/08/2026"
                            << "20/08/2026" << false;
    QTest::newRow("cancelled") << ""
                               << "" << false;
    QTest::newRow("a browsed path stays") << "20/08/2026"
                                          << "20/08/2026" << true;
}

// The date changes by a double click; the proposed file follows it, a chosen one stays.
void tst_OrderExport::dateAndProposedPath()
{
    QFETCH(QString, answer);
    QFETCH(QString, date);
    QFETCH(bool, browsed);
    frmTransferencia window;
    window.setMode(QStringLiteral("E"));
    window.show();
    auto *lblFECHA = window.findChild<QLabel *>(QStringLiteral("lblFECHA"));
    auto *txtArchivo = window.findChild<QLineEdit *>(QStringLiteral("txtArchivo"));
    const QString before = lblFECHA->text();
    QString path = txtArchivo->text();
    if (browsed) {
        path = QDir::toNativeSeparators(QDir(m_db->folder()).filePath(QStringLiteral("mío.pdf")));
        m_dialogs->answerSaveFile(path);
        QTest::mouseClick(window.findChild<QWidget *>(QStringLiteral("cmdBuscar")), Qt::LeftButton);
        QCOMPARE(m_dialogs->shown().value(0).saveFile.filter, QStringLiteral("Archivos PDF (*.pdf)"));
    } else if (!date.isEmpty()) {
        path = QDir::toNativeSeparators(
            QDir(m_db->folder())
                .filePath(Regional::toDate(date)->toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".pdf")));
    }
    m_dialogs->answerInput(answer);
    if (date.isEmpty())
        m_dialogs->answerMessage(Dialogs::Ok);
    QTest::mouseDClick(lblFECHA, Qt::LeftButton);
    QCOMPARE(m_dialogs->inputs().at(0).proposed, before);
    QCOMPARE(lblFECHA->text(), date.isEmpty() ? before : date);
    QCOMPARE(txtArchivo->text(), path);
    if (date.isEmpty())
        QCOMPARE(m_dialogs->messages().at(0).text, QStringLiteral("La fecha ingresada no es correcta."));
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
