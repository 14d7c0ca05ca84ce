#include "application.h"

#include "aproposde.h"
#include "errorbox.h"
#include "loader.h"
#include "recherche.h"
#include "unit1.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

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

void installFontSubstitutes()
{
    QFont::insertSubstitutions(u"SimSun"_s, {u"Noto Serif CJK SC"_s, u"Noto Sans CJK SC"_s,
                                              u"AR PL UMing CN"_s, u"WenQuanYi Zen Hei"_s});
    // Narrow sans faces first: the windows' fixed places suit Tahoma's widths.
    QFont::insertSubstitutions(u"Tahoma"_s, {u"Liberation Sans"_s, u"Nimbus Sans"_s,
                                              u"DejaVu Sans"_s, u"Noto Sans CJK SC"_s});
    QFont::insertSubstitutions(u"Arial"_s, {u"Liberation Sans"_s, u"Nimbus Sans"_s,
                                             u"DejaVu Sans"_s, u"Noto Sans CJK SC"_s});
}

int run(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"verarov"_s);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutes();

    Dictionary::Loaded loaded = Dictionary::loadDictionary();
    if (!loaded.failure.isEmpty())
        showError(nullptr, loaded.failure);

    Form1 = new TForm1(std::move(loaded.tables));
    Form1->FormCreate(firstArgument(app.arguments()));
    Form2 = new TForm2(Form1);
    Form3 = new TForm3(Form1);

    Form1->show();
    // Benchmarks time the start-up up to the first shown window.
    if (qEnvironmentVariableIsSet("VERAROV_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int status = app.exec();
    delete Form1; // and with it every other window
    return status;
}

} // namespace Verarov::App
