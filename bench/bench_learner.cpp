// Key presses in the three lookup fields as a learner types: pinyin with tone
// numbers and with marks, traditional characters, French without accents.
// Each key press is one step of the field's completion (prefix search, then
// the learner's reading where it found nothing), timed alone; the baseline
// is the same key presses with the prefix search only.  The first lookup of
// a field is shown apart, against the field's first prefix search: the
// French field comes first, so its first lookup pays for whatever is still
// made on first use (the folded keys' index comes with the dictionary), and
// before anything a first lookup of "eleve" is timed alone.
// With the cache of an external dictionary mapped (a second run), nothing
// of the derivation has run in the process before.
#include "benchdata.h"
#include "lookup/chinesevariants.h"
#include "lookup/completion.h"
#include "lookup/keylistmodel.h"
#include "lookup/normalise.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

#include <vector>

using namespace Qt::StringLiterals;
using Verarov::Dictionary::List;
using Verarov::Lookup::KeyListModel;

namespace {

// The prefix search alone.
class PrefixOnly final : public Verarov::Lookup::CompletionList
{
public:
    explicit PrefixOnly(const KeyListModel &model) : m_model(model) { }
    int keyCount() const override { return m_model.keyCount(); }
    QStringView key(int row) const override { return m_model.key(row); }
    int findString(QStringView text) const override { return m_model.findString(text); }

private:
    const KeyListModel &m_model;
};

// "Zhōng guó" -> "zhong1guo2"
QString numbered(QStringView pinyin)
{
    QString out;
    for (QStringView syllable : pinyin.split(u' ', Qt::SkipEmptyParts)) {
        const QString nfd = syllable.toString().normalized(QString::NormalizationForm_D);
        int tone = 5;
        for (QChar c : nfd) {
            switch (c.unicode()) {
            case 0x0304:
                tone = 1;
                break;
            case 0x0301:
                tone = 2;
                break;
            case 0x030C:
                tone = 3;
                break;
            case 0x0300:
                tone = 4;
                break;
            case 0x0308:
                out += u':';
                break; // after its u
            default:
                if (c.unicode() < 0x300 || c.unicode() > 0x36F)
                    out += c.toLower();
            }
        }
        out += QString::number(tone);
    }
    return out;
}

// A headword in traditional characters where each has one known form.
QString traditional(QStringView headword)
{
    QString out;
    for (qsizetype i = 0; i < headword.size(); ++i) {
        const QString t = Verarov::Lookup::traditionalOf(headword.sliced(i, 1));
        out += t.isEmpty() ? headword.sliced(i, 1).toString() : t;
    }
    return out;
}

struct Figures
{
    qint64 first = 0;           // the first learner lookup of the field
    qint64 firstPrefixOnly = 0; // the field's first prefix search
    qint64 slowest = 0;
    qint64 slowestPrefixOnly = 0;
    QString slowestText; // the text typed so far at the slowest key press
    std::vector<qint64> learner;
    std::vector<qint64> prefixOnly;
    int found = 0;
    int words = 0;
};

// Types each word one character at a time into a field of the model.
Figures typeWords(const KeyListModel &model, const QStringList &words)
{
    const PrefixOnly before(model);
    Figures f;
    QElapsedTimer timer;
    timer.start();
    model.findString(words.front());
    f.firstPrefixOnly = timer.nsecsElapsed();
    timer.restart();
    model.findAlternative(words.front());
    f.first = timer.nsecsElapsed();
    for (const QString &word : words) {
        for (const Verarov::Lookup::CompletionList *keys :
             {static_cast<const Verarov::Lookup::CompletionList *>(&model),
              static_cast<const Verarov::Lookup::CompletionList *>(&before)}) {
            Verarov::Lookup::FieldState state;
            for (qsizetype i = 0; i < word.size(); ++i) {
                timer.restart();
                const Verarov::Lookup::Step step =
                        typeCharacter(state, QStringView(word).sliced(i, 1), *keys);
                const qint64 t = timer.nsecsElapsed();
                (keys == &model ? f.learner : f.prefixOnly).push_back(t);
                if (keys == &model && t > f.slowest) {
                    f.slowest = t;
                    f.slowestText = word.first(i + 1);
                }
                if (keys == &before)
                    f.slowestPrefixOnly = std::max(f.slowestPrefixOnly, t);
                state = step.state;
            }
            if (keys == &model && state.row >= 0)
                ++f.found;
        }
        ++f.words;
    }
    return f;
}

void report(QTextStream &out, const QString &what, const Figures &f)
{
    const qint64 learner = median(f.learner);
    const qint64 base = median(f.prefixOnly);
    const auto over = std::count_if(f.learner.begin(), f.learner.end(),
                                    [](qint64 t) { return t > 5'000'000; });
    out << what << ": " << f.words << " words, " << f.found << " found; first learner lookup "
        << f.first / 1e6 << " ms (first prefix search " << f.firstPrefixOnly / 1e6
        << " ms); key press median " << learner / 1e3 << " us (prefix only " << base / 1e3
        << " us, ratio " << (base ? double(learner) / double(base) : 0.0) << "), slowest "
        << f.slowest / 1e6 << " ms (\"" << f.slowestText << "\"; prefix only "
        << f.slowestPrefixOnly / 1e6 << " ms), " << over << " of " << f.learner.size()
        << " over 5 ms\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const BenchDictionary dictionary = benchDictionary();
    const Verarov::Dictionary::Tables &tables = dictionary.tables;
    out << "entries: " << tables.entryCount() << " (" << dictionary.origin << ")\n";

    // The first unaccented French lookup of the run, before anything else
    // folds or decomposes a letter.
    {
        const KeyListModel field(tables, List::FrenchKeys);
        QElapsedTimer timer;
        timer.start();
        const int prefixRow = field.findString(u"eleve");
        const qint64 prefix = timer.nsecsElapsed();
        timer.restart();
        const int row = field.findAlternative(u"eleve");
        const qint64 learner = timer.nsecsElapsed();
        out << "first unaccented French lookup (\"eleve\"): " << learner / 1e6 << " ms, row " << row
            << " (first prefix search " << prefix / 1e6 << " ms, row " << prefixRow << ")\n";
    }

    QRandomGenerator random(8);
    QStringList tonesNumbered, tonesMarked, hanzi, french;
    for (int i = 0; i < 300; ++i) {
        const int e = random.bounded(tables.entryCount());
        tonesNumbered << numbered(tables.pinyin(e));
        tonesMarked << tables.pinyin(e).toString();
        hanzi << traditional(tables.headword(e));
        const QStringView key = tables.frenchKey(random.bounded(tables.frenchKeyCount()));
        french << Verarov::Lookup::foldFrench(key.first(std::min<qsizetype>(key.size(), 10)));
    }

    const KeyListModel frenchField(tables, List::FrenchKeys);
    report(out, u"French, unaccented"_s, typeWords(frenchField, french));
    const KeyListModel pinyin(tables, List::PinyinKeys);
    report(out, u"pinyin, tone numbers"_s, typeWords(pinyin, tonesNumbered));
    report(out, u"pinyin, tone marks"_s, typeWords(pinyin, tonesMarked));
    const KeyListModel chinese(tables, List::Headwords);
    report(out, u"Chinese, traditional"_s, typeWords(chinese, hanzi));
    return 0;
}
