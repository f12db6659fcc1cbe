#include "rptorden.h"

#include "reportitem.h"
#include "reportsection.h"

#include "base/globals.h"
#include "base/ordernumber.h"
#include "base/regional.h"
#include "data/tables.h"

#include <QHash>

namespace {

// Every column of the three joined tables, as the store defines them; a name that more than one
// of them has keeps its table's name in front ("LINEAS_PEDIDOS.P_UNITARIO").
QString selectColumns()
{
    const QList<const TableDefinition *> joined = {&Tables::pedidos(), &Tables::lineasPedidos(), &Tables::articulos()};
    QHash<QString, int> tablesWith;
    for (const TableDefinition *table : joined) {
        for (const QString &column : table->columnNames())
            ++tablesWith[column];
    }
    QStringList columns;
    for (const TableDefinition *table : joined) {
        for (const QString &column : table->columnNames()) {
            QString qualified = table->name() + QLatin1Char('.') + column;
            const QString shown = tablesWith.value(column) > 1 ? qualified : column;
            // A line whose code the catalogue does not hold is printed all the same, and says so.
            if (table == &Tables::articulos() && column == QLatin1String("DESCRIPCION"))
                qualified = QStringLiteral("CASE WHEN ARTICULOS.COD_ART IS NULL THEN ? ELSE ARTICULOS.DESCRIPCION END");
            columns << qualified + QStringLiteral(" AS \"") + shown + QLatin1Char('"');
        }
    }
    // Every stored line is printed and counted, whether or not its article is in the catalogue.
    const QString from = QStringLiteral(R"(
FROM PEDIDOS
JOIN LINEAS_PEDIDOS ON PEDIDOS.NRO_PEDIDO = LINEAS_PEDIDOS.NRO_PEDIDO
LEFT JOIN ARTICULOS ON LINEAS_PEDIDOS.COD_ART = ARTICULOS.COD_ART
)");
    return QStringList{QStringLiteral("SELECT"), columns.join(QStringLiteral(",\n    ")), from}.join(QLatin1Char(' '));
}

const QString byNumber = QStringLiteral("WHERE PEDIDOS.NRO_PEDIDO = ?\n");
const QString byDate = QStringLiteral("WHERE PEDIDOS.FECHA = ?\n");
const QString ordering = QStringLiteral("ORDER BY PEDIDOS.NRO_PEDIDO, LINEAS_PEDIDOS.NRO_LINEA");

using Kind = ReportItem::Kind;
constexpr Qt::Alignment left = Qt::AlignLeft;
constexpr Qt::Alignment centre = Qt::AlignHCenter;
constexpr Qt::Alignment right = Qt::AlignRight;
const QColor white = Qt::white;
const QColor black = Qt::black;
const QColor red = Qt::red;

ReportItem label(const QString &name, const QString &text, QRect rect, double size, bool bold = false,
    Qt::Alignment alignment = left, QColor colour = black)
{
    ReportItem item;
    item.name = name;
    item.kind = Kind::Label;
    item.text = text;
    item.rect = rect;
    item.fontSize = size;
    item.bold = bold;
    item.alignment = alignment;
    item.colour = colour;
    return item;
}

ReportItem field(const QString &name, const QString &column, QRect rect, double size, bool bold = false,
    Qt::Alignment alignment = left, QColor colour = black, const QString &format = {})
{
    ReportItem item = label(name, QString(), rect, size, bold, alignment, colour);
    item.kind = Kind::Field;
    item.column = column;
    item.format = format;
    return item;
}

// Numbers and dates shrink to fit rather than lose a digit.
ReportItem figure(ReportItem item)
{
    item.figure = true;
    return item;
}

ReportItem picture(const QString &name, const QString &resource, QRect rect)
{
    ReportItem item;
    item.name = name;
    item.kind = Kind::Picture;
    item.text = resource;
    item.rect = rect;
    return item;
}

ReportSection pageHeader()
{
    ReportItem parameter = label(QStringLiteral("lblView_NRO_PEDIDO"), QStringLiteral("0"), {0, 0, 283, 283}, 10);
    // The band carries the request only; the number is not printed.
    parameter.visible = false;
    return {ReportSection::Kind::PageHeader, QStringLiteral("PageHeader"), 480, {parameter}};
}

ReportSection groupHeader()
{
    return {ReportSection::Kind::GroupHeader, QStringLiteral("GroupHeader1"), 2820,
        {
            picture(QStringLiteral("Image2"), QStringLiteral(":/report/grupo.svg"), {0, 0, 7654, 2929}),
            label(QStringLiteral("Label14"), QStringLiteral("Orden #"), {378, 220, 945, 283}, 11.5, false, left, white),
            figure(field(QStringLiteral("Field1"), QStringLiteral("PEDIDOS.NRO_PEDIDO"), {1228, 220, 1229, 283}, 11.5,
                true, left, white)),
            figure(field(QStringLiteral("txtFECHA"), QStringLiteral("FECHA"), {5858, 220, 1512, 283}, 11.5, false,
                centre, white, QStringLiteral("Short Date"))),
            label(QStringLiteral("Label2"), QStringLiteral("Cliente"), {378, 567, 1134, 255}, 9, true),
            label(QStringLiteral("Label1"), QStringLiteral("Nombre:"), {378, 945, 945, 283}, 9),
            field(QStringLiteral("txtCLIENTE"), QStringLiteral("CLIENTE"), {1323, 945, 3968, 283}, 9, true),
            label(QStringLiteral("Label6"), QStringLiteral("RUC."), {5386, 945, 567, 283}, 9),
            field(QStringLiteral("txtRUC"), QStringLiteral("RUC"), {5953, 945, 1417, 283}, 9, true),
            label(QStringLiteral("Label4"), QStringLiteral("Dirección:"), {378, 1323, 945, 283}, 9),
            field(QStringLiteral("txtDIRECCION"), QStringLiteral("DIRECCION"), {1323, 1323, 3968, 283}, 9, true),
            label(QStringLiteral("Label7"), QStringLiteral("Tel."), {5386, 1323, 567, 283}, 9),
            field(QStringLiteral("txtTELEFONO"), QStringLiteral("TELEFONO"), {5953, 1323, 1417, 283}, 9, true),
            label(QStringLiteral("Label5"), QStringLiteral("Contacto:"), {378, 1701, 945, 283}, 9),
            field(QStringLiteral("txtCONTACTO"), QStringLiteral("CONTACTO"), {1323, 1701, 3212, 283}, 9, true),
            label(QStringLiteral("Label8"), QStringLiteral("e-mail:"), {4724, 1701, 662, 283}, 9),
            field(QStringLiteral("txtEMAIL"), QStringLiteral("EMAIL"), {5386, 1701, 1984, 472}, 9, true),
            label(QStringLiteral("Label3"), QStringLiteral("Artículos"), {378, 2240, 1134, 255}, 9, true),
            label(QStringLiteral("Label11"), QStringLiteral("Código"), {378, 2551, 756, 189}, 8.5),
            label(QStringLiteral("Label13"), QStringLiteral("Descripción"), {1134, 2551, 1134, 189}, 8.5),
            label(QStringLiteral("Label9"), QStringLiteral("Can."), {5008, 2551, 472, 189}, 8.5, false, centre),
            label(QStringLiteral("Label12"), QStringLiteral("P.Unitario"), {5480, 2551, 945, 189}, 8.5, false, centre),
            label(QStringLiteral("Label10"), QStringLiteral("Importe"), {6425, 2551, 945, 189}, 8.5, false, centre),
        }};
}

// A short line at the top of a page on which an order goes on: the order, its customer and the
// column headings, so that a loose page can be read on its own.
ReportSection groupContinuation()
{
    return {ReportSection::Kind::GroupContinuation, QStringLiteral("GroupContinuation1"), 680,
        {
            picture(QStringLiteral("ImageContinua"), QStringLiteral(":/report/continua.svg"), {0, 0, 7654, 680}),
            label(
                QStringLiteral("lblCONT_ORDEN"), QStringLiteral("Orden #"), {378, 60, 760, 240}, 9, false, left, white),
            figure(field(QStringLiteral("txtCONT_NRO_PEDIDO"), QStringLiteral("PEDIDOS.NRO_PEDIDO"),
                {1100, 60, 900, 240}, 9, true, left, white)),
            field(QStringLiteral("txtCONT_CLIENTE"), QStringLiteral("CLIENTE"), {2000, 60, 4000, 240}, 9, true, left,
                white),
            label(QStringLiteral("lblCONTINUA"), QStringLiteral("(continúa)"), {6000, 60, 1290, 240}, 9, false, right,
                white),
            label(QStringLiteral("lblCONT_CODIGO"), QStringLiteral("Código"), {378, 411, 756, 189}, 8.5),
            label(QStringLiteral("lblCONT_DESCRIPCION"), QStringLiteral("Descripción"), {1134, 411, 1134, 189}, 8.5),
            label(
                QStringLiteral("lblCONT_CANTIDAD"), QStringLiteral("Can."), {5008, 411, 472, 189}, 8.5, false, centre),
            label(QStringLiteral("lblCONT_PUNITARIO"), QStringLiteral("P.Unitario"), {5480, 411, 945, 189}, 8.5, false,
                centre),
            label(QStringLiteral("lblCONT_IMPORTE"), QStringLiteral("Importe"), {6425, 411, 945, 189}, 8.5, false,
                centre),
        }};
}

ReportSection detail()
{
    return {ReportSection::Kind::Detail, QStringLiteral("Detail"), 540,
        {
            picture(QStringLiteral("Image1"), QStringLiteral(":/report/detalle.svg"), {0, 0, 7654, 756}),
            field(QStringLiteral("Field2"), QStringLiteral("LINEAS_PEDIDOS.COD_ART"), {378, 0, 756, 189}, 8.5),
            field(QStringLiteral("txtDESCRIPCION"), QStringLiteral("DESCRIPCION"), {1134, 0, 3874, 378}, 8.5),
            figure(field(
                QStringLiteral("txtCANTIDAD"), QStringLiteral("CANTIDAD"), {5008, 0, 472, 189}, 8.5, false, centre)),
            figure(field(QStringLiteral("txtPUNITARIO"), QStringLiteral("LINEAS_PEDIDOS.P_UNITARIO"),
                {5480, 0, 945, 189}, 8.5, false, centre, black, QStringLiteral("#,##0.00"))),
            figure(
                label(QStringLiteral("lblTOTAL_LINEA"), QStringLiteral("0"), {6425, 0, 945, 189}, 8.5, false, centre)),
            field(
                QStringLiteral("txtDETALLES"), QStringLiteral("DETALLES"), {378, 378, 6992, 189}, 8, false, left, red),
        }};
}

ReportSection groupFooter()
{
    return {ReportSection::Kind::GroupFooter, QStringLiteral("GroupFooter1"), 2055,
        {
            picture(QStringLiteral("Image3"), QStringLiteral(":/report/pie.svg"), {0, 0, 7654, 1984}),
            label(QStringLiteral("Label18"), QStringLiteral("Total:"), {5575, 60, 661, 225}, 9, true),
            figure(
                label(QStringLiteral("lblTOTAL_ORDEN"), QStringLiteral("0"), {6236, 60, 1134, 225}, 9, true, centre)),
            label(QStringLiteral("Label19"), QStringLiteral("Forma de Envío:"), {378, 472, 1512, 284}, 9),
            field(QStringLiteral("txtFORMA_DE_ENVIO"), QStringLiteral("FORMA_DE_ENVIO"), {1890, 472, 4346, 284}, 9),
            label(QStringLiteral("Label20"), QStringLiteral("Forma de Pago:"), {378, 850, 1512, 284}, 9),
            field(QStringLiteral("txtFORMA_DE_PAGO"), QStringLiteral("FORMA_DE_PAGO"), {1890, 850, 4346, 284}, 9),
            label(QStringLiteral("Label21"), QStringLiteral("Observaciones:"), {378, 1228, 1512, 284}, 9),
            field(QStringLiteral("txtOBSERVACIONES"), QStringLiteral("OBSERVACIONES"), {1890, 1228, 5480, 284}, 9),
        }};
}

ReportSection pageFooter()
{
    ReportItem band;
    band.name = QStringLiteral("Shape1");
    band.kind = Kind::Box;
    band.rect = {283, 94, 7087, 284};
    band.colour = QColor(224, 224, 224);
    return {ReportSection::Kind::PageFooter, QStringLiteral("PageFooter"), 750,
        {
            band,
            label(QStringLiteral("Label22"), QStringLiteral("Fecha:"), {378, 130, 661, 284}, 8.5, true),
            figure(label(QStringLiteral("lblFECHA"), QStringLiteral("__/__/____"), {1039, 130, 1040, 284}, 8.5, true)),
            label(QStringLiteral("Label23"), QStringLiteral("Ordenes:"), {3118, 130, 851, 284}, 8.5, true, right),
            figure(label(
                QStringLiteral("lblTOTAL_CANTIDAD"), QStringLiteral("0"), {3969, 130, 566, 284}, 8.5, true, right)),
            label(
                QStringLiteral("Label24"), QStringLiteral("Importe Total:"), {5102, 130, 1134, 284}, 8.5, false, right),
            figure(label(
                QStringLiteral("lblTOTAL_IMPORTE"), QStringLiteral("0"), {6236, 130, 1040, 284}, 8.5, true, centre)),
            label(QStringLiteral("Label27"), QStringLiteral("Software: Recorvan"), {5669, 400, 1701, 189}, 7, false,
                centre),
        }};
}

ReportItem box(const QString &name, QRect rect)
{
    ReportItem item;
    item.name = name;
    item.kind = Kind::Box;
    item.rect = rect;
    item.colour = QColor(224, 224, 224);
    return item;
}

// The office's report, around each salesperson's orders.
ReportSection salespersonHeader()
{
    return {ReportSection::Kind::OuterGroupHeader, QStringLiteral("GroupHeaderVendedor"), 600,
        {
            box(QStringLiteral("ShapeVendedor"), {283, 60, 7087, 420}),
            label(QStringLiteral("lblVENDEDOR"), QStringLiteral("Vendedor"), {378, 130, 1134, 283}, 11.5, true),
            field(QStringLiteral("txtVENDEDOR_CODIGO"), rptOrden::salespersonCodeColumn, {1512, 130, 1417, 283}, 11.5,
                true),
            field(QStringLiteral("txtVENDEDOR_NOMBRE"), rptOrden::salespersonNameColumn, {2929, 130, 4441, 283}, 11.5),
        }};
}

ReportSection salespersonFooter()
{
    return {ReportSection::Kind::OuterGroupFooter, QStringLiteral("GroupFooterVendedor"), 560,
        {
            box(QStringLiteral("ShapeTotalVendedor"), {283, 40, 7087, 400}),
            label(QStringLiteral("Label30"), QStringLiteral("Ordenes:"), {378, 100, 851, 284}, 9, true),
            figure(label(QStringLiteral("lblVENDEDOR_ORDENES"), QStringLiteral("0"), {1229, 100, 800, 284}, 9, true)),
            label(QStringLiteral("Label31"), QStringLiteral("Items:"), {2268, 100, 661, 284}, 9, true),
            figure(label(QStringLiteral("lblVENDEDOR_ITEMS"), QStringLiteral("0"), {2929, 100, 1000, 284}, 9, true)),
            label(QStringLiteral("Label32"), QStringLiteral("Importe:"), {5102, 100, 1134, 284}, 9, true, right),
            figure(label(
                QStringLiteral("lblVENDEDOR_IMPORTE"), QStringLiteral("0"), {6236, 100, 1134, 284}, 9, true, centre)),
        }};
}

// The closing page: one line per salesperson, the company's figures at its foot.
ReportSection summaryHeader()
{
    const auto heading = [](const char *name, const char *text, QRect rect, Qt::Alignment alignment = left) {
        return label(QString::fromLatin1(name), QString::fromUtf8(text), rect, 8.5, true, alignment);
    };
    return {ReportSection::Kind::PageHeader, QStringLiteral("ResumenEncabezado"), 1080,
        {
            box(QStringLiteral("ShapeResumen"), {283, 60, 7087, 420}),
            label(QStringLiteral("lblRESUMEN"), QStringLiteral("Totales por vendedor"), {378, 130, 4000, 283}, 11.5,
                true),
            heading("lblRES_VENDEDOR", "Vendedor", {378, 800, 1134, 220}),
            heading("lblRES_NOMBRE", "Nombre", {1512, 800, 2835, 220}),
            heading("lblRES_ORDENES", "Ordenes", {4347, 800, 945, 220}, right),
            heading("lblRES_ITEMS", "Items", {5292, 800, 945, 220}, right),
            heading("lblRES_IMPORTE", "Importe", {6237, 800, 1134, 220}, right),
        }};
}

ReportSection summaryLine()
{
    return {ReportSection::Kind::Detail, QStringLiteral("ResumenLinea"), 300,
        {
            field(QStringLiteral("txtRES_VENDEDOR"), QStringLiteral("CODIGO"), {378, 40, 1134, 220}, 9),
            field(QStringLiteral("txtRES_NOMBRE"), QStringLiteral("NOMBRE"), {1512, 40, 2835, 220}, 9),
            figure(field(
                QStringLiteral("txtRES_ORDENES"), QStringLiteral("ORDENES"), {4347, 40, 945, 220}, 9, false, right)),
            figure(
                field(QStringLiteral("txtRES_ITEMS"), QStringLiteral("ITEMS"), {5292, 40, 945, 220}, 9, false, right)),
            figure(field(QStringLiteral("txtRES_IMPORTE"), QStringLiteral("IMPORTE"), {6237, 40, 1134, 220}, 9, false,
                right, black, QStringLiteral("#,##0.00"))),
        }};
}

ReportSection summaryFooter()
{
    return {ReportSection::Kind::PageFooter, QStringLiteral("ResumenPie"), 750,
        {
            box(QStringLiteral("ShapeResumenPie"), {283, 94, 7087, 284}),
            label(QStringLiteral("lblRES_EMPRESA"), QStringLiteral("Empresa"), {378, 130, 2835, 284}, 8.5, true),
            figure(label(
                QStringLiteral("lblRES_TOTAL_ORDENES"), QStringLiteral("0"), {4347, 130, 945, 284}, 8.5, true, right)),
            figure(label(
                QStringLiteral("lblRES_TOTAL_ITEMS"), QStringLiteral("0"), {5292, 130, 945, 284}, 8.5, true, right)),
            figure(label(
                QStringLiteral("lblRES_TOTAL_IMPORTE"), QStringLiteral("0"), {6237, 130, 1134, 284}, 8.5, true, right)),
            label(QStringLiteral("Label28"), QStringLiteral("Software: Recorvan"), {5669, 400, 1701, 189}, 7, false,
                centre),
        }};
}

} // namespace

