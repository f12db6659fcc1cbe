#include "printtool.h"

#include "report/rptorden.h"
#include "reportpreview.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "base/ordernumber.h"
#include "base/regional.h"

QString orderNumberCaption(const QString &answer)
{
    // What is typed is rounded to the nearest number, halves to the even one ("15.5" asks for 16).
    const double typed = Regional::leadingNumber(answer);
    if (const std::optional<qint32> number = Regional::toInt32(typed))
        return OrderNumber(*number).text();
    // Beyond every order number there can be: above them the answer still asks for an order, and
    // the report reads none in it; below them it asks for none, as 0 does, and takes the date.
    return typed > 0 ? answer.trimmed() : QStringLiteral("0");
}

void previewOrderFromPrintTool(const QString &nroPedidoCaption, const QString &fechaCaption, QWidget *parent)
{
    const QString proposed = OrderNumber::plainText(nroPedidoCaption);
    const QString answer = Dialogs::current().input(
        QStringLiteral("Ingrese número de pedido a visualizar:"), QStringLiteral("Preview"), proposed);

    rptOrden report;
    report.setCaption(QStringLiteral("lblView_NRO_PEDIDO"), orderNumberCaption(answer));
    report.setCaption(QStringLiteral("lblFECHA"), fechaCaption);
    if (MaybeError error = report.run()) {
        Dialogs::current().message(error->description, MessageTitles::attention(), Dialogs::Critical);
        if (report.document().pageCount() == 0)
            return;
    }
    ReportPreview::show(report.document(), parent);
}
