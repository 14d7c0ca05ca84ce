// The search window in the real program offscreen, on a large dictionary:
// - a search from the button press to the result list laid out and painted,
//   against a plain scan that appends each result to a list widget one row
//   at a time, as a combo box is filled item by item (same run);
// - typing in the result field over the results of "e": a key press to the
//   display, and the completion search alone through the field's prefix
//   index against the plain top-down scan of the results;
// - the memory that 100 windows holding the results of "e" add.
//
//   bench_search [runs]      (default 15)
#include "benchdata.h"
#include "app/recherche.h"
#include "search/resultcompletion.h"
#include "app/simplecombobox.h"
#include "app/unit1.h"
#include "lookup/keylistmodel.h"
#include "lookup/prefixindex.h"
#include "search/resultmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTextStream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace Qt::StringLiterals;
using namespace Verarov::App;
using Verarov::Dictionary::List;

namespace {

QTextStream out(stdout);

// Resident memory of the process and heap in use, in KiB.
struct Memory
{
    long rssKiB = 0;
    long heapKiB = 0;
};

Memory memoryNow()
{
    Memory m;
    QFile status(u"/proc/self/status"_s);
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                m.rssKiB = line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
#ifdef __GLIBC__
    const struct mallinfo2 info = mallinfo2();
    m.heapKiB = long((info.uordblks + info.hblkhd) / 1024);
#endif
    return m;
}

struct Window
{
    TForm3 *form;
    QLineEdit *recherche;
    QPushButton *Button_rech;
    SimpleComboBox *result;
};

Window searchWindow(TForm1 *main, const QString &mode)
{
    auto *form = new TForm3(main);
    form->show();
    form->findChild<QRadioButton *>(mode)->setChecked(true);
    return {form, form->findChild<QLineEdit *>(u"recherche"_s),
            form->findChild<QPushButton *>(u"Button_rech"_s),
            form->findChild<SimpleComboBox *>(u"result_recherche"_s)};
}

// Lets every window finish its pending layout and painting, so that a
// timing does not pay for what came before it.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// One search from the button to the painted list; nanoseconds.
qint64 timeSearch(const Window &w, const QString &text)
{
    w.recherche->setText(text);
    settle();
    QElapsedTimer timer;
    timer.start();
    w.Button_rech->click();
    QCoreApplication::processEvents(); // layout and paint of the list
    return timer.nsecsElapsed();
}

// The plain way: each key read from the lookup field and written to and
// read back from a hidden edit, each match appended to a visible list and
// its row, in decimal, to a hidden one.
struct PlainWindow
{
    QWidget window;
    QLineEdit mot;
    QListWidget list{&window};
    QListWidget index;

    PlainWindow()
    {
        window.resize(473, 196);
        list.setGeometry(257, 56, 193, 113);
        list.setUniformItemSizes(true);
        window.show();
    }

    qint64 search(const Verarov::Lookup::KeyListModel &field, const QString &text)
    {
        settle();
        QElapsedTimer timer;
        timer.start();
        list.clear();
        index.clear();
        const int n = field.rowCount();
        for (int k = 0; k < n; ++k) {
            mot.setText(field.data(field.index(k)).toString());
            const QString key = mot.text();
            if (key.contains(text)) {
                list.addItem(key);
                index.addItem(QString::number(k));
            }
        }
        QCoreApplication::processEvents();
        return timer.nsecsElapsed();
    }
};

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    BenchDictionary dictionary = benchDictionary();
    const Verarov::Dictionary::Tables tables = dictionary.tables;

    auto *main = new TForm1(tables);
    Form1 = main;
    main->show();
    if (!QTest::qWaitForWindowExposed(main))
        return 1;
    // Timings on a shared machine: the load tells how far to trust them.
    QFile load(u"/proc/loadavg"_s);
    if (load.open(QIODevice::ReadOnly))
        out << "load average: " << load.readAll().trimmed() << '\n';
    out << "dictionary: " << dictionary.origin << ", " << tables.entryCount() << " entries, "
        << tables.frenchKeyCount() << " French keys, " << tables.pinyinKeyCount()
        << " pinyin keys\n";

    // Searches, median of the runs, each against the plain way in the same
    // run (interleaved).
    struct Case
    {
        QString mode;
        List list;
        QString text;
        bool baseline;
    };
    const Case cases[] = {
            {u"choix3"_s, List::FrenchKeys, u"e"_s, true},
            {u"choix3"_s, List::FrenchKeys, u"ion"_s, true},
            {u"choix3"_s, List::FrenchKeys, u"eau"_s, false},
            {u"choix1"_s, List::Headwords, u"中"_s, true},
            {u"choix1"_s, List::Headwords, u"人"_s, false},
            {u"choix2"_s, List::PinyinKeys, u"ai"_s, false},
    };
    PlainWindow plain;
    for (const Case &c : cases) {
        const Window w = searchWindow(main, c.mode);
        std::vector<qint64> times, plainTimes;
        for (int run = 0; run < runs; ++run) {
            times.push_back(timeSearch(w, c.text));
            if (c.baseline)
                plainTimes.push_back(plain.search(main->fieldModel(c.list), c.text));
        }
        out << c.mode << " \"" << c.text << "\": " << w.form->results().count()
            << " results, search to list shown " << ms(median(times)) << " ms median ("
            << ms(*std::min_element(times.begin(), times.end())) << " best)";
        if (c.baseline) {
            if (plain.list.count() != w.form->results().count())
                out << " [plain way found " << plain.list.count() << "!]";
            out << "; plain way " << ms(median(plainTimes)) << " ms ("
                << ms(*std::min_element(plainTimes.begin(), plainTimes.end()))
                << " best), ratio of medians 1/"
                << double(median(plainTimes)) / double(median(times));
        }
        out << '\n';
        delete w.form;
    }
    out.flush();

