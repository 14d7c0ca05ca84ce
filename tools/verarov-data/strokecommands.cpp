#include "strokecommands.h"

#include "io/input.h"
#include "io/messages.h"
#include "strokes/recogniser.h"
#include "strokes/strokedata.h"
#include "strokes/strokesjson.h"
#include "speech/speaker.h"
#include "io/output.h"
#include "translate/translator.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMaxInput = 64 << 20;

QTextStream &errors()
{
    static QTextStream stream(stderr);
    return stream;
}

// Reads a whole input (a regular file, or standard input for "-"), at most
// kMaxInput bytes; an empty string, or the French reason.
QString readAll(const QString &path, QByteArray *bytes)
{
    QFile file;
    int fd = -1;
    if (path == u"-") {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return u"Impossible de lire l'entrée standard"_s;
    } else {
        int error = 0;
        fd = Verarov::Io::openForReading(path, &error);
        if (fd < 0)
            return u"Fichier \"%1\" : %2"_s.arg(path, Verarov::Io::inputErrorMessage(error));
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            return u"Fichier \"%1\" : %2"_s.arg(path, file.errorString());
    }
    *bytes = file.read(kMaxInput + 1);
    if (bytes->size() > kMaxInput)
        return u"Fichier \"%1\" : trop grand (plus de %2 Mo)"_s.arg(path).arg(kMaxInput >> 20);
    return {};
}

} // namespace

int recogniseCommand(const QStringList &args)
{
    if (args.size() > 1) {
        errors() << "usage : verarov-data recognise [FICHIER.json]\n";
        return 2;
    }
    QByteArray json;
    const QString path = args.value(0, u"-"_s);
    if (const QString problem = readAll(path, &json); !problem.isEmpty()) {
        errors() << problem << '\n';
        return 1;
    }
    QList<QList<QPointF>> strokes;
    QString problem;
    if (!Verarov::Strokes::parseStrokesJson(json, &strokes, &problem)) {
        errors() << (path == u"-" ? u"Entrée standard"_s : path) << " : " << problem << '\n';
        return 1;
    }
    Verarov::Strokes::StrokeData data;
    if (!data.open(Verarov::Strokes::StrokeData::defaultPath())) {
        errors() << data.errorString() << '\n';
        return 1;
    }
    const Verarov::Strokes::Recogniser recogniser(data);
    QByteArray out;
    for (const auto &c : recogniser.recognise(strokes))
        out += QString::fromUcs4(&c.codePoint, 1).toUtf8() + '\n';
    std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int sayCommand(const QStringList &args)
{
    if (args.size() != 3 || args[1] != u"-o" || args[0].trimmed().isEmpty()) {
        errors() << "usage : verarov-data say TEXTE_OU_PINYIN -o FICHIER.wav\n";
        return 2;
    }
    const Verarov::Speech::Speech speech = Verarov::Speech::render(args[0]);
    if (!speech.error.isEmpty()) {
        errors() << speech.error << '\n';
        return 1;
    }
    const QByteArray wav = Verarov::Speech::wavFile(speech);
    const QString &path = args[2];
    Verarov::Io::OutputFile out;
    if (const int error = out.create(path)) {
        errors() << Verarov::Io::createErrorMessage(path, error) << '\n';
        return 1;
    }
    out.writeBytes(wav.constData(), std::size_t(wav.size()));
    int error = out.close();
    if (!error)
        error = out.commit();
    if (error) {
        errors() << u"Fichier \"%1\" : %2"_s.arg(path, Verarov::Io::writeErrorMessage(error))
                 << '\n';
        return 1;
    }
    return 0;
}
