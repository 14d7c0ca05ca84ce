#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace Verarov::App {

// The program's title: window caption and caption of the error box.
QString applicationTitle();

// A failure a handler reports to the user, with its French message.
class Error : public std::exception
{
public:
    explicit Error(QString message) : m_message(std::move(message)) { }
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "Verarov::App::Error"; }

private:
    QString m_message;
};

// Shows the standard error box: the message with its full stop, the
// application title as caption, an error icon and an OK button.
void showError(QWidget *parent, const QString &message);

// A progress dialog with the application title as caption and text, as
// written, above its bar.
std::unique_ptr<QProgressDialog> progressDialog(QWidget *parent, const QString &text);

// Where error boxes go; tests replace the box by a recorder.  Pass an empty
// function to restore the box.
using ErrorSink = std::function<void(QWidget *parent, const QString &message)>;
void setErrorSink(ErrorSink sink);

// Runs a handler body; an Error (or any exception) it throws is shown in
// the standard error box and the program goes on.  Returns false when the
// body failed.  No exception leaves a slot.
bool guarded(QWidget *parent, const std::function<void()> &body);

} // namespace Verarov::App
