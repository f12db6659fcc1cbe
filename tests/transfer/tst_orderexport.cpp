#include "report/orderfixture.h"

#include "base/regional.h"
#include "support/scripteddialogs.h"
#include "support/testfiles.h"
#include "transfer/frmtransferencia.h"
#include "transfer/reportpreview.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString exported = QStringLiteral("Se exportó el archivo satisfactoriamente.\nSe procederá a visulizarlo.");

} // namespace

// The day's export from the transfer window: which file, what is asked and told, what is shown.
class tst_OrderExport : public QObject
{
    Q_OBJECT

    std::optional<TestDatabase> m_db;
    std::optional<ScriptedDialogs> m_dialogs;
    std::unique_ptr<frmTransferencia> m_window;
    QList<ReportDocument> m_previewed;

    template <typename T> T *child(const char *name) const { return m_window->findChild<T *>(name); }

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        QVERIFY(m_db.emplace().isValid());
        const OrderFixture store{*m_db};
        QVERIFY(store.article("A1", "Tornillo") && store.order(4711, QDate(2004, 8, 20), "C", 1, 3, 2.5)
            && store.order(4712, QDate(2004, 8, 20), "C", 1, 3, 2.5)
            && store.order(4800, QDate(2004, 8, 21), "C", 1, 3, 2.5));
        QVERIFY(!acnDataBase().open(m_db->path()));
        strConexion = Connection::connectionString(m_db->path());
        frmTransferencia::setTransferFolder(m_db->folder());
        m_dialogs.emplace();
        m_previewed.clear();
        ReportPreview::setPresenter([this](const ReportDocument &document) { m_previewed.append(document); });
        m_window = std::make_unique<frmTransferencia>();
        m_window->setMode(QStringLiteral("E"));
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        acnDataBase().close();
    }

    void exportsTheDay_data()
    {
        QTest::addColumn<QString>("typed"); // relative to the transfer folder; empty keeps the proposed path
        QTest::addColumn<int>("replace"); // the answer to replacing a file that is no PDF; 0: not asked
        QTest::addColumn<QStringList>("told"); // a part of each box, in order; %1 the path
        QTest::addColumn<bool>("written");
        QTest::newRow("proposed path") << "" << 0 << QStringList{exported} << true;
        QTest::newRow("over an old PDF") << "viejo.pdf" << 0 << QStringList{exported} << true;
        QTest::newRow("over the article list, No") << "entrada.dat" << int(Dialogs::No) << QStringList{"%1"} << false;
        QTest::newRow("over the article list, Yes")
            << "entrada.dat" << int(Dialogs::Yes) << QStringList{"%1", exported} << true;
        QTest::newRow("missing folder") << "no-existe/x.pdf" << 0 << QStringList{"%1"} << false;
        // What the total leaves out is told first, then the day is written and shown all the same.
        QTest::newRow("a line without a price") << "" << 0 << QStringList{"4712", exported} << true;
        // No server settings to read is not the same as no server: the orders were not sent.
        QTest::newRow("server settings unreadable")
            << "" << 0 << QStringList{"No se pudo leer la configuración del servidor", exported} << true;
    }

    void exportsTheDay()
    {
        QFETCH(QString, typed);
        QFETCH(int, replace);
        QFETCH(QStringList, told);
        QFETCH(bool, written);
        if (QByteArray(QTest::currentDataTag()).contains("without a price"))
            QVERIFY(m_db->exec(QStringLiteral("UPDATE LINEAS_PEDIDOS SET P_UNITARIO = NULL WHERE NRO_PEDIDO = 4712")));
        if (QByteArray(QTest::currentDataTag()).contains("unreadable")) {
            QVERIFY(m_db->exec(QStringLiteral("DROP TABLE SERVIDOR")));
            m_window->hide();
            m_window->show();
        }
        const QDir folder(m_db->folder());
        for (const auto &[name, bytes] : {std::pair{"viejo.pdf", QByteArray("%PDF-1.4\nviejo")},
                 {"entrada.dat", QByteArray("A1,F1,\"Tornillo\",1,2,3\n")}})
            QVERIFY(writeFile(folder.filePath(QString::fromLatin1(name)), bytes));
        // The proposed file follows the date; a typed one is taken as it is.
        m_dialogs->answerInput(QStringLiteral("20/08/2004"));
        QTest::mouseDClick(child<QLabel>("lblFECHA"), Qt::LeftButton);
        const QString path
            = QDir::toNativeSeparators(folder.filePath(typed.isEmpty() ? QStringLiteral("20040820.pdf") : typed));
        if (!typed.isEmpty())
            child<QLineEdit>("txtArchivo")->setText(path);
        QCOMPARE(child<QLineEdit>("txtArchivo")->text(), path);
        const QByteArray before = contentOf(path);
        for (int box = 0; box < told.size(); ++box)
            m_dialogs->answerMessage(box == 0 && replace ? Dialogs::Button(replace) : Dialogs::Ok);
        QTest::mouseClick(child<QPushButton>("cmdAceptar"), Qt::LeftButton);

        const QList<Dialogs::Message> messages = m_dialogs->messages();
        QCOMPARE(messages.size(), told.size());
        for (int box = 0; box < told.size(); ++box)
            QVERIFY2(messages.at(box).text.contains(QString(told.at(box)).replace(QLatin1String("%1"), path)),
                qPrintable(messages.at(box).text));
        if (replace)
            QCOMPARE(messages.first().defaultButton, Dialogs::No);
        // Nothing runs on No, and the window waits for another file; else the report is shown,
        // whether written or not, to be looked at and printed.
        QCOMPARE(m_previewed.size(), replace == Dialogs::No ? 0 : 1);
        QCOMPARE(child<QPushButton>("cmdAceptar")->isEnabled(), replace == Dialogs::No);
        if (replace != Dialogs::No)
            QCOMPARE(messages.last().icon, written ? Dialogs::Information : Dialogs::Critical);
        QCOMPARE(contentOf(path) == before, !written);
        QVERIFY(!written || contentOf(path).startsWith("%PDF-"));
        if (replace != Dialogs::No)
            QCOMPARE(OrderFixture::allTexts(m_previewed.first(), "Field1"), QStringList({"4711", "4712"}));
    }

    void reportThatCannotRunIsTold()
    {
        strConexion = Connection::connectionString(QDir(m_db->folder()).filePath(QStringLiteral("no-existe.mdb")));
        m_dialogs->answerMessage(Dialogs::Ok);
        QTest::mouseClick(child<QPushButton>("cmdAceptar"), Qt::LeftButton);
        QCOMPARE(m_dialogs->messages().value(0).icon, Dialogs::Critical);
        QCOMPARE(m_previewed.size(), 0);
        QCOMPARE(QDir(m_db->folder()).entryList({QStringLiteral("*.pdf")}), QStringList());
    }
};

QTEST_MAIN(tst_OrderExport)
#include "tst_orderexport.moc"
