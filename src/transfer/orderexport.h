#pragma once

#include <QString>

class QWidget;

// The export of a day's orders behind the transfer window (ProcesoExportar): the order report
// over every order of the date, written as PDF when asked, then shown in its preview.
class OrderExport
{
public:
    struct Outcome
    {
        // The report ran (with or without orders) and was shown.
        bool previewed = false;
        // The PDF is at the path.
        bool written = false;
    };

    // date: the transfer date as regional short-date text; path: where the PDF goes.
    static Outcome run(const QString &date, bool toPdf, const QString &path, QWidget *parent);

    // Whether writing the PDF at the path would replace a file that is not a PDF (an article
    // list, a database): the user is asked before that one is lost. A PDF is the day's export
    // written again, and is replaced without a word.
    static bool replacesOtherFile(const QString &path);
    static QString replaceQuestion(const QString &path);
};
