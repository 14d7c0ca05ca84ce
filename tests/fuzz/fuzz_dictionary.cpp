// Dictionary text in either format, read, compiled and checked: whatever
// the reader keeps meets every invariant of the tables, and the entries
// written back as TSV (import) read back as the same entries.
#include "fuzzsupport.h"

#include "dictionary/builder.h"
#include "dictionary/check.h"
#include "dictionary/reader.h"
#include "dictionary/tables.h"

using namespace Verarov::Dictionary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ReadResult read =
            parseDictionary(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!read.error.isEmpty()) {
        require(read.entries.isEmpty(), "an unusable file gives no entries");
        return 0;
    }
    require(!read.entries.isEmpty(), "a usable file has entries");

    QString error;
    const Tables tables = Tables::fromCompiled(compile(read.entries), &error);
    require(tables.entryCount() == read.entries.size(), "compiled", error);
    const CheckReport report = check(tables);
    require(report.violations.isEmpty(), "invariants", report.violations.join(u'\n'));

    const ReadResult again = parseDictionary(toTsv(tables));
    require(again.error.isEmpty(), "import reads back", again.error);
    require(again.skipped.isEmpty() && again.repeats == 0, "import reads back whole",
            again.skipped.isEmpty() ? QString() : again.skipped.front().reason);
    require(again.format == SourceFormat::Tsv, "import is TSV");
    require(again.entries.size() == tables.entryCount(), "import keeps every entry");
    for (int e = 0; e < tables.entryCount(); ++e) {
        const Entry &back = again.entries[e];
        require(back.headword == tables.headword(e) && back.pinyin == tables.pinyin(e)
                        && back.gloss == tables.gloss(e),
                "import gives the same entries", toTsvLine(back));
    }
    return 0;
}
