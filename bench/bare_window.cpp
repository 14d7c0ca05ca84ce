// The baseline of the start-up benchmark: a bare Qt Widgets program that
// shows one empty window and ends once it is shown.  With --text the window
// shows one line of Latin and Chinese text, which makes Qt load its font
// database and two faces, as any window with text does.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(528, 367);
    if (argc > 1 && qstrcmp(argv[1], "--text") == 0)
        (new QLabel(QStringLiteral("Verarov \u8BCD\u5178"), &window))->move(10, 10);
    window.show();
    QTimer::singleShot(0, &app, [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("shown %lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return app.exec();
}
