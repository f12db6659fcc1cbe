#include "base/regional.h"
#include "report/bandedreport.h"

#include <QtTest>

// The engine on its own, with rows given by hand: the order of the events, the group break,
// pagination and the texts fields and labels show.
class tst_BandedReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Regional::setCurrent(Regional::commaDayFirst()); }

    void eventsFireInPrintOrderOnTheCurrentRow();
    void groupContinuesOnTheNextPage();
};

namespace {

ReportItem text(const QString &name, ReportItem::Kind kind, const QString &textOrColumn, int top = 0)
{
    ReportItem item;
    item.name = name;
    item.kind = kind;
    if (kind == ReportItem::Kind::Field)
        item.column = textOrColumn;
    else
        item.text = textOrColumn;
    item.rect = QRect(0, top, 1000, 200);
    return item;
}

void define(BandedReport &report, int detailHeight)
{
    using K = ReportItem::Kind;
    report.addSection({ReportSection::Kind::PageHeader, "PH", 500, {}});
    report.addSection({ReportSection::Kind::GroupHeader, "GH", 1000, {text("key", K::Field, "K")}});
    report.addSection({ReportSection::Kind::GroupContinuation, "GC", 300, {text("continued", K::Field, "K")}});
    report.addSection({ReportSection::Kind::Detail, "D", detailHeight,
        {text("value", K::Field, "V"), text("computed", K::Label, "0", 200)}});
    report.addSection({ReportSection::Kind::GroupFooter, "GF", 1000, {text("sum", K::Label, "0")}});
    report.addSection({ReportSection::Kind::PageFooter, "PF", 700, {text("page", K::Label, "0")}});
    report.setGroupColumn("K");
}

RowSet rows(const QList<QPair<int, double>> &values)
{
    QList<QVariantList> data;
    for (const auto &[key, value] : values)
        data.append({key, value});
    return RowSet({"K", "V"}, data);
}

} // namespace

void tst_BandedReport::eventsFireInPrintOrderOnTheCurrentRow()
{
    BandedReport report;
    define(report, 300);
    QStringList seen;
    double sum = 0;
    report.setBeforePrint(ReportSection::Kind::PageHeader, [&] { seen << "PH"; });
    report.setBeforePrint(ReportSection::Kind::GroupHeader, [&] { seen << "GH" + report.fieldText("key"); });
    report.setBeforePrint(ReportSection::Kind::Detail, [&] {
        seen << "D" + report.fieldText("value");
        const double value = Regional::toNumber(report.fieldText("value")).value_or(-1);
        report.setCaption("computed", Regional::standard(value * 2));
        sum += value;
    });
    report.setBeforePrint(ReportSection::Kind::GroupFooter, [&] {
        seen << "GF" + report.fieldText("key");
        report.setCaption("sum", Regional::plainNumber(sum));
    });
    report.setAfterPrint(ReportSection::Kind::GroupFooter, [&] {
        seen << "after";
        sum = 0;
    });
    report.setBeforePrint(ReportSection::Kind::PageFooter, [&] { seen << "PF"; });
    const RowSet data = rows({{1, 1.5}, {1, 2}, {2, 3}});
    report.layout(data);
    QCOMPARE(seen, QStringList({"PH", "GH1", "D1,5", "D2", "GF1", "after", "GH2", "D3", "GF2", "after", "PF"}));
    const ReportDocument &doc = report.document();
    QCOMPARE(doc.pageCount(), 1);
    QCOMPARE(doc.texts(0, "computed"), QStringList({"3,00", "4,00", "6,00"}));
    QCOMPARE(doc.texts(0, "sum"), QStringList({"3,5", "3"}));
    // Outside a run there is no current row.
    QCOMPARE(report.fieldText("value"), QString());
}

void tst_BandedReport::groupContinuesOnTheNextPage()
{
    BandedReport report;
    define(report, 700);
    int footers = 0;
    report.setBeforePrint(ReportSection::Kind::GroupFooter, [&] { ++footers; });
    report.setBeforePrint(
        ReportSection::Kind::PageFooter, [&] { report.setCaption("page", QString::number(footers)); });
    // Body: 15840 - 2 * 1440 - 500 - 700 = 11760 twips. The header and fifteen details of 700
    // would fit (11500), but not the footer after them: the last detail goes over with it.
    QList<QPair<int, double>> values;
    for (int i = 0; i < 15; ++i)
        values.append({1, double(i)});
    values.append({2, 99});
    const RowSet data = rows(values);
    report.layout(data);
    const ReportDocument &doc = report.document();
    QCOMPARE(doc.pageCount(), 2);
    QCOMPARE(doc.texts(0, "value").size(), 14);
    QCOMPARE(doc.bandNames(0).last(2), QStringList({"D", "PF"}));
    // The page the group goes on opens with its continuation, showing the group's key.
    QCOMPARE(doc.bandNames(1), QStringList({"PH", "GC", "D", "GF", "GH", "D", "GF", "PF"}));
    QCOMPARE(doc.texts(1, "continued"), QStringList{"1"});
    QCOMPARE(doc.texts(0, "page"), QStringList{"0"});
    QCOMPARE(doc.texts(1, "page"), QStringList{"2"});
    QCOMPARE(doc.page(1).bands.last().rect.top(), 15840 - 1440 - 700);
}

QTEST_MAIN(tst_BandedReport)
#include "tst_bandedreport.moc"
