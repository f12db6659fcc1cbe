#include "base/regional.h"
#include "order/desklook.h"
#include "order/frmmenu.h"
#include "order/textgrid.h"
#include "order/twips.h"
#include "startup/startup.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using L = QStringList;

namespace {

// The desk on a database of its own, the rate answered, the window shown and active. A scripted
// answer left unused fails the running test.
class DeskFixture
{
public:
    ~DeskFixture()
    {
        window.reset();
        CierroConexion();
        QTest::qCompare(dialogs.pendingAnswers(), 0, "pendingAnswers", "0", __FILE__, __LINE__);
    }
    bool open(const QString &tipoCambioReply = QStringLiteral("1"))
    {
        if (!db.isValid() || AbroConexion(db.folder()))
            return false;
        dialogs.answerInput(tipoCambioReply);
        window = std::make_unique<frmMenu>();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return false;
        control(QStringLiteral("Check_COD_ART"))->setFocus();
        return dialogs.pendingAnswers() == 0;
    }

    template <typename T = QWidget> T *control(const QString &name) const { return window->findChild<T *>(name); }
    QString text(const QString &name) const { return control(name)->property("text").toString(); }
    QStringList texts(const QStringList &names) const
    {
        QStringList shown;
        for (const QString &name : names)
            shown.append(text(name));
        return shown;
    }
    static QWidget *focused() { return QApplication::focusWidget(); }
    static void press(Qt::Key key) { QTest::keyClick(focused(), key); }
    // Key by key; letters beyond ASCII arrive as the text of their key press.
    static void type(const QString &text)
    {
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(focused(), char(ch.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    void doubleClickFound(int row) const
    {
        auto *grid = control<TextGrid>(QStringLiteral("gridEncontrados"));
        QTest::mouseDClick(
            grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 2)).center());
    }
    QList<QStringList> orderRows() const
    {
        auto *grid = control<TextGrid>(QStringLiteral("gridCompras"));
        QList<QStringList> rows;
        for (int row = 1; row < grid->rows(); ++row)
            rows.append(grid->gridModel()->rowCells(row));
        return rows;
    }

    TestDatabase db;
    ScriptedDialogs dialogs;
    std::unique_ptr<frmMenu> window;
};

QString focusedName()
{
    return DeskFixture::focused()->objectName();
}

} // namespace

class tst_frmMenu : public QObject
{
    Q_OBJECT

private slots:
    void init() { Regional::setCurrent(Regional::commaDayFirst()); }

