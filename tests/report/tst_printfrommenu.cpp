#include "order/deskfixture.h"

#include "about/frmacerca.h"
#include "base/regional.h"
#include "report/reportpreview.h"
#include "transfer/printtool.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

// The report's tools reached from the real main window, wired as the program wires them:
// the print tool with its input box and preview, and the About window.
class tst_PrintFromMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void printToolShowsTheAnsweredOrders_data();
    void printToolShowsTheAnsweredOrders();
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

    QVERIFY(m_desk->addArticle("A1", "F1", "Tornillo", 10, 1.0));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    for (int order : {2, 4, 12}) {
        QVERIFY(m_desk->db.exec("INSERT INTO PEDIDOS (NRO_PEDIDO, FECHA, CLIENTE) VALUES (?, ?, 'Cliente')",
            {order, order == 4 ? QStringLiteral("2004-08-20") : today}));
        QVERIFY(m_desk->db.exec("INSERT INTO LINEAS_PEDIDOS (NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO) "
                                "VALUES (?, 1, 'A1', 1, 0.5)",
            {order}));
    }
}

void tst_PrintFromMenu::cleanup()
{
    QCOMPARE(m_desk->dialogs.pendingAnswers(), 0);
    m_desk.reset();
    ReportPreview::setPresenter({});
}

void tst_PrintFromMenu::printToolShowsTheAnsweredOrders_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("orders");
    QTest::newRow("3.5 gives 4, of another day") << "3.5" << QStringList{"4"};
    QTest::newRow("cancel takes the window's date") << "" << QStringList({"2", "12"});
}

void tst_PrintFromMenu::printToolShowsTheAnsweredOrders()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, orders);
    m_desk->dialogs.answerInput(answer);
    QTest::mouseClick(m_desk->control<QLabel>("cmdImprimir"), Qt::LeftButton);
    // The settings' last order is 15: the window is on order 16.
    QCOMPARE(m_desk->dialogs.inputs().last().proposed, QStringLiteral("16"));
    QCOMPARE(m_presented.size(), 1);
    QStringList shown;
    for (int page = 0; page < m_presented.first().pageCount(); ++page)
        shown += m_presented.first().texts(page, "Field1");
    QCOMPARE(shown, orders);
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
