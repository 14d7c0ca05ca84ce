#include "app/benchhooks.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace Verarov::App {

namespace {

long long steadyNanoseconds(std::chrono::steady_clock::duration d)
{
    return static_cast<long long>(std::chrono::nanoseconds(d).count());
}

void quitWhenShown()
{
    QTimer::singleShot(0, qApp, [] {
        std::printf("shown %lld\n",
                    steadyNanoseconds(std::chrono::steady_clock::now().time_since_epoch()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

void typeWhenShown(QWidget *window, const QString &request)
{
    QTimer::singleShot(0, qApp, [window = QPointer<QWidget>(window), request] {
        const auto typed = std::chrono::steady_clock::now();
        const QWidget *field =
                window ? window->findChild<QWidget *>(request.section(u':', 0, 0)) : nullptr;
        QLineEdit *edit = field ? field->findChild<QLineEdit *>() : nullptr;
        if (!edit) {
            std::printf("no field %s\n", qPrintable(request));
            QCoreApplication::exit(1);
            return;
        }
        for (const QChar c : request.section(u':', 1)) {
            QCoreApplication::postEvent(
                    edit, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(c)));
            QCoreApplication::postEvent(
                    edit, new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c)));
        }
        QTimer::singleShot(0, qApp, [typed] {
            QCoreApplication::processEvents(); // the painting they asked for
            std::printf("key %lld\n", steadyNanoseconds(std::chrono::steady_clock::now() - typed));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    });
}

} // namespace

void serveShownRequests(QWidget *window)
{
    if (qEnvironmentVariableIsSet("VERAROV_QUIT_WHEN_SHOWN"))
        quitWhenShown();
    if (const QString keys = qEnvironmentVariable("VERAROV_KEY_WHEN_SHOWN"); !keys.isEmpty())
        typeWhenShown(window, keys);
}

} // namespace Verarov::App