const QString rptOrden::salespersonCodeColumn = QStringLiteral("VENDEDORES.CODIGO");
const QString rptOrden::salespersonNameColumn = QStringLiteral("VENDEDORES.NOMBRE");
const QString rptOrden::notInCatalogue = QStringLiteral("(no está en el catálogo)");

rptOrden::rptOrden()
{
    using S = ReportSection::Kind;
    m_report.addSection(pageHeader());
    m_report.addSection(groupHeader());
    m_report.addSection(groupContinuation());
    m_report.addSection(detail());
    m_report.addSection(groupFooter());
    m_report.addSection(pageFooter());
    m_report.addSection(salespersonHeader());
    m_report.addSection(salespersonFooter());
    m_report.setGroupColumn(QStringLiteral("PEDIDOS.NRO_PEDIDO"));

    m_report.setReportStart([this] { ActiveReport_ReportStart(); });
    m_report.setBeforePrint(S::Detail, [this] { Detail_BeforePrint(); });
    m_report.setBeforePrint(S::GroupFooter, [this] { GroupFooter1_BeforePrint(); });
    m_report.setAfterPrint(S::GroupFooter, [this] { GroupFooter1_AfterPrint(); });
    m_report.setBeforePrint(S::PageFooter, [this] { PageFooter_BeforePrint(); });
    m_report.setBeforePrint(S::OuterGroupFooter, [this] { GroupFooterVendedor_BeforePrint(); });
}

