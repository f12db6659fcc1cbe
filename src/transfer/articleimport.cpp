#include "articleimport.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "base/regional.h"
#include "data/articlebatchwriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace {

// Beyond these, the list of records left out ends with a count.
constexpr int problemsListed = 15;
constexpr int fieldShown = 40;

QString shown(const QString &field)
{
    const QString cut = field.size() > fieldShown ? field.left(fieldShown) + QStringLiteral("…") : field;
    return QStringLiteral("«%1»").arg(cut);
}

} // namespace

ArticleImport::ArticleImport(QString path, Connection &connection, Dialogs &dialogs)
    : m_path(std::move(path))
    , m_connection(connection)
    , m_dialogs(dialogs)
{ }

namespace {

// The stock as its leading number rounded to a 32-bit integer. Most lists hold bare digits,
// which read the same by the shorter road.
std::optional<qint32> stockOf(const QString &field)
{
    if (field.size() > 0 && field.size() <= 9) {
        qint32 value = 0;
        bool digitsOnly = true;
        for (const QChar c : field) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                digitsOnly = false;
                break;
            }
            value = value * 10 + (c.unicode() - '0');
        }
        if (digitsOnly)
            return value;
    }
    // A number beyond any range, however it is written (1e400), is out of range, not zero.
    const std::optional<double> number = Regional::leadingNumberInRange(field);
    return number ? Regional::toInt32(*number) : std::nullopt;
}

} // namespace

std::optional<ArticleRecord> ArticleImport::convert(const ArticleListRecord &record, QString *reason)
{
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (record.unclosedQuote)
        return fail(QStringLiteral("falta cerrar las comillas de un campo"));

    const std::optional<qint32> stock = stockOf(record.fields[3]);
    if (!stock)
        return fail(QStringLiteral("la existencia %1 está fuera de rango").arg(shown(record.fields[3])));
    const std::optional<double> price = Regional::toNumber(record.fields[4]);
    if (!price)
        return fail(QStringLiteral("el precio %1 no es un número").arg(shown(record.fields[4])));
    const std::optional<QDate> date = Regional::toDate(record.fields[5]);
    if (!date)
        return fail(QStringLiteral("la fecha %1 no es una fecha válida").arg(shown(record.fields[5])));

    return ArticleRecord{record.fields[0], record.fields[1], record.fields[2], *stock, *price, *date};
}

