// verarov-data: the dictionary tool, on the program's own code.
//
//   verarov-data import FILE.u8 > out.tsv   CC-CEDICT lines to our TSV
//   verarov-data build IN.tsv OUT.bin       compile the built-in dictionary
//   verarov-data check                      invariants and counts, radical reach
//   verarov-data export DIR                 the seven lists and the radical lists
//                                           as DIR/<list>.txt
//   verarov-data vocab [options] [FILE...]  the distinct words of Chinese texts
//                                           with their counts, as UTF-8 TSV
//   verarov-data recognise [FILE]           the characters drawn strokes (JSON)
//                                           may be, best first
//   verarov-data say WORD -o FILE.wav       the word (pinyin or characters) spoken
//
// check, export and vocab act on the dictionary the program would load (so
// they honour VERAROV_DICTIONARY); check and export also on the program's
// raw radical list.  Each command has its file; common.h what they share.

#include "common.h"
#include "strokecommands.h"

#include "dictionary/text.h"
#include "io/names.h"
#include "io/streams.h"

#include <QCoreApplication>

#include <csignal>
#ifdef Q_OS_WIN
#include <cstdio>

#include <fcntl.h>
#include <io.h>
#endif

using namespace Qt::StringLiterals;
using namespace Verarov::DataTool;

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A file size limit fails the write, which is reported, instead of
    // killing the tool.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // Before anything opens a file that could take number 0, 1 or 2.
    Verarov::Io::holdClosedStandardStreams();
#ifdef Q_OS_WIN
    // Bytes in and out as they are: lines end with LF on every system (the
    // C runtime's text mode would write CRLF and stop reading at Ctrl+Z).
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"verarov"_s);
    // The arguments as their bytes: file names need not be UTF-8
    // (QCoreApplication::arguments() decodes them through the locale,
    // which loses what is not).
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(Verarov::Io::decodeName(argv[i]));
    const int status = [&] {
        if (args.isEmpty())
            return usage();
        const QString &command = args[0];
        if (command == u"import" && args.size() == 2)
            return importCommand(args[1]);
        if (command == u"build" && args.size() == 3)
            return buildCommand(args[1], args[2]);
        if (command == u"check" && args.size() == 1)
            return checkCommand();
        if (command == u"export" && args.size() == 2)
            return exportCommand(args[1]);
        if (command == u"vocab")
            return vocabCommand(args.mid(1));
        if (command == u"recognise")
            return recogniseCommand(args.mid(1));
        if (command == u"say")
            return sayCommand(args.mid(1));
        return usage();
    }();
    // Some outputs report a failed write only when closed.
    if (const QString failure = Verarov::Io::closeStandardOutput(); !failure.isEmpty()) {
        err() << Verarov::withFullStop(failure) << '\n';
        err().flush();
        return status == 0 ? 1 : status;
    }
    return status;
}
