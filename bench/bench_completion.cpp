// One completion (a typed character, from input to new state) on the French
// key list, through the prefix index and through the plain top-down scan,
// on 10,000 random prefixes; and whether both find the same rows.
#include "benchdata.h"
#include "dictionary/prefixtree.h"
#include "lookup/completion.h"
#include "lookup/keylistmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

using namespace Verarov::Lookup;

namespace {

// The same rows, searched by the default scan.
class ScannedKeys final : public CompletionList
{
public:
    explicit ScannedKeys(const KeyListModel &model) : m_model(model) { }
    int keyCount() const override { return m_model.keyCount(); }
    QStringView key(int row) const override { return m_model.key(row); }

private:
    const KeyListModel &m_model;
};

struct Probe
{
    FieldState before;
    QString typed;
};

// Nanoseconds of each completion, one pass over the probes.
std::vector<qint64> timeCompletions(const std::vector<Probe> &probes, const CompletionList &keys)
{
    std::vector<qint64> times;
    times.reserve(probes.size());
    QElapsedTimer timer;
    for (const Probe &p : probes) {
        timer.start();
        const Step step = typeCharacter(p.before, p.typed, keys);
        times.push_back(timer.nsecsElapsed());
        if (step.consumed == 0)
            qFatal("no progress");
    }
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const BenchDictionary dictionary = benchDictionary();
    const KeyListModel model(dictionary.tables, Verarov::Dictionary::List::FrenchKeys);
    const ScannedKeys scanned(model);
    out << "French keys: " << model.keyCount() << " (" << dictionary.origin << ")\n";

    // The build step makes the index; how long a start would take to.
    QElapsedTimer build;
    build.start();
    Verarov::Dictionary::buildPrefixTree(model.keyCount(), [&](int row) { return model.key(row); });
    out << "prefix index built (by the build step, not at start) in " << build.nsecsElapsed() / 1e6
        << " ms\n";

    // 10,000 prefixes of random keys, some upper-cased: the text before the
    // last character is in the edit, the last one is typed.
    QRandomGenerator random(42);
    std::vector<Probe> probes;
    int mismatches = 0;
    for (int i = 0; i < 10000; ++i) {
        const QStringView key = model.key(random.bounded(model.keyCount()));
        QString prefix = key.first(random.bounded(1, int(std::min<qsizetype>(key.size(), 8)) + 1))
                                 .toString();
        if (random.bounded(4) == 0)
            prefix = prefix.toUpper();
        if (prefix.back().isLowSurrogate() && prefix.size() > 1)
            prefix.chop(1);
        if (model.findString(prefix) != scanned.findString(prefix))
            ++mismatches;
        FieldState before;
        before.text = prefix.chopped(1);
        before.selStart = before.selEnd = before.text.size();
        probes.push_back({before, prefix.right(1)});
    }
    out << "index and scan agree on " << (10000 - mismatches) << " of 10000 prefixes\n";

    std::vector<qint64> indexMedians, scanMedians;
    for (int run = 0; run < 5; ++run) {
        indexMedians.push_back(median(timeCompletions(probes, model)));
        scanMedians.push_back(median(timeCompletions(probes, scanned)));
    }
    const double indexNs = double(median(indexMedians));
    const double scanNs = double(median(scanMedians));
    out << "completion median: index " << indexNs / 1000 << " us, scan " << scanNs / 1000
        << " us, ratio index/scan 1/" << scanNs / indexNs << " (target at most 1/50)\n";
    return mismatches == 0 ? 0 : 1;
}
