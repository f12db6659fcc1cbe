#pragma once

#include "bandedreport.h"
#include "reportdocument.h"

#include "data/rowset.h"

#include <QString>

#include <optional>

// The order report: one order chosen by number, or every order of one date, with the line
// amounts, the order totals and the running count and total at the foot of every page.
// One instance serves one opening; each run starts its running values from zero.
class rptOrden
{
public:
    // The office's rows name their salesperson in these columns.
    static const QString salespersonCodeColumn;
    static const QString salespersonNameColumn;
    // What a line whose article is not in the catalogue shows for a description.
    static const QString notInCatalogue;

    rptOrden();

    // "lblView_NRO_PEDIDO" (an order number greater than zero selects that order, one beyond 32
    // bits none, anything else the date) and "lblFECHA" (the date as regional short-date text) are
    // the report's parameters.
    void setCaption(const QString &labelName, const QString &text);
    QString caption(const QString &labelName) const;
    // The start routine, the query over the report's own connection, the layout. On failure
    // a description for the user.
    MaybeError run();
    // The office's report over the company server's rows, as ReceivedOrders gives them: the same
    // bands, each salesperson's orders under a heading with its code and name and closed by its
    // figures (orders, items, amount), then a closing page with every salesperson's figures and
    // the company's. `period` stands at the foot of each page.
    MaybeError runBySalesperson(const RowSet &rows, const QString &period);
    const ReportDocument &document() const;

    // The statement and values the last start built.
    const BandedReport::DataControl &dataControl() const { return m_report.dataControl(); }

private:
    void ActiveReport_ReportStart();
    void Detail_BeforePrint();
    void GroupFooter1_BeforePrint();
    void GroupFooter1_AfterPrint();
    void PageFooter_BeforePrint();
    void GroupFooterVendedor_BeforePrint();

    struct SalespersonTotals
    {
        QString code;
        QString name;
        qint64 orders = 0;
        qint64 items = 0;
        double amount = 0;
    };

    BandedReport m_report;
    ReportDocument m_document;
    SalespersonTotals m_salesperson; // the one whose orders are being laid out
    QList<SalespersonTotals> m_salespeople;
    double dblTotalOrden = 0;
    double dblTotalImporte = 0;
    // A day's report may hold more orders than a 16-bit count reaches.
    qint64 intTotalCantidad = 0;
    MaybeError m_failure;
};