    // The rate box at load (its replies are the rule's); the print tool asked for the order shown;
    // names too long for their places: nothing stands outside the window or its frame, and no
    // text is cut; closing.
    void loadsFitsAndCloses()
    {
        DeskFixture desk;
        const QString empresa = QStringLiteral("Distribuidora Comercial del Paraguay S.A. y Asociados");
        const QString vendedor = QStringLiteral("María Fernanda Ramírez de Villalba");
        QVERIFY(desk.db.exec(QStringLiteral("UPDATE SETUP SET EMPRESA = ?, RECORVAN = ?"), {empresa, vendedor}));
        // A rate that does not read wholly by this machine's rules is told and asked again.
        desk.dialogs.answerInput(QStringLiteral("2.85")).answerMessage(Dialogs::Ok);
        QVERIFY(desk.open(QStringLiteral("2,85")));
        const QList<Dialogs::Input> rate = desk.dialogs.inputs();
        QCOMPARE(
            (L{rate.first().prompt, rate.first().proposed, rate.last().proposed}), (L{"Tipo de Cambio:", "0", "2.85"}));
        QCOMPARE(desk.dialogs.messages().first().text,
            QStringLiteral("El tipo de cambio '2.85' no es un número (por ejemplo: 1.234,50)."));
        QCOMPARE(desk.texts({"lblTC", "lblNRO_PEDIDO"}), (L{"2,85", "16"}));
        QSignalSpy imprimir(desk.window.get(), &frmMenu::imprimirRequested);
        QTest::mouseClick(desk.control("cmdImprimir"), Qt::LeftButton);
        QCOMPARE(QList<QVariantList>(imprimir), (QList<QVariantList>{{"16", desk.text("lblFECHA")}}));

        frmMenu *window = desk.window.get();
        const QRect client = Twips::toPixels(QRect(0, 0, 11910, 8520), window->logicalDpiX(), window->logicalDpiY());
        QCOMPARE(window->size(), client.size());
        QCOMPARE(window->minimumSize(), window->maximumSize());
        // A long salesperson's name takes two lines; a company's too long even for the smallest
        // type ends with "…", whole in its tooltip. Four-digit quantities and large totals fit.
        QCOMPARE(desk.text("lblRecorvan"), vendedor);
        QVERIFY(desk.text("lblEmpresa").endsWith(QStringLiteral("…")));
        QCOMPARE(desk.control<QLabel>("lblEmpresa")->toolTip(), empresa);
        desk.control<QLineEdit>("txtDESCRIPCION")->setText(QStringLiteral("a"));
        desk.control<QLineEdit>("txtP_UNITARIO")->setText(QStringLiteral("9.999.999"));
        auto *cantidad = desk.control<QLineEdit>("txtCANTIDAD");
        cantidad->setFocus();
        cantidad->setText(QStringLiteral("2"));
        for (int field = 0; field < 3; ++field) // the price, the details, cmdGuardar: the line is added
            desk.press(Qt::Key_Return);
        cantidad->setText(QStringLiteral("1000"));
        QVERIFY(cantidad->fontMetrics().horizontalAdvance(cantidad->text()) <= DeskLook::textRoom(cantidad));
        for (QWidget *child : window->findChildren<QWidget *>()) {
            QWidget *parent = child->parentWidget();
            if (!child->isVisible() || !parent || parent->inherits("QAbstractScrollArea")
                || parent->inherits("QTableView") || parent->inherits("QHeaderView"))
                continue;
            QVERIFY2(parent->rect().contains(child->geometry()), qPrintable(child->objectName()));
            auto *label = qobject_cast<QLabel *>(child);
            if (label && !label->text().isEmpty() && (!label->wordWrap() || label->objectName() == "lblRecorvan")) {
                // Each line (each word, where the name wraps) within the width, all within the height.
                const QRect room = label->contentsRect();
                const QFontMetrics metrics = label->fontMetrics();
                bool fits = metrics.boundingRect(room, label->wordWrap() ? Qt::TextWordWrap : 0, label->text()).height()
                    <= room.height();
                for (const QString &line : label->text().split(label->wordWrap() ? QChar(' ') : QChar('\n')))
                    fits = fits && metrics.size(0, line).width() <= room.width();
                QVERIFY2(fits, qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
            }
        }

        // With that line not stored, closing asks first, No by default: No keeps the window and
        // the order, Yes unloads, which ends the run.
        QSignalSpy unloaded(window, &frmMenu::unloaded);
        desk.dialogs.answerMessage(Dialogs::No).answerMessage(Dialogs::Yes);
        QVERIFY(!window->close());
        const Dialogs::Message closing = desk.dialogs.messages().last();
        QCOMPARE(closing.text, QStringLiteral("La orden en curso no fue guardada. ¿Desea salir igual?"));
        QCOMPARE(closing.defaultButton, Dialogs::No);
        QVERIFY(window->isVisible());
        QCOMPARE(desk.orderRows().size(), 1);
        QCOMPARE(unloaded.size(), 0);
        QVERIFY(window->close());
        QCOMPARE(unloaded.size(), 1);
    }

    // A code typed by hand, on leaving its box and on adding the line: the catalogue's own code,
    // one that differs only in blanks or case, several that do, one the catalogue lacks.
    void typedCodes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answers"); // to the boxes shown, in order
        QTest::addColumn<QString>("added"); // the code of the line added; empty: none
        const auto row = [](const char *name, const char *typed, const char *answers, const char *added) {
            QTest::newRow(name) << QString(typed) << QString(answers) << QString(added);
        };
        for (const char *typed : {"HX-001", "hx-001", " HX-001 "})
            row(typed, typed, "", "HX-001");
        row("several alike", "Ab-1", "ok,ok", "");
        row("unknown, added after Yes", "ZZ-9", "yes", "ZZ-9");
        row("unknown, refused after No", "ZZ-9", "no,no", "");
    }

