#include "frmbuscarcliente.h"

#include "base/regional.h"
#include "data/customersearch.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QStringList headings
    = {QStringLiteral("Nombre"), QStringLiteral("RUC"), QStringLiteral("Contacto"), QStringLiteral("Teléfono")};

bool isModifierOnly(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr;
}

} // namespace

frmBuscarCliente::frmBuscarCliente(Connection &connection, QWidget *parent)
    : QDialog(parent)
    , m_connection(connection)
{
    setObjectName(QStringLiteral("frmBuscarCliente"));
    setWindowTitle(QStringLiteral("Buscar cliente"));
    setModal(true);

    auto *caption
        = new QLabel(QStringLiteral("Palabras del nombre, RUC, contacto, teléfono o correo electrónico:"), this);
    txtBuscar = new QLineEdit(this);
    txtBuscar->setObjectName(QStringLiteral("txtBuscar"));
    caption->setBuddy(txtBuscar);
    lstClientes = new QTreeWidget(this);
    lstClientes->setObjectName(QStringLiteral("lstClientes"));
    lstClientes->setHeaderLabels(headings);
    lstClientes->setRootIsDecorated(false);
    lstClientes->setUniformRowHeights(true);
    lstClientes->setAllColumnsShowFocus(true);
    lstClientes->setAlternatingRowColors(true);
    // The keys stay in the text box, which moves in the list for them; the mouse still picks.
    lstClientes->setFocusPolicy(Qt::NoFocus);
    lstClientes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstClientes->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstClientes->header()->setSectionsMovable(false);
    lblMas = new QLabel(this);
    lblMas->setObjectName(QStringLiteral("lblMas"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(txtBuscar);
    layout->addWidget(lstClientes);
    layout->addWidget(lblMas);

    txtBuscar->installEventFilter(this);
    installEventFilter(this);
    connect(txtBuscar, &QLineEdit::textChanged, this, &frmBuscarCliente::txtBuscar_Change);
    connect(lstClientes, &QTreeWidget::itemDoubleClicked, this, [this](const QTreeWidgetItem *item) { pick(item); });

    txtBuscar_Change();
    lstClientes->setMinimumSize(listSizeForScreenful());
    if (m_noCustomers) {
        caption->hide();
        txtBuscar->hide();
        lstClientes->hide();
        lblMas->setText(QStringLiteral("No hay clientes guardados. Pulse cualquier tecla para volver."));
        // Nothing left to type in: the window itself hears the key that closes it.
        setFocusPolicy(Qt::StrongFocus);
    }
    adjustSize();
}

QString frmBuscarCliente::moreText(qint64 more)
{
    return QStringLiteral("y %1 más: siga escribiendo").arg(Regional::plainInteger(more));
}

void frmBuscarCliente::txtBuscar_Change()
{
    CustomerSearch::Result found;
    if (MaybeError error = CustomerSearch::find(m_connection, txtBuscar->text(), screenful, found)) {
        lstClientes->clear();
        lblMas->setText(error->text());
        return;
    }
    if (txtBuscar->text().isEmpty() && found.total() == 0)
        m_noCustomers = true;
    QList<QTreeWidgetItem *> items;
    items.reserve(found.shown.size());
    for (const CustomerSearch::Found &customer : std::as_const(found.shown)) {
        auto *item
            = new QTreeWidgetItem(QStringList{customer.nombre, customer.ruc, customer.contacto, customer.telefono});
        item->setData(0, Qt::UserRole, customer.id);
        items.append(item);
    }
    lstClientes->clear();
    lstClientes->addTopLevelItems(items);
    // Enter picks the first match straight away; Down goes on from it.
    if (!items.isEmpty())
        lstClientes->setCurrentItem(items.first());
    if (found.more > 0)
        lblMas->setText(moreText(found.more));
    else if (found.shown.isEmpty())
        lblMas->setText(QStringLiteral("Ningún cliente tiene esas palabras."));
    else
        lblMas->clear();
}

void frmBuscarCliente::moveInList(int rows)
{
    const int count = lstClientes->topLevelItemCount();
    if (count == 0)
        return;
    const int current = lstClientes->indexOfTopLevelItem(lstClientes->currentItem());
    lstClientes->setCurrentItem(lstClientes->topLevelItem(std::clamp(current + rows, 0, count - 1)));
}

void frmBuscarCliente::pick(const QTreeWidgetItem *item)
{
    if (!item)
        return;
    m_picked = item->data(0, Qt::UserRole);
    accept();
}

bool frmBuscarCliente::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (m_noCustomers) {
        if (!isModifierOnly(key))
            reject();
        return true;
    }
    if (watched != txtBuscar)
        return QDialog::eventFilter(watched, event);
    switch (key) {
    case Qt::Key_Up:
        moveInList(-1);
        return true;
    case Qt::Key_Down:
        moveInList(1);
        return true;
    case Qt::Key_PageUp:
        moveInList(-screenful);
        return true;
    case Qt::Key_PageDown:
        moveInList(screenful);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick(lstClientes->currentItem());
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

QSize frmBuscarCliente::listSizeForScreenful() const
{
    // Wide enough for the first screenful's texts and the caption, never wider than the desk.
    QHeaderView *header = lstClientes->header();
    header->setStretchLastSection(false);
    header->resizeSections(QHeaderView::ResizeToContents);
    int width = header->length() + 2 * lstClientes->frameWidth();
    header->setStretchLastSection(true);
    width = qMax(width, fontMetrics().averageCharWidth() * 60);
    if (parentWidget())
        width = qMin(width, parentWidget()->width() - 40);
    const int row = lstClientes->topLevelItemCount() > 0 ? lstClientes->sizeHintForRow(0) : fontMetrics().height() + 6;
    const int height = header->sizeHint().height() + screenful * row + 2 * lstClientes->frameWidth();
    return {width, height};
}
