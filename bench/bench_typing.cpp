// Typing words into the French field of the real main window (offscreen):
// each key press handled, the list scrolled and the display painted.
#include "benchdata.h"
#include "app/simplecombobox.h"
#include "app/unit1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace Verarov::App;

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    BenchDictionary dictionary = benchDictionary();
    const Verarov::Dictionary::Tables tables = dictionary.tables;

    TForm1 form(tables);
    Form1 = &form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    form.findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(2);
    auto *field = form.findChild<SimpleComboBox *>(u"liste_fr"_s);
    field->setFocus();
    QCoreApplication::processEvents();
    out << "French field rows: " << tables.frenchKeyCount() << " (" << dictionary.origin << ")\n";

    // Words: the first letters of random keys, typed one key press at a time.
    QRandomGenerator random(7);
    QStringList words;
    for (int i = 0; i < 200; ++i) {
        const QStringView key = tables.frenchKey(random.bounded(tables.frenchKeyCount()));
        words << key.first(std::min<qsizetype>(key.size(), 6)).toString();
    }
    auto keyPress = [&](QChar c) {
        QElapsedTimer timer;
        timer.start();
        QTest::sendKeyEvent(QTest::Click, field->lineEdit(), Qt::Key_unknown, QString(c), {});
        QCoreApplication::processEvents(); // scrolling and painting
        return timer.nsecsElapsed();
    };

    const qint64 first = keyPress(words.first().front()); // builds the prefix index
    field->setText({});
    std::vector<qint64> runMedians;
    for (int run = 0; run < 3; ++run) {
        std::vector<qint64> times;
        for (const QString &word : words) {
            field->setText({});
            for (QChar c : word)
                times.push_back(keyPress(c));
        }
        runMedians.push_back(median(times));
    }
    out << "first key press (index built): " << first / 1e6 << " ms\n";
    out << "key press to display, median: " << median(runMedians) / 1e6
        << " ms (target under 5 ms)\n";
    return 0;
}
