#include "about/frmacerca.h"
#include "app/startup.h"
#include "app/translations.h"
#include "order/frmmenu.h"
#include "report/printtool.h"

#include <QApplication>

namespace {

// The composition root: the desk's tools that open other rooms' windows are connected here,
// so that the desk itself depends on none of them.
QWidget *createDesk()
{
    auto *desk = new frmMenu;
    QObject::connect(desk, &frmMenu::imprimirRequested, desk,
        [desk](const QString &nroPedido, const QString &fecha) { previewOrderFromPrintTool(nroPedido, fecha, desk); });
    QObject::connect(desk, &frmMenu::acercaDeRequested, desk, [desk] {
        frmAcerca about(desk);
        about.exec();
    });
    return desk;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installSpanishTranslations(app);
    return Main(QCoreApplication::applicationDirPath(), createDesk);
}
