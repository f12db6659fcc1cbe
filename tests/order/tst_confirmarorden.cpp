#include "app/globals.h"
#include "app/regional.h"
#include "app/startup.h"
#include "data/connection.h"
#include "order/frmmenu.h"
#include "order/textgrid.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

// The main window driving a whole order: the customer tools on the bound fields, and
// confirming by Enter into cmdGuardar_Orden.
class tst_ConfirmarOrden : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void wholeOrderFromTheKeyboard();
    void failedOrderStaysInTheWindowAndIsConfirmedAgain();
    void newCustomerFromTheWindowIsStoredWithTheOrder();
    void customerToolsBrowseAndThrowAwayEdits();
    void emptyGridSaysThereIsNoOrder();

private:
    template <typename T> T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qWarning() << "no widget" << name;
        return widget;
    }
    QWidget *focused() const { return QApplication::focusWidget(); }
    void press(Qt::Key key) { QTest::keyClick(focused(), key); }
    // Typed key by key; letters beyond ASCII arrive as the text of their key press.
    void type(const QString &text)
    {
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(focused(), char(ch.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    void click(const char *label) { QTest::mouseClick(child<QLabel>(label), Qt::LeftButton); }
    void openWindow();
    int rowOf(const QString &code) const;
    void takeArticle(const QString &code);
    int count(const QString &table) const { return m_db->scalar("SELECT COUNT(*) FROM " + table).toInt(); }
    int stock(const QString &code) const
    {
        return m_db->scalar("SELECT STK_ACTUAL FROM ARTICULOS WHERE COD_ART = ?", {code}).toInt();
    }
    void composeTwoLines();

    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    frmMenu *m_window = nullptr;
};

void tst_ConfirmarOrden::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    const char *const articles[][4] = {{"CA01", "F-CA", "Caño de PVC", "10.5"},
        {"CO02", "F-CO", "Codo de bronce", "3.25"}, {"VA03", "F-VA", "Válvula esférica", "100"}};
    for (const auto &a : articles) {
        QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO, "
                           "FECHA_ACT) VALUES (?, ?, ?, 50, ?, '2004-01-01')",
            {a[0], a[1], QString::fromUtf8(a[2]), QString(a[3]).toDouble()}));
    }
    QVERIFY(m_db->exec("INSERT INTO CLIENTES (NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL) VALUES "
                       "('Ana Peña', 'Calle 1', '800-1', '021-1', 'Ana', 'ana@x.py'), "
                       "('Bruno Díaz', 'Calle 2', '800-2', '021-2', 'Bruno', 'bruno@x.py')"));
    QVERIFY(!AbroConexion(m_db->folder()));
    m_dialogs = new ScriptedDialogs;
}

void tst_ConfirmarOrden::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    delete m_window;
    m_window = nullptr;
    delete m_dialogs;
    acnDataBase().close();
    delete m_db;
}

void tst_ConfirmarOrden::openWindow()
{
    m_dialogs->answerInput("2"); // the exchange rate
    m_window = new frmMenu;
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    child<QCheckBox>("Check_COD_ART")->setFocus(Qt::OtherFocusReason);
    QCOMPARE(focused()->objectName(), QString("Check_COD_ART"));
}

int tst_ConfirmarOrden::rowOf(const QString &code) const
{
    TextGrid *grid = child<TextGrid>("gridEncontrados");
    for (int row = 1; row < grid->rows(); ++row) {
        if (grid->text(row, 0) == code)
            return row;
    }
    return -1;
}

// The desk takes an article from the found list by a double click only.
void tst_ConfirmarOrden::takeArticle(const QString &code)
{
    TextGrid *grid = child<TextGrid>("gridEncontrados");
    const int row = rowOf(code);
    QVERIFY(row > 0);
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(focused()->objectName(), QString("txtCANTIDAD"));
}

