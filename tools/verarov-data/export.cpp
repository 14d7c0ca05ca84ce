// verarov-data export DIR: the seven lists and the radical lists as
// DIR/<list>.txt.

#include "common.h"

#include "dictionary/radicals.h"
#include "dictionary/tables.h"
#include "dictionary/text.h"
#include "io/names.h"
#include "io/output.h"

#include <QDir>

#include <functional>

namespace Verarov::DataTool {

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

namespace {

// Writes rows, one a line, UTF-8, LF, to DIR/name.txt.
bool writeRows(const QDir &dir, const QString &name, int count,
               const std::function<QString(int)> &row)
{
    QByteArray buffer;
    for (int r = 0; r < count; ++r) {
        buffer += row(r).toUtf8();
        buffer += '\n';
    }
    if (const QString failure = Io::writeWhole(dir.filePath(name + u".txt"_s), buffer);
        !failure.isEmpty()) {
        err() << withFullStop(failure) << '\n';
        return false;
    }
    return true;
}

} // namespace

int exportCommand(const QString &dirPath)
{
    Loaded loaded;
    if (!loadForUse(loaded))
        return 2;
    QDir dir(dirPath);
    if (Io::makeFolders(dirPath) != 0) {
        err() << Io::displayName(dirPath) << " : impossible de créer le dossier\n";
        return 1;
    }
    const Tables &t = loaded.tables;
    for (List list : kAllLists) {
        if (!writeRows(dir, listName(list), t.rowCount(list),
                       [&](int r) { return t.row(list, r); }))
            return 1;
    }
    // The raw radical list and what the start-up builds from it; the row
    // ranges have one line per radical number, slot 1 first, and a radical
    // without characters reads first -1, last 0.
    const QStringList raw = builtInRadicalList();
    const RadicalTables radicals = buildRadicalTables(raw);
    const int rows = radicals.rowCount();
    const bool written =
            writeRows(dir, u"liste_chargement_rad"_s, int(raw.size()),
                      [&](int r) { return raw[r]; })
            && writeRows(dir, u"liste_rad"_s, rows,
                         [&](int r) { return radicals.character(r).toString(); })
            && writeRows(dir, u"liste_rad_pin"_s, rows,
                         [&](int r) { return radicals.reading(r).toString(); })
            && writeRows(dir, u"liste_rad_nb_traits"_s, rows,
                         [&](int r) { return radicals.strokes(r).toString(); })
            && writeRows(dir, u"debut_rad"_s, kRadicalNumberMax,
                         [&](int r) {
                             const RadicalRows range = radicals.rows(r + 1);
                             return QString::number(range.isEmpty() ? -1 : range.first);
                         })
            && writeRows(dir, u"fin_rad"_s, kRadicalNumberMax, [&](int r) {
                   const RadicalRows range = radicals.rows(r + 1);
                   return QString::number(range.isEmpty() ? 0 : range.last);
               });
    return written ? 0 : 1;
}

} // namespace Verarov::DataTool
