// The desk's controls, where they stand and how they look. Positions are in twips.

#include "frmmenu.h"

#include "base/version.h"
#include "controls/clickablelabel.h"
#include "controls/focuspicturebutton.h"
#include "desklook.h"
#include "textgrid.h"
#include "twips.h"
#include "whiteframe.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int clientWidth = 11910;
constexpr int clientHeight = 8520;
constexpr int headingHeight = 210;
const QColor greyBox(0xd4, 0xd8, 0xdd);

// A caption above a field may reach beyond the field's width where nothing stands beside it.
void widenToText(QLabel *label)
{
    label->resize(qMax(label->width(), label->sizeHint().width()), label->height());
}

} // namespace

QRect frmMenu::twips(int left, int top, int width, int height) const
{
    return Twips::toPixels(QRect(left, top, width, height), logicalDpiX(), logicalDpiY());
}

QLabel *frmMenu::addLabel(QWidget *parent, const QString &name, const QString &text, QRect twipsRect, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(DeskLook::font(8, bold));
    label->setGeometry(twips(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    return label;
}

QLabel *frmMenu::addHeading(QWidget *parent, const QString &name, const QString &text, int left, int top, bool bold)
{
    QLabel *label = addLabel(parent, name, text, QRect(left, top, 0, headingHeight), bold);
    label->resize(label->sizeHint().width(), label->height());
    return label;
}

QLineEdit *frmMenu::addTextBox(QWidget *parent, const QString &name, QRect twipsRect)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFont(DeskLook::font());
    box->setTextMargins(1, 0, 1, 0);
    box->setGeometry(twips(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    return box;
}

ClickableLabel *frmMenu::addTool(const QString &labelName, const QString &caption, int labelLeft,
    const QString &iconName, const QString &icon, int iconLeft, int segmentStart, int segmentEnd)
{
    auto *label = new ClickableLabel(caption, this);
    label->setObjectName(labelName);
    label->setFont(DeskLook::font(7));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *picture = new ClickableLabel(this);
    picture->setObjectName(iconName);
    picture->setToolTip(QString(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')));

    // The caption stands left of its icon, wrapped at its spaces. Where the two do not fit
    // side by side the icon moves right, and if the tool's space ends first, the caption
    // moves left and then takes smaller type, so that no caption is cut or covered.
    label->setWordWrap(true);
    const int margin = 3;
    const QRect iconRect = twips(iconLeft, 240, 480, 480);
    const int start = twips(segmentStart, 0, 0, 0).x() + margin;
    const int end = twips(segmentEnd, 0, 0, 0).x() - margin;
    QString widest;
    for (const QString &word : QString(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')).split(QLatin1Char(' '))) {
        if (label->fontMetrics().horizontalAdvance(word) > label->fontMetrics().horizontalAdvance(widest))
            widest = word;
    }
    const int room = end - start - iconRect.width() - margin;
    QFont font = label->font();
    font.setPointSizeF(DeskLook::fittingPointSize(font, widest, room - 2));
    label->setFont(font);
    const int textWidth = label->fontMetrics().horizontalAdvance(widest) + 2;
    int left = twips(labelLeft, 0, 0, 0).x();
    int iconX = qMax(iconRect.x(), left + textWidth + margin);
    if (iconX + iconRect.width() > end)
        iconX = end - iconRect.width();
    left = qMax(start, qMin(left, iconX - margin - textWidth));
    const QRect labelRect = twips(labelLeft, 75, 0, 495);
    label->setGeometry(left, labelRect.y(), iconX - margin - left, labelRect.height());
    picture->setGeometry(iconX, iconRect.y(), iconRect.width(), iconRect.height());
    picture->setPixmap(DeskLook::icon(icon, iconRect.size(), devicePixelRatioF()));
    return picture;
}

void frmMenu::buildControls()
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Recorvanes - Menú Principal"));
    setFont(DeskLook::font());
    setFixedSize(twips(0, 0, clientWidth, clientHeight).size());
    buildTopBand();
    buildSearch();
    buildLine();
    buildCustomer();
    buildOrder();
    buildBottomBand();
    setTabOrder();
}

void frmMenu::buildTopBand()
{
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setProperty("index", 0);
    image->setGeometry(twips(240, 240, 480, 480));
    image->setPixmap(DeskLook::icon(QStringLiteral("desk"), image->size(), devicePixelRatioF()));

    lblEmpresa = addLabel(this, QStringLiteral("lblEmpresa"), QString(), QRect(240, 75, 2295, 375), true);
    lblEmpresa->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblRecorvan = addLabel(this, QStringLiteral("lblRecorvan"), QString(), QRect(720, 360, 1695, 375));
    lblRecorvan->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    cmdImportar = addTool(QStringLiteral("lblImportar"), QStringLiteral("Transferencia\nImportar"), 2880,
        QStringLiteral("cmdImportar"), QStringLiteral("importar"), 3720, 2640, 4440);
    lblImportar = findChild<ClickableLabel *>(QStringLiteral("lblImportar"));
    cmdExportar = addTool(QStringLiteral("lblExportar"), QStringLiteral("Transferencia\nExportar"), 4560,
        QStringLiteral("cmdExportar"), QStringLiteral("exportar"), 5400, 4320, 6120);
    lblExportar = findChild<ClickableLabel *>(QStringLiteral("lblExportar"));
    cmdImprimir = addTool(QStringLiteral("lblImprimir"), QStringLiteral("Impresión\nPedido"), 6360,
        QStringLiteral("cmdImprimir"), QStringLiteral("imprimir"), 6960, 6120, 7680);
    lblImprimir = findChild<ClickableLabel *>(QStringLiteral("lblImprimir"));
    cmdInternet = addTool(QStringLiteral("lblInternet"), QStringLiteral("Sitio Web"), 7920,
        QStringLiteral("cmdInternet"), QStringLiteral("internet"), 8040, 7680, 8880);
    lblInternet = findChild<ClickableLabel *>(QStringLiteral("lblInternet"));
    cmdSetup = addTool(QStringLiteral("lblSetup"), QStringLiteral("Configuración"), 9000, QStringLiteral("cmdSetup"),
        QStringLiteral("setup"), 9360, 8880, 10320);
    lblSetup = findChild<ClickableLabel *>(QStringLiteral("lblSetup"));
    cmdAcercaDe = addTool(QStringLiteral("lblAcercaDe"), QStringLiteral("Acerca de..."), 10560,
        QStringLiteral("cmdAcercaDe"), QStringLiteral("acercade"), 11040, 10320, clientWidth);
    lblAcercaDe = findChild<ClickableLabel *>(QStringLiteral("lblAcercaDe"));

    const int lineLefts[] = {2640, 6120, 7680, 8880, 10320};
    for (int index = 0; index < 5; ++index) {
        auto *line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line1"));
        line->setProperty("index", index);
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, QColor(0x9a, 0xa3, 0xad));
        line->setPalette(palette);
        const QRect rect = twips(lineLefts[index], 120, 0, 480);
        line->setGeometry(rect.x(), rect.y(), 1, rect.height());
    }
}

void frmMenu::buildSearch()
{
    addHeading(this, QStringLiteral("lblCONSULTA"), QStringLiteral("CONSULTA"), 480, 840, true);
    addHeading(this, QStringLiteral("lblBuscar"), QStringLiteral("Buscar..."), 480, 1170, true);

    const auto addCheck = [this](const QString &name, const QString &text, QRect rect) {
        auto *check = new QCheckBox(text, this);
        check->setObjectName(name);
        check->setFont(DeskLook::font());
        check->setGeometry(twips(rect.x(), rect.y(), rect.width(), rect.height()));
        return check;
    };
    Check_COD_ART = addCheck(QStringLiteral("Check_COD_ART"), QStringLiteral("Código"), QRect(480, 1560, 975, 255));
    txtBuscar_COD_ART = addTextBox(this, QStringLiteral("txtBuscar_COD_ART"), QRect(1920, 1560, 1575, 285));
    Check_COD_PROPIO
        = addCheck(QStringLiteral("Check_COD_PROPIO"), QStringLiteral("Cód.Fábrica"), QRect(480, 1920, 1335, 255));
    txtBuscar_COD_PROPIO = addTextBox(this, QStringLiteral("txtBuscar_COD_PROPIO"), QRect(1920, 1920, 1575, 285));
    Check_DESCRIPCION
        = addCheck(QStringLiteral("Check_DESCRIPCION"), QStringLiteral("Descripción"), QRect(480, 2280, 1335, 255));
    txtBuscar_DESCRIPCION = addTextBox(this, QStringLiteral("txtBuscar_DESCRIPCION"), QRect(1920, 2280, 5175, 285));
    for (QLineEdit *box : {txtBuscar_COD_ART, txtBuscar_COD_PROPIO, txtBuscar_DESCRIPCION})
        box->setEnabled(false);

    cmdBuscar = new FocusPictureButton(this);
    cmdBuscar->setObjectName(QStringLiteral("cmdBuscar"));
    cmdBuscar->setFont(DeskLook::font(7));
    cmdBuscar->setGeometry(twips(6360, 1170, 735, 210));
    cmdBuscar->setPicture(DeskLook::icon(QStringLiteral("buscar"), QSize(11, 11), devicePixelRatioF()));
    cmdBuscar->setCaption(QStringLiteral("Buscar"));

    addHeading(this, QStringLiteral("lblEncontrados"), QStringLiteral("Encontrados..."), 480, 2840, true);
    gridEncontrados = new TextGrid(this);
    gridEncontrados->setObjectName(QStringLiteral("gridEncontrados"));
    gridEncontrados->setFont(DeskLook::font());
    gridEncontrados->setHeadingFont(DeskLook::font(7));
    gridEncontrados->setGeometry(twips(480, 3240, 6855, 2055));
    addLabel(this, QStringLiteral("lblAyuda"),
        QStringLiteral("Para seleccionar un artículo haga doble 'clic' sobre él. // Todos los valores están en Pesos."),
        QRect(480, 5350, 6975, 255));
    DeskLook::fitLabel(findChild<QLabel *>(QStringLiteral("lblAyuda")));
    addHeading(this, QStringLiteral("lblComprar"), QStringLiteral("Comprar..."), 480, 5760, true);
}

void frmMenu::buildLine()
{
    FrameCompra = new WhiteFrame(this);
    FrameCompra->setObjectName(QStringLiteral("FrameCompra"));
    FrameCompra->setGeometry(twips(360, 6020, 6975, 1200));

    const auto headed = [this](const QString &name, const QString &heading, QRect rect) {
        addLabel(FrameCompra, name + QStringLiteral("_Titulo"), heading,
            QRect(rect.x(), rect.y() - headingHeight, rect.width(), headingHeight));
        return addTextBox(FrameCompra, name, rect);
    };
    txtCOD_ART = headed(QStringLiteral("txtCOD_ART"), QStringLiteral("Código"), QRect(120, 300, 1095, 285));
    txtDESCRIPCION
        = headed(QStringLiteral("txtDESCRIPCION"), QStringLiteral("Descripción"), QRect(1200, 300, 3135, 285));
    txtCANTIDAD = headed(QStringLiteral("txtCANTIDAD"), QStringLiteral("Can"), QRect(4320, 300, 375, 285));
    txtCANTIDAD->setAlignment(Qt::AlignRight);
    // The narrowest box: its own margins go, and its type shrinks further than a label's, so
    // that a quantity of four digits still shows whole.
    txtCANTIDAD->setTextMargins(0, 0, 0, 0);
    DeskLook::keepTextFitted(txtCANTIDAD, DeskLook::font(), 5.5);
    txtP_UNITARIO = headed(QStringLiteral("txtP_UNITARIO"), QStringLiteral("P.Unitario"), QRect(4680, 300, 1095, 285));
    txtP_UNITARIO->setAlignment(Qt::AlignRight);
    txtDETALLES
        = headed(QStringLiteral("txtDETALLES"), QStringLiteral("Detalles de esta compra"), QRect(120, 840, 4575, 285));

    const auto greyLabel = [this](const QString &name, const QString &heading, QRect rect) {
        widenToText(addLabel(FrameCompra, name + QStringLiteral("_Titulo"), heading,
            QRect(rect.x(), rect.y() - headingHeight, rect.width(), headingHeight)));
        QLabel *label = addLabel(FrameCompra, name, QString(), rect);
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, greyBox);
        label->setPalette(palette);
        label->setContentsMargins(3, 0, 3, 0);
        return label;
    };
    lblTOTAL = greyLabel(QStringLiteral("lblTOTAL"), QStringLiteral("Total"), QRect(5760, 300, 1095, 285));
    lblTOTAL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCOD_PROPIO
        = greyLabel(QStringLiteral("lblCOD_PROPIO"), QStringLiteral("Cód.de Fábrica"), QRect(4680, 840, 1095, 285));
    lblCOD_PROPIO->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    cmdGuardar = new FocusPictureButton(FrameCompra);
    cmdGuardar->setObjectName(QStringLiteral("cmdGuardar"));
    cmdGuardar->setFont(DeskLook::font(7));
    cmdGuardar->setGeometry(twips(6120, 840, 735, 255));
    cmdGuardar->setPicture(DeskLook::icon(QStringLiteral("agregar"), QSize(11, 11), devicePixelRatioF()));
    cmdGuardar->setCaption(QStringLiteral("Agregar"));
}

void frmMenu::buildCustomer()
{
    addHeading(this, QStringLiteral("lblORDEN"), QStringLiteral("ORDEN #"), 7920, 840, true);
    lblNRO_PEDIDO
        = addLabel(this, QStringLiteral("lblNRO_PEDIDO"), QString(), QRect(8880, 840, 1500, headingHeight), true);
    // The heading opens the customer search; it looks and stands as the other headings do.
    lblCliente = new ClickableLabel(QStringLiteral("Cliente..."), this);
    lblCliente->setObjectName(QStringLiteral("lblCliente"));
    lblCliente->setFont(DeskLook::font(8, true));
    lblCliente->setToolTip(QStringLiteral("Buscar cliente (F3)"));
    const QRect heading = twips(7920, 1170, 0, headingHeight);
    lblCliente->setGeometry(heading.x(), heading.y(), lblCliente->sizeHint().width(), heading.height());
    const auto link = [this](QWidget *parent, const QString &name, const QString &text, int left, int top) {
        auto *label = new ClickableLabel(text, parent);
        label->setObjectName(name);
        QFont font = DeskLook::font();
        font.setUnderline(true);
        label->setFont(font);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, DeskLook::accent());
        label->setPalette(palette);
        const QRect rect = twips(left, top, 0, headingHeight);
        label->setGeometry(rect.x(), rect.y(), label->sizeHint().width(), rect.height());
        return label;
    };
    lblAnterior = link(this, QStringLiteral("lblAnterior"), QStringLiteral("< Anterior"), 9120, 1170);
    lblSiguiente = link(this, QStringLiteral("lblSiguiente"), QStringLiteral("Siguiente >"), 10200, 1170);

    Frame1 = new WhiteFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(7800, 1440, 3615, 2415));
    const auto field = [this](const QString &name, const QString &caption, QRect rect) {
        addLabel(Frame1, name + QStringLiteral("_Titulo"), caption,
            QRect(rect.x(), rect.y() - headingHeight, rect.width(), headingHeight));
        return addTextBox(Frame1, name, rect);
    };
    txtNOMBRE = field(QStringLiteral("txtNOMBRE"), QStringLiteral("Nombre"), QRect(120, 420, 3375, 285));
    txtDIRECCION = field(QStringLiteral("txtDIRECCION"), QStringLiteral("Direccion"), QRect(120, 915, 3375, 285));
    txtRUC = field(QStringLiteral("txtRUC"), QStringLiteral("RUC."), QRect(120, 1425, 1455, 285));
    txtCONTACTO = field(QStringLiteral("txtCONTACTO"), QStringLiteral("Contacto"), QRect(1680, 1425, 1815, 285));
    txtTELEFONO = field(QStringLiteral("txtTELEFONO"), QStringLiteral("Teléfono"), QRect(120, 1920, 855, 285));
    txtEMAIL = field(QStringLiteral("txtEMAIL"), QStringLiteral("Correo Electrónico"), QRect(1080, 1920, 2415, 285));
    lblCliente_NUEVO = link(Frame1, QStringLiteral("lblCliente_NUEVO"), QStringLiteral("Nuevo"), 2040, 120);
    lblCliente_CANCELAR = link(Frame1, QStringLiteral("lblCliente_CANCELAR"), QStringLiteral("Cancelar"), 2760, 120);
}

void frmMenu::buildOrder()
{
    FramePedido = new WhiteFrame(this);
    FramePedido->setObjectName(QStringLiteral("FramePedido"));
    FramePedido->setGeometry(twips(7800, 3720, 3615, 4455));
    // The customer frame's lower edge runs under this one; this one is drawn over it.
    FramePedido->raise();

    gridCompras = new TextGrid(FramePedido);
    gridCompras->setObjectName(QStringLiteral("gridCompras"));
    gridCompras->setFont(DeskLook::font());
    gridCompras->setHeadingFont(DeskLook::font(7));
    gridCompras->setGeometry(twips(120, 40, 3375, 1815));

    lblELIMINAR = new ClickableLabel(QStringLiteral("Eliminar"), FramePedido);
    lblELIMINAR->setObjectName(QStringLiteral("lblELIMINAR"));
    QFont link = DeskLook::font();
    link.setUnderline(true);
    lblELIMINAR->setFont(link);
    lblELIMINAR->setGeometry(twips(120, 1920, 615, 255));
    widenToText(lblELIMINAR);

    addLabel(FramePedido, QStringLiteral("lblItems"), QStringLiteral("Items:"), QRect(1440, 1920, 600, 255));
    lblTOTALItems = addLabel(FramePedido, QStringLiteral("lblTOTALItems"), QString(), QRect(2040, 1920, 480, 255));
    addLabel(FramePedido, QStringLiteral("lblTCTitulo"), QStringLiteral("T.C."), QRect(2520, 1920, 360, 255));
    lblTC = new ClickableLabel(QStringLiteral("0,00"), FramePedido);
    lblTC->setObjectName(QStringLiteral("lblTC"));
    lblTC->setFont(link);
    lblTC->setToolTip(QStringLiteral("Tipo de Cambio"));
    lblTC->setGeometry(twips(2880, 1920, 615, 255));
    DeskLook::fitLabel(addLabel(FramePedido, QStringLiteral("lblTOTALOrdenTitulo"), QStringLiteral("TOTAL orden:"),
        QRect(1440, 2160, 1080, 255)));
    lblTOTALOrden
        = addLabel(FramePedido, QStringLiteral("lblTOTALOrden"), QString(), QRect(2520, 2160, 975, 255), true);
    // Right-aligned, so that the figure keeps clear of its caption.
    lblTOTALOrden->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const auto field = [this](const QString &name, const QString &caption, int captionTop, QRect rect) {
        addLabel(FramePedido, name + QStringLiteral("_Titulo"), caption,
            QRect(rect.x(), captionTop, rect.width(), rect.y() - captionTop));
        return addTextBox(FramePedido, name, rect);
    };
    txtFORMA_DE_ENVIO = field(
        QStringLiteral("txtFORMA_DE_ENVIO"), QStringLiteral("Forma de Envío"), 2520, QRect(120, 2715, 3375, 270));
    txtFORMA_DE_PAGO
        = field(QStringLiteral("txtFORMA_DE_PAGO"), QStringLiteral("Forma de Pago"), 3015, QRect(120, 3225, 3375, 270));
    txtOBSERVACIONES = field(QStringLiteral("txtOBSERVACIONES"), QStringLiteral("Observaciones del pedido"), 3525,
        QRect(120, 3720, 3375, 270));
    lblFECHA = addLabel(FramePedido, QStringLiteral("lblFECHA"), QString(), QRect(120, 4200, 975, 255));

    cmdGuardar_Orden = new FocusPictureButton(FramePedido);
    cmdGuardar_Orden->setObjectName(QStringLiteral("cmdGuardar_Orden"));
    cmdGuardar_Orden->setFont(DeskLook::font(8, true));
    cmdGuardar_Orden->setGeometry(twips(1200, 4080, 2295, 375));
    cmdGuardar_Orden->setPicture(DeskLook::icon(QStringLiteral("guardar"), QSize(18, 18), devicePixelRatioF()));
    cmdGuardar_Orden->setCaption(QStringLiteral("Guardar Orden"));
}

void frmMenu::buildBottomBand()
{
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setProperty("index", 1);
    image->setGeometry(twips(240, 7680, 480, 480));
    image->setPixmap(DeskLook::icon(QStringLiteral("desk"), image->size(), devicePixelRatioF()));

    lblProducto = addLabel(this, QStringLiteral("lblProducto"), QString(), QRect(720, 7680, 2190, 345));
    lblProducto->setFont(DeskLook::font(13, true));
    lblProducto->setText(productLine());
    DeskLook::fitLabel(lblProducto);
    QLabel *beta = addHeading(this, QStringLiteral("lblBeta"), QStringLiteral("Beta"), 3120, 7800, true);
    QPalette palette = beta->palette();
    palette.setColor(QPalette::WindowText, QColor(0xc0, 0x1c, 0x1c));
    beta->setPalette(palette);
    lblKelvax = addLabel(this, QStringLiteral("lblKelvax"),
        QStringLiteral("Kelvax Sistemas · Software para la venta en la calle"), QRect(600, 8040, 5775, 255));
    lblKelvax->setFont(DeskLook::font(7));
    DeskLook::fitLabel(lblKelvax);

    lblSinEnviar = addLabel(this, QStringLiteral("lblSinEnviar"), QString(), QRect(3840, 7740, 3840, 300), true);
    lblSinEnviar->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblSinEnviar->hide();
}

void frmMenu::setTabOrder()
{
    const QList<QWidget *> order = {Check_COD_ART, txtBuscar_COD_ART, Check_COD_PROPIO, txtBuscar_COD_PROPIO,
        Check_DESCRIPCION, txtBuscar_DESCRIPCION, cmdBuscar, gridEncontrados, txtCOD_ART, txtDESCRIPCION, txtCANTIDAD,
        txtP_UNITARIO, txtDETALLES, cmdGuardar, txtNOMBRE, txtDIRECCION, txtRUC, txtCONTACTO, txtTELEFONO, txtEMAIL,
        gridCompras, txtFORMA_DE_ENVIO, txtFORMA_DE_PAGO, txtOBSERVACIONES, cmdGuardar_Orden};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}
