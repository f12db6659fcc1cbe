#include "about/frmacerca.h"
#include "base/filelocations.h"
#include "base/translations.h"
#include "base/version.h"
#include "controls/qtdialogs.h"
#include "order/desklook.h"
#include "order/frmmenu.h"
#include "settings/frmconfiguracion.h"
#include "startup/graphicsession.h"
#include "startup/startup.h"
#include "transfer/frmtransferencia.h"
#include "transfer/printtool.h"

#include <QApplication>

#include <cstdio>
#include <optional>

namespace {

// The composition root: the desk's tools that open other rooms' windows are connected here,
// so that the desk itself depends on none of them.
QWidget *createDesk()
{
    auto *desk = new frmMenu;
    QObject::connect(desk, &frmMenu::unloaded, desk, endRun);
    QObject::connect(desk, &frmMenu::imprimirRequested, desk,
        [desk](const QString &nroPedido, const QString &fecha) { previewOrderFromPrintTool(nroPedido, fecha, desk); });
    QObject::connect(
        desk, &frmMenu::importarRequested, desk, [desk] { frmTransferencia::showModal(QStringLiteral("I"), desk); });
    // Exporting may send orders to the company server: the desk counts again those still waiting,
    // and shows the next order number, which a send may have raised past the server's.
    QObject::connect(desk, &frmMenu::exportarRequested, desk, [desk] {
        frmTransferencia::showModal(QStringLiteral("E"), desk);
        desk->showCompanySettings();
        desk->showUnsentOrders();
    });
    QObject::connect(desk, &frmMenu::configuracionRequested, desk, [desk] {
        if (!frmConfiguracion::showModal(desk))
            return;
        desk->showCompanySettings();
        desk->showUnsentOrders();
    });
    QObject::connect(desk, &frmMenu::acercaDeRequested, desk, [desk] {
        frmAcerca about(desk);
        about.exec();
    });
    return desk;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<QString> missing
        = GraphicSession::missing(arguments, QProcessEnvironment::systemEnvironment())) {
        std::fputs(missing->toUtf8().constData(), stderr);
        return 1;
    }
    std::optional<GraphicSession> starting(std::in_place);
    QApplication app(argc, argv);
    starting.reset();
    // The user's data folder is named after the application: ~/.local/share/Recorvan.
    QCoreApplication::setApplicationName(productName());
    // The window shows the icon of the desktop entry, which names the program on Wayland too.
    QApplication::setWindowIcon(DeskLook::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("recorvan"));
    installSpanishTranslations(app);
    QtDialogs dialogs;
    Dialogs::setCurrent(&dialogs);
    const FileLocations::Places places
        = FileLocations::decide(FileLocations::machineOf(QCoreApplication::applicationDirPath()));
    frmTransferencia::setTransferFolder(places.transfers);
    const int result = Main(places.database, createDesk);
    Dialogs::setCurrent(nullptr);
    return result;
}
