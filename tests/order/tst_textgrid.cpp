#include "order/textgrid.h"

#include <QHeaderView>
#include <QtTest>

namespace {

// Five columns, narrower together than the grid made in the test.
void reset(TextGrid &grid)
{
    grid.reset({"Código", "Cód.fábrica", "Descripción", "Stock", "Precio"}, {700, 1230, 3260, 540, 900});
}

} // namespace

// The grid of text cells behind both desk grids: row 0 the headings, then the data rows.
class tst_TextGrid : public QObject
{
    Q_OBJECT

private slots:
    // Cells beyond the columns are dropped and missing ones empty; a tab stays inside its cell.
    // The headings show as the header only while their row is fixed.
    void rowsAndHeadings()
    {
        TextGrid grid;
        reset(grid);
        QVERIFY(grid.horizontalHeader()->isHidden());
        grid.addRows({{"a", "b", "c", "d", "e", "f"}, {"con\ttab", "y"}});
        QCOMPARE(grid.gridModel()->rowCells(1), (QStringList{"a", "b", "c", "d", "e"}));
        QCOMPARE(grid.gridModel()->rowCells(2), (QStringList{"con\ttab", "y", "", "", ""}));
        QCOMPARE(grid.text(5, 0), QString());
        grid.setFixedRows(1);
        QVERIFY(!grid.horizontalHeader()->isHidden());
        QVERIFY(grid.isRowHidden(0));
        QCOMPARE(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Descripción"));
        QCOMPARE(grid.row(), 1); // the fixed row cannot be current
        reset(grid);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.fixedRows(), 0);
        QVERIFY(!grid.isRowHidden(0));
    }

    // Removing the current row leaves the one below current, or the one above at the end. The
    // current row selected across keeps its first columns in view.
    void currentRow()
    {
        TextGrid grid;
        grid.resize(120, 200);
        reset(grid);
        grid.addRows({{"A"}, {"B"}, {"C"}, {"D"}});
        grid.setFixedRows(1);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setRow(3);
        grid.setCol(0);
        grid.removeGridRow(grid.row());
        QCOMPARE(grid.currentText(), QStringLiteral("D"));
        grid.removeGridRow(grid.row());
        QCOMPARE(grid.currentText(), QStringLiteral("B"));
        grid.setCol(4);
        grid.setColSel(0);
        const QModelIndexList selected = grid.selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 5);
        for (const QModelIndex &index : selected)
            QCOMPARE(index.row(), 2);
        QCOMPARE(grid.columnAt(0), 0);
    }
};

QTEST_MAIN(tst_TextGrid)
#include "tst_textgrid.moc"
