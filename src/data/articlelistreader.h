#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// One record of the article list as it stands in the file: six text fields, and the line
// on which it starts so that problems can be pointed at.
struct ArticleListRecord
{
    std::array<QString, 6> fields;
    int line = 0;
    // A quoted field whose closing quote never came before the line end.
    bool unclosedQuote = false;
};

// Reads the article list: six fields a record, taken in sequence. Blanks before a field are
// skipped; a field that opens with a double quote runs to the next double quote and may hold
// commas; any other field runs to the next comma or line end. Lines end in CR LF, LF or CR.
// Blank lines are skipped. Nothing in the text can make it fail: it only reports.
class ArticleListReader
{
public:
    enum class Status { Record, Incomplete, End };

    explicit ArticleListReader(QString text);

    // Record: a full record was read. Incomplete: the text ended inside a record, which holds
    // the fields read so far. End: nothing more.
    Status next(ArticleListRecord &record);

    enum class Encoding { Ascii, Utf8, Windows1252, Mixed, Utf16 };
    struct Decoded
    {
        Encoding encoding = Encoding::Ascii;
        // Empty for the two that are refused.
        QString text;
        // Mixed: the first line holding a byte that is not UTF-8.
        int badLine = 0;
    };

    // The encoding is decided from the bytes. Valid UTF-8 is UTF-8 (a leading byte-order mark is
    // dropped), and bytes all below 0x80 are ASCII. Valid multi-byte UTF-8 beside bytes that are
    // not UTF-8 is a file put together from two: it is refused whole, since reading it either way
    // would store wrong letters. Without any UTF-8 sequence it is the Windows single-byte code page
    // the older systems wrote. UTF-16 (a byte-order mark, or every other byte zero) is refused.
    static Decoded decode(const QByteArray &bytes);
    static QString fromWindows1252(const QByteArray &bytes);

    // How far the reading has come, in characters of the text.
    qsizetype position() const { return m_pos; }
    qsizetype size() const { return m_text.size(); }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    bool atLineEnd() const;
    void skipBlanks();
    // At the start of a line, skips the lines that hold nothing but blanks.
    void skipBlankLines();
    // Consumes the comma or line end after a field; returns true when it was a line end.
    bool consumeDelimiter();
    QString readField(bool &unclosedQuote);

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_atLineStart = true;
};
