#include "articlelist.h"

#include "base/regional.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace {

// Beyond these, the list of records left out ends with a count.
constexpr int problemsListed = 15;
constexpr int fieldShown = 40;

const std::array<QString, 6> fieldNames
    = {QStringLiteral("el código"), QStringLiteral("el código de fábrica"), QStringLiteral("la descripción"),
        QStringLiteral("la existencia"), QStringLiteral("el precio"), QStringLiteral("la fecha")};

QString shown(const QString &field)
{
    const QString cut = field.size() > fieldShown ? field.left(fieldShown) + QStringLiteral("…") : field;
    return QStringLiteral("«%1»").arg(cut);
}

// The stock as the list's format reads it, or, when the whole text does not read so, as its
// leading number, rounded to a 32-bit integer. Most lists hold bare digits, which read the same
// by the shorter road.
std::optional<qint32> stockOf(const QString &field, const Regional::Settings &format)
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
    std::optional<double> number = Regional::toNumber(field, format);
    if (!number)
        number = Regional::leadingNumberInRange(field);
    return number ? Regional::toInt32(*number) : std::nullopt;
}

// The first character that no catalogue text may hold: the C0 and C1 controls but the tab.
qsizetype controlCharacterIn(const QString &field)
{
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char16_t c = field.at(i).unicode();
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F))
            return i;
    }
    return -1;
}

// No more records than this fit in the text: the reader ends each of a record's six fields at a
// comma or a line end, and only the last field of the text at its end.
qsizetype mostRecordsIn(const QString &text)
{
    qsizetype delimiters = 0;
    for (const QChar c : text)
        delimiters += c == QLatin1Char(',') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
    return delimiters / 6 + 1;
}

} // namespace

