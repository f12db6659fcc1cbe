#include "app/startup.h"
#include "app/translations.h"
#include "order/frmmenu.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installSpanishTranslations(app);
    // The composition root: the desk's tools that open other windows are connected here.
    return Main(QCoreApplication::applicationDirPath(), [] { return static_cast<QWidget *>(new frmMenu); });
}