    // Typing over the results of "e": words made of the first letters of
    // random results, one key press at a time, each from an empty field.
    {
        const Window w = searchWindow(main, u"choix3"_s);
        timeSearch(w, u"e"_s);
        const Verarov::Search::ResultModel &results = w.form->results();
        QRandomGenerator random(7);
        QStringList words;
        for (int i = 0; i < 200; ++i) {
            const QStringView key = results.key(random.bounded(results.count()));
            words << key.first(std::min<qsizetype>(key.size(), 6)).toString();
        }
        w.result->setFocus();
        auto keyPress = [&](QChar c) {
            settle();
            QElapsedTimer timer;
            timer.start();
            QTest::sendKeyEvent(QTest::Click, w.result->lineEdit(), Qt::Key_unknown, QString(c),
                                {});
            QCoreApplication::processEvents();
            return timer.nsecsElapsed();
        };
        std::vector<qint64> presses;
        for (int run = 0; run < 3; ++run) {
            for (const QString &word : words) {
                w.result->setText({});
                for (QChar c : word)
                    presses.push_back(keyPress(c));
            }
        }
        std::sort(presses.begin(), presses.end());
        out << "typing over " << results.count() << " results of \"e\": key press to display "
            << ms(median(presses)) << " ms median, " << ms(presses[presses.size() * 99 / 100])
            << " ms 99th percentile, " << ms(presses.back()) << " ms worst (" << presses.size()
            << " presses)\n";

        // The completion search alone, through the index and by the plain
        // scan, on every prefix of those words (also upper-cased).
        Verarov::Search::ResultCompletion indexed(results);
        indexed.setField(&main->fieldModel(List::FrenchKeys));
        const Verarov::Search::ResultCompletion scanned(results);
        QStringList prefixes;
        for (const QString &word : words) {
            for (qsizetype n = 1; n <= word.size(); ++n) {
                prefixes << word.first(n);
                prefixes << word.first(n).toUpper() + u"q"_s; // often none: a whole scan
            }
        }
        int mismatches = 0;
        std::vector<qint64> indexTimes, scanTimes;
        QElapsedTimer timer;
        for (const QString &p : prefixes) {
            timer.start();
            const int a = indexed.findString(p);
            indexTimes.push_back(timer.nsecsElapsed());
            timer.start();
            const int b = scanned.findString(p);
            scanTimes.push_back(timer.nsecsElapsed());
            mismatches += a != b;
        }
        out << "completion over the results: index " << median(indexTimes) / 1000.0
            << " us, plain scan " << median(scanTimes) / 1000.0 << " us median; worst "
            << *std::max_element(indexTimes.begin(), indexTimes.end()) / 1000.0 << " us and "
            << *std::max_element(scanTimes.begin(), scanTimes.end()) / 1000.0 << " us; "
            << prefixes.size() - mismatches << " of " << prefixes.size() << " agree\n";
        delete w.form;
        if (mismatches)
            return 1;
    }
    out.flush();

    // Memory: 100 shown windows with the results of "e", against 100 shown
    // windows without results, each from the same starting point.
    auto hundredWindows = [&](bool withResults) {
        QCoreApplication::processEvents();
#ifdef __GLIBC__
        malloc_trim(0);
#endif
        const Memory before = memoryNow();
        std::vector<TForm3 *> forms;
        for (int i = 0; i < 100; ++i) {
            const Window w = searchWindow(main, u"choix3"_s);
            if (withResults)
                timeSearch(w, u"e"_s);
            QCoreApplication::processEvents();
            forms.push_back(w.form);
        }
        const Memory after = memoryNow();
        for (TForm3 *f : forms)
            delete f;
        return Memory{after.rssKiB - before.rssKiB, after.heapKiB - before.heapKiB};
    };
    const Memory empty = hundredWindows(false);
    const Memory full = hundredWindows(true);
    out << "100 windows with the results of \"e\": resident +" << full.rssKiB / 1024.0
        << " MiB, heap +" << full.heapKiB / 1024.0 << " MiB; without results: resident +"
        << empty.rssKiB / 1024.0 << " MiB, heap +" << empty.heapKiB / 1024.0
        << " MiB; the results alone: resident +" << (full.rssKiB - empty.rssKiB) / 1024.0
        << " MiB, heap +" << (full.heapKiB - empty.heapKiB) / 1024.0 << " MiB\n";

    delete main;
    return 0;
}
