#pragma once

class CustomerCursor;
class Dialogs;
class QVariant;

// The four customer tools of the main window ("< Anterior", "Siguiente >", "Nuevo",
// "Cancelar") as rules on the customer cursor. The window keeps the fields bound to the
// cursor, so they follow every change the cursor announces.
class CustomerRecords
{
public:
    // Throws away the current record's pending changes and moves back; past the first
    // record it stays on the first and says so. Without a current record: nothing.
    static void anterior(CustomerCursor &cursor, Dialogs &dialogs);
    // The mirror image of anterior(), with "Final del fichero.".
    static void siguiente(CustomerCursor &cursor, Dialogs &dialogs);
    // Starts a new, empty record; pending changes of the record shown are thrown away, as
    // browsing away from it would.
    static void nuevo(CustomerCursor &cursor);
    // Throws away the pending changes, never telling anything.
    static void cancelar(CustomerCursor &cursor);
    // Whether the customer shown may be left for a search: a new customer being typed is
    // asked about first (No by default); edits of a stored one go as browsing drops them.
    static bool mayLeaveForSearch(CustomerCursor &cursor, Dialogs &dialogs);
    // Makes the customer found by a search current, as browsing to it would; false when the
    // cursor holds no customer of that key.
    static bool pick(CustomerCursor &cursor, const QVariant &id);
};
