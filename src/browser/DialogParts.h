#pragma once

class QDialog;
class QString;
class QVBoxLayout;

// The parts the small question dialogs share.
namespace DialogParts {

// The dialog's layout, opened by the question picture (imgQuestion) beside the message
// (lblMessage).
QVBoxLayout* questionLayout(QDialog* dialog, const QString& message);

// The OK (cmdOK, the default button) and Cancel (cmdCancel) row closing a question form: OK clears
// cancelled and accepts, Cancel rejects.
void addOkCancel(QDialog* dialog, QVBoxLayout* layout, const QString& okText, const QString& cancelText,
                 bool& cancelled);

} // namespace DialogParts