void rptOrden::setCaption(const QString &labelName, const QString &text)
{
    m_report.setCaption(labelName, text);
}

QString rptOrden::caption(const QString &labelName) const
{
    return m_report.caption(labelName);
}

const ReportDocument &rptOrden::document() const
{
    return m_document;
}

MaybeError rptOrden::run()
{
    m_failure.reset();
    MaybeError error = m_report.run();
    m_document = m_report.document();
    return error ? error : m_failure;
}

MaybeError rptOrden::runBySalesperson(const RowSet &rows, const QString &period)
{
    m_failure.reset();
    dblTotalOrden = 0;
    dblTotalImporte = 0;
    intTotalCantidad = 0;
    m_salesperson = {};
    m_salespeople.clear();
    setCaption(QStringLiteral("lblFECHA"), period);
    m_report.setOuterGroupColumn(rptOrden::salespersonCodeColumn);
    m_report.layout(rows);
    m_report.setOuterGroupColumn({});
    m_document = m_report.document();

    // The closing page: every salesperson's figures as its footer showed them, and the company's.
    BandedReport summary;
    summary.addSection(summaryHeader());
    summary.addSection(summaryLine());
    summary.addSection(summaryFooter());
    QList<QVariantList> lines;
    SalespersonTotals company;
    for (const SalespersonTotals &each : std::as_const(m_salespeople)) {
        lines.append({each.code, each.name, each.orders, each.items, each.amount});
        company.orders += each.orders;
        company.items += each.items;
        company.amount += each.amount;
    }
    summary.setCaption(QStringLiteral("lblRES_TOTAL_ORDENES"), Regional::plainInteger(company.orders));
    summary.setCaption(QStringLiteral("lblRES_TOTAL_ITEMS"), Regional::plainInteger(company.items));
    summary.setCaption(QStringLiteral("lblRES_TOTAL_IMPORTE"), Regional::standard(company.amount));
    summary.layout(RowSet({QStringLiteral("CODIGO"), QStringLiteral("NOMBRE"), QStringLiteral("ORDENES"),
                              QStringLiteral("ITEMS"), QStringLiteral("IMPORTE")},
        lines));
    m_document.append(summary.document());
    return m_failure;
}

