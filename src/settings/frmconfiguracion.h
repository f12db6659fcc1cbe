#pragma once

#include "settingseditor.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The settings window behind the desk's "Configuración" tool: the company's settings row, the
// article list's format and the company server this laptop sends to. The rules live in SettingsEditor.
class frmConfiguracion : public QDialog
{
    Q_OBJECT

public:
    explicit frmConfiguracion(QWidget *parent = nullptr);

    // A fresh window, shown modally; true when the settings were stored.
    static bool showModal(QWidget *parent);

private:
    void Form_Load();
    SettingsEditor::Typed typed() const;
    void showDefaultLogin();
    void cmdProbar_Click();
    void cmdAceptar_Click();

    QLineEdit *txtEmpresa = nullptr;
    QLineEdit *txtVendedor = nullptr;
    QLineEdit *txtUltimoPedido = nullptr;
    QComboBox *cboFormatoLista = nullptr;
    QLineEdit *txtServidor = nullptr;
    QLineEdit *txtPuerto = nullptr;
    QLineEdit *txtBaseDeDatos = nullptr;
    QLineEdit *txtCodigoVendedor = nullptr;
    QLineEdit *txtUsuario = nullptr;
    QComboBox *cboModoTls = nullptr;
    QPushButton *cmdProbar = nullptr;
    QPushButton *cmdAceptar = nullptr;
    QPushButton *cmdCancelar = nullptr;
};
