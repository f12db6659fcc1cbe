#pragma once

#include "articlesearch.h"
#include "data/customercursor.h"
#include "lineentry.h"

#include <QWidget>

class ClickableLabel;
class FocusPictureButton;
class KeyboardFlow;
class QCheckBox;
class QLabel;
class QLineEdit;
class TextGrid;
class WhiteFrame;

// The main window: the whole order-entry desk on one fixed screen. It holds the controls
// under their own names and forwards their events; the rules live in plain classes beside it
// (ArticleSearch, LineEntry, TypedCode, OrderTotals, ExchangeRate, CustomerRecords,
// OrderConfirmation) and in the store. Creating it loads it, which asks for the exchange rate;
// closing it tells whoever started the run, which then ends it.
class frmMenu : public QWidget
{
    Q_OBJECT

public:
    explicit frmMenu(QWidget *parent = nullptr);
    ~frmMenu() override;

    double tipoCambio() const { return dblTipoCambio; }

    // Resets the order in progress (lines, totals, line and search fields, number, date).
    void InicioVars();
    // The catalogue search of the three criteria into gridEncontrados.
    void LlenoRejilla();
    // Appends the line being composed to gridCompras and empties the line fields.
    void AgregoLinea();
    void MuestroTotales();
    void lblELIMINAR_Click();
    void lblTC_Click();
    // The order confirmation starts here when the focus arrives on cmdGuardar_Orden.
    void cmdGuardar_Orden_GotFocus();
    // Stores the order in progress and, once it is stored, starts the next one.
    void Confirmar_Orden();
    void lblAnterior_Click();
    void lblSiguiente_Click();
    void lblCliente_NUEVO_Click();
    void lblCliente_CANCELAR_Click();
    // F3 anywhere on the desk, or a click on the heading "Cliente...": the customer search.
    void lblCliente_Click();
    // The company and salesperson headings and the next order number, from the run's settings.
    void showCompanySettings();
    // "N órdenes sin enviar" in the bottom band while a company server is configured and
    // confirmed orders wait to be sent to it.
    void showUnsentOrders();

signals:
    // The tools that open other windows; whoever composes the program connects them.
    void importarRequested();
    void exportarRequested();
    void imprimirRequested(const QString &nroPedido, const QString &fecha);
    void acercaDeRequested();
    void configuracionRequested();
    // The window closed: whoever started the run closes the connection and ends it.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // frmmenulayout.cpp
    void buildControls();
    void buildTopBand();
    void buildSearch();
    void buildLine();
    void buildCustomer();
    void buildOrder();
    void buildBottomBand();
    void setTabOrder();
    QRect twips(int left, int top, int width, int height) const;
    QLabel *addLabel(QWidget *parent, const QString &name, const QString &text, QRect twipsRect, bool bold = false);
    QLabel *addHeading(QWidget *parent, const QString &name, const QString &text, int left, int top, bool bold);
    QLineEdit *addTextBox(QWidget *parent, const QString &name, QRect twipsRect);
    ClickableLabel *addTool(const QString &labelName, const QString &caption, int labelLeft, const QString &iconName,
        const QString &icon, int iconLeft, int segmentStart, int segmentEnd);

    // frmmenu.cpp
    void Form_Load();
    void Form_Unload();
    void askExchangeRate();
    SearchCriteria criteria() const;
    void switchCriterion(QCheckBox *check, QLineEdit *text);
    void gridEncontrados_DblClick(int row);
    void txtCANTIDAD_LostFocus();
    void txtP_UNITARIO_LostFocus();
    void showLeft(QLineEdit *box, const LineEntry::Left &left);
    // Tells why the quantity or the price cannot stand and puts the focus back in its box.
    void refuse(const LineEntry::Refusal &refusal, const QString &preface = {});
    void focusBack(QLineEdit *box);
    // Holds a code typed by hand against the catalogue: one that only looks like a catalogue
    // code becomes it, and one that is not there is added only when the salesperson says so.
    // False when the focus went back to the code box.
    bool acceptTypedCode();
    // A box the program fills shows the start of its text, as a typed one does.
    static void setFieldText(QLineEdit *box, const QString &text);
    void cmdInternet_Click();
    void resetComprasGrid();
    void resetEncontradosGrid();
    void openCustomers();
    // Shows the current customer record in the six bound fields.
    void showCustomer();

