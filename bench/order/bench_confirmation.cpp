// Confirming an order of 200 lines on a database of 10,000 articles and 1,000 customers,
// every box answered at once.

#include "base/dialogs.h"
#include "base/globals.h"
#include "base/ordernumber.h"
#include "base/regional.h"
#include "benchcatalogue.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "order/orderconfirmation.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Says OK to every box and counts them.
class AnsweringDialogs : public Dialogs
{
public:
    int shown = 0;

protected:
    Dialogs::Button showMessage(const Message &) override
    {
        ++shown;
        return Dialogs::Ok;
    }
    QString showInput(const Input &) override { return {}; }
    QString showOpenFile(const OpenFile &) override { return {}; }
    QString showSaveFile(const SaveFile &) override { return {}; }
    int showChoice(const Choice &box) override { return box.escapeOption; }
    std::optional<QStringList> showForm(const Form &) override { return std::nullopt; }
};

OrderDraft draftOf(int lines)
{
    OrderDraft order;
    order.fecha = Regional::shortDate(QDate::currentDate());
    order.texts.formaDeEnvio = QStringLiteral("Transporte");
    order.texts.formaDePago = QStringLiteral("Contado");
    order.texts.observaciones = QStringLiteral("Entrega en depósito");
    for (int i = 0; i < lines; ++i) {
        order.lines.append(
            {QStringLiteral("Artículo %1").arg(i), QString::number(1 + i % 5), QStringLiteral("1.234,50"),
                QStringLiteral("1.234,50"), QStringLiteral("A%1").arg(i * 37, 6, 10, QLatin1Char('0')),
                QStringLiteral("detalle %1").arg(i), QStringLiteral("F-%1").arg(i)});
    }
    return order;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Regional::setCurrent(Regional::commaDayFirst());
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("database.mdb"));
    if (MaybeError error = writeBenchDatabase(path, 10000, 1000)) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return 1;
    }
    if (MaybeError error = acnDataBase().open(path)) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return 1;
    }
    strEMPRESA = QStringLiteral("Bench S.A.");
    strULTIMO_PEDIDO = QStringLiteral("15");
    AnsweringDialogs dialogs;
    Dialogs::setCurrent(&dialogs);
    CustomerCursor customers(acnDataBase());
    if (MaybeError error = customers.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return 1;
    }
    OrderConfirmation confirmation(acnDataBase(), dialogs, &customers);
    OrderDraft order = draftOf(200);
    int failures = 0;

    auto confirmOnce = [&] {
        const std::optional<OrderNumber> next = OrderNumber::read(strULTIMO_PEDIDO).value_or(OrderNumber()).next();
        order.nroPedido = next ? next->text() : QString();
        if (!confirmation.confirm(order).stored())
            ++failures;
    };
    const double cleanMs = measureMs("confirm 200 lines, customer clean", 25, confirmOnce);
    const double editedMs = measureMs("confirm 200 lines, customer edited", 25, [&] {
        customers.moveNext();
        customers.setValue(CustomerCursor::Field::Telefono, QStringLiteral("0981 %1").arg(strULTIMO_PEDIDO));
        confirmOnce();
    });
    const double newMs = measureMs("confirm 200 lines, new customer", 25, [&] {
        customers.addNew();
        customers.setValue(CustomerCursor::Field::Nombre, QStringLiteral("Nuevo %1").arg(strULTIMO_PEDIDO));
        confirmOnce();
    });
    std::printf("  target: under 100 ms; %d boxes answered, %d orders not stored\n", dialogs.shown, failures);
    std::printf("confirming 200 lines: customer clean %.1f ms, edited %.1f ms, new %.1f ms (target: under 100 ms)\n",
        cleanMs, editedMs, newMs);
    Dialogs::setCurrent(nullptr);
    acnDataBase().close();
    return failures == 0 ? 0 : 1;
}
