#include "app/errorbox.h"

#include "dictionary/text.h"

#include <QDebug>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>

namespace Verarov::App {

using namespace Qt::StringLiterals;

namespace {
ErrorSink &sink()
{
    static ErrorSink s;
    return s;
}
} // namespace

QString applicationTitle()
{
    return u"Verarov - dictionnaire"_s;
}

void showError(QWidget *parent, const QString &message)
{
    const QString text = withFullStop(message);
    if (sink()) {
        sink()(parent, text);
        return;
    }
    // Also where a program started from a terminal is read, since a box may
    // go unseen (another desktop, a window behind others).
    qWarning().noquote() << text;
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parent);
    // Messages carry paths and dictionary text: shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

std::unique_ptr<QProgressDialog> progressDialog(QWidget *parent, const QString &text)
{
    auto progress = std::make_unique<QProgressDialog>(parent);
    progress->setObjectName(u"progression"_s);
    progress->setWindowTitle(applicationTitle());
    // A file name is shown as written, never as markup.
    auto *label = new QLabel(progress.get());
    label->setTextFormat(Qt::PlainText);
    progress->setLabel(label);
    progress->setLabelText(text);
    return progress;
}

void setErrorSink(ErrorSink s)
{
    sink() = std::move(s);
}

bool guarded(QWidget *parent, const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (const Error &e) {
        showError(parent, e.message());
    } catch (const std::exception &e) {
        showError(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace Verarov::App
