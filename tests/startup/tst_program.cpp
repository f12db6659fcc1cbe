#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <optional>

namespace {

// The real program, copied into a folder of its own so that its database is the one beside it.
class Program
{
public:
    // Offscreen, or with no platform asked for and that X11 display (none when empty).
    explicit Program(const QString &folder, std::optional<QString> display = std::nullopt)
        : m_folder(folder)
    {
        const QString copy = QDir(folder).filePath(QStringLiteral("recorvan"));
        QFile::copy(QStringLiteral(RECORVAN_PROGRAM), copy);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (display) {
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
            environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
            environment.insert(QStringLiteral("DISPLAY"), *display);
        }
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_process.setProcessEnvironment(environment);
        m_process.start(copy, {});
    }
    ~Program()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Its start-up has put in place what ends the run cleanly on SIGTERM (the program's own,
    // not the handlers a child has from its parent until it starts the program).
    bool waitForSessionHandler()
    {
        return QTest::qWaitFor(
            [this] {
                QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
                const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
                const qsizetype caught = text.indexOf("\nSigCgt:");
                return text.startsWith("Name:\trecorvan\n") && caught >= 0
                    && (text.mid(caught + 8, 17).trimmed().toULongLong(nullptr, 16) & (1ULL << (SIGTERM - 1))) != 0;
            },
            20000);
    }

    // The database is open: the claim holds this process's number and the log is beside it.
    bool waitForDatabase()
    {
        return QTest::qWaitFor(
            [this] {
                QFile lock(m_folder + QStringLiteral("/database.mdb.lock"));
                return lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed().toLongLong() == m_process.processId()
                    && QFileInfo::exists(m_folder + QStringLiteral("/database.mdb-wal"));
            },
            20000);
    }

    void signal(int number) { ::kill(pid_t(m_process.processId()), number); }

    // The exit status after a normal end (-1 after a crash), with what it wrote on its error
    // output, less what the offscreen platform says of itself.
    int finish(QStringList *warnings = nullptr)
    {
        if (!m_process.waitForFinished(20000))
            return -2;
        if (warnings) {
            *warnings = QString::fromLocal8Bit(m_process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
            warnings->removeIf([](const QString &line) { return line.startsWith("This plugin does not"); });
        }
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QString m_folder;
    QTemporaryDir m_runtime;
    QProcess m_process;
};

} // namespace

// The program itself, started as a user starts it: how it ends is its exit status.
class tst_Program : public QObject
{
    Q_OBJECT

private slots:
    // A second copy on the same database is refused and leaves the first alone; the claim of a
    // copy that died is taken over; the session ends a copy as a closed window does, with status 0,
    // leaving nothing behind but the file.
    void exitStatus()
    {
        TestDatabase db;
        QStringList warnings;
        Program first(db.folder());
        QVERIFY(first.waitForDatabase());
        Program second(db.folder());
        QVERIFY(second.waitForSessionHandler());
        second.signal(SIGTERM); // answers the refusal's box
        QCOMPARE(second.finish(&warnings), 1);
        QCOMPARE(warnings, QStringList());
        first.signal(SIGKILL); // still running: it ends by the signal

        QCOMPARE(first.finish(), -1);

        Program next(db.folder());
        QVERIFY(next.waitForSessionHandler());
        QVERIFY(next.waitForDatabase());
        next.signal(SIGTERM);
        QCOMPARE(next.finish(&warnings), 0);
        QCOMPARE(warnings, QStringList());
        QStringList left = QDir(db.folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        left.removeAll(QStringLiteral("recorvan"));
        QCOMPARE(left, QStringList{QStringLiteral("database.mdb")});
    }

    void withoutDisplay_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("none") << QString();
        QTest::newRow("one that does not answer") << QStringLiteral(":4711");
    }

    // No graphic session, or a display that does not answer: said in Spanish, status 1, nothing made.
    void withoutDisplay()
    {
        QFETCH(QString, display);
        QTemporaryDir folder;
        Program program(folder.path(), display);
        QStringList said;
        QCOMPARE(program.finish(&said), 1);
        QVERIFY2(said.join('\n').contains(QStringLiteral("Recorvan necesita una sesión gráfica")),
            qPrintable(said.join('\n')));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("recorvan")});
    }
};

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
