#pragma once

class QCoreApplication;

// Qt's own texts (standard buttons, file and print dialogs) in Spanish.
void installSpanishTranslations(QCoreApplication &app);
