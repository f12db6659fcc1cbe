#include "frmmenu.h"

#include "base/dialogs.h"
#include "base/globals.h"
#include "base/messagetitles.h"
#include "base/ordernumber.h"
#include "base/regional.h"
#include "base/version.h"
#include "controls/clickablelabel.h"
#include "controls/focusoutline.h"
#include "controls/focuspicturebutton.h"
#include "controls/keyboardflow.h"
#include "customerrecords.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "data/sentorders.h"
#include "desklook.h"
#include "exchangerate.h"
#include "frmbuscarcliente.h"
#include "gridcolumns.h"
#include "lineentry.h"
#include "orderconfirmation.h"
#include "ordertotals.h"
#include "textgrid.h"
#include "typedcode.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

#include <utility>

namespace {

// Headings and widths in the order of OrderColumn and FoundColumn.
const QStringList orderGridHeadings
    = {QStringLiteral("Descripción"), QStringLiteral("Can"), QStringLiteral("PUnitario"), QStringLiteral("Total"),
        QStringLiteral("Código"), QStringLiteral("Observaciones"), QStringLiteral("Cód.fábrica")};
const QList<int> orderGridWidths = {1600, 350, 700, 700, 700, 900, 900};
const QStringList foundGridHeadings = {QStringLiteral("Código"), QStringLiteral("Cód.fábrica"),
    QStringLiteral("Descripción"), QStringLiteral("Stock"), QStringLiteral("Precio")};
const QList<int> foundGridWidths = {700, 1230, 3260, 540, 900};

// Focus that comes and goes with a whole window (a message box, a modal window) is not
// the user moving between controls: no got-focus or lost-focus rule runs for it.
bool movesBetweenControls(QEvent *event)
{
    return FocusPictureButton::isArrival(static_cast<QFocusEvent *>(event)->reason());
}

// The number the order in progress takes, one after the run's counter; none once the counter
// has reached its limit (the start said so), and the confirmation then says why.
QString nextOrderNumber()
{
    const std::optional<OrderNumber> last = OrderNumber::read(strULTIMO_PEDIDO);
    const std::optional<OrderNumber> next = last ? last->next() : std::nullopt;
    return next ? next->text() : QString();
}

} // namespace

frmMenu::frmMenu(QWidget *parent)
    : QWidget(parent)
{
    buildControls();

    connect(Check_COD_ART, &QCheckBox::clicked, this, [this] { switchCriterion(Check_COD_ART, txtBuscar_COD_ART); });
    connect(Check_COD_PROPIO, &QCheckBox::clicked, this,
        [this] { switchCriterion(Check_COD_PROPIO, txtBuscar_COD_PROPIO); });
    connect(Check_DESCRIPCION, &QCheckBox::clicked, this,
        [this] { switchCriterion(Check_DESCRIPCION, txtBuscar_DESCRIPCION); });
    connect(cmdBuscar, &FocusPictureButton::focusArrived, this, &frmMenu::LlenoRejilla);
    connect(gridEncontrados, &TextGrid::rowDoubleClicked, this, &frmMenu::gridEncontrados_DblClick);
    connect(cmdGuardar, &FocusPictureButton::focusArrived, this, &frmMenu::AgregoLinea);
    connect(cmdGuardar_Orden, &FocusPictureButton::focusArrived, this, &frmMenu::cmdGuardar_Orden_GotFocus);
    connect(lblELIMINAR, &ClickableLabel::clicked, this, &frmMenu::lblELIMINAR_Click);
    connect(lblTC, &ClickableLabel::clicked, this, &frmMenu::lblTC_Click);
    connect(lblAnterior, &ClickableLabel::clicked, this, &frmMenu::lblAnterior_Click);
    connect(lblSiguiente, &ClickableLabel::clicked, this, &frmMenu::lblSiguiente_Click);
    connect(lblCliente_NUEVO, &ClickableLabel::clicked, this, &frmMenu::lblCliente_NUEVO_Click);
    connect(lblCliente_CANCELAR, &ClickableLabel::clicked, this, &frmMenu::lblCliente_CANCELAR_Click);
    connect(lblCliente, &ClickableLabel::clicked, this, &frmMenu::lblCliente_Click);
    // A shortcut is matched before any control, or the desk's key filter, sees the key.
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this, &frmMenu::lblCliente_Click);

    connect(cmdImportar, &ClickableLabel::clicked, this, &frmMenu::importarRequested);
    connect(lblImportar, &ClickableLabel::clicked, this, &frmMenu::importarRequested);
    connect(cmdExportar, &ClickableLabel::clicked, this, &frmMenu::exportarRequested);
    connect(lblExportar, &ClickableLabel::clicked, this, &frmMenu::exportarRequested);
    connect(cmdImprimir, &ClickableLabel::clicked, this,
        [this] { emit imprimirRequested(lblNRO_PEDIDO->text(), lblFECHA->text()); });
    connect(cmdAcercaDe, &ClickableLabel::clicked, this, &frmMenu::acercaDeRequested);
    connect(lblAcercaDe, &ClickableLabel::clicked, this, &frmMenu::acercaDeRequested);
    connect(cmdSetup, &ClickableLabel::clicked, this, &frmMenu::configuracionRequested);
    connect(lblSetup, &ClickableLabel::clicked, this, &frmMenu::configuracionRequested);
    connect(cmdInternet, &ClickableLabel::clicked, this, &frmMenu::cmdInternet_Click);
    connect(lblInternet, &ClickableLabel::clicked, this, &frmMenu::cmdInternet_Click);

    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->installEventFilter(this);
    Check_COD_ART->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { m_backFromFirst = false; });
    m_keyboardFlow = new KeyboardFlow(this);
    // A window driven from the keyboard lives by seeing where the focus is.
    new FocusOutline(this, DeskLook::accent());

    openCustomers();
    Form_Load();
}