void rptOrden::ActiveReport_ReportStart()
{
    dblTotalOrden = 0;
    dblTotalImporte = 0;
    intTotalCantidad = 0;

    BandedReport::DataControl &data = m_report.dataControl();
    data.connectionString = strConexion;
    const std::optional<OrderNumber> number = OrderNumber::read(caption(QStringLiteral("lblView_NRO_PEDIDO")));
    if (!number || number->value() > 0) {
        // A number beyond every order's asks for an order there is not: NULL selects none.
        data.query = selectColumns() + byNumber + ordering;
        data.values = {notInCatalogue, number ? QVariant(number->value()) : QVariant(QMetaType::fromType<qint32>())};
    } else {
        // Dates are stored as ISO text; a caption that is no date selects no order.
        const std::optional<QDate> date = Regional::toDate(caption(QStringLiteral("lblFECHA")));
        data.query = selectColumns() + byDate + ordering;
        data.values
            = {notInCatalogue, date ? QVariant(date->toString(Qt::ISODate)) : QVariant(QMetaType::fromType<QString>())};
    }
}

void rptOrden::Detail_BeforePrint()
{
    const std::optional<double> cantidad = Regional::toNumber(m_report.fieldText(QStringLiteral("txtCANTIDAD")));
    const std::optional<double> unitario = Regional::toNumber(m_report.fieldText(QStringLiteral("txtPUNITARIO")));
    if (!cantidad || !unitario) {
        // A stored line without a quantity or a price is shown without an amount, and the
        // run says so instead of printing a total that leaves it out silently.
        m_report.setCaption(QStringLiteral("lblTOTAL_LINEA"), QString());
        if (!m_failure)
            m_failure = DbError{DbErrorNumber::Generic,
                QStringLiteral("El pedido %1 tiene una línea sin cantidad o sin precio; el total del pedido no la "
                               "incluye.")
                    .arg(m_report.fieldText(QStringLiteral("Field1")))};
        return;
    }
    const QString amount = Regional::standard(*cantidad * *unitario);
    m_report.setCaption(QStringLiteral("lblTOTAL_LINEA"), amount);
    m_salesperson.items += qint64(*cantidad);
    // The order total is the sum of the amounts as printed, two decimals each.
    dblTotalOrden += Regional::toNumber(amount).value_or(0);
}

