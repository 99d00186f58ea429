#pragma once

class QDialog;
class QString;
class QVBoxLayout;

// The parts the small question dialogs share.
namespace DialogParts {

// The dialog's layout, opened by the question picture (imgQuestion) beside the message
// (lblMessage).
QVBoxLayout* questionLayout(QDialog* dialog, const QString& message);

} // namespace DialogParts
