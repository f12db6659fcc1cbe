#include "qtdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A box shown while the program is busy (a wait cursor over the window) waits for the user: it
// shows the ordinary arrow, and the busy cursor comes back when it closes.
class ArrowWhileAsking
{
public:
    ArrowWhileAsking()
        : m_busy(QApplication::overrideCursor() != nullptr)
    {
        if (m_busy)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileAsking()
    {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }
    ArrowWhileAsking(const ArrowWhileAsking &) = delete;
    ArrowWhileAsking &operator=(const ArrowWhileAsking &) = delete;

private:
    bool m_busy;
};

} // namespace

Dialogs::Button QtDialogs::showMessage(const Message &box)
{
    const ArrowWhileAsking arrow;
    QMessageBox messageBox(QMessageBox::Icon(box.icon), box.title, box.text,
        QMessageBox::StandardButtons(box.buttons.toInt()), QApplication::activeWindow());
    if (box.defaultButton != NoButton)
        messageBox.setDefaultButton(QMessageBox::StandardButton(box.defaultButton));
    return Button(messageBox.exec());
}

QString QtDialogs::showInput(const Input &box)
{
    const ArrowWhileAsking arrow;
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
    const ArrowWhileAsking arrow;
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), dialog.title, dialog.folder, dialog.filter);
}

QString QtDialogs::showSaveFile(const SaveFile &dialog)
{
    const ArrowWhileAsking arrow;
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

int QtDialogs::showChoice(const Choice &box)
{
    const ArrowWhileAsking arrow;
    QMessageBox messageBox(
        QMessageBox::Icon(box.icon), box.title, box.text, QMessageBox::NoButton, QApplication::activeWindow());
    QList<QPushButton *> buttons;
    for (qsizetype i = 0; i < box.options.size(); ++i) {
        const QMessageBox::ButtonRole role = i == box.escapeOption ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        buttons << messageBox.addButton(box.options.at(i), role);
    }
    if (box.defaultOption >= 0 && box.defaultOption < buttons.size())
        messageBox.setDefaultButton(buttons.at(box.defaultOption));
    if (box.escapeOption >= 0 && box.escapeOption < buttons.size())
        messageBox.setEscapeButton(buttons.at(box.escapeOption));
    messageBox.exec();
    const int chosen = int(buttons.indexOf(qobject_cast<QPushButton *>(messageBox.clickedButton())));
    return chosen >= 0 ? chosen : box.escapeOption;
}

std::optional<QStringList> QtDialogs::showForm(const Form &box)
{
    const ArrowWhileAsking arrow;
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(box.title);
    auto *layout = new QVBoxLayout(&dialog);
    if (!box.text.isEmpty()) {
        auto *text = new QLabel(box.text, &dialog);
        text->setWordWrap(true);
        layout->addWidget(text);
    }
    auto *fields = new QFormLayout;
    QList<QLineEdit *> edits;
    for (const Form::Field &field : box.fields) {
        auto *edit = new QLineEdit(field.value, &dialog);
        edit->setMinimumWidth(280);
        fields->addRow(field.label, edit);
        edits << edit;
    }
    layout->addLayout(fields);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList values;
    for (const QLineEdit *edit : edits)
        values << edit->text();
    return values;
}