// Search by description, take two articles, change the first one's quantity and price.
void tst_ConfirmarOrden::composeTwoLines()
{
    press(Qt::Key_Return); // Check_COD_ART -> Check_COD_PROPIO (its text is disabled)
    press(Qt::Key_Return); // -> Check_DESCRIPCION
    QCOMPARE(focused()->objectName(), QString("Check_DESCRIPCION"));
    press(Qt::Key_Space); // ticks it and moves into its text
    QCOMPARE(focused()->objectName(), QString("txtBuscar_DESCRIPCION"));
    type("de");
    press(Qt::Key_Return); // cmdBuscar runs the search
    QCOMPARE(child<TextGrid>("gridEncontrados")->rows(), 3);

    takeArticle("CA01");
    type("3");
    press(Qt::Key_Return);
    QCOMPARE(focused()->objectName(), QString("txtP_UNITARIO"));
    type("20");
    press(Qt::Key_Return);
    QCOMPARE(focused()->objectName(), QString("txtDETALLES"));
    type("sin rebaba");
    press(Qt::Key_Return); // cmdGuardar adds the line
    QCOMPARE(child<TextGrid>("gridCompras")->rows(), 2);

    takeArticle("CO02");
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(child<TextGrid>("gridCompras")->rows(), 3);
    QCOMPARE(child<QLabel>("lblTOTALOrden")->text(), QString("66,50"));
    QCOMPARE(child<QLabel>("lblTOTALItems")->text(), QString("4"));
}

