// The radical browser in the real main window (offscreen), on a large
// dictionary: choosing the character that begins the most words, and the
// radical with the most characters, against the plain scan of every entry
// that the browser's first design made, measured in the same run.  Also the
// start-up work of the radical lists: loading the raw list and splitting it.
//
//   bench_radicals [runs]      (default 201)
#include "benchdata.h"
#include "app/unit1.h"
#include "dictionary/keylist.h"
#include "dictionary/radicals.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using namespace Verarov::App;
using namespace Verarov;

namespace {

// Median of body's times; before each, setup (not timed).
template<typename Setup, typename Body>
double medianMs(int runs, Setup &&setup, Body &&body)
{
    std::vector<qint64> times;
    for (int i = 0; i < runs; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        body();
        times.push_back(timer.nsecsElapsed());
    }
    return median(times) / 1e6;
}
template<typename Body>
double medianMs(int runs, Body &&body)
{
    return medianMs(
            runs, [] {}, body);
}

// The plain scan: every entry's first character copied and compared, the
// words with their pinyin and glosses appended to three lists.
struct ScanLists
{
    QStringList words, pinyin, glosses;
};
void plainScan(const Dictionary::Tables &t, const QString &character, ScanLists &lists)
{
    lists.words.clear();
    lists.pinyin.clear();
    lists.glosses.clear();
    for (int e = 0; e < t.entryCount(); ++e) {
        if (t.headword(e).first(1).toString() == character) {
            lists.words.append(t.headword(e).toString());
            lists.pinyin.append(t.pinyin(e).toString());
            lists.glosses.append(t.gloss(e).toString());
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 201;
    QTextStream out(stdout);

    // Start-up work: the raw list read from the resource and split, first
    // as at start-up (cold), then repeated.
    QElapsedTimer cold;
    cold.start();
    QString raw = Dictionary::builtInRadicalText();
    const double coldLoadMs = cold.nsecsElapsed() / 1e6;
    cold.restart();
    const Dictionary::RadicalTables first = Dictionary::buildRadicalTables(raw);
    const double coldSplitMs = cold.nsecsElapsed() / 1e6;
    out << "raw radical list at start-up: read " << coldLoadMs << " ms, split " << coldSplitMs
        << " ms\n";
    const double loadMs = medianMs(runs, [&] { raw = Dictionary::builtInRadicalText(); });
    Dictionary::RadicalTables radicals;
    const double splitMs = medianMs(runs, [&] { radicals = Dictionary::buildRadicalTables(raw); });
    out << "raw radical list: " << raw.count(u'\n') << " lines; read " << loadMs << " ms, split "
        << splitMs << " ms (medians)\n";
    if (raw.isEmpty())
        return 1;

    const BenchDictionary dictionary = benchDictionary();
    const Dictionary::Tables &tables = dictionary.tables;
    out << "dictionary: " << tables.entryCount() << " entries (" << dictionary.origin << ")\n";

    // The filed character that begins the most words, a radical it is
    // filed under and its row there; the radical with the most characters.
    int bestRow = -1, bestWords = -1, largest = 1;
    for (int r = 0; r < radicals.rowCount(); ++r) {
        const int words =
                Dictionary::entriesBeginningWith(tables, radicals.character(r).front().unicode())
                        .size();
        if (words > bestWords) {
            bestWords = words;
            bestRow = r;
        }
    }
    int bestRadical = 1;
    for (int n = 1; n <= Dictionary::kRadicalNumberMax; ++n) {
        const Dictionary::RadicalRows rows = radicals.rows(n);
        if (!rows.isEmpty() && rows.first <= bestRow && bestRow <= rows.last)
            bestRadical = n;
        if (rows.size() > radicals.rows(largest).size())
            largest = n;
    }
    const QString character = radicals.character(bestRow).toString();
    const int characterRow = bestRow - radicals.rows(bestRadical).first;

    TForm1 form(tables, raw);
    Form1 = &form;
    form.FormCreate({});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    form.findChild<QTabWidget *>(u"PageControl2"_s)->setCurrentIndex(1);
    QCoreApplication::processEvents();
    auto *tree = form.findChild<QTreeWidget *>(u"ListBox"_s);
    auto *characters = form.findChild<QAbstractItemView *>(u"liste_car_ch"_s);
    auto *words = form.findChild<QAbstractItemView *>(u"liste_mots_ch"_s);
    auto selectNode = [&](int n) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if ((*it)->data(0, Qt::UserRole).toInt() == n) {
                tree->setCurrentItem(*it);
                return;
            }
        }
    };
    // A character chosen: the handler alone, and with the repaint after it.
    auto chooseCharacter = [&](int row) {
        characters->selectionModel()->select(characters->model()->index(row, 0),
                                             QItemSelectionModel::ClearAndSelect);
        form.liste_car_chClick();
    };
    selectNode(bestRadical);
    form.ListBoxClick();
    // Another character chosen before each, so that each choice changes the list.
    const int otherRow = characterRow == 0 ? 1 : 0;
    auto chooseOther = [&] {
        chooseCharacter(otherRow);
        words->repaint();
    };
    const double handlerMs = medianMs(runs, chooseOther, [&] { chooseCharacter(characterRow); });
    const int listed = words->model()->rowCount();
    const double paintedMs = medianMs(runs, chooseOther, [&] {
        chooseCharacter(characterRow);
        words->repaint();
    });
    ScanLists lists;
    const double scanMs = medianMs(runs, [&] { plainScan(tables, character, lists); });
    // The same scan filling a list box of the word list's size and font, one
    // item per word, then painted: the first design as a whole.
    QListWidget listBox;
    listBox.setFont(words->font());
    listBox.resize(words->size());
    listBox.setUniformItemSizes(true);
    listBox.show();
    if (!QTest::qWaitForWindowExposed(&listBox))
        return 1;
    const double listBoxMs = medianMs(
            runs,
            [&] {
                listBox.clear();
                listBox.repaint();
            },
            [&] {
                plainScan(tables, character, lists);
                listBox.addItems(lists.words);
                listBox.repaint();
            });

    out << "character with the most words: " << character << " (" << listed << " words listed, "
        << lists.words.size() << " by the scan), under radical " << bestRadical << '\n';
    out << "  choosing it, handler: " << handlerMs
        << " ms median; with the list repainted: " << paintedMs << " ms (target < 2 ms)\n";
    out << "  plain scan of all entries, same run: " << scanMs << " ms median; ratio handler/scan "
        << handlerMs / scanMs << " (target <= 0.05), repainted/scan " << paintedMs / scanMs << '\n';
    out << "  plain scan filling a list box, painted: " << listBoxMs
        << " ms median; ratio repainted/that " << paintedMs / listBoxMs << '\n';

    // The largest radical.
    auto listOther = [&] {
        selectNode(largest == 1 ? 2 : 1);
        form.ListBoxClick();
        characters->repaint();
        selectNode(largest);
    };
    const double radicalMs = medianMs(runs, listOther, [&] { form.ListBoxClick(); });
    const double radicalPaintedMs = medianMs(runs, listOther, [&] {
        form.ListBoxClick();
        characters->repaint();
    });
    out << "largest radical: " << largest << " (" << characters->model()->rowCount()
        << " characters); listing it, handler: " << radicalMs
        << " ms median; with the list repainted: " << radicalPaintedMs << " ms (target < 2 ms)\n";
    return listed == lists.words.size() ? 0 : 1;
}
