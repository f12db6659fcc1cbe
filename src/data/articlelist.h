#pragma once

#include "dberror.h"

#include "articlelistreader.h"
#include "listformat.h"
#include "storedroutines.h"

#include <QList>
#include <QString>

#include <optional>

// The article list (entrada.dat) as the catalogue takes it, wherever it is loaded: the file
// read whole, its records converted into articles by the list's own format, and the records left
// out with the line they start on and why, in the words the user reads.
class ArticleList
{
public:
    // A record left out, with the line it starts on and why.
    struct Problem
    {
        int line = 0;
        QString reason;
    };

    // Files beyond this size are refused before they are read.
    static constexpr qint64 maximumFileSize = 512LL * 1024 * 1024;
    // The longest text the older program's database could hold; no catalogue field is longer.
    static constexpr int maximumFieldLength = 255;

    // The decoded text of the file; otherwise why it cannot be read, as a sentence.
    static MaybeError readFile(const QString &path, QString &text);

    explicit ArticleList(QString text, ListFormat format = ListFormat::es());

    // Before anything is stored: when more than half of the records fail the same way (their
    // prices, say, do not read by the list's format), the list is refused whole, and this says
    // why, naming the format and an example line. nullopt when the list may be loaded.
    MaybeError refusal(const QString &path) const;

    // The next record that converts, with the line it starts on; the records on the way that
    // do not are kept as problems. False at the end of the list.
    bool next(ArticleRecord &article, int &line);
    // Records read so far, converted or not.
    int records() const { return m_records; }
    const QList<Problem> &problems() const { return m_problems; }
    // How far through the text the reading has come.
    int percent() const;

    // A record as the catalogue stores it: texts no longer than any catalogue field and free of
    // control characters; the stock read by the list's format (a whole text that does not read
    // so goes by its leading number) and rounded to a 32-bit integer; price and date by the
    // list's format. The reason when it does not convert.
    static std::optional<ArticleRecord> convert(
        const ArticleListRecord &record, const ListFormat &format, QString *reason = nullptr);
    // The message that lists the records of the file at `path` that were left out, and how many
    // articles were imported.
    static QString problemsText(const QString &path, const QList<Problem> &problems, int imported);

private:
    static std::optional<QString> whyNotRead(const QString &path, QString &text);
    std::optional<QString> whyRefused(const QString &path) const;
    enum class Failure { None, Text, Stock, Price, Date };
    static Failure check(
        const ArticleListRecord &record, const ListFormat &format, ArticleRecord *article, QString *reason);

    QString m_text;
    ListFormat m_format;
    ArticleListReader m_reader;
    int m_records = 0;
    bool m_ended = false;
    QList<Problem> m_problems;
};
