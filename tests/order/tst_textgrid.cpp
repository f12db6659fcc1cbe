#include "order/textgrid.h"
#include "order/twips.h"

#include <QHeaderView>
#include <QtTest>

class tst_TextGrid : public QObject
{
    Q_OBJECT

private slots:
    void rowsAreFittedToTheColumns();
    void headingRowIsTheHeaderOnlyWhenFixed();
    void resetLeavesTheHeadingsRowAlone();
    void widthsAreTwips();
    void currentCellAndRemoval();
    void removingTheLastRowMovesCurrentUp();
    void selectionAcrossTheRow();
    void doubleClickReportsTheRow();
    void movingByProgramKeepsTheColumnsInView();
    void manyRowsAtOnce();
};

namespace {

const QStringList headings = {"Código", "Cód.fábrica", "Descripción", "Stock", "Precio"};
const QList<int> widths = {700, 1230, 3260, 540, 900};

} // namespace

void tst_TextGrid::rowsAreFittedToTheColumns()
{
    TextGridModel model;
    model.setCols(3);
    model.addRow({"a", "b", "c", "d"});
    model.addRow({"x"});
    QCOMPARE(model.rows(), 2);
    QCOMPARE(model.rowCells(0), (QStringList{"a", "b", "c"}));
    QCOMPARE(model.rowCells(1), (QStringList{"x", "", ""}));
    QCOMPARE(model.text(5, 0), QString());
    QCOMPARE(model.text(0, -1), QString());
    // A tab inside a cell stays in its cell.
    model.addRow({"con\ttab", "y", "z"});
    QCOMPARE(model.text(2, 0), QStringLiteral("con\ttab"));
    QCOMPARE(model.text(2, 1), QStringLiteral("y"));
}

void tst_TextGrid::headingRowIsTheHeaderOnlyWhenFixed()
{
    TextGrid grid;
    grid.reset(headings, widths);
    QCOMPARE(grid.rows(), 1);
    QCOMPARE(grid.fixedRows(), 0);
    QVERIFY(grid.horizontalHeader()->isHidden());
    QVERIFY(!grid.isRowHidden(0));
    QCOMPARE(grid.text(0, 2), QStringLiteral("Descripción"));

    grid.addRow({"A1", "F", "D", "1", "1,00"});
    grid.setFixedRows(1);
    QVERIFY(!grid.horizontalHeader()->isHidden());
    QVERIFY(grid.isRowHidden(0));
    QCOMPARE(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Descripción"));
    QCOMPARE(grid.row(), 1); // the fixed row cannot be current
}

void tst_TextGrid::resetLeavesTheHeadingsRowAlone()
{
    TextGrid grid;
    grid.reset(headings, widths);
    grid.addRows({{"A"}, {"B"}});
    grid.setFixedRows(1);
    grid.reset(headings, widths);
    QCOMPARE(grid.rows(), 1);
    QCOMPARE(grid.cols(), 5);
    QCOMPARE(grid.fixedRows(), 0);
    QCOMPARE(grid.row(), 0);
    QVERIFY(!grid.isRowHidden(0));
    QVERIFY(grid.selectionModel()->selectedIndexes().isEmpty());
}

void tst_TextGrid::widthsAreTwips()
{
    TextGrid grid;
    grid.reset(headings, widths);
    for (int col = 0; col < widths.size(); ++col)
        QCOMPARE(grid.columnWidth(col), Twips::toPixels(widths.at(col), grid.logicalDpiX()));
    grid.addRow({"A"});
    grid.setFixedRows(1);
    QCOMPARE(grid.columnWidth(2), Twips::toPixels(3260, grid.logicalDpiX()));
}

void tst_TextGrid::currentCellAndRemoval()
{
    TextGrid grid;
    grid.reset(headings, widths);
    grid.addRows({{"A"}, {"B"}, {"C"}});
    grid.setFixedRows(1);
    grid.setRow(2);
    grid.setCol(0);
    QCOMPARE(grid.currentText(), QStringLiteral("B"));
    grid.removeGridRow(grid.row());
    QCOMPARE(grid.rows(), 3);
    QCOMPARE(grid.text(2, 0), QStringLiteral("C"));
    QCOMPARE(grid.row(), 2); // the row below moved up into the current place
    QCOMPARE(grid.currentText(), QStringLiteral("C"));
    QVERIFY(grid.isRowHidden(0));
}

void tst_TextGrid::removingTheLastRowMovesCurrentUp()
{
    TextGrid grid;
    grid.reset(headings, widths);
    grid.addRows({{"A"}, {"B"}});
    grid.setFixedRows(1);
    grid.setRow(2);
    grid.removeGridRow(2);
    QCOMPARE(grid.row(), 1);
    QCOMPARE(grid.currentText(), QStringLiteral("A"));
}

void tst_TextGrid::selectionAcrossTheRow()
{
    TextGrid grid;
    grid.reset(headings, widths);
    grid.addRows({{"A", "1", "2", "3", "4"}, {"B"}});
    grid.setFixedRows(1);
    grid.setRow(1);
    grid.setCol(4);
    grid.setColSel(0);
    const QModelIndexList selected = grid.selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 5);
    for (const QModelIndex &index : selected)
        QCOMPARE(index.row(), 1);
}

void tst_TextGrid::doubleClickReportsTheRow()
{
    TextGrid grid;
    grid.resize(400, 200);
    grid.reset(headings, widths);
    grid.addRows({{"A"}, {"B"}});
    grid.setFixedRows(1);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy spy(&grid, &TextGrid::rowDoubleClicked);
    const QRect cell = grid.visualRect(grid.model()->index(2, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(grid.row(), 2);
}

void tst_TextGrid::movingByProgramKeepsTheColumnsInView()
{
    TextGrid grid;
    grid.resize(120, 200); // narrower than the columns: it scrolls sideways
    grid.reset(headings, widths);
    grid.addRows({{"A"}, {"B"}});
    grid.setFixedRows(1);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setRow(2);
    grid.setCol(4);
    QCOMPARE(grid.col(), 4);
    QCOMPARE(grid.columnAt(0), 0); // the first column is still the one in view
}

void tst_TextGrid::manyRowsAtOnce()
{
    TextGrid grid;
    grid.reset(headings, widths);
    QList<QStringList> rows;
    for (int i = 0; i < 100000; ++i)
        rows.append({QString::number(i), "F", "D", "1", "1,00"});
    grid.addRows(std::move(rows));
    grid.setFixedRows(1);
    QCOMPARE(grid.rows(), 100001);
    QCOMPARE(grid.text(100000, 0), QStringLiteral("99999"));
    QCOMPARE(grid.row(), 1);
}

QTEST_MAIN(tst_TextGrid)
#include "tst_textgrid.moc"
