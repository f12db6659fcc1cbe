#include "orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "report/reportpreview.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QtTest>

// The real preview window: modal, titled "Preview", showing every page of the report at the
// page's width.
class tst_ReportPreview : public QObject
{
    Q_OBJECT

private slots:
    void showsEveryPageModally();
};

void tst_ReportPreview::showsEveryPageModally()
{
    Regional::setCurrent(Regional::commaDayFirst());
    TestDatabase db;
    const OrderFixture store{db};
    QVERIFY(store.article("A1", "Tornillo"));
    for (int order = 1; order <= 3; ++order)
        QVERIFY(store.order(order, QDate(2004, 8, 20), "Cliente", 1, 1, 1));
    const std::unique_ptr<rptOrden> report = store.report({}, "20/08/2004");
    QVERIFY(report);
    QCOMPARE(report->document().pageCount(), 2);

    QString seen;
    // The window runs its own loop; look at it from there, then close it.
    QTimer::singleShot(0, [&] {
        if (auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget())) {
            auto *preview = dialog->findChild<QPrintPreviewWidget *>();
            seen = QStringLiteral("%1 %2").arg(dialog->windowTitle()).arg(preview ? preview->pageCount() : -1);
            // It opens at the page's width.
            if (!preview || preview->zoomMode() != QPrintPreviewWidget::FitToWidth)
                seen += QStringLiteral(" not at page width");
            dialog->reject();
        }
    });
    ReportPreview::show(report->document(), nullptr);
    QCOMPARE(seen, QStringLiteral("Preview 2"));
    strConexion.clear();
}

QTEST_MAIN(tst_ReportPreview)
#include "tst_reportpreview.moc"
