// verarov-data check: invariants and counts of the dictionary the program
// would load, and the radical browser's reach into it.

#include "common.h"

#include "dictionary/check.h"
#include "dictionary/radicals.h"
#include "dictionary/text.h"
#include "io/streams.h"

namespace Verarov::DataTool {

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

int checkCommand()
{
    // Standard output is checked before the work.
    if (Io::standardStreamClosed(1)) {
        err() << withFullStop(Io::closedStreamMessage(1)) << '\n';
        return 1;
    }
    Loaded loaded;
    if (!loadForUse(loaded))
        return 2;
    // The cache the tables were mapped from, read through against its
    // checksum; a damaged one is built again and the check goes on with
    // the dictionary's own tables.
    const QString damagedCache =
            loaded.cache.isEmpty() || cacheIntact(loaded.cache) ? QString() : loaded.cache;
    if (!damagedCache.isEmpty()) {
        // The damaged mapping let go first: Windows replaces no file that
        // is mapped.
        const QString path = loaded.path;
        loaded = {};
        loaded = loadExternal(path, CacheUse::Rebuild);
    }
    const CheckReport r = check(loaded.tables);
    QString text;
    QTextStream out(&text);
    out << "dictionnaire : " << (loaded.path.isEmpty() ? u"intégré"_s : loaded.path) << '\n';
    if (!loaded.path.isEmpty())
        out << "lignes ignorées : " << loaded.skipped << '\n'
            << "doublons exacts supprimés : " << loaded.repeats << '\n';
    out << "entrées : " << r.entries << '\n'
        << "vedettes distinctes : " << r.distinctHeadwords << '\n'
        << "groupes d'homographes : " << r.homographGroups << '\n'
        << "clés pinyin : " << r.pinyinKeys << '\n'
        << "clés françaises : " << r.frenchKeys << '\n'
        << "entrées sans clé française : " << r.entriesWithoutFrenchKey << '\n'
        << "entrées avec forme traditionnelle : " << r.entriesWithTraditionalForm << '\n';

    // The radical browser's reach into this dictionary.
    const QStringList raw = builtInRadicalList();
    const QStringList radicalViolations = checkRadicalList(raw);
    const RadicalTables radicals = buildRadicalTables(raw);
    const RadicalReport rr = radicalReport(radicals, loaded.tables);
    const QList<RadicalNode> &tree = radicalTree();
    const auto caption = [&tree](int n) {
        return n >= 0 && n < tree.size() ? tree[n].caption : QString();
    };
    const int reachable = r.entries - rr.unreachableEntries;
    out << "lignes de la liste des radicaux : " << raw.size() << '\n'
        << "radicaux : " << rr.headers << ", vides : " << rr.emptyRadicals.size();
    for (int n : rr.emptyRadicals)
        out << ' ' << n << ' ' << caption(n);
    out << '\n'
        << "lignes de caractères : " << rr.characterLines << '\n'
        << "caractères distincts : " << rr.distinctCharacters << '\n'
        << "caractères sous plus d'un radical : " << rr.multiRadicalCharacters << '\n'
        << "radical le plus grand : " << rr.largestRadical << ' ' << caption(rr.largestRadical)
        << " (" << rr.largestRadicalSize << " caractères)\n"
        << "entrées atteintes par radical : " << reachable << " ("
        << QString::number(r.entries ? 100.0 * reachable / r.entries : 100.0, 'f', 2) << " %)\n"
        << "entrées qu'aucun radical n'atteint : " << rr.unreachableEntries
        << " (premiers caractères distincts : " << rr.unreachableFirstCharacters << ")\n";
    out.flush();
    if (const QString failure = Io::writeStandardOutput(text.toUtf8()); !failure.isEmpty()) {
        err() << withFullStop(failure) << '\n';
        return 1;
    }
    for (const QString &v : r.violations)
        err() << "violation : " << v << '\n';
    for (const QString &v : radicalViolations)
        err() << "violation : liste des radicaux, " << v << '\n';
    if (raw.isEmpty())
        err() << "violation : ce programme n'a pas de liste des radicaux\n";
    if (!damagedCache.isEmpty())
        err() << "violation : cache du dictionnaire endommagé (somme de contrôle fausse), "
                 "reconstruit : "
              << damagedCache << '\n';
    return r.violations.isEmpty() && radicalViolations.isEmpty() && !raw.isEmpty()
                           && damagedCache.isEmpty()
                   ? 0
                   : 1;
}

} // namespace Verarov::DataTool
