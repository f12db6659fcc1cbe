#pragma once

class CustomerCursor;

// The four customer tools of the main window ("< Anterior", "Siguiente >", "Nuevo",
// "Cancelar") as rules on the customer cursor. The window keeps the fields bound to the
// cursor, so they follow every change the cursor announces.
class CustomerRecords
{
public:
    // Throws away the current record's pending changes and moves back; past the first
    // record it stays on the first and says so. Without a current record: nothing.
    static void anterior(CustomerCursor &cursor);
    // The mirror image of anterior(), with "Final del fichero.".
    static void siguiente(CustomerCursor &cursor);
    // Starts a new, empty record; pending changes of the record shown are thrown away, as
    // browsing away from it would.
    static void nuevo(CustomerCursor &cursor);
    // Throws away the pending changes, never telling anything.
    static void cancelar(CustomerCursor &cursor);
};