frmMenu::~frmMenu()
{
    // The application outlives the desk and still reports focus changes while the base
    // widget is torn down, after this object's own members are gone.
    disconnect(qApp, nullptr, this, nullptr);
}

void frmMenu::Form_Load()
{
    lblProducto->setText(productLine());
    InicioVars();
    showCompanySettings();
    showUnsentOrders();
    askExchangeRate();
}

void frmMenu::showCompanySettings()
{
    // The company's name has one line beside the icon; the salesperson's may take two.
    DeskLook::setFittedName(lblEmpresa, strEMPRESA, DeskLook::font(8, true));
    DeskLook::setFittedName(lblRecorvan, strRECORVAN, DeskLook::font(), 2);
    lblNRO_PEDIDO->setText(nextOrderNumber());
}

void frmMenu::showUnsentOrders()
{
    std::optional<int> unsent;
    // The band is a reminder: a count that cannot be read leaves it empty.
    if (SentOrders::unsentWhenConfigured(acnDataBase(), unsent) || !unsent || *unsent == 0) {
        lblSinEnviar->hide();
        return;
    }
    lblSinEnviar->setText(
        *unsent == 1 ? QStringLiteral("1 orden sin enviar") : QStringLiteral("%1 órdenes sin enviar").arg(*unsent));
    DeskLook::fitLabel(lblSinEnviar);
    lblSinEnviar->show();
}

void frmMenu::Form_Unload()
{
    emit unloaded();
}

