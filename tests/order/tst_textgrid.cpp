#include "order/textgrid.h"

#include <QtTest>

// The grid behind both desk grids, where the desk's own tests do not look.
class tst_TextGrid : public QObject
{
    Q_OBJECT

private slots:
    // Removing the current row leaves the one below current, or the one above at the end. The
    // current row selected across keeps its first columns in view.
    void currentRow()
    {
        TextGrid grid;
        grid.resize(120, 200); // narrower than the columns
        grid.reset({"Código", "Cód.fábrica", "Descripción", "Stock", "Precio"}, {700, 1230, 3260, 540, 900});
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