    double dblTipoCambio = 0;
    // The customers shown and edited through the six bound fields, open for the window's life.
    CustomerCursor *rsacmCLIENTES = nullptr;
    // Each customer field with the column it is bound to.
    QList<std::pair<QLineEdit *, CustomerCursor::Field>> m_customerFields;
    bool m_confirming = false;
    // The code not in the catalogue that the salesperson chose to add, until the line is added.
    QString m_acceptedUnknownCode;
    // The focus is being sent back to a refused box: the boxes it crosses run no rules.
    bool m_sendingFocusBack = false;
    // Escape (or Shift+Tab) from the first control wraps round to cmdGuardar_Orden; set for
    // that one focus change only.
    bool m_backFromFirst = false;
    KeyboardFlow *m_keyboardFlow = nullptr;

    // Top band
    QLabel *lblEmpresa = nullptr;
    QLabel *lblRecorvan = nullptr;
    ClickableLabel *lblImportar = nullptr;
    ClickableLabel *cmdImportar = nullptr;
    ClickableLabel *lblExportar = nullptr;
    ClickableLabel *cmdExportar = nullptr;
    ClickableLabel *lblImprimir = nullptr;
    ClickableLabel *cmdImprimir = nullptr;
    ClickableLabel *lblInternet = nullptr;
    ClickableLabel *cmdInternet = nullptr;
    ClickableLabel *lblSetup = nullptr;
    ClickableLabel *cmdSetup = nullptr;
    ClickableLabel *lblAcercaDe = nullptr;
    ClickableLabel *cmdAcercaDe = nullptr;

    // Search
    QCheckBox *Check_COD_ART = nullptr;
    QLineEdit *txtBuscar_COD_ART = nullptr;
    QCheckBox *Check_COD_PROPIO = nullptr;
    QLineEdit *txtBuscar_COD_PROPIO = nullptr;
    QCheckBox *Check_DESCRIPCION = nullptr;
    QLineEdit *txtBuscar_DESCRIPCION = nullptr;
    FocusPictureButton *cmdBuscar = nullptr;
    TextGrid *gridEncontrados = nullptr;

    // The line being composed
    WhiteFrame *FrameCompra = nullptr;
    QLineEdit *txtCOD_ART = nullptr;
    QLineEdit *txtDESCRIPCION = nullptr;
    QLineEdit *txtCANTIDAD = nullptr;
    QLineEdit *txtP_UNITARIO = nullptr;
    QLabel *lblTOTAL = nullptr;
    QLineEdit *txtDETALLES = nullptr;
    QLabel *lblCOD_PROPIO = nullptr;
    FocusPictureButton *cmdGuardar = nullptr;

    // Order number and customer
    QLabel *lblNRO_PEDIDO = nullptr;
    ClickableLabel *lblCliente = nullptr;
    ClickableLabel *lblAnterior = nullptr;
    ClickableLabel *lblSiguiente = nullptr;
    WhiteFrame *Frame1 = nullptr;
    QLineEdit *txtNOMBRE = nullptr;
    QLineEdit *txtDIRECCION = nullptr;
    QLineEdit *txtRUC = nullptr;
    QLineEdit *txtCONTACTO = nullptr;
    QLineEdit *txtTELEFONO = nullptr;
    QLineEdit *txtEMAIL = nullptr;
    ClickableLabel *lblCliente_NUEVO = nullptr;
    ClickableLabel *lblCliente_CANCELAR = nullptr;

    // The order in progress
    WhiteFrame *FramePedido = nullptr;
    TextGrid *gridCompras = nullptr;
    ClickableLabel *lblELIMINAR = nullptr;
    QLabel *lblTOTALItems = nullptr;
    ClickableLabel *lblTC = nullptr;
    QLabel *lblTOTALOrden = nullptr;
    QLineEdit *txtFORMA_DE_ENVIO = nullptr;
    QLineEdit *txtFORMA_DE_PAGO = nullptr;
    QLineEdit *txtOBSERVACIONES = nullptr;
    QLabel *lblFECHA = nullptr;
    FocusPictureButton *cmdGuardar_Orden = nullptr;

    // Bottom band
    QLabel *lblProducto = nullptr;
    QLabel *lblKelvax = nullptr;
    QLabel *lblSinEnviar = nullptr;
};
