#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>

QMessageBox::StandardButton QtDialogs::showMessage(const Message &box)
{
    QMessageBox messageBox(box.icon, box.title, box.text, box.buttons, QApplication::activeWindow());
    if (box.defaultButton != QMessageBox::NoButton)
        messageBox.setDefaultButton(box.defaultButton);
    return QMessageBox::StandardButton(messageBox.exec());
}

QString QtDialogs::showInput(const Input &box)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(box.title);
    dialog.setLabelText(box.prompt);
    dialog.setTextValue(box.proposed);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString QtDialogs::showOpenFile(const OpenFile &dialog)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), dialog.title, dialog.folder, dialog.filter);
}
