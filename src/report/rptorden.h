#pragma once

#include "bandedreport.h"
#include "reportdocument.h"

#include <QString>

#include <optional>

// The order report: one order chosen by number, or every order of one date, with the line
// amounts, the order totals and the running count and total at the foot of every page.
// One instance serves one opening; each run starts its running values from zero.
class rptOrden
{
public:
    rptOrden();

    // "lblView_NRO_PEDIDO" (greater than zero selects that order, anything else the date)
    // and "lblFECHA" (the date as regional short-date text) are the report's parameters.
    void setCaption(const QString &labelName, const QString &text);
    QString caption(const QString &labelName) const;
    // The start routine, the query over the report's own connection, the layout. On failure
    // a description for the user.
    std::optional<QString> run();
    const ReportDocument &document() const;

    // The statement and values the last start built.
    const BandedReport::DataControl &dataControl() const { return m_report.dataControl(); }

private:
    void ActiveReport_ReportStart();
    void Detail_BeforePrint();
    void GroupFooter1_BeforePrint();
    void GroupFooter1_AfterPrint();
    void PageFooter_BeforePrint();

    BandedReport m_report;
    double dblTotalOrden = 0;
    double dblTotalImporte = 0;
    // A day's report may hold more orders than a 16-bit count reaches.
    qint64 intTotalCantidad = 0;
    std::optional<QString> m_failure;
};
