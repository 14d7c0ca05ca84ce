// File translation of the main window: the menu command and the step of
// the command-line mode.  The work is done by Verarov::Translate.
#include "app/unit1.h"

#include "app/desktop.h"
#include "app/errorbox.h"
#include "app/waitcursor.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace Verarov::App {

namespace {

// How long a translation runs before its progress is shown.
constexpr qint64 kProgressDelayMs = 500;

} // namespace

void TForm1::TraduireClick()
{
    Verarov::App::guarded(this, [&] {
        // A typed name need not exist: translating it reports the missing file.
        const QString file = Verarov::App::desktop().chooseFile(this);
        if (!file.isEmpty())
            traduire_fichier(file);
    });
}

// Translates the file and opens the result in the desktop's application for
// it; a failure is thrown as an Error for the caller's guard, with the
// cursor restored and both files closed.
void TForm1::traduire_fichier(const QString &fileName)
{
    const Verarov::App::WaitCursor wait;
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> progress;
    const auto showProgress = [&](qint64 done, qint64 total) {
        if (!progress) {
            if (clock.elapsed() < kProgressDelayMs)
                return;
            progress = Verarov::App::progressDialog(this, QFileInfo(fileName).fileName());
            progress->setCancelButton(nullptr);
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(0);
            progress->setAutoReset(false);
            progress->setRange(0, total > 0 ? 1000 : 0);
        }
        // A modal progress dialog repaints itself on each new value.
        progress->setValue(total > 0 ? int(qMin<qint64>(1000, done * 1000 / total)) : 0);
    };

    const Verarov::Translate::Outcome outcome =
            m_translator.translate(m_dictionary, fileName, showProgress);
    progress.reset();
    if (!outcome.ok())
        throw Verarov::App::Error(outcome.error);
    Verarov::App::desktop().openUrl(
            QUrl::fromLocalFile(QFileInfo(outcome.output).absoluteFilePath()));
}

} // namespace Verarov::App
