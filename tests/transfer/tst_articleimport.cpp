#include "base/regional.h"
#include "data/connection.h"
#include "data/listformat.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"
#include "support/testfiles.h"
#include "transfer/frmtransferencia.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QString successQuestion
    = QStringLiteral("La importación se realizó exitosamente.\nDesea eliminar el archivo importado?.");

QByteArray listOf(const QList<QByteArray> &codes)
{
    QByteArray list;
    for (const QByteArray &code : codes)
        list += code + ",p,d,1,\"1\",1/1/2004\n";
    return list;
}

} // namespace

// The import's own rules through the transfer window; the list's syntax and the batches are the store's.
class tst_ArticleImport : public QObject
{
    Q_OBJECT

    std::optional<TestDatabase> m_db;
    std::optional<ScriptedDialogs> m_dialogs;
    std::unique_ptr<frmTransferencia> m_window;
    QString m_path;

    void openOn(const QByteArray &list)
    {
        m_path = QDir(m_db->folder()).filePath(QStringLiteral("entrada.dat"));
        QVERIFY(writeFile(m_path, list));
        m_window = std::make_unique<frmTransferencia>();
        m_window->setMode(QStringLiteral("I"));
        m_window->show();
        m_window->findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->setText(QDir::toNativeSeparators(m_path));
    }
    void accept() { QTest::mouseClick(m_window->findChild<QPushButton *>("cmdAceptar"), Qt::LeftButton); }
    void refuse(const QString &write, const QString &when = QStringLiteral("NEW.COD_ART = 'MALO'"))
    {
        QVERIFY(m_db->exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %1 ON ARTICULOS WHEN %2 BEGIN SELECT "
                                          "RAISE(ABORT, 'rechazado'); END")
                               .arg(write, when)));
    }
    int articleCount() const { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM ARTICULOS")).toInt(); }

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        QVERIFY(m_db.emplace().isValid());
        QVERIFY(!acnDataBase().open(m_db->path()));
        m_dialogs.emplace();
    }

    void cleanup()
    {
        m_window.reset();
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        acnDataBase().close();
    }

    void addsReplacesAndOffersDeletion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("kept") << false;
        QTest::newRow("deleted") << true;
    }

    void addsReplacesAndOffersDeletion()
    {
        QFETCH(bool, yes);
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO ARTICULOS VALUES ('A-1', 'viejo', 'Vieja', 500, 1, "
                                          "'2001-01-01'), ('Z-9', 'z', 'Intacto', 9, 9.5, '2001-01-01')")));
        openOn("\"A-1\",\"F-100\",\"Caño 1/2\",120,\"15,50\",20/08/2004\r\n"
               "\"B-2\",\"uno\",\"Codo\",7,\"1.234,5\",1/9/2004\r\n\"B-2\",\"dos\",\"Segundo\",8,\"2\",2/9/2004\r\n");
        m_dialogs->answerMessage(yes ? Dialogs::Yes : Dialogs::No);
        accept();

        QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(COD_ART || '|' || COD_PROPIO || '|' || DESCRIPCION "
                                             "|| '|' || STK_ACTUAL || '|' || P_UNITARIO || '|' || FECHA_ACT, ';') "
                                             "FROM (SELECT * FROM ARTICULOS ORDER BY COD_ART)"))
                     .toString(),
            QStringLiteral("A-1|F-100|Caño 1/2|120|15.5|2004-08-20;B-2|dos|Segundo|8|2.0|2004-09-02;"
                           "Z-9|z|Intacto|9|9.5|2001-01-01"));
        QCOMPARE(m_dialogs->messages().at(0).text, successQuestion);
        QCOMPARE(m_dialogs->messages().at(0).buttons, Dialogs::Yes | Dialogs::No);
        QCOMPARE(QFile::exists(m_path), !yes);
        QCOMPARE(m_window->isVisible(), !yes);
        // A second click does nothing: one import for each opening.
        accept();
        QCOMPARE(m_dialogs->messages().size(), 1);
    }

    // A record that does not convert is told with the file's name; the file stays, unasked.
    void recordLeftOutKeepsTheFile()
    {
        openOn(listOf({"A"}) + "M,p,d,1e400,\"2\",1/1/2004\n" + listOf({"Z"}));
        m_dialogs->answerMessage(Dialogs::Ok);
        accept();

        QCOMPARE(m_dialogs->messages().size(), 1);
        const Dialogs::Message told = m_dialogs->messages().first();
        QVERIFY2(told.text.contains(QStringLiteral("Línea 2: la existencia «1e400» está fuera de rango.")),
            qPrintable(told.text));
        QVERIFY(told.text.contains(QDir::toNativeSeparators(m_path)));
        QCOMPARE(told.icon, Dialogs::Warning);
        QVERIFY2(told.text.endsWith(QStringLiteral("\nArtículos importados: 2. Registros dejados fuera: 1.")),
            qPrintable(told.text));
        QCOMPARE(articleCount(), 2);
        QVERIFY(QFile::exists(m_path));
        QVERIFY(m_window->isVisible());
    }

    // The list is read by the format Configuración holds, not by this comma machine's rules.
    void readsByTheCompanysFormat()
    {
        QVERIFY_NO_ERROR(ListFormat::write(acnDataBase(), ListFormat::en()));
        openOn("\"A\",p,d,\"1,500\",\"1,234.5\",08/20/2004\n\"B\",p,d,2,\"14.29\",09/02/2004\n");
        m_dialogs->answerMessage(Dialogs::No);
        accept();
        QCOMPARE(m_dialogs->messages().first().text, successQuestion);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(COD_ART || '|' || STK_ACTUAL || '|' || P_UNITARIO || "
                                             "'|' || FECHA_ACT, ';') FROM (SELECT * FROM ARTICULOS ORDER BY COD_ART)"))
                     .toString(),
            QStringLiteral("A|1500|1234.5|2004-08-20;B|2|14.29|2004-09-02"));
    }

    // The file is replaced while the deletion question is up: the new one is not the one read.
    void fileChangedWhileAskedIsKept()
    {
        openOn(listOf({"A"}));
        m_dialogs->answerMessage(Dialogs::Yes, [this] {
            QVERIFY(QFile::remove(m_path));
            QVERIFY(writeFile(m_path, listOf({"A", "B"})));
        });
        m_dialogs->answerMessage(Dialogs::Ok);
        accept();
        QVERIFY(m_dialogs->messages().last().text.contains("cambió o fue reemplazado después de importarlo"));
        QCOMPARE(contentOf(m_path), listOf({"A", "B"}));
    }

    // A store that refuses every write, as a full disk does: after the first article given up,
    // the next failing the same way offers to stop instead of asking again for every record.
    void sameFailureAgainStopsTheImport()
    {
        refuse(QStringLiteral("INSERT"), QStringLiteral("NEW.COD_ART <> 'A'"));
        refuse(QStringLiteral("UPDATE"), QStringLiteral("NEW.COD_ART <> 'A'"));
        openOn(listOf({"A", "B", "C", "D", "E"}));
        for (const Dialogs::Button answer : {Dialogs::Cancel, Dialogs::Ok, Dialogs::Yes, Dialogs::Ok})
            m_dialogs->answerMessage(answer);
        accept();

        const QList<Dialogs::Message> shown = m_dialogs->messages();
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0].text, QStringLiteral("rechazado")); // B: Retry/Cancel
        QCOMPARE(shown[1].text, QStringLiteral("Ocurrio un error al importar los artículos(insert)."));
        QVERIFY2(shown[2].text.contains(QStringLiteral("línea 3")) && shown[2].buttons == (Dialogs::Yes | Dialogs::No),
            qPrintable(shown[2].text)); // C fails the same way
        QVERIFY2(shown[3].text.contains(QStringLiteral("Artículos guardados: 1; sin guardar: 2.")),
            qPrintable(shown[3].text));
        QCOMPARE(articleCount(), 1);
        QVERIFY(QFile::exists(m_path));
        QVERIFY(m_window->isVisible());
    }

    void progressAfterItsDelayAndNoClosing_data()
    {
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("shown");
        QTest::newRow("delay passed") << 0 << true;
        QTest::newRow("within the delay") << 60000 << false;
    }

    // Half-way through, the store refuses an article; while its box is up the window is asked
    // to close, by its close button and by Escape; then the fault is gone and Retry goes on.
    void progressAfterItsDelayAndNoClosing()
    {
        QFETCH(int, delay);
        QFETCH(bool, shown);
        refuse(QStringLiteral("INSERT"));
        QList<QByteArray> codes;
        for (int n = 0; n < 200; ++n)
            codes.append(n == 100 ? QByteArray("MALO") : "A" + QByteArray::number(n));
        openOn(listOf(codes));
        m_window->setProgressDelay(delay);
        bool progressShown = !shown, closed = true;
        m_dialogs->answerMessage(Dialogs::Retry, [&] {
            const auto *progress = m_window->findChild<QProgressDialog *>(QStringLiteral("prgImportar"));
            progressShown = progress && progress->isVisible();
            closed = m_window->close();
            QTest::keyClick(m_window.get(), Qt::Key_Escape);
            closed = closed || !m_window->isVisible();
            QVERIFY(!acnDataBase().execute(QStringLiteral("DROP TRIGGER refuse_INSERT")));
        });
        m_dialogs->answerMessage(Dialogs::No);
        accept();

        QCOMPARE(progressShown, shown);
        QVERIFY(!closed);
        QCOMPARE(articleCount(), 200);
        QCOMPARE(m_dialogs->messages().last().text, successQuestion);
        QVERIFY(m_window->isVisible());
        QVERIFY(!m_window->findChild<QProgressDialog *>(QStringLiteral("prgImportar")));
    }
};

QTEST_MAIN(tst_ArticleImport)
#include "tst_articleimport.moc"
