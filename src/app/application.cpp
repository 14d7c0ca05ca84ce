#include "application.h"

#include "aproposde.h"
#include "errorbox.h"
#include "loader.h"
#include "recherche.h"
#include "unit1.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QTimer>

#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace Verarov::App {

QString firstArgument(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].isEmpty())
            return arguments[i];
    }
    return {};
}

QString fontFamily(const QString &wanted)
{
    static QHash<QString, QString> resolved;
    const auto known = resolved.constFind(wanted);
    if (known != resolved.cend())
        return *known;
    static const QHash<QString, QStringList> substitutes = {
        {u"SimSun"_s, {u"Noto Serif CJK SC"_s, u"Noto Sans CJK SC"_s, u"AR PL UMing CN"_s,
                       u"WenQuanYi Zen Hei"_s}},
        // Narrow faces before DejaVu Sans: the fixed places (tab captions,
        // lookup fields) are sized for Tahoma's widths.
        {u"Tahoma"_s, {u"Liberation Sans"_s, u"Nimbus Sans"_s, u"DejaVu Sans"_s, u"Noto Sans"_s}},
        {u"Arial"_s, {u"Liberation Sans"_s, u"Arimo"_s, u"Nimbus Sans"_s, u"DejaVu Sans"_s}},
    };
    // The installed families, listed once (hasFamily() would ask the font
    // matcher to resolve aliases on each call).
    static const QStringList installed = [] {
        QStringList families = QFontDatabase::families();
        for (QString &f : families) // "Nimbus Sans [UKWN]" -> "Nimbus Sans"
            f = f.section(u" ["_s, 0, 0);
        return families;
    }();
    QString family = wanted;
    if (!installed.contains(wanted, Qt::CaseInsensitive)) {
        for (const QString &candidate : substitutes.value(wanted)) {
            if (installed.contains(candidate, Qt::CaseInsensitive)) {
                family = candidate;
                break;
            }
        }
    }
    resolved.insert(wanted, family);
    return family;
}

QFont namedFont(const QString &family, int pixelHeight, bool bold, bool underline)
{
    QFont font(fontFamily(family));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

int run(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"verarov"_s);
    // Every window's default font: Tahoma, 11 pixels.
    QApplication::setFont(namedFont(u"Tahoma"_s, 11));
    QGuiApplication::setQuitOnLastWindowClosed(false);

    Dictionary::Loaded loaded = Dictionary::loadDictionary();
    if (!loaded.failure.isEmpty())
        showError(nullptr, loaded.failure);

    Form1 = new TForm1(std::move(loaded.tables));
    Form1->FormCreate(firstArgument(app.arguments()));
    Form2 = new TForm2(Form1);
    Form3 = new TForm3(Form1);

    Form1->show();
    // Benchmarks time the start-up up to the first shown window: the moment
    // (steady clock, ns) is printed, then the program ends.
    if (qEnvironmentVariableIsSet("VERAROV_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &app, [] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("shown %lld\n", static_cast<long long>(
                                                std::chrono::nanoseconds(now).count()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    // The first key press in a field would otherwise build its index.
    QTimer::singleShot(0, Form1, &TForm1::prepareLookups);
    const int status = app.exec();
    delete Form1; // and with it every other window
    return status;
}

} // namespace Verarov::App
