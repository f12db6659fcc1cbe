#include "printtool.h"

#include "report/rptorden.h"
#include "reportpreview.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "base/regional.h"

#include <cmath>

QString orderNumberCaption(const QString &answer)
{
    const double number = Regional::leadingNumber(answer);
    if (const std::optional<qint32> whole = Regional::toInt32(number))
        return Regional::plainInteger(*whole);
    // Beyond any order number there can be: still a number, so it selects no order rather
    // than falling back on the date.
    return number > 0 ? Regional::plainNumber(std::round(number)) : QStringLiteral("0");
}

void previewOrderFromPrintTool(const QString &nroPedidoCaption, const QString &fechaCaption, QWidget *parent)
{
    const QString proposed = Regional::plainNumber(Regional::leadingNumber(nroPedidoCaption));
    const QString answer = Dialogs::current().input(
        QStringLiteral("Ingrese número de pedido a visualizar:"), QStringLiteral("Preview"), proposed);

    rptOrden report;
    report.setCaption(QStringLiteral("lblView_NRO_PEDIDO"), orderNumberCaption(answer));
    report.setCaption(QStringLiteral("lblFECHA"), fechaCaption);
    if (std::optional<QString> error = report.run()) {
        Dialogs::current().message(*error, MessageTitles::attention(), Dialogs::Critical);
        if (report.document().pageCount() == 0)
            return;
    }
    ReportPreview::show(report.document(), parent);
}
