#include "base/globals.h"
#include "base/regional.h"
#include "deskfixture.h"
#include "order/textgrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

// A whole order driven through the main window: the customer tools on the bound fields,
// and confirming by Enter into cmdGuardar_Orden.
class tst_ConfirmarOrden : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup()
    {
        QCOMPARE(m_desk->dialogs.pendingAnswers(), 0);
        m_desk.reset(); // before the next one is made: each holds the run's dialogs and connection
    }
    void wholeOrderFromTheKeyboard();
    void failedOrderStaysInTheWindowAndIsConfirmedAgain();
    void newCustomerFromTheWindowIsStoredWithTheOrder();

private:
    QString focusedName() const { return DeskFixture::focused()->objectName(); }
    QString text(const QString &sql) const { return m_desk->db.scalar(sql).toString(); }
    void click(const char *label) { QTest::mouseClick(m_desk->control<QLabel>(label), Qt::LeftButton); }
    void takeArticle(int row);
    void composeTwoLines();

    std::unique_ptr<DeskFixture> m_desk;
};

void tst_ConfirmarOrden::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_desk = std::make_unique<DeskFixture>();
    QVERIFY(m_desk->addArticle("CA01", "F-CA", "Caño de PVC", 50, 10.5));
    QVERIFY(m_desk->addArticle("CO02", "F-CO", "Codo de bronce", 50, 3.25));
    QVERIFY(m_desk->addArticle("VA03", "F-VA", "Válvula esférica", 50, 100.0));
    QVERIFY(m_desk->db.exec("INSERT INTO CLIENTES (NOMBRE, DIRECCION, TELEFONO, EMAIL) VALUES "
                            "('Ana Peña', 'Calle 1', '021-1', 'ana@x.py'), "
                            "('Bruno Díaz', 'Calle 2', '(061) 570-900', 'bruno@x.py')"));
    QVERIFY(m_desk->open(QStringLiteral("2")));
}

// The desk takes an article from the found list by a double click only.
void tst_ConfirmarOrden::takeArticle(int row)
{
    m_desk->doubleClickFound(row);
    QCOMPARE(focusedName(), QString("txtCANTIDAD"));
}

// Search by description, take two articles, change the first one's quantity and price.
void tst_ConfirmarOrden::composeTwoLines()
{
    DeskFixture::press(Qt::Key_Return); // Check_COD_ART -> Check_COD_PROPIO (its text is disabled)
    DeskFixture::press(Qt::Key_Return); // -> Check_DESCRIPCION
    DeskFixture::press(Qt::Key_Space); // ticks it and moves into its text
    QCOMPARE(focusedName(), QString("txtBuscar_DESCRIPCION"));
    DeskFixture::type("de");
    DeskFixture::press(Qt::Key_Return); // cmdBuscar runs the search
    QCOMPARE(m_desk->control<TextGrid>("gridEncontrados")->rows(), 3); // CA01, CO02

    takeArticle(1);
    DeskFixture::type("3");
    DeskFixture::press(Qt::Key_Return);
    QCOMPARE(focusedName(), QString("txtP_UNITARIO"));
    DeskFixture::type("20");
    DeskFixture::press(Qt::Key_Return);
    QCOMPARE(focusedName(), QString("txtDETALLES"));
    DeskFixture::type("sin rebaba");
    DeskFixture::press(Qt::Key_Return); // cmdGuardar adds the line

    takeArticle(2);
    for (int i = 0; i < 3; ++i)
        DeskFixture::press(Qt::Key_Return);
    QCOMPARE(m_desk->orderRows().size(), 2);
    QCOMPARE(m_desk->text("lblTOTALOrden"), QString("66,50"));
}