void tst_ConfirmarOrden::wholeOrderFromTheKeyboard()
{
    openWindow();
    QCOMPARE(child<QLabel>("lblNRO_PEDIDO")->text(), QString("16"));
    QCOMPARE(child<QLineEdit>("txtNOMBRE")->text(), QString("Ana Peña"));
    composeTwoLines();

    // The customer: the next one, with a new telephone.
    click("lblSiguiente");
    QCOMPARE(child<QLineEdit>("txtNOMBRE")->text(), QString("Bruno Díaz"));
    press(Qt::Key_Return); // cmdGuardar -> txtNOMBRE
    QCOMPARE(focused()->objectName(), QString("txtNOMBRE"));
    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Return);
    QCOMPARE(focused()->objectName(), QString("txtTELEFONO"));
    QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
    type("0981 555 'B'");
    press(Qt::Key_Return); // -> txtEMAIL
    press(Qt::Key_Return); // -> gridCompras
    press(Qt::Key_Return); // -> txtFORMA_DE_ENVIO
    QCOMPARE(focused()->objectName(), QString("txtFORMA_DE_ENVIO"));
    type("Transporte 'El Rápido'");
    press(Qt::Key_Return);
    type("30% contado, 70% a 30 días");
    press(Qt::Key_Return);
    QCOMPARE(focused()->objectName(), QString("txtOBSERVACIONES"));
    type("Entregar \"urgente\" en Asunción");
    m_dialogs->answerMessage(QMessageBox::Ok);
    press(Qt::Key_Return); // cmdGuardar_Orden confirms

    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().text, QString("ORDEN #16 ha sido guardada."));

    QCOMPARE(count("PEDIDOS"), 1);
    QCOMPARE(m_db->scalar("SELECT NRO_PEDIDO FROM PEDIDOS").toInt(), 16);
    QCOMPARE(m_db->scalar("SELECT FECHA FROM PEDIDOS").toString(), QDate::currentDate().toString(Qt::ISODate));
    QCOMPARE(m_db->scalar("SELECT CLIENTE FROM PEDIDOS").toString(), QString("Bruno Díaz"));
    QCOMPARE(m_db->scalar("SELECT TELEFONO FROM PEDIDOS").toString(), QString("0981 555 'B'"));
    QCOMPARE(m_db->scalar("SELECT EMAIL FROM PEDIDOS").toString(), QString("bruno@x.py"));
    QCOMPARE(m_db->scalar("SELECT FORMA_DE_ENVIO FROM PEDIDOS").toString(), QString("Transporte 'El Rápido'"));
    QCOMPARE(m_db->scalar("SELECT FORMA_DE_PAGO FROM PEDIDOS").toString(), QString("30% contado, 70% a 30 días"));
    QCOMPARE(m_db->scalar("SELECT OBSERVACIONES FROM PEDIDOS").toString(), QString("Entregar \"urgente\" en Asunción"));
    QCOMPARE(count("LINEAS_PEDIDOS"), 2);
    QCOMPARE(m_db->scalar("SELECT COD_ART FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toString(), QString("CA01"));
    QCOMPARE(m_db->scalar("SELECT CANTIDAD FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toInt(), 3);
    QCOMPARE(m_db->scalar("SELECT P_UNITARIO FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toDouble(), 20.0);
    QCOMPARE(m_db->scalar("SELECT DETALLES FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toString(), QString("sin rebaba"));
    QCOMPARE(m_db->scalar("SELECT COD_ART FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 2").toString(), QString("CO02"));
    QCOMPARE(m_db->scalar("SELECT CANTIDAD FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 2").toInt(), 1);
    QCOMPARE(m_db->scalar("SELECT P_UNITARIO FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 2").toDouble(), 6.5);
    QCOMPARE(stock("CA01"), 47);
    QCOMPARE(stock("CO02"), 49);
    QCOMPARE(stock("VA03"), 50);
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toInt(), 16);
    QCOMPARE(strULTIMO_PEDIDO, QString("16"));
    QCOMPARE(
        m_db->scalar("SELECT TELEFONO FROM CLIENTES WHERE NOMBRE = 'Bruno Díaz'").toString(), QString("0981 555 'B'"));

    // The window is ready for the next order, for the same customer.
    QCOMPARE(child<QLabel>("lblNRO_PEDIDO")->text(), QString("17"));
    QCOMPARE(child<QLabel>("lblFECHA")->text(), Regional::shortDate(QDate::currentDate()));
    QCOMPARE(child<TextGrid>("gridCompras")->rows(), 1);
    QCOMPARE(child<TextGrid>("gridEncontrados")->rows(), 1);
    QCOMPARE(child<QLabel>("lblTOTALOrden")->text(), QString("0,00"));
    QCOMPARE(child<QLabel>("lblTOTALItems")->text(), QString("0"));
    for (const char *name : {"txtFORMA_DE_ENVIO", "txtFORMA_DE_PAGO", "txtOBSERVACIONES", "txtBuscar_DESCRIPCION"})
        QCOMPARE(child<QLineEdit>(name)->text(), QString());
    QCOMPARE(child<QLineEdit>("txtNOMBRE")->text(), QString("Bruno Díaz"));
    QCOMPARE(child<QLineEdit>("txtTELEFONO")->text(), QString("0981 555 'B'"));
    QCOMPARE(focused()->objectName(), QString("Check_COD_ART"));
}

void tst_ConfirmarOrden::failedOrderStaysInTheWindowAndIsConfirmedAgain()
{
    QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE INSERT ON LINEAS_PEDIDOS WHEN NEW.NRO_LINEA = 2 "
                       "BEGIN SELECT RAISE(ABORT, 'fallo'); END"));
    openWindow();
    composeTwoLines();
    child<QLineEdit>("txtOBSERVACIONES")->setFocus(Qt::OtherFocusReason);
    type("primera vez");
    m_dialogs->answerMessage(QMessageBox::Cancel).answerMessage(QMessageBox::Ok);
    press(Qt::Key_Return);

    QCOMPARE(m_dialogs->messages().size(), 2);
    QCOMPARE(m_dialogs->messages().last().text, QString("error al guardar la linea del pedido"));
    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(count("LINEAS_PEDIDOS"), 0);
    QCOMPARE(stock("CA01"), 50);
    QCOMPARE(child<TextGrid>("gridCompras")->rows(), 3);
    QCOMPARE(child<QLabel>("lblNRO_PEDIDO")->text(), QString("16"));
    QCOMPARE(child<QLineEdit>("txtOBSERVACIONES")->text(), QString("primera vez"));
    QCOMPARE(strULTIMO_PEDIDO, QString("15"));
    QCOMPARE(focused()->objectName(), QString("cmdGuardar_Orden"));
    // The focus coming back to the button as a box closes starts nothing (no box expected).
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(focused(), &back);
    QCOMPARE(m_dialogs->messages().size(), 2);
    QCOMPARE(count("PEDIDOS"), 0);

    // The fault gone, back to the remarks and Enter again.
    QVERIFY(m_db->exec("DROP TRIGGER FALLA"));
    m_dialogs->clear();
    press(Qt::Key_Escape);
    QCOMPARE(focused()->objectName(), QString("txtOBSERVACIONES"));
    m_dialogs->answerMessage(QMessageBox::Ok);
    press(Qt::Key_Return);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().text, QString("ORDEN #16 ha sido guardada."));
    QCOMPARE(count("PEDIDOS"), 1);
    QCOMPARE(count("LINEAS_PEDIDOS"), 2);
    QCOMPARE(stock("CA01"), 47);
    QCOMPARE(child<QLabel>("lblNRO_PEDIDO")->text(), QString("17"));
    QCOMPARE(focused()->objectName(), QString("Check_COD_ART"));
}

void tst_ConfirmarOrden::newCustomerFromTheWindowIsStoredWithTheOrder()
{
    openWindow();
    composeTwoLines();
    click("lblCliente_NUEVO");
    QCOMPARE(focused()->objectName(), QString("txtNOMBRE"));
    for (const char *name : {"txtNOMBRE", "txtDIRECCION", "txtRUC", "txtCONTACTO", "txtTELEFONO", "txtEMAIL"})
        QCOMPARE(child<QLineEdit>(name)->text(), QString());
    type("Carlos O'Higgins");
    press(Qt::Key_Return);
    type("Av. 25% de Mayo");
    child<QLineEdit>("txtOBSERVACIONES")->setFocus(Qt::OtherFocusReason);
    m_dialogs->answerMessage(QMessageBox::Ok);
    press(Qt::Key_Return);

    QCOMPARE(count("PEDIDOS"), 1);
    QCOMPARE(count("CLIENTES"), 3);
    QCOMPARE(m_db->scalar("SELECT DIRECCION FROM CLIENTES WHERE NOMBRE = ?", {"Carlos O'Higgins"}).toString(),
        QString("Av. 25% de Mayo"));
    QCOMPARE(m_db->scalar("SELECT CLIENTE FROM PEDIDOS").toString(), QString("Carlos O'Higgins"));
    QCOMPARE(m_db->scalar("SELECT DIRECCION FROM PEDIDOS").toString(), QString("Av. 25% de Mayo"));
    QCOMPARE(m_db->scalar("SELECT RUC FROM PEDIDOS").toString(), QString(""));
    // It stays selected, in its place between the others.
    QCOMPARE(child<QLineEdit>("txtNOMBRE")->text(), QString("Carlos O'Higgins"));
    m_dialogs->answerMessage(QMessageBox::Ok);
    click("lblSiguiente");
    QCOMPARE(m_dialogs->messages().last().text, QString("Final del fichero."));
    click("lblAnterior");
    QCOMPARE(child<QLineEdit>("txtNOMBRE")->text(), QString("Bruno Díaz"));
}

void tst_ConfirmarOrden::customerToolsBrowseAndThrowAwayEdits()
{
    openWindow();
    QLineEdit *nombre = child<QLineEdit>("txtNOMBRE");
    QLineEdit *email = child<QLineEdit>("txtEMAIL");
    QCOMPARE(nombre->text(), QString("Ana Peña"));
    QCOMPARE(email->text(), QString("ana@x.py"));

    m_dialogs->answerMessage(QMessageBox::Ok);
    click("lblAnterior");
    QCOMPARE(m_dialogs->messages().last().text, QString("Principio del fichero."));
    QCOMPARE(m_dialogs->messages().last().title, QString("Atención"));

    // An edit is lost by browsing away and back.
    email->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(email, Qt::Key_A, Qt::ControlModifier);
    type("otro@x.py");
    click("lblSiguiente");
    QCOMPARE(nombre->text(), QString("Bruno Díaz"));
    QCOMPARE(email->text(), QString("bruno@x.py"));
    click("lblAnterior");
    QCOMPARE(email->text(), QString("ana@x.py"));

    // "Cancelar" shows the stored values again.
    email->setFocus(Qt::OtherFocusReason);
    type("zzz");
    QVERIFY(email->text().endsWith("zzz"));
    click("lblCliente_CANCELAR");
    QCOMPARE(email->text(), QString("ana@x.py"));

    // "Nuevo" then "Cancelar" brings back the customer shown before.
    click("lblCliente_NUEVO");
    QCOMPARE(nombre->text(), QString());
    type("Nadie");
    click("lblCliente_CANCELAR");
    QCOMPARE(nombre->text(), QString("Ana Peña"));
    QCOMPARE(count("CLIENTES"), 2);
    QCOMPARE(m_db->scalar("SELECT EMAIL FROM CLIENTES WHERE NOMBRE = 'Ana Peña'").toString(), QString("ana@x.py"));
}

void tst_ConfirmarOrden::emptyGridSaysThereIsNoOrder()
{
    openWindow();
    child<QLineEdit>("txtOBSERVACIONES")->setFocus(Qt::OtherFocusReason);
    m_dialogs->answerMessage(QMessageBox::Ok);
    press(Qt::Key_Return);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().text, QString("No hay orden a guardar."));
    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(child<QLabel>("lblNRO_PEDIDO")->text(), QString("16"));
}

QTEST_MAIN(tst_ConfirmarOrden)
#include "tst_confirmarorden.moc"
