#include "app/startup.h"
#include "app/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installSpanishTranslations(app);
    return Main(QCoreApplication::applicationDirPath(), [] { return static_cast<QWidget *>(nullptr); });
}