void frmMenu::closeEvent(QCloseEvent *event)
{
    // The order lives only in this window until it is stored: leaving it behind is asked first.
    if (gridCompras->rows() > 1
        && Dialogs::current().message(QStringLiteral("La orden en curso no fue guardada. ¿Desea salir igual?"),
               MessageTitles::attention(), Dialogs::Question, Dialogs::Yes | Dialogs::No, Dialogs::No)
            != Dialogs::Yes) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMenu::paintEvent(QPaintEvent *)
{
    // The desk's background: a quiet wash, lighter where the tools stand.
    QPainter painter(this);
    QLinearGradient wash(0, 0, 0, height());
    wash.setColorAt(0.0, QColor(0xf4, 0xf6, 0xf9));
    wash.setColorAt(1.0, QColor(0xdc, 0xe4, 0xee));
    painter.fillRect(rect(), wash);
}

void frmMenu::resetComprasGrid()
{
    gridCompras->reset(orderGridHeadings, orderGridWidths);
}

void frmMenu::resetEncontradosGrid()
{
    gridEncontrados->reset(foundGridHeadings, foundGridWidths);
}

void frmMenu::InicioVars()
{
    resetComprasGrid();
    resetEncontradosGrid();
    lblFECHA->setText(Regional::shortDate(QDate::currentDate()));
    lblTOTALOrden->setText(QStringLiteral("0,00"));
    lblTOTALItems->setText(QStringLiteral("0"));
    for (QLineEdit *box : {txtCOD_ART, txtDESCRIPCION, txtP_UNITARIO, txtCANTIDAD, txtDETALLES})
        box->clear();
    lblTOTAL->clear();
    lblCOD_PROPIO->clear();
    for (QLineEdit *box : {txtBuscar_COD_ART, txtBuscar_COD_PROPIO, txtBuscar_DESCRIPCION})
        box->clear();
    for (QLineEdit *box : {txtFORMA_DE_ENVIO, txtFORMA_DE_PAGO, txtOBSERVACIONES})
        box->clear();
    lblNRO_PEDIDO->setText(nextOrderNumber());
}

void frmMenu::askExchangeRate()
{
    QString proposed = ExchangeRate::proposed(lblTC->text());
    for (;;) {
        const QString reply = Dialogs::current().input(ExchangeRate::prompt(), ExchangeRate::title(), proposed);
        const ExchangeRate::Reading reading = ExchangeRate::read(reply);
        if (reading.kind == ExchangeRate::Reading::Kind::Take)
            dblTipoCambio = reading.rate;
        if (reading.kind != ExchangeRate::Reading::Kind::Refuse)
            break;
        Dialogs::current().message(reading.refusal, MessageTitles::attention(), Dialogs::Warning);
        // Asked again with what was typed, to mend it.
        proposed = reply;
    }
    QFont link = DeskLook::font();
    link.setUnderline(true);
    DeskLook::setFittedText(lblTC, ExchangeRate::caption(dblTipoCambio), link);
}

void frmMenu::lblTC_Click()
{
    askExchangeRate();
}

SearchCriteria frmMenu::criteria() const
{
    return {Check_COD_ART->isChecked(), txtBuscar_COD_ART->text(), Check_COD_PROPIO->isChecked(),
        txtBuscar_COD_PROPIO->text(), Check_DESCRIPCION->isChecked(), txtBuscar_DESCRIPCION->text()};
}

void frmMenu::switchCriterion(QCheckBox *check, QLineEdit *text)
{
    if (check->isChecked()) {
        text->setEnabled(true);
        text->setFocus(Qt::OtherFocusReason);
    } else {
        text->clear();
        text->setEnabled(false);
    }
}

void frmMenu::LlenoRejilla()
{
    resetEncontradosGrid();
    QList<QStringList> rows;
    if (MaybeError error = ArticleSearch::run(acnDataBase(), criteria(), dblTipoCambio, rows)) {
        // A failed query is told, and the desk carries on with an empty grid.
        Dialogs::current().message(error->description, MessageTitles::error(error->number), Dialogs::Critical);
        return;
    }
    const qint64 count = rows.size();
    if (count <= 0) {
        Dialogs::current().message(ArticleSearch::noMatchesText(), MessageTitles::attention(), Dialogs::Information);
        return;
    }
    if (count > ArticleSearch::listWithoutAsking
        && Dialogs::current().message(ArticleSearch::tooManyQuestion(count), MessageTitles::attention(),
               Dialogs::NoIcon, Dialogs::Yes | Dialogs::No, Dialogs::Yes)
            != Dialogs::Yes)
        return;
    gridEncontrados->addRows(std::move(rows));
    if (gridEncontrados->rows() >= 2) {
        gridEncontrados->setFixedRows(1);
        gridEncontrados->setFocus(Qt::OtherFocusReason);
    }
}

void frmMenu::gridEncontrados_DblClick(int row)
{
    // The headings row is no article, even while it is an ordinary row.
    if (row < 1)
        return;
    setFieldText(txtCOD_ART, gridEncontrados->text(row, column(FoundColumn::Codigo)));
    lblCOD_PROPIO->setText(gridEncontrados->text(row, column(FoundColumn::CodFabrica)));
    setFieldText(txtDESCRIPCION, gridEncontrados->text(row, column(FoundColumn::Descripcion)));
    setFieldText(txtP_UNITARIO, gridEncontrados->text(row, column(FoundColumn::Precio)));
    txtCANTIDAD->setText(QStringLiteral("1"));
    txtCANTIDAD->setFocus(Qt::OtherFocusReason);
    SeleccionoTexto(txtCANTIDAD);
}

void frmMenu::setFieldText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

void frmMenu::txtCANTIDAD_LostFocus()
{
    showLeft(txtCANTIDAD, LineEntry::leaveCantidad(txtCANTIDAD->text(), txtP_UNITARIO->text()));
}

void frmMenu::txtP_UNITARIO_LostFocus()
{
    showLeft(txtP_UNITARIO, LineEntry::leavePrecio(txtCANTIDAD->text(), txtP_UNITARIO->text()));
}

void frmMenu::showLeft(QLineEdit *box, const LineEntry::Left &left)
{
    if (box->text() != left.field)
        setFieldText(box, left.field);
    if (left.total)
        DeskLook::setFittedText(lblTOTAL, *left.total, DeskLook::font());
    if (left.refusal)
        refuse(*left.refusal);
}

void frmMenu::refuse(const LineEntry::Refusal &refusal, const QString &preface)
{
    QLineEdit *box = refusal.field == LineEntry::Field::Cantidad ? txtCANTIDAD : txtP_UNITARIO;
    m_sendingFocusBack = true;
    Dialogs::current().message(preface + refusal.text, MessageTitles::attention(), Dialogs::Warning);
    focusBack(box);
}

void frmMenu::focusBack(QLineEdit *box)
{
    box->setFocus(Qt::OtherFocusReason);
    SeleccionoTexto(box);
    m_sendingFocusBack = false;
    // Once the box has closed, the window may take its activation back only later, and the
    // box's own leaving unselects it: selected again then, so that typing replaces the text.
    QTimer::singleShot(0, box, [box] { SeleccionoTexto(box); });
}

bool frmMenu::acceptTypedCode()
{
    const QString typed = txtCOD_ART->text();
    if (typed.isEmpty() || typed == m_acceptedUnknownCode)
        return true;
    TypedCode::Result found;
    if (MaybeError error = TypedCode::resolve(acnDataBase(), typed, found)) {
        // The lookup is a help: a failed one is told and does not hold the line back.
        Dialogs::current().message(error->description, MessageTitles::error(error->number), Dialogs::Critical);
        return true;
    }
    switch (found.match) {
    case TypedCode::Match::Empty:
    case TypedCode::Match::Exact:
        return true;
    case TypedCode::Match::Adjusted:
        setFieldText(txtCOD_ART, found.code);
        return true;
    case TypedCode::Match::Several:
        m_sendingFocusBack = true;
        Dialogs::current().message(
            TypedCode::severalText(typed, found.candidates), MessageTitles::attention(), Dialogs::Warning);
        focusBack(txtCOD_ART);
        return false;
    case TypedCode::Match::Unknown:
        break;
    }
    m_sendingFocusBack = true;
    if (Dialogs::current().message(TypedCode::unknownQuestion(typed), MessageTitles::attention(), Dialogs::Question,
            Dialogs::Yes | Dialogs::No, Dialogs::No)
        == Dialogs::Yes) {
        m_sendingFocusBack = false;
        m_acceptedUnknownCode = typed;
        return true;
    }
    focusBack(txtCOD_ART);
    return false;
}

bool frmMenu::eventFilter(QObject *watched, QEvent *event)
{
    const bool focusIn = event->type() == QEvent::FocusIn;
    if (!focusIn && event->type() != QEvent::FocusOut)
        return QWidget::eventFilter(watched, event);
    if (watched == Check_COD_ART && !focusIn)
        m_backFromFirst = static_cast<QFocusEvent *>(event)->reason() == Qt::BacktabFocusReason;
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box || !movesBetweenControls(event))
        return QWidget::eventFilter(watched, event);
    if (focusIn) {
        if (box == txtCOD_ART || box == txtDESCRIPCION || box == txtCANTIDAD || box == txtP_UNITARIO
            || box == txtDETALLES)
            SeleccionoTexto(box);
        return QWidget::eventFilter(watched, event);
    }
    // A box left shows the start of its text again, not wherever its cursor stood.
    box->setCursorPosition(0);
    if (m_sendingFocusBack)
        return QWidget::eventFilter(watched, event);
    if (box == txtCOD_ART)
        acceptTypedCode();
    else if (box == txtCANTIDAD)
        txtCANTIDAD_LostFocus();
    else if (box == txtP_UNITARIO)
        txtP_UNITARIO_LostFocus();
    // A refused box has the focus back already; its own leaving would hide its cursor and
    // selection, so it never hears of it.
    return box->hasFocus() || QWidget::eventFilter(watched, event);
}

