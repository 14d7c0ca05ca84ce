// verarov-data import FILE.u8 > out.tsv: CC-CEDICT lines to our TSV.

#include "common.h"

#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "io/output.h"

#include <cerrno>

#include <QtGlobal>

namespace Verarov::DataTool {

using namespace Verarov::Dictionary;

int importCommand(const QString &path)
{
    const ReadResult read = readDictionaryFile(path);
    if (!read.error.isEmpty()) {
        err() << path;
        if (read.errorLine > 0)
            err() << ':' << read.errorLine;
        err() << ": " << read.error << '\n';
        return 1;
    }
    reportSkipped(path, read);
    const Tables tables = Tables::fromCompiled(compile(read.entries));
    if (const int error = Io::writeAll(1, toTsv(tables))) {
        err() << "import : impossible d'écrire la sortie : " << qt_error_string(error) << '\n';
        return 1;
    }
    return 0;
}

} // namespace Verarov::DataTool