std::optional<QString> ArticleImport::readFile(QString &text) const
{
    const QString name = QDir::toNativeSeparators(m_path);
    auto cannot = [&name](const QString &why) {
        return QStringLiteral("No se pudo abrir el archivo de artículos '%1': %2.").arg(name, why);
    };
    const QFileInfo info(m_path);
    if (m_path.trimmed().isEmpty())
        return QStringLiteral("No se indicó el archivo de artículos a importar.");
    if (!info.exists())
        return cannot(QStringLiteral("el archivo no existe"));
    if (info.isDir())
        return cannot(QStringLiteral("es una carpeta"));
    if (!info.isFile())
        return cannot(QStringLiteral("no es un archivo común"));
    if (info.size() > maximumFileSize)
        return cannot(QStringLiteral("es demasiado grande (%1 MB)").arg(info.size() / (1024 * 1024)));
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return cannot(QStringLiteral("no se puede leer (%1)").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return cannot(QStringLiteral("no se puede leer (%1)").arg(file.errorString()));
    file.close();
    text = ArticleListReader::decode(bytes);
    return std::nullopt;
}

void ArticleImport::reportProblems(const QList<Problem> &problems) const
{
    QString text = problems.size() == 1
        ? QStringLiteral("No se importó 1 registro del archivo '%1':").arg(QDir::toNativeSeparators(m_path))
        : QStringLiteral("No se importaron %1 registros del archivo '%2':")
              .arg(problems.size())
              .arg(QDir::toNativeSeparators(m_path));
    for (qsizetype i = 0; i < problems.size() && i < problemsListed; ++i)
        text += QStringLiteral("\nLínea %1: %2.").arg(problems[i].line).arg(problems[i].reason);
    if (problems.size() > problemsListed)
        text += QStringLiteral("\n... y %1 más.").arg(problems.size() - problemsListed);
    text += QStringLiteral("\nLos demás artículos se importaron.");
    m_dialogs.message(text, MessageTitles::attention(), Dialogs::Warning, Dialogs::Ok);
}

bool ArticleImport::askToStop(const DbError &error, int line) const
{
    return m_dialogs.message(QStringLiteral("El artículo de la línea %1 tampoco se pudo guardar, por el mismo error:\n"
                                            "%2\n\n¿Desea detener la importación?")
                                 .arg(line)
                                 .arg(error.description),
               MessageTitles::attention(), Dialogs::Question, Dialogs::Yes | Dialogs::No, Dialogs::Yes)
        == Dialogs::Yes;
}

void ArticleImport::reportStopped(const Outcome &outcome) const
{
    m_dialogs.message(QStringLiteral("La importación se detuvo.\nArtículos guardados: %1; sin guardar: %2.\n"
                                     "El archivo '%3' no se eliminó: una vez resuelto el problema, impórtelo otra vez.")
                          .arg(outcome.stored)
                          .arg(outcome.notStored)
                          .arg(QDir::toNativeSeparators(m_path)),
        MessageTitles::attention(), Dialogs::Warning, Dialogs::Ok);
}

bool ArticleImport::askToDelete() const
{
    return m_dialogs.message(
               QStringLiteral("La importación se realizó exitosamente.\nDesea eliminar el archivo importado?."),
               QStringLiteral("Importación"), Dialogs::NoIcon, Dialogs::Yes | Dialogs::No)
        == Dialogs::Yes;
}

ArticleImport::Outcome ArticleImport::run()
{
    Outcome outcome;
    QString text;
    if (std::optional<QString> error = readFile(text)) {
        m_dialogs.message(*error, MessageTitles::attention(), Dialogs::Critical, Dialogs::Ok);
        return outcome;
    }

    bool failed = false;
    ArticleBatchWriter::Listener listener;
    listener.givenUp = [this, &failed](ArticleBatchWriter::Write write, int) {
        m_dialogs.message(write == ArticleBatchWriter::Write::Update
                ? QStringLiteral("Ocurrio un error al importar los artículos(update).")
                : QStringLiteral("Ocurrio un error al importar los artículos(insert)."),
            MessageTitles::attention(), Dialogs::Critical, Dialogs::Ok);
        failed = true;
    };
    listener.sameFailure = [this](const DbError &error, int line) { return askToStop(error, line); };

    QElapsedTimer clock;
    clock.start();
    qint64 nextProgressMs = m_progressDelayMs;
    bool progressShown = false;
    {
        const StoredRoutines routines(m_connection, m_dialogs);
        ArticleBatchWriter writer(routines, listener, m_batchSize);
        ArticleListReader reader(std::move(text));
        ArticleListRecord record;
        while (!writer.stopped()) {
            const ArticleListReader::Status status = reader.next(record);
            if (status == ArticleListReader::Status::End)
                break;
            if (status == ArticleListReader::Status::Incomplete) {
                outcome.problems.append(
                    {record.line, QStringLiteral("el archivo termina en medio del registro, que se deja fuera")});
                break;
            }
            ++outcome.records;
            QString reason;
            if (const std::optional<ArticleRecord> article = convert(record, &reason))
                writer.store(*article, record.line);
            else
                outcome.problems.append({record.line, reason});

            // The clock is read every few records only, to keep a long import fast.
            if (m_progress.update && (outcome.records & 0x3F) == 0 && clock.elapsed() >= nextProgressMs) {
                const int percent = reader.size() > 0 ? int(reader.position() * 100 / reader.size()) : 100;
                m_progress.update(outcome.records, percent);
                progressShown = true;
                nextProgressMs = clock.elapsed() + 100;
            }
        }
        writer.finish();
        outcome.stored = writer.storedCount();
        outcome.notStored = writer.notStoredCount();
        outcome.stopped = writer.stopped();
    }
    if (progressShown && m_progress.close)
        m_progress.close();

    if (outcome.stopped) {
        reportStopped(outcome);
        return outcome;
    }
    if (!outcome.problems.isEmpty()) {
        reportProblems(outcome.problems);
        failed = true;
    }
    if (failed)
        return outcome;

    outcome.succeeded = true;
    if (askToDelete()) {
        outcome.fileDeleted = true;
        if (!QFile::remove(m_path))
            m_dialogs.message(
                QStringLiteral("No se pudo eliminar el archivo '%1'.").arg(QDir::toNativeSeparators(m_path)),
                MessageTitles::attention(), Dialogs::Warning, Dialogs::Ok);
    }
    return outcome;
}