    void typedCodes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, answers);
        QFETCH(QString, added);
        DeskFixture desk;
        QVERIFY(desk.db.exec("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('HX-001', 'Codo'), ('AB-1', 'a'), "
                             "('ab-1', 'b')"));
        QVERIFY(desk.open());
        for (const QString &answer : answers.split(',', Qt::SkipEmptyParts))
            desk.dialogs.answerMessage(answer == "yes" ? Dialogs::Yes : answer == "no" ? Dialogs::No : Dialogs::Ok);
        auto *code = desk.control<QLineEdit>("txtCOD_ART");
        code->setFocus(Qt::TabFocusReason);
        desk.type(typed);
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.focused() == code, added.isEmpty());
        desk.control<QLineEdit>("txtCANTIDAD")->setText("2");
        desk.control<QLineEdit>("txtP_UNITARIO")->setText("10");
        desk.control("cmdGuardar")->setFocus(Qt::TabFocusReason);
        QCOMPARE(desk.orderRows().value(0).value(4), added);
        const Dialogs::Message asked = desk.dialogs.messages().value(0);
        QCOMPARE(
            asked.text.startsWith("El código 'ZZ-9' no está en el catálogo.\n") && asked.defaultButton == Dialogs::No,
            typed == "ZZ-9");
    }

    // A whole order from the keyboard, from the articles taken to a failed and a repeated confirmation. With a
    // company server, the bottom band counts the orders it still lacks.
    void wholeOrderFromTheKeyboard()
    {
        DeskFixture desk;
        QVERIFY(desk.db.exec("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO) VALUES "
                             "('CA01', 'F-CA', 'Caño de PVC', 50, 10.5), ('CO02', 'F-CO', 'Codo de bronce', 50, "
                             "3.25), ('VA03', 'F-VA', 'Válvula esférica', 50, 100)"));
        QVERIFY(desk.db.exec("INSERT INTO CLIENTES (NOMBRE, DIRECCION, TELEFONO, EMAIL) VALUES ('Ana Peña', 'Calle 1', "
                             "'021-1', 'ana@x.py'), ('Bruno Díaz', 'Calle 2', '(061) 570-900', 'bruno@x.py')"));
        QVERIFY(desk.db.exec("INSERT INTO SERVIDOR (BASE_DE_DATOS, VENDEDOR) VALUES ('empresa', 'V1')"));
        QVERIFY(desk.db.exec("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (10), (11)"));
        QVERIFY(desk.db.exec("INSERT INTO ENVIOS (NRO_PEDIDO, ENVIADO) VALUES (10, '2024-03-01 10:00:00')"));
        QVERIFY(desk.open(QStringLiteral("2")));
        QCOMPARE(desk.texts({"txtNOMBRE", "lblSinEnviar"}), (L{"Ana Peña", "1 orden sin enviar"}));
        desk.control("cmdBuscar")->setFocus(Qt::TabFocusReason); // arriving there searches
        QCOMPARE(desk.control<TextGrid>("gridEncontrados")->rows(), 4);
        QCOMPARE(focusedName(), QString("gridEncontrados"));
        desk.press(Qt::Key_Space); // takes the current article, as a double click does
        const L lineFields = {
            "txtCOD_ART", "lblCOD_PROPIO", "txtDESCRIPCION", "txtP_UNITARIO", "txtCANTIDAD", "txtDETALLES", "lblTOTAL"};
        QCOMPARE(desk.texts(lineFields).mid(0, 5), (L{"CA01", "F-CA", "Caño de PVC", "21,00", "1"}));
        auto *cantidad = desk.control<QLineEdit>("txtCANTIDAD");
        QCOMPARE(desk.focused(), cantidad);
        QCOMPARE(cantidad->selectedText(), QStringLiteral("1"));
        // A quantity that is not a whole number is told, shows no total and takes the focus back.
        desk.type("1,5");
        desk.dialogs.answerMessage(Dialogs::Ok);
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.dialogs.messages().last().text, QStringLiteral("La cantidad '1,5' no es un número entero."));
        QCOMPARE(desk.focused(), cantidad);
        QCOMPARE(desk.text("lblTOTAL"), QString());
        desk.type("3");
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.text("lblTOTAL"), QStringLiteral("63,00"));
        auto *precio = desk.control<QLineEdit>("txtP_UNITARIO");
        QCOMPARE(desk.focused(), precio);
        QCOMPARE(precio->selectedText(), QStringLiteral("21,00"));
        desk.type("20");
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.texts({"txtP_UNITARIO", "lblTOTAL"}), (L{"20,00", "60,00"}));
        QCOMPARE(focusedName(), QString("txtDETALLES"));
        desk.type("sin rebaba");
        desk.press(Qt::Key_Return); // cmdGuardar adds the line and empties the line fields
        QCOMPARE(focusedName(), QString("cmdGuardar"));
        QCOMPARE(desk.texts(lineFields), L(lineFields.size()));
        // The same article twice; Eliminar asks about the current line, the last added: No keeps
        // it, Yes takes it out and the totals follow.
        for (int time = 0; time < 2; ++time) {
            desk.doubleClickFound(2);
            for (int i = 0; i < 3; ++i)
                desk.press(Qt::Key_Return);
        }
        for (const Dialogs::Button answer : {Dialogs::No, Dialogs::Yes}) {
            desk.dialogs.answerMessage(answer);
            QTest::mouseClick(desk.control("lblELIMINAR"), Qt::LeftButton);
            const Dialogs::Message asked = desk.dialogs.messages().last();
            QCOMPARE((L{asked.text, asked.title}), (L{"Desea eliminar Codo de bronce?.", "Eliminar"}));
            QCOMPARE(asked.buttons, Dialogs::Yes | Dialogs::No);
            QCOMPARE(desk.orderRows().size(), answer == Dialogs::No ? 3 : 2);
        }
        QCOMPARE(desk.orderRows(),
            (QList<L>{{"Caño de PVC", "3", "20,00", "60,00", "CA01", "sin rebaba", "F-CA"},
                {"Codo de bronce", "1", "6,50", "6,50", "CO02", "", "F-CO"}}));
        QCOMPARE(desk.texts({"lblTOTALItems", "lblTOTALOrden"}), (L{"4", "66,50"}));
        // Passing back over cmdGuardar adds nothing empty, nor a line that does not convert.
        desk.press(Qt::Key_Return);
        QCOMPARE(focusedName(), QString("txtNOMBRE"));
        desk.press(Qt::Key_Escape);
        QCOMPARE(focusedName(), QString("cmdGuardar"));
        desk.control<QLineEdit>("txtDESCRIPCION")->setText(QStringLiteral("suelto"));
        desk.press(Qt::Key_Return);
        desk.dialogs.answerMessage(Dialogs::Ok);
        desk.press(Qt::Key_Escape);
        QCOMPARE(desk.dialogs.messages().last().text, QStringLiteral("La línea no se agregó.\nFalta la cantidad."));
        QCOMPARE(desk.focused(), cantidad);
        QCOMPARE(desk.orderRows().size(), 2);

        // The next customer, with a new telephone. A field shows the start of a text longer
        // than itself, whether the program filled it or the salesperson walked through it.
        auto *telefono = desk.control<QLineEdit>("txtTELEFONO");
        const auto showsStart = [&desk] {
            for (const char *name : {"txtNOMBRE", "txtDIRECCION", "txtRUC", "txtCONTACTO", "txtTELEFONO", "txtEMAIL"})
                QCOMPARE(desk.control<QLineEdit>(name)->cursorPosition(), 0);
        };
        desk.control("txtEMAIL")->setFocus(Qt::OtherFocusReason);
        QWidget *siguiente = desk.control("lblSiguiente");
        QTest::mouseClick(siguiente, Qt::LeftButton);
        desk.dialogs.answerMessage(Dialogs::Ok);
        QTest::mouseClick(siguiente, Qt::LeftButton); // already the last: told so, and still shown
        QCOMPARE(desk.dialogs.messages().last().text, QStringLiteral("Final del fichero."));
        QCOMPARE(desk.text("txtNOMBRE"), QString("Bruno Díaz"));
        QVERIFY(telefono->fontMetrics().horizontalAdvance(telefono->text()) > telefono->width());
        showsStart();
        desk.press(Qt::Key_Escape);
        QCOMPARE(focusedName(), QString("txtTELEFONO"));
        QTest::keyClick(desk.focused(), Qt::Key_A, Qt::ControlModifier);
        desk.type("0981 555 'B'");
        for (int i = 0; i < 3; ++i) // txtEMAIL, gridCompras, txtFORMA_DE_ENVIO
            desk.press(Qt::Key_Return);
        desk.type("Transporte 'El Rápido'");
        desk.press(Qt::Key_Return);
        desk.type("30% contado, 70% a 30 días");
        desk.press(Qt::Key_Return);
        QCOMPARE(focusedName(), QString("txtOBSERVACIONES"));
        showsStart();
        desk.type("Entregar \"urgente\" en Asunción");

        // While a confirmation shows its boxes, a second one, by Enter or by a click on the
        // button, starts nothing.
        QWidget *remarks = desk.control("txtOBSERVACIONES");
        QWidget *button = desk.control("cmdGuardar_Orden");
        int arrivals = 0;
        const auto confirmAgain = [&] {
            remarks->setFocus(Qt::OtherFocusReason);
            desk.press(Qt::Key_Return);
            arrivals += desk.focused() == button;
            remarks->setFocus(Qt::OtherFocusReason);
            QTest::mouseClick(button, Qt::LeftButton);
            arrivals += desk.focused() == button;
        };
        // The second line fails: the order stays in the window as it was.
        QVERIFY(desk.db.exec("CREATE TRIGGER FALLA BEFORE INSERT ON LINEAS_PEDIDOS WHEN NEW.NRO_LINEA = 2 "
                             "BEGIN SELECT RAISE(ABORT, 'fallo'); END"));
        desk.dialogs.clear();
        desk.dialogs.answerMessage(Dialogs::Cancel, confirmAgain).answerMessage(Dialogs::Ok);
        desk.press(Qt::Key_Return); // cmdGuardar_Orden confirms
        QCOMPARE(desk.dialogs.messages().size(), 2);
        QCOMPARE(desk.dialogs.messages().last().text, QString("error al guardar la linea del pedido"));
        QCOMPARE(desk.orderRows().size(), 2);
        QCOMPARE(desk.texts({"lblNRO_PEDIDO", "txtTELEFONO", "lblSinEnviar"}),
            (L{"16", "0981 555 'B'", "1 orden sin enviar"}));
        QCOMPARE(focusedName(), QString("cmdGuardar_Orden"));
        // Walking back round from the first control passes by the button without confirming;
        // Enter from the remarks confirms again, and the order is stored once.
        QVERIFY(desk.db.exec("DROP TRIGGER FALLA"));
        desk.dialogs.clear();
        desk.control("Check_COD_ART")->setFocus(Qt::OtherFocusReason);
        desk.press(Qt::Key_Escape);
        QCOMPARE(focusedName(), QString("cmdGuardar_Orden"));
        desk.press(Qt::Key_Escape);
        QCOMPARE(focusedName(), QString("txtOBSERVACIONES"));
        desk.dialogs.answerMessage(Dialogs::Ok, confirmAgain);
        desk.press(Qt::Key_Return);
        QCOMPARE(arrivals, 4);
        QCOMPARE(desk.dialogs.messages().size(), 1);
        QCOMPARE(desk.dialogs.messages().first().text, QString("ORDEN #16 ha sido guardada."));
        QCOMPARE(desk.db
                     .scalar("SELECT FECHA ||'|'|| CLIENTE ||'|'|| TELEFONO ||'|'|| EMAIL ||'|'|| FORMA_DE_ENVIO "
                             "||'|'|| FORMA_DE_PAGO ||'|'|| OBSERVACIONES FROM PEDIDOS WHERE NRO_PEDIDO = 16")
                     .toString(),
            QDate::currentDate().toString(Qt::ISODate)
                + "|Bruno Díaz|0981 555 'B'|bruno@x.py|Transporte 'El Rápido'|30% contado, 70% a 30 días|"
                  "Entregar \"urgente\" en Asunción");
        QCOMPARE(desk.texts({"lblNRO_PEDIDO", "lblFECHA", "lblTOTALItems", "lblTOTALOrden", "txtFORMA_DE_ENVIO",
                     "txtFORMA_DE_PAGO", "txtOBSERVACIONES", "txtNOMBRE", "txtTELEFONO", "lblSinEnviar"}),
            (L{"17", Regional::shortDate(QDate::currentDate()), "0", "0,00", "", "", "", "Bruno Díaz", "0981 555 'B'",
                "2 órdenes sin enviar"}));
        QCOMPARE(desk.orderRows().size(), 0);
        QCOMPARE(focusedName(), QString("Check_COD_ART"));
        // Nothing left unstored: closing asks nothing (a box would fail the test).
        QVERIFY(desk.window->close());
    }

    // F3 finds a customer by a few letters; Down and Enter pick it as browsing to it would, the
    // focus goes on to the shipping, and the order stores that customer. Escape leaves the
    // customer area as it was; a new customer being typed is asked about first.
    void findsAndPicksACustomer()
    {
        DeskFixture desk;
        QVERIFY(desk.db.exec("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL, P_UNITARIO) VALUES "
                             "('CA01', 'Caño', 5, 10)"));
        QVERIFY(desk.db.exec("INSERT INTO CLIENTES (NOMBRE, RUC) VALUES ('Ana Peña', '1'), ('Bruno Díaz', '2'), "
                             "('Carla Díaz', '3'), ('Dora Ruiz', '4')"));
        QVERIFY(desk.open());
        frmMenu *window = desk.window.get();
        QPointer<QWidget> found;
        // Opens the search by F3 (or the heading), types the words and presses the keys there.
        const auto search = [&](const QString &words, const QList<Qt::Key> &keys, bool byHeading = false) {
            window->activateWindow(); // offscreen, no window manager gives the desk back
            QVERIFY(QTest::qWaitForWindowActive(window));
            byHeading ? QTest::mouseClick(desk.control("lblCliente"), Qt::LeftButton) : desk.press(Qt::Key_F3);
            found = QApplication::activeModalWidget();
            if (auto *box = found ? found->findChild<QLineEdit *>("txtBuscar") : nullptr) {
                QTest::keyClicks(box, words);
                for (const Qt::Key key : keys)
                    QTest::keyClick(box, key);
            }
        };
        QTest::keyClicks(desk.control("txtNOMBRE"), "x");
        search("DIAZ", {});
        QCOMPARE(found->findChild<QTreeWidget *>("lstClientes")->topLevelItemCount(), 2);
        QTest::keyClick(found->findChild<QLineEdit *>("txtBuscar"), Qt::Key_Escape);
        QVERIFY(!found || !found->isVisible());
        QCOMPARE(desk.text("txtNOMBRE"), QString("xAna Peña"));

        // The quantity left for the search is left as any move leaves it: the line total follows.
        for (const auto &[name, text] : {std::pair{"txtCOD_ART", "CA01"}, {"txtP_UNITARIO", "10"}})
            desk.control<QLineEdit>(name)->setText(text);
        desk.control("txtCANTIDAD")->setFocus();
        QTest::keyClicks(desk.control("txtCANTIDAD"), "3");
        search("diaz", {Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(desk.texts({"txtNOMBRE", "txtRUC", "lblTOTAL"}), (L{"Carla Díaz", "3", "30,00"}));
        QCOMPARE(window->focusWidget(), desk.control("txtFORMA_DE_ENVIO"));
        QTest::mouseClick(desk.control("lblSiguiente"), Qt::LeftButton);
        QCOMPARE(desk.text("txtNOMBRE"), QString("Dora Ruiz"));
        QTest::mouseClick(desk.control("lblAnterior"), Qt::LeftButton);
        window->AgregoLinea();
        desk.dialogs.answerMessage(Dialogs::Ok);
        window->Confirmar_Orden();
        QCOMPARE(desk.db.scalar("SELECT CLIENTE || RUC FROM PEDIDOS WHERE NRO_PEDIDO = 16").toString(), "Carla Díaz3");

        QTest::mouseClick(desk.control("lblCliente_NUEVO"), Qt::LeftButton);
        QTest::keyClicks(desk.control("txtNOMBRE"), "Eva");
        desk.dialogs.answerMessage(Dialogs::No).answerMessage(Dialogs::Yes);
        search("ruiz", {Qt::Key_Return});
        QVERIFY(!found);
        const Dialogs::Message asked = desk.dialogs.messages().last();
        QCOMPARE((L{asked.text, desk.text("txtNOMBRE")}),
            (L{"Se perderá el cliente nuevo que está escribiendo. ¿Desea seguir?", "Eva"}));
        QCOMPARE(asked.defaultButton, Dialogs::No);
        search("ruiz", {Qt::Key_Return}, true);
        QCOMPARE(desk.text("txtNOMBRE"), QString("Dora Ruiz"));
    }
};

QTEST_MAIN(tst_frmMenu)
#include "tst_frmmenu.moc"
