#pragma once

#include <QDialog>
#include <QVariant>

class Connection;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// "Buscar cliente": one text box over the customers holding every word typed (CustomerSearch),
// a screenful at a time. Up and Down move in the list, Enter or a double click picks, Escape or
// closing leaves. Without any customer it says so and closes on any key.
class frmBuscarCliente : public QDialog
{
    Q_OBJECT

public:
    explicit frmBuscarCliente(Connection &connection, QWidget *parent = nullptr);

    // The customers listed at once; the others are counted.
    static constexpr int screenful = 15;
    static QString moreText(qint64 more);

    // CLIENTES.ID of the customer picked; null unless the window was accepted.
    QVariant pickedId() const { return m_picked; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void txtBuscar_Change();
    void pick(const QTreeWidgetItem *item);
    void moveInList(int rows);
    // The width the list's columns take with their texts, and the height of a screenful.
    QSize listSizeForScreenful() const;

    Connection &m_connection;
    QVariant m_picked;
    bool m_noCustomers = false;
    QLineEdit *txtBuscar = nullptr;
    QTreeWidget *lstClientes = nullptr;
    QLabel *lblMas = nullptr;
};