void tst_ConfirmarOrden::wholeOrderFromTheKeyboard()
{
    QCOMPARE(m_desk->text("txtNOMBRE"), QString("Ana Peña"));
    composeTwoLines();

    // The customer: the next one, with a new telephone. A field shows the start of a text
    // longer than itself, whether the program filled it or the salesperson walked through it.
    auto *telefono = m_desk->control<QLineEdit>("txtTELEFONO");
    const auto showsStart = [this] {
        for (const char *name : {"txtNOMBRE", "txtDIRECCION", "txtRUC", "txtCONTACTO", "txtTELEFONO", "txtEMAIL"})
            QCOMPARE(m_desk->control<QLineEdit>(name)->cursorPosition(), 0);
    };
    m_desk->control<QLineEdit>("txtEMAIL")->setFocus(Qt::OtherFocusReason);
    DeskFixture::type("zzz"); // an edit that browsing throws away
    click("lblSiguiente");
    QCOMPARE(m_desk->text("txtNOMBRE"), QString("Bruno Díaz"));
    QVERIFY(telefono->fontMetrics().horizontalAdvance(telefono->text()) > telefono->width());
    showsStart();
    DeskFixture::press(Qt::Key_Escape);
    QCOMPARE(focusedName(), QString("txtTELEFONO"));
    QTest::keyClick(DeskFixture::focused(), Qt::Key_A, Qt::ControlModifier);
    DeskFixture::type("0981 555 'B'");
    for (int i = 0; i < 3; ++i) // txtEMAIL, gridCompras, txtFORMA_DE_ENVIO
        DeskFixture::press(Qt::Key_Return);
    DeskFixture::type("Transporte 'El Rápido'");
    DeskFixture::press(Qt::Key_Return);
    DeskFixture::type("30% contado, 70% a 30 días");
    DeskFixture::press(Qt::Key_Return);
    QCOMPARE(focusedName(), QString("txtOBSERVACIONES"));
    showsStart();
    DeskFixture::type("Entregar \"urgente\" en Asunción");
    m_desk->dialogs.answerMessage(Dialogs::Ok);
    DeskFixture::press(Qt::Key_Return); // cmdGuardar_Orden confirms

    QCOMPARE(m_desk->dialogs.messages().size(), 1);
    QCOMPARE(m_desk->dialogs.messages().first().text, QString("ORDEN #16 ha sido guardada."));
    QCOMPARE(
        text("SELECT NRO_PEDIDO || ' ' || FECHA || ' ' || CLIENTE || ' ' || TELEFONO || ' ' || EMAIL FROM PEDIDOS"),
        QString("16 %1 Bruno Díaz 0981 555 'B' bruno@x.py").arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(text("SELECT FORMA_DE_ENVIO || '|' || FORMA_DE_PAGO || '|' || OBSERVACIONES FROM PEDIDOS"),
        QString("Transporte 'El Rápido'|30% contado, 70% a 30 días|Entregar \"urgente\" en Asunción"));
    QCOMPARE(text("SELECT GROUP_CONCAT(NRO_LINEA || ' ' || COD_ART || ' ' || CANTIDAD || ' ' || P_UNITARIO || ' ' || "
                  "IFNULL(DETALLES, ''), '; ') FROM LINEAS_PEDIDOS WHERE NRO_PEDIDO = 16"),
        QString("1 CA01 3 20.0 sin rebaba; 2 CO02 1 6.5 "));
    QCOMPARE(text("SELECT GROUP_CONCAT(STK_ACTUAL) FROM (SELECT STK_ACTUAL FROM ARTICULOS ORDER BY COD_ART)"),
        QString("47,49,50"));
    QCOMPARE(text("SELECT ULTIMO_PEDIDO FROM SETUP"), QString("16"));
    QCOMPARE(strULTIMO_PEDIDO, QString("16"));
    QCOMPARE(text("SELECT GROUP_CONCAT(TELEFONO || ' ' || EMAIL, '; ') FROM CLIENTES"),
        QString("021-1 ana@x.py; 0981 555 'B' bruno@x.py"));

    // The window is ready for the next order, for the same customer, the criterion still ticked.
    QCOMPARE(m_desk->text("lblNRO_PEDIDO"), QString("17"));
    QCOMPARE(m_desk->text("lblFECHA"), Regional::shortDate(QDate::currentDate()));
    QCOMPARE(m_desk->orderRows().size(), 0);
    QCOMPARE(m_desk->control<TextGrid>("gridEncontrados")->rows(), 1);
    QCOMPARE(m_desk->text("lblTOTALItems") + " " + m_desk->text("lblTOTALOrden"), QString("0 0,00"));
    for (const char *name : {"txtFORMA_DE_ENVIO", "txtFORMA_DE_PAGO", "txtOBSERVACIONES", "txtBuscar_DESCRIPCION"})
        QCOMPARE(m_desk->text(name), QString());
    QVERIFY(m_desk->control<QCheckBox>("Check_DESCRIPCION")->isChecked());
    QCOMPARE(m_desk->text("txtNOMBRE") + " " + m_desk->text("txtTELEFONO"), QString("Bruno Díaz 0981 555 'B'"));
    QCOMPARE(focusedName(), QString("Check_COD_ART"));
    // Nothing left unstored: closing asks nothing (a box would fail the test).
    QVERIFY(m_desk->window->close());
}

void tst_ConfirmarOrden::failedOrderStaysInTheWindowAndIsConfirmedAgain()
{
    QVERIFY(m_desk->db.exec("CREATE TRIGGER FALLA BEFORE INSERT ON LINEAS_PEDIDOS WHEN NEW.NRO_LINEA = 2 "
                            "BEGIN SELECT RAISE(ABORT, 'fallo'); END"));
    composeTwoLines();
    m_desk->control<QLineEdit>("txtOBSERVACIONES")->setFocus(Qt::OtherFocusReason);
    DeskFixture::type("primera vez");
    m_desk->dialogs.answerMessage(Dialogs::Cancel).answerMessage(Dialogs::Ok);
    DeskFixture::press(Qt::Key_Return);

    QCOMPARE(m_desk->dialogs.messages().size(), 2);
    QCOMPARE(m_desk->dialogs.messages().last().text, QString("error al guardar la linea del pedido"));
    QCOMPARE(text("SELECT (SELECT COUNT(*) FROM PEDIDOS) + (SELECT COUNT(*) FROM LINEAS_PEDIDOS)"), QString("0"));
    QCOMPARE(text("SELECT STK_ACTUAL FROM ARTICULOS WHERE COD_ART = 'CA01'"), QString("50"));
    QCOMPARE(m_desk->orderRows().size(), 2);
    QCOMPARE(m_desk->text("lblNRO_PEDIDO") + " " + m_desk->text("txtOBSERVACIONES"), QString("16 primera vez"));
    QCOMPARE(strULTIMO_PEDIDO, QString("15"));
    QCOMPARE(focusedName(), QString("cmdGuardar_Orden"));
    // The focus coming back to the button as a box closes starts nothing (no box expected).
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(DeskFixture::focused(), &back);
    QCOMPARE(m_desk->dialogs.messages().size(), 2);

    // The fault gone: walking back from the first control wraps round to the button, which
    // stores nothing (no box expected); back to the remarks and Enter again does.
    QVERIFY(m_desk->db.exec("DROP TRIGGER FALLA"));
    m_desk->dialogs.clear();
    m_desk->control<QCheckBox>("Check_COD_ART")->setFocus(Qt::OtherFocusReason);
    DeskFixture::press(Qt::Key_Escape);
    QCOMPARE(focusedName(), QString("cmdGuardar_Orden"));
    DeskFixture::press(Qt::Key_Escape);
    QCOMPARE(focusedName(), QString("txtOBSERVACIONES"));
    m_desk->dialogs.answerMessage(Dialogs::Ok);
    DeskFixture::press(Qt::Key_Return);
    QCOMPARE(m_desk->dialogs.messages().first().text, QString("ORDEN #16 ha sido guardada."));
    QCOMPARE(text("SELECT (SELECT COUNT(*) FROM PEDIDOS) || (SELECT COUNT(*) FROM LINEAS_PEDIDOS)"), QString("12"));
    QCOMPARE(text("SELECT STK_ACTUAL FROM ARTICULOS WHERE COD_ART = 'CA01'"), QString("47"));
    QCOMPARE(m_desk->text("lblNRO_PEDIDO"), QString("17"));
}

void tst_ConfirmarOrden::newCustomerFromTheWindowIsStoredWithTheOrder()
{
    composeTwoLines();
    click("lblCliente_NUEVO");
    QCOMPARE(focusedName(), QString("txtNOMBRE"));
    for (const char *name : {"txtNOMBRE", "txtDIRECCION", "txtRUC", "txtCONTACTO", "txtTELEFONO", "txtEMAIL"})
        QCOMPARE(m_desk->text(name), QString());
    DeskFixture::type("Carlos O'Higgins");
    DeskFixture::press(Qt::Key_Return);
    DeskFixture::type("Av. 25% de Mayo");
    m_desk->control<QLineEdit>("txtOBSERVACIONES")->setFocus(Qt::OtherFocusReason);
    m_desk->dialogs.answerMessage(Dialogs::Ok);
    DeskFixture::press(Qt::Key_Return);

    QCOMPARE(text("SELECT COUNT(*) FROM CLIENTES"), QString("3"));
    QCOMPARE(text("SELECT DIRECCION FROM CLIENTES WHERE NOMBRE = 'Carlos O''Higgins'"), QString("Av. 25% de Mayo"));
    QCOMPARE(text("SELECT CLIENTE || '|' || DIRECCION || '|' || RUC FROM PEDIDOS"),
        QString("Carlos O'Higgins|Av. 25% de Mayo|"));
    QCOMPARE(m_desk->text("txtNOMBRE"), QString("Carlos O'Higgins"));
}

QTEST_MAIN(tst_ConfirmarOrden)
#include "tst_confirmarorden.moc"
