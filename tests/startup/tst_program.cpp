#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>

namespace {

// The real program, copied into a folder of its own so that its database is the one beside it.
class Program
{
public:
    explicit Program(const QString &folder)
        : m_folder(folder)
    {
        const QString copy = QDir(folder).filePath(QStringLiteral("recorvan"));
        if (!QFileInfo::exists(copy))
            QFile::copy(QStringLiteral(RECORVAN_PROGRAM), copy);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_process.setProcessEnvironment(environment);
        m_process.start(copy, {});
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    qint64 pid() const { return m_process.processId(); }

    // Its start-up has put in place what ends the run cleanly on SIGTERM (the program's own,
    // not the handlers a child has from its parent until it starts the program).
    bool waitForSessionHandler()
    {
        return waitFor([this] {
            QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
            if (!status.open(QIODevice::ReadOnly))
                return false;
            bool program = false;
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("Name:"))
                    program = line.mid(5).trimmed() == "recorvan";
                if (program && line.startsWith("SigCgt:")) {
                    const quint64 mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
                    return (mask & (quint64(1) << (SIGTERM - 1))) != 0;
                }
            }
            return false;
        });
    }

    // The database is open: the claim holds this process's number and the log is beside it.
    bool waitForDatabase()
    {
        return waitFor([this] {
            QFile lock(QDir(m_folder).filePath(QStringLiteral("database.mdb.lock")));
            return lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed().toLongLong() == pid()
                && QFileInfo::exists(QDir(m_folder).filePath(QStringLiteral("database.mdb-wal")));
        });
    }

    bool isRunning() const { return m_process.state() == QProcess::Running; }
    void signal(int number) { ::kill(pid_t(pid()), number); }

    // The exit status after a normal end; -1 when it ended by a signal (a crash).
    int finish()
    {
        if (!m_process.waitForFinished(20000))
            return -2;
        m_errors = QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    // What it wrote on its error output, less what the offscreen platform says of itself.
    QStringList warnings() const
    {
        QStringList lines = m_errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) { return line.startsWith(QStringLiteral("This plugin does not")); });
        return lines;
    }

private:
    static bool waitFor(const std::function<bool()> &condition)
    {
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            if (condition())
                return true;
            QTest::qWait(20);
        }
        return false;
    }

    QString m_folder;
    QTemporaryDir m_runtime;
    QProcess m_process;
    QString m_errors;
};

QStringList besideTheDatabase(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("recorvan"));
    return names;
}

} // namespace

// The program itself, started as a user starts it: how it ends is its exit status.
class tst_Program : public QObject
{
    Q_OBJECT

private slots:
    // The session ends it as a closed window does: status 0, nothing left behind but the file.
    void endsCleanly()
    {
        TestDatabase db;
        Program program(db.folder());
        QVERIFY(program.waitForSessionHandler());
        QVERIFY(program.waitForDatabase());
        program.signal(SIGTERM);
        QCOMPARE(program.finish(), 0);
        QCOMPARE(program.warnings(), QStringList());
        QCOMPARE(besideTheDatabase(db.folder()), QStringList{QStringLiteral("database.mdb")});
    }

    void refusedStartEndsWithOne()
    {
        TestDatabase db;
        QVERIFY(db.exec(QStringLiteral("DROP TABLE SETUP")));
        Program program(db.folder());
        QVERIFY(program.waitForSessionHandler());
        program.signal(SIGTERM); // answers the refusal's box
        QCOMPARE(program.finish(), 1);
        QCOMPARE(program.warnings(), QStringList());
        QCOMPARE(besideTheDatabase(db.folder()), QStringList{QStringLiteral("database.mdb")});
    }

    // A second copy on the same database is refused and leaves the first alone; the claim of a
    // copy that died is taken over.
    void oneCopyAtATime()
    {
        TestDatabase db;
        Program first(db.folder());
        QVERIFY(first.waitForDatabase());
        {
            Program second(db.folder());
            QVERIFY(second.waitForSessionHandler());
            second.signal(SIGTERM);
            QCOMPARE(second.finish(), 1);
        }
        QVERIFY(first.isRunning());
        first.signal(SIGKILL);
        QCOMPARE(first.finish(), -1);

        Program next(db.folder());
        QVERIFY(next.waitForDatabase());
        next.signal(SIGTERM);
        QCOMPARE(next.finish(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
