#include "common.h"

#include "io/names.h"
#include "translate/vocabulary.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Verarov::DataTool {

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usage()
{
    err() << "usage : verarov-data import FICHIER.u8 | build ENTREE.tsv SORTIE.bin | check"
             " | export DOSSIER\n"
             "        | vocab [options] [FICHIER...]   (verarov-data vocab --help)\n"
             "        | recognise [FICHIER.json] | say TEXTE_OU_PINYIN -o FICHIER.wav\n";
    return 2;
}

void reportSkipped(const QString &name, const ReadResult &read)
{
    const QString path = Io::displayName(name);
    for (const SkippedLine &s : read.skipped)
        err() << path << ':' << s.line << ": ligne ignorée : " << s.reason << '\n';
    if (!read.skipped.isEmpty() || read.repeats > 0)
        err() << path << " : entrées " << read.entries.size() << ", lignes ignorées "
              << read.skipped.size() << ", doublons exacts supprimés " << read.repeats << '\n';
}

bool loadForUse(Loaded &loaded)
{
    loaded = loadDictionary();
    if (!loaded.failure.isEmpty()) {
        err() << loaded.failure << '\n';
        return false;
    }
    if (loaded.tables.isEmpty()) {
        err() << "aucun dictionnaire : ce programme n'a pas de dictionnaire intégré et aucun "
                 "n'est désigné\n";
        return false;
    }
    return true;
}

std::optional<ArgumentReader::Item> ArgumentReader::next()
{
    if (m_next >= m_arguments.size())
        return std::nullopt;
    Item item;
    item.text = m_arguments[m_next++];
    if (m_options && item.text == u"--") {
        m_options = false;
        return next();
    }
    if (!m_options || !item.text.startsWith(u"--"_s))
        return item;
    item.option = true;
    const qsizetype equals = item.text.indexOf(u'=');
    item.name = equals < 0 ? item.text : item.text.first(equals);
    if (equals >= 0)
        item.value = item.text.sliced(equals + 1);
    return item;
}

std::optional<QString> ArgumentReader::takeValue(const Item &option)
{
    if (option.value)
        return option.value;
    if (m_next >= m_arguments.size())
        return std::nullopt;
    return m_arguments[m_next++];
}

namespace {

bool standardErrorIsTerminal()
{
#ifdef Q_OS_WIN
    return ::_isatty(::_fileno(stderr));
#else
    return ::isatty(STDERR_FILENO);
#endif
}

} // namespace

ProgressBar::ProgressBar(qint64 total)
    : m_total(total), m_shown(total > 50'000'000 && standardErrorIsTerminal())
{ }

void ProgressBar::advance(qint64 bytes)
{
    m_done += bytes;
    if (!m_shown)
        return;
    const QString bar = Translate::progressBar(m_done, m_total);
    if (bar != m_last) {
        err() << '\r' << bar;
        err().flush();
        m_last = bar;
    }
}

void ProgressBar::clear()
{
    if (m_shown && !m_last.isEmpty()) {
        err() << '\r' << QString(m_last.size(), u' ') << '\r';
        err().flush();
        m_last.clear();
    }
}

} // namespace Verarov::DataTool