void rptOrden::GroupFooter1_BeforePrint()
{
    m_report.setCaption(QStringLiteral("lblTOTAL_ORDEN"), Regional::standard(dblTotalOrden));
    dblTotalImporte += dblTotalOrden;
    intTotalCantidad += 1;
    m_salesperson.amount += dblTotalOrden;
    m_salesperson.orders += 1;
}

void rptOrden::GroupFooterVendedor_BeforePrint()
{
    m_salesperson.code = m_report.fieldText(QStringLiteral("txtVENDEDOR_CODIGO"));
    m_salesperson.name = m_report.fieldText(QStringLiteral("txtVENDEDOR_NOMBRE"));
    m_report.setCaption(QStringLiteral("lblVENDEDOR_ORDENES"), Regional::plainInteger(m_salesperson.orders));
    m_report.setCaption(QStringLiteral("lblVENDEDOR_ITEMS"), Regional::plainInteger(m_salesperson.items));
    m_report.setCaption(QStringLiteral("lblVENDEDOR_IMPORTE"), Regional::standard(m_salesperson.amount));
    m_salespeople.append(m_salesperson);
    m_salesperson = {};
}

void rptOrden::GroupFooter1_AfterPrint()
{
    dblTotalOrden = 0;
}

void rptOrden::PageFooter_BeforePrint()
{
    m_report.setCaption(QStringLiteral("lblTOTAL_IMPORTE"), Regional::standard(dblTotalImporte));
    m_report.setCaption(QStringLiteral("lblTOTAL_CANTIDAD"), Regional::plainInteger(intTotalCantidad));
}
