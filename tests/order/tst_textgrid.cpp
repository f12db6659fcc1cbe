#include "order/textgrid.h"

#include <QHeaderView>
#include <QtTest>

namespace {

const QStringList headings = {"Código", "Cód.fábrica", "Descripción", "Stock", "Precio"};
const QList<int> widths = {700, 1230, 3260, 540, 900};

} // namespace

class tst_TextGrid : public QObject
{
    Q_OBJECT

private slots:
    void rowsAreFittedToTheColumns()
    {
        TextGridModel model;
        model.setCols(3);
        model.addRow({"a", "b", "c", "d"});
        model.addRow({"con\ttab", "y"}); // a tab stays inside its cell
        QCOMPARE(model.rowCells(0), (QStringList{"a", "b", "c"}));
        QCOMPARE(model.rowCells(1), (QStringList{"con\ttab", "y", ""}));
        QCOMPARE(model.text(5, 0), QString());
    }

    void headingRowIsTheHeaderOnlyWhenFixed()
    {
        TextGrid grid;
        grid.reset(headings, widths);
        QVERIFY(grid.horizontalHeader()->isHidden());
        grid.addRow({"A1", "F", "D", "1", "1,00"});
        grid.setFixedRows(1);
        QVERIFY(!grid.horizontalHeader()->isHidden());
        QVERIFY(grid.isRowHidden(0));
        QCOMPARE(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Descripción"));
        QCOMPARE(grid.row(), 1); // the fixed row cannot be current
        grid.reset(headings, widths);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.fixedRows(), 0);
        QVERIFY(!grid.isRowHidden(0));
    }

    void removingTheCurrentRow()
    {
        TextGrid grid;
        grid.reset(headings, widths);
        grid.addRows({{"A"}, {"B"}, {"C"}});
        grid.setFixedRows(1);
        grid.setRow(2);
        grid.setCol(0);
        grid.removeGridRow(grid.row());
        QCOMPARE(grid.currentText(), QStringLiteral("C")); // the row below moved up
        grid.removeGridRow(grid.row());
        QCOMPARE(grid.currentText(), QStringLiteral("A")); // the last one gone, current moves up
        QCOMPARE(grid.rows(), 2);
    }

    void selectionAcrossTheRowKeepsTheColumnsInView()
    {
        TextGrid grid;
        grid.resize(120, 200); // narrower than the columns
        grid.reset(headings, widths);
        grid.addRows({{"A"}, {"B"}});
        grid.setFixedRows(1);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setRow(2);
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
