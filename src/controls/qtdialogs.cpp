#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

Dialogs::Button QtDialogs::showMessage(const Message &box)
{
    QMessageBox messageBox(QMessageBox::Icon(box.icon), box.title, box.text,
        QMessageBox::StandardButtons(box.buttons.toInt()), QApplication::activeWindow());
    if (box.defaultButton != NoButton)
        messageBox.setDefaultButton(QMessageBox::StandardButton(box.defaultButton));
    return Button(messageBox.exec());
}

QString QtDialogs::showInput(const Input &box)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(box.title);
    dialog.setLabelText(box.prompt);
    dialog.setTextValue(box.proposed);
    dialog.setInputMode(QInputDialog::TextInput);
    if (box.secret)
        dialog.setTextEchoMode(QLineEdit::Password);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString QtDialogs::showOpenFile(const OpenFile &dialog)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), dialog.title, dialog.folder, dialog.filter);
}

QString QtDialogs::showSaveFile(const SaveFile &dialog)
{
    QFileDialog fileDialog(QApplication::activeWindow(), dialog.title, dialog.proposed, dialog.filter);
    fileDialog.setAcceptMode(QFileDialog::AcceptSave);
    fileDialog.setFileMode(QFileDialog::AnyFile);
    fileDialog.setDefaultSuffix(dialog.suffix);
    // The caller asks before replacing what must not be lost; one question is enough.
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return {};
    return fileDialog.selectedFiles().constFirst();
}
