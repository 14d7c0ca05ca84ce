// verarov-data import FILE.u8 > out.tsv: CC-CEDICT lines to our TSV.

#include "common.h"

#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "dictionary/text.h"
#include "io/names.h"
#include "io/output.h"
#include "io/streams.h"

namespace Verarov::DataTool {

using namespace Verarov::Dictionary;

int importCommand(const QString &path)
{
    // Standard output is checked before the work.
    if (Io::standardStreamClosed(1)) {
        err() << withFullStop(Io::closedStreamMessage(1)) << '\n';
        return 1;
    }
    const ReadResult read = readDictionaryFile(path);
    if (!read.error.isEmpty()) {
        err() << Io::displayName(path);
        if (read.errorLine > 0)
            err() << ':' << read.errorLine;
        err() << ": " << read.error << '\n';
        return 1;
    }
    reportSkipped(path, read);
    const Tables tables = Tables::fromCompiled(compile(read.entries));
    if (const int error = Io::writeAll(1, toTsv(tables))) {
        err() << "import : impossible d'écrire la sortie : " << Io::writeErrorMessage(error)
              << '\n';
        return 1;
    }
    return 0;
}

} // namespace Verarov::DataTool
