#include "order/deskfixture.h"
#include "orderfixture.h"

#include "about/frmacerca.h"
#include "base/regional.h"
#include "report/reportpreview.h"
#include "transfer/printtool.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

// The report's tools reached from the real main window, wired as the program wires them: the
// print tool with its input box and preview (the answers themselves are the tool's own test),
// and the About window.
class tst_PrintFromMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void printToolShowsTheWindowsDay();
    void aboutOpensModally();

private:
    std::unique_ptr<DeskFixture> m_desk;
    QList<ReportDocument> m_presented;
};

void tst_PrintFromMenu::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_presented.clear();
    ReportPreview::setPresenter([this](const ReportDocument &document) { m_presented.append(document); });
    m_desk = std::make_unique<DeskFixture>();
    QVERIFY(m_desk->open());
    frmMenu *window = m_desk->window.get();
    connect(window, &frmMenu::imprimirRequested, window, [window](const QString &nroPedido, const QString &fecha) {
        previewOrderFromPrintTool(nroPedido, fecha, window);
    });
    connect(window, &frmMenu::acercaDeRequested, window, [window] { frmAcerca(window).exec(); });
}

void tst_PrintFromMenu::cleanup()
{
    QCOMPARE(m_desk->dialogs.pendingAnswers(), 0);
    m_desk.reset();
    ReportPreview::setPresenter({});
}

// Cancelling the box shows the orders of the window's day.
void tst_PrintFromMenu::printToolShowsTheWindowsDay()
{
    const OrderFixture store{m_desk->db};
    const QDate today = QDate::currentDate();
    QVERIFY(store.article("A1", "Tornillo") && store.order(2, today, "Cliente", 1, 1, 0.5)
        && store.order(4, QDate(2004, 8, 20), "Cliente", 1, 1, 0.5) && store.order(12, today, "Cliente", 1, 1, 0.5));
    m_desk->dialogs.answerInput(QString());
    QTest::mouseClick(m_desk->control<QLabel>("cmdImprimir"), Qt::LeftButton);
    // The settings' last order is 15: the window is on order 16.
    QCOMPARE(m_desk->dialogs.inputs().last().proposed, QStringLiteral("16"));
    QCOMPARE(m_presented.size(), 1);
    QStringList shown;
    for (int page = 0; page < m_presented.first().pageCount(); ++page)
        shown += m_presented.first().texts(page, "Field1");
    QCOMPARE(shown, QStringList({"2", "12"}));
    QCOMPARE(m_presented.first().text(0, "lblFECHA"), m_desk->text("lblFECHA"));
}

void tst_PrintFromMenu::aboutOpensModally()
{
    QString company;
    QTimer::singleShot(0, [&] {
        if (auto *about = qobject_cast<frmAcerca *>(QApplication::activeModalWidget())) {
            company = about->findChild<QLabel *>("lblEmpresa")->text();
            about->accept();
        }
    });
    QTest::mouseClick(m_desk->control<QLabel>("cmdAcercaDe"), Qt::LeftButton);
    QCOMPARE(company, QStringLiteral("Empresa de Prueba"));
}

QTEST_MAIN(tst_PrintFromMenu)
#include "tst_printfrommenu.moc"