std::optional<QString> ArticleList::whyNotRead(const QString &path, QString &text)
{
    const QString name = QDir::toNativeSeparators(path);
    auto cannot = [&name](const QString &why) {
        return QStringLiteral("No se pudo abrir el archivo de artículos '%1': %2.").arg(name, why);
    };
    const QFileInfo info(path);
    if (path.trimmed().isEmpty())
        return QStringLiteral("No se indicó el archivo de artículos a importar.");
    if (!info.exists())
        return cannot(QStringLiteral("el archivo no existe"));
    if (info.isDir())
        return cannot(QStringLiteral("es una carpeta"));
    if (!info.isFile())
        return cannot(QStringLiteral("no es un archivo común"));
    if (info.size() > maximumFileSize)
        return cannot(QStringLiteral("es demasiado grande (%1 MB)").arg(info.size() / (qint64(1024) * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannot(QStringLiteral("no se puede leer (%1)").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return cannot(QStringLiteral("no se puede leer (%1)").arg(file.errorString()));
    file.close();
    ArticleListReader::Decoded decoded = ArticleListReader::decode(bytes);
    if (decoded.encoding == ArticleListReader::Encoding::Utf16)
        return QStringLiteral("El archivo de artículos '%1' está escrito en UTF-16, que no se puede leer: guárdelo "
                              "como texto UTF-8 o ANSI (Windows-1252). No se importó nada.")
            .arg(name);
    if (decoded.encoding == ArticleListReader::Encoding::Mixed)
        return QStringLiteral("El archivo de artículos '%1' mezcla dos codificaciones: tiene letras en UTF-8 y, desde "
                              "la línea %2, caracteres que no lo son (de Windows-1252). Leído de cualquiera de las dos "
                              "formas, algunas descripciones se guardarían con letras equivocadas, así que no se "
                              "importó nada. Guárdelo de nuevo en una sola codificación.")
            .arg(name)
            .arg(decoded.badLine);
    text = std::move(decoded.text);
    return std::nullopt;
}

ArticleList::ArticleList(QString text, ListFormat format)
    : m_text(std::move(text))
    , m_format(std::move(format))
    , m_reader(m_text)
{ }

ArticleList::Failure ArticleList::check(
    const ArticleListRecord &record, const ListFormat &format, ArticleRecord *article, QString *reason)
{
    auto fail = [reason](Failure failure, const QString &why) {
        if (reason)
            *reason = why;
        return failure;
    };
    if (record.unclosedQuote)
        return fail(Failure::Text, QStringLiteral("falta cerrar las comillas de un campo"));
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
        const QString &field = record.fields[i];
        if (field.size() > maximumFieldLength)
            return fail(Failure::Text,
                QStringLiteral("%1 tiene %2 caracteres (el máximo es %3)")
                    .arg(fieldNames[i])
                    .arg(field.size())
                    .arg(maximumFieldLength));
        if (const qsizetype at = controlCharacterIn(field); at >= 0)
            return fail(Failure::Text,
                QStringLiteral("%1 tiene un carácter de control (código %2) en la posición %3")
                    .arg(fieldNames[i])
                    .arg(field.at(at).unicode())
                    .arg(at + 1));
    }

    const std::optional<qint32> stock = stockOf(record.fields[3], format.settings());
    if (!stock)
        return fail(
            Failure::Stock, QStringLiteral("la existencia %1 está fuera de rango").arg(shown(record.fields[3])));
    const std::optional<double> price = Regional::toNumber(record.fields[4], format.settings());
    if (!price)
        return fail(Failure::Price, QStringLiteral("el precio %1 no es un número").arg(shown(record.fields[4])));
    const std::optional<QDate> date = Regional::toDate(record.fields[5], format.settings());
    if (!date)
        return fail(Failure::Date, QStringLiteral("la fecha %1 no es una fecha válida").arg(shown(record.fields[5])));
    if (article)
        *article = ArticleRecord{record.fields[0], record.fields[1], record.fields[2], *stock, *price, *date};
    return Failure::None;
}

std::optional<ArticleRecord> ArticleList::convert(
    const ArticleListRecord &record, const ListFormat &format, QString *reason)
{
    ArticleRecord article;
    if (check(record, format, &article, reason) != Failure::None)
        return std::nullopt;
    return article;
}

std::optional<QString> ArticleList::whyRefused(const QString &path) const
{
    // One pass over the whole text before the first article is stored: a list written in
    // another format fails nearly every record the same way.
    struct Tally
    {
        int count = 0;
        int firstLine = 0;
        QString firstReason;
    };
    std::array<Tally, 5> failures;
    int records = 0;
    ArticleListReader reader(m_text);
    ArticleListRecord record;
    // Once the records read so far without a failure of some kind are half as many as the text
    // can hold, that kind cannot fail in more than half of them: the rest need not be read twice.
    const qsizetype most = mostRecordsIn(m_text);
    const auto cannotBeRefused = [&] {
        const int failedMost = std::max({failures[std::size_t(Failure::Stock)].count,
            failures[std::size_t(Failure::Price)].count, failures[std::size_t(Failure::Date)].count});
        return 2 * qsizetype(records - failedMost) >= most;
    };
    while (reader.next(record) == ArticleListReader::Status::Record) {
        ++records;
        QString reason;
        const Failure failure = check(record, m_format, nullptr, &reason);
        Tally &tally = failures[std::size_t(failure)];
        if (tally.count++ == 0) {
            tally.firstLine = record.line;
            tally.firstReason = reason;
        }
        if (records % 1024 == 0 && cannotBeRefused())
            return std::nullopt;
    }
    const QString what[] = {
        QString(), QString(), QStringLiteral("la existencia"), QStringLiteral("el precio"), QStringLiteral("la fecha")};
    for (const Failure failure : {Failure::Price, Failure::Date, Failure::Stock}) {
        const Tally &tally = failures[std::size_t(failure)];
        if (tally.count * 2 <= records)
            continue;
        return QStringLiteral("No se importó nada del archivo '%1': en %2 de sus %3 registros %4 no se lee con el "
                              "formato de la lista, %5.\nPor ejemplo, en la línea %6 %7.")
            .arg(QDir::toNativeSeparators(path))
            .arg(tally.count)
            .arg(records)
            .arg(what[std::size_t(failure)], m_format.description())
            .arg(tally.firstLine)
            .arg(tally.firstReason);
    }
    return std::nullopt;
}

bool ArticleList::next(ArticleRecord &article, int &line)
{
    ArticleListRecord record;
    while (!m_ended) {
        const ArticleListReader::Status status = m_reader.next(record);
        if (status == ArticleListReader::Status::End)
            break;
        if (status == ArticleListReader::Status::Incomplete) {
            m_problems.append(
                {record.line, QStringLiteral("el archivo termina en medio del registro, que se deja fuera")});
            break;
        }
        ++m_records;
        QString reason;
        if (std::optional<ArticleRecord> converted = convert(record, m_format, &reason)) {
            article = *converted;
            line = record.line;
            return true;
        }
        m_problems.append({record.line, reason});
    }
    m_ended = true;
    return false;
}

int ArticleList::percent() const
{
    return m_reader.size() > 0 ? int(m_reader.position() * 100 / m_reader.size()) : 100;
}

QString ArticleList::problemsText(const QString &path, const QList<Problem> &problems, int imported)
{
    QString text = problems.size() == 1
        ? QStringLiteral("No se importó 1 registro del archivo '%1':").arg(QDir::toNativeSeparators(path))
        : QStringLiteral("No se importaron %1 registros del archivo '%2':")
              .arg(problems.size())
              .arg(QDir::toNativeSeparators(path));
    for (qsizetype i = 0; i < problems.size() && i < problemsListed; ++i)
        text += QStringLiteral("\nLínea %1: %2.").arg(problems[i].line).arg(problems[i].reason);
    if (problems.size() > problemsListed)
        text += QStringLiteral("\n... y %1 más.").arg(problems.size() - problemsListed);
    text += QStringLiteral("\nArtículos importados: %1. Registros dejados fuera: %2.")
                .arg(imported)
                .arg(problems.size());
    return text;
}

MaybeError ArticleList::readFile(const QString &path, QString &text)
{
    if (std::optional<QString> why = whyNotRead(path, text))
        return DbError{DbErrorNumber::Refused, *why};
    return std::nullopt;
}

MaybeError ArticleList::refusal(const QString &path) const
{
    if (std::optional<QString> why = whyRefused(path))
        return DbError{DbErrorNumber::Refused, *why};
    return std::nullopt;
}
