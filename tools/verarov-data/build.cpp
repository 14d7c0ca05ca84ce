// verarov-data build IN.tsv OUT.bin: compiles the built-in dictionary.

#include "common.h"

#include "dictionary/builder.h"
#include "dictionary/text.h"
#include "io/input.h"
#include "io/names.h"
#include "io/output.h"

namespace Verarov::DataTool {

using namespace Verarov::Dictionary;

int buildCommand(const QString &in, const QString &outPath)
{
    const ReadResult read = readDictionaryFile(in);
    if (!read.error.isEmpty()) {
        err() << Io::displayName(in) << ':' << read.errorLine << ": " << read.error << '\n';
        return 1;
    }
    // The built-in dictionary is reviewed data: any dropped line is an error.
    if (!read.skipped.isEmpty() || read.repeats > 0) {
        reportSkipped(in, read);
        return 1;
    }
    if (read.format != SourceFormat::Tsv) {
        err() << Io::displayName(in) << " : le dictionnaire intégré doit être au format TSV\n";
        return 1;
    }
    if (Io::sameFile(in, outPath)) {
        err() << Io::displayName(outPath) << " : la sortie serait écrite sur l'entrée\n";
        return 1;
    }
    if (const QString failure = Io::writeWhole(outPath, compile(read.entries));
        !failure.isEmpty()) {
        err() << withFullStop(failure) << '\n';
        return 1;
    }
    return 0;
}

} // namespace Verarov::DataTool