void frmMenu::AgregoLinea()
{
    // A code typed and never left (the window lost its activation meanwhile) is held against
    // the catalogue here; one told and accepted is not asked about again.
    if (!txtCOD_ART->text().isEmpty() && !acceptTypedCode())
        return;
    QStringList line(column(OrderColumn::Count));
    line[column(OrderColumn::Descripcion)] = txtDESCRIPCION->text();
    line[column(OrderColumn::Cantidad)] = txtCANTIDAD->text();
    line[column(OrderColumn::PUnitario)] = txtP_UNITARIO->text();
    line[column(OrderColumn::Total)] = lblTOTAL->text();
    line[column(OrderColumn::Codigo)] = txtCOD_ART->text();
    line[column(OrderColumn::Observaciones)] = txtDETALLES->text();
    line[column(OrderColumn::CodFabrica)] = lblCOD_PROPIO->text();
    // Passing over the button with nothing composed adds nothing; a line that could not be
    // stored as shown is not added at all.
    if (LineEntry::isEmpty(line))
        return;
    if (const std::optional<LineEntry::Refusal> refused = LineEntry::refusal(line)) {
        refuse(*refused, QStringLiteral("La línea no se agregó.\n"));
        return;
    }
    gridCompras->addRow(line);
    // Let the grid show the new row before the totals follow.
    QCoreApplication::processEvents();
    MuestroTotales();
    for (QLineEdit *box : {txtCOD_ART, txtDESCRIPCION, txtP_UNITARIO, txtCANTIDAD, txtDETALLES})
        box->clear();
    lblTOTAL->clear();
    lblCOD_PROPIO->clear();
    m_acceptedUnknownCode.clear();
}

