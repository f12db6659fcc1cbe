#pragma once

#include "articlelistreader.h"
#include "storedroutines.h"

#include <QList>
#include <QString>

#include <optional>

// The article list (entrada.dat) as the catalogue takes it, wherever it is loaded: the file
// read whole, its records converted into articles, and the records left out with the line
// they start on and why, in the words the user reads.
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

    // The decoded text of the file; otherwise why it cannot be read, as a sentence.
    static std::optional<QString> readFile(const QString &path, QString &text);

    explicit ArticleList(QString text);

    // The next record that converts, with the line it starts on; the records on the way that
    // do not are kept as problems. False at the end of the list.
    bool next(ArticleRecord &article, int &line);
    // Records read so far, converted or not.
    int records() const { return m_records; }
    const QList<Problem> &problems() const { return m_problems; }
    // How far through the text the reading has come.
    int percent() const;

    // Fields 4 to 6 as the catalogue stores them: stock by its leading number rounded to a
    // 32-bit integer, price and date by the regional rules. The reason when they do not convert.
    static std::optional<ArticleRecord> convert(const ArticleListRecord &record, QString *reason = nullptr);
    // The message that lists the records of the file at `path` that were left out.
    static QString problemsText(const QString &path, const QList<Problem> &problems);

private:
    ArticleListReader m_reader;
    int m_records = 0;
    bool m_ended = false;
    QList<Problem> m_problems;
};
