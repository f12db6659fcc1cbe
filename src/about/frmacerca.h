#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About window: the product and version, the company the program is set up for and where
// its database is.
// Opened modally from the main window's "Acerca de..." tool.
class frmAcerca : public QDialog
{
    Q_OBJECT

public:
    explicit frmAcerca(QWidget *parent = nullptr);

private:
    void Form_Load();

    QLabel *imgKelvax = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *lblProducto = nullptr;
    QLabel *lblSistema = nullptr;
    QLabel *lblEmpresa = nullptr;
    QLabel *lblBaseDatos = nullptr;
    QPushButton *cmdAceptar = nullptr;
};