void frmMenu::MuestroTotales()
{
    OrderTotals totals;
    const int rows = gridCompras->rows();
    if (rows >= 2) {
        gridCompras->setFixedRows(1);
        QStringList quantities;
        QStringList lineTotals;
        quantities.reserve(rows - 1);
        lineTotals.reserve(rows - 1);
        for (int row = 1; row < rows; ++row) {
            quantities.append(gridCompras->text(row, column(OrderColumn::Cantidad)));
            lineTotals.append(gridCompras->text(row, column(OrderColumn::Total)));
        }
        totals = OrderTotals::of(quantities, lineTotals);
        // The summing leaves the last line current, so "Eliminar" offers the line just added.
        gridCompras->setRow(rows - 1);
        gridCompras->setCol(column(OrderColumn::Total));
    }
    DeskLook::setFittedText(lblTOTALOrden, totals.moneyText(), DeskLook::font(8, true));
    DeskLook::setFittedText(lblTOTALItems, totals.itemsText(), DeskLook::font());
}

void frmMenu::lblELIMINAR_Click()
{
    gridCompras->setCol(column(OrderColumn::Descripcion));
    const QString description = gridCompras->currentText();
    if (Dialogs::current().message(QStringLiteral("Desea eliminar ") + description + QStringLiteral("?."),
            QStringLiteral("Eliminar"), Dialogs::NoIcon, Dialogs::Yes | Dialogs::No, Dialogs::Yes)
        != Dialogs::Yes)
        return;
    if (gridCompras->rows() > 2) {
        // Never the headings row, whatever is current.
        if (gridCompras->row() >= 1)
            gridCompras->removeGridRow(gridCompras->row());
    } else {
        resetComprasGrid();
    }
    MuestroTotales();
}

void frmMenu::cmdGuardar_Orden_GotFocus()
{
    // Going back never confirms: the wrap-around from the first control only passes by.
    if (std::exchange(m_backFromFirst, false))
        return;
    Confirmar_Orden();
}

