#include "customerrecords.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "data/customercursor.h"

namespace {

void tellEnd(const QString &text)
{
    Dialogs::current().message(text, MessageTitles::attention(), Dialogs::Information);
}

} // namespace

void CustomerRecords::anterior(CustomerCursor &cursor)
{
    if (cursor.bof() || cursor.eof())
        return;
    cursor.cancelUpdate();
    cursor.movePrevious();
    if (cursor.bof()) {
        cursor.moveFirst();
        tellEnd(QStringLiteral("Principio del fichero."));
    }
}

void CustomerRecords::siguiente(CustomerCursor &cursor)
{
    if (cursor.bof() || cursor.eof())
        return;
    cursor.cancelUpdate();
    cursor.moveNext();
    if (cursor.eof()) {
        cursor.moveLast();
        tellEnd(QStringLiteral("Final del fichero."));
    }
}

void CustomerRecords::nuevo(CustomerCursor &cursor)
{
    cursor.addNew();
}

void CustomerRecords::cancelar(CustomerCursor &cursor)
{
    cursor.cancelUpdate();
}
