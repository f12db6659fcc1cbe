#include "customerrecords.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "data/customercursor.h"

namespace {

void tellEnd(Dialogs &dialogs, const QString &text)
{
    dialogs.message(text, MessageTitles::attention(), Dialogs::Information);
}

} // namespace

void CustomerRecords::anterior(CustomerCursor &cursor, Dialogs &dialogs)
{
    if (cursor.bof() || cursor.eof())
        return;
    cursor.cancelUpdate();
    cursor.movePrevious();
    if (cursor.bof()) {
        cursor.moveFirst();
        tellEnd(dialogs, QStringLiteral("Principio del fichero."));
    }
}

void CustomerRecords::siguiente(CustomerCursor &cursor, Dialogs &dialogs)
{
    if (cursor.bof() || cursor.eof())
        return;
    cursor.cancelUpdate();
    cursor.moveNext();
    if (cursor.eof()) {
        cursor.moveLast();
        tellEnd(dialogs, QStringLiteral("Final del fichero."));
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

bool CustomerRecords::mayLeaveForSearch(CustomerCursor &cursor, Dialogs &dialogs)
{
    if (cursor.editMode() != CustomerCursor::EditMode::New)
        return true;
    return dialogs.message(QStringLiteral("Se perderá el cliente nuevo que está escribiendo. ¿Desea seguir?"),
               MessageTitles::attention(), Dialogs::Question, Dialogs::Yes | Dialogs::No, Dialogs::No)
        == Dialogs::Yes;
}

bool CustomerRecords::pick(CustomerCursor &cursor, const QVariant &id)
{
    const int position = cursor.positionOf(id);
    if (position < 0)
        return false;
    cursor.moveTo(position);
    return true;
}