void frmMenu::Confirmar_Orden()
{
    // The button never starts a second confirmation while one is still showing its boxes.
    if (m_confirming)
        return;
    m_confirming = true;
    OrderDraft order;
    order.nroPedido = lblNRO_PEDIDO->text();
    order.fecha = lblFECHA->text();
    order.texts = {txtNOMBRE->text(), txtDIRECCION->text(), txtRUC->text(), txtTELEFONO->text(), txtCONTACTO->text(),
        txtEMAIL->text(), txtFORMA_DE_ENVIO->text(), txtFORMA_DE_PAGO->text(), txtOBSERVACIONES->text()};
    for (int row = 1; row < gridCompras->rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < gridCompras->cols(); ++col)
            cells.append(gridCompras->text(row, col));
        order.lines.append(cells);
    }

    OrderConfirmation confirmation(acnDataBase(), Dialogs::current(), rsacmCLIENTES);
    // The line being stored shows selected, from its last column back to its first.
    confirmation.setLineStarting([this](int row) {
        gridCompras->setRow(row);
        gridCompras->setCol(gridCompras->cols() - 1);
        gridCompras->setColSel(0);
    });
    const bool stored = confirmation.confirm(order).stored();
    m_confirming = false;
    if (!stored)
        return;
    InicioVars();
    showUnsentOrders();
    Check_COD_ART->setFocus(Qt::OtherFocusReason);
}

void frmMenu::openCustomers()
{
    rsacmCLIENTES = new CustomerCursor(acnDataBase(), this);
    m_customerFields = {{txtNOMBRE, CustomerCursor::Field::Nombre}, {txtDIRECCION, CustomerCursor::Field::Direccion},
        {txtRUC, CustomerCursor::Field::Ruc}, {txtTELEFONO, CustomerCursor::Field::Telefono},
        {txtCONTACTO, CustomerCursor::Field::Contacto}, {txtEMAIL, CustomerCursor::Field::Email}};
    // Typing is a pending change of the current record; the cursor's changes show at once.
    for (const auto &[box, field] : m_customerFields) {
        connect(box, &QLineEdit::textEdited, this,
            [this, field = field](const QString &text) { rsacmCLIENTES->setValue(field, text); });
    }
    connect(rsacmCLIENTES, &CustomerCursor::currentChanged, this, &frmMenu::showCustomer);
    if (MaybeError error = rsacmCLIENTES->open()) {
        // Without its customers the desk still takes orders; the salesperson is told why.
        Dialogs::current().message(error->description, MessageTitles::error(error->number), Dialogs::Critical);
    }
}

void frmMenu::showCustomer()
{
    for (const auto &[box, field] : m_customerFields) {
        const QString value = rsacmCLIENTES->value(field);
        if (box->text() != value)
            setFieldText(box, value);
    }
}

void frmMenu::lblAnterior_Click()
{
    CustomerRecords::anterior(*rsacmCLIENTES, Dialogs::current());
}

void frmMenu::lblSiguiente_Click()
{
    CustomerRecords::siguiente(*rsacmCLIENTES, Dialogs::current());
}

void frmMenu::lblCliente_NUEVO_Click()
{
    CustomerRecords::nuevo(*rsacmCLIENTES);
    for (QLineEdit *box : {txtNOMBRE, txtDIRECCION, txtRUC, txtCONTACTO, txtTELEFONO, txtEMAIL})
        box->clear();
    txtNOMBRE->setFocus(Qt::OtherFocusReason);
}

void frmMenu::lblCliente_CANCELAR_Click()
{
    CustomerRecords::cancelar(*rsacmCLIENTES);
}

void frmMenu::lblCliente_Click()
{
    if (!CustomerRecords::mayLeaveForSearch(*rsacmCLIENTES, Dialogs::current()))
        return;
    auto *search = new frmBuscarCliente(acnDataBase(), this);
    search->setAttribute(Qt::WA_DeleteOnClose);
    connect(search, &QDialog::accepted, this, [this, search] {
        if (!CustomerRecords::pick(*rsacmCLIENTES, search->pickedId()))
            return;
        // The order goes on from the customer picked, as Enter would take it on from there. The
        // desk is not active yet, so the box left hears of it here, and its rules run as for any
        // move; one that refuses takes the focus back.
        QWidget *left = focusWidget();
        txtFORMA_DE_ENVIO->setFocus(Qt::OtherFocusReason);
        if (left && left != txtFORMA_DE_ENVIO && !isActiveWindow()) {
            QFocusEvent leaving(QEvent::FocusOut, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(left, &leaving);
        }
    });
    search->open();
}

void frmMenu::cmdInternet_Click()
{
    Dialogs::current().message(
        QStringLiteral("Módulo avanzado de conexión a internet"), QString(), Dialogs::NoIcon, Dialogs::Ok);
}
