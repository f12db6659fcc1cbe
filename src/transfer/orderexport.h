#pragma once

#include <QString>

class Dialogs;
class QWidget;

// The export of a day's orders behind the transfer window (ProcesoExportar): the order report
// over every order of the date, written as PDF when asked, then shown in its preview. What
// fails is told through the dialogs it is given, and a failure is never followed by the
// success text.
class OrderExport
{
public:
    // date: the transfer date as regional short-date text; path: where the PDF goes.
    static void run(const QString &date, bool toPdf, const QString &path, QWidget *parent, Dialogs &dialogs);

    // Whether writing the PDF at the path would replace a file that is not a PDF (an article
    // list, a database): the user is asked before that one is lost. A PDF is the day's export
    // written again, and is replaced without a word.
    static bool replacesOtherFile(const QString &path);
    static QString replaceQuestion(const QString &path);
};
