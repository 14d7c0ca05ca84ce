// Loading a large external dictionary: peak memory (to the program's end)
// and time (to the main window shown, offscreen) of the program's first
// start with it (read, parse, compile, cache) and of a later start (the
// cache mapped), against the same program with its built-in dictionary,
// measured in the same run.  The dictionary is a synthetic TSV of short
// senses, the shape that costs the most per byte: 1 to 4 characters, their
// pinyin and 3 to 8 senses of a few letters each.
//
//   bench_load [MB ...]      (default 10 50; the documented limit is 256)

#include "processrun.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// Writes up to megabytes MB of TSV (whole lines, never above: 256 is the
// largest file the program takes); returns its exact size, or -1.
qint64 writeSyntheticTsv(const QString &path, int megabytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    QRandomGenerator random(1);
    const QStringList syllables = {u"mā"_s, u"shì"_s, u"hǎo"_s,  u"lè"_s,
                                   u"yī"_s, u"xià"_s, u"zhōng"_s};
    const QStringList words = {u"eau"_s, u"feu"_s, u"ami"_s, u"vent"_s, u"mer"_s,   u"ciel"_s,
                               u"bon"_s, u"dur"_s, u"vif"_s, u"lent"_s, u"clair"_s, u"sec"_s};
    const qint64 target = qint64(megabytes) << 20;
    QByteArray block;
    qint64 written = 0;
    for (;;) {
        QString line;
        const int characters = 1 + int(random.bounded(4));
        QStringList pinyin;
        for (int i = 0; i < characters; ++i) {
            line.append(QChar(char16_t(0x4E00 + random.bounded(0x51A6))));
            pinyin.append(syllables[int(random.bounded(syllables.size()))]);
        }
        QStringList senses;
        for (int i = 0, n = 3 + int(random.bounded(6)); i < n; ++i)
            senses.append(words[int(random.bounded(words.size()))]
                          + QString::number(random.bounded(100)));
        line += u'\t' + pinyin.join(u' ') + u'\t' + senses.join(u" / "_s) + u'\n';
        const QByteArray bytes = line.toUtf8();
        if (written + block.size() + bytes.size() > target)
            break;
        block += bytes;
        if (block.size() > (1 << 20)) {
            if (file.write(block) != block.size())
                return -1;
            written += block.size();
            block.clear();
        }
    }
    if (file.write(block) != block.size())
        return -1;
    return written + block.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(std::max(1, atoi(argv[i])));
    if (sizes.isEmpty())
        sizes = {10, 50};
    const QString verarov = QStringLiteral(VERAROV_EXE);
    QTemporaryDir home;
    const QList<QByteArray> common = {"QT_QPA_PLATFORM=offscreen", "VERAROV_QUIT_WHEN_SHOWN=1",
                                      "XDG_DATA_HOME=" + home.filePath(u"data"_s).toLocal8Bit(),
                                      "XDG_CONFIG_HOME="
                                              + home.filePath(u"config"_s).toLocal8Bit()};
    QTextStream out(stdout);

    const auto run = [&](const QList<QByteArray> &env) {
        const ProcessFigures f = runProcess(verarov, {}, common + env);
        if (f.exitCode != 0)
            out << "  (the program failed: exit " << f.exitCode << ")\n";
        return f;
    };
    const auto mib = [](double kib) { return QString::number(kib / 1024, 'f', 0); };
    const auto shown = [](const ProcessFigures &f) {
        return QString::number(f.shownSeconds >= 0 ? f.shownSeconds : f.seconds, 'f', 2);
    };

    const ProcessFigures own = run({"XDG_CACHE_HOME=" + home.filePath(u"cache0"_s).toLocal8Bit()});
    out << "built-in dictionary: " << mib(own.maxRssKiB) << " MiB peak, " << shown(own) << " s\n";
    out.flush();
    for (const int megabytes : sizes) {
        const QString tsv = home.filePath(u"synthetic-%1.tsv"_s.arg(megabytes));
        const qint64 bytes = writeSyntheticTsv(tsv, megabytes);
        if (bytes < 0) {
            out << "cannot write " << tsv << "\n";
            return 1;
        }
        const QList<QByteArray> env = {
                "VERAROV_DICTIONARY=" + tsv.toLocal8Bit(),
                "XDG_CACHE_HOME=" + home.filePath(u"cache-%1"_s.arg(megabytes)).toLocal8Bit()};
        const ProcessFigures first = run(env);
        const ProcessFigures cached = run(env);
        const double fileKiB = double(bytes) / 1024;
        out << megabytes << " MB TSV (" << bytes << " bytes):\n"
            << "  first start " << mib(first.maxRssKiB) << " MiB peak, " << shown(first)
            << " s; above the built-in start: "
            << QString::number((first.maxRssKiB - own.maxRssKiB) / fileKiB, 'f', 1)
            << " x the file (aim: 4 x or less)\n"
            << "  cached start " << mib(cached.maxRssKiB) << " MiB peak, " << shown(cached)
            << " s\n";
        out.flush();
        QFile::remove(tsv);
    }
    return 0;
}
