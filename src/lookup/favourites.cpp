#include "lookup/favourites.h"

#include "dictionary/keylist.h"
#include "dictionary/tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace Verarov::Lookup {

namespace {

constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// A field of the file: TAB, CR and LF become blanks.
QString field(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return out;
}

} // namespace

bool Favourites::add(const EntryTexts &entry)
{
    for (const EntryTexts &e : m_entries) {
        if (e.headword == entry.headword && e.pinyin == entry.pinyin)
            return false;
    }
    m_entries.append({field(entry.headword), field(entry.pinyin), field(entry.gloss)});
    return true;
}

void Favourites::remove(qsizetype index)
{
    if (index >= 0 && index < m_entries.size())
        m_entries.removeAt(index);
}

Favourites Favourites::read(const QString &path, QString *failure)
{
    Favourites favourites;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return favourites;
    auto fail = [&](const QString &why) {
        if (failure)
            *failure = u"Impossible de lire les favoris \"%1\" : %2"_s.arg(path, why);
        return Favourites();
    };
    if (!info.isFile())
        return fail(u"ce n'est pas un fichier"_s);
    if (info.size() > kMaxFileSize)
        return fail(u"le fichier dépasse 16 Mo"_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize)
        return fail(u"le fichier dépasse 16 Mo"_s);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(u"le texte n'est pas en UTF-8"_s);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() != 3 || fields[0].isEmpty())
            continue;
        favourites.add({fields[0].toString(), fields[1].toString(), fields[2].toString()});
    }
    return favourites;
}

QString Favourites::write(const QString &path) const
{
    auto fail = [&](const QString &why) {
        return u"Impossible d'enregistrer les favoris \"%1\" : %2"_s.arg(path, why);
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(u"le dossier ne peut être créé"_s);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    QByteArray bytes;
    for (const EntryTexts &e : m_entries)
        bytes += (e.headword + u'\t' + e.pinyin + u'\t' + e.gloss + u'\n').toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fail(file.errorString());
    return {};
}

QString favouritesPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + u"/verarov/favoris.tsv"_s;
}

int findEntry(const Dictionary::Tables &tables, QStringView headword, QStringView pinyin)
{
    if (headword.isEmpty())
        return -1;
    const Dictionary::EntryRange run =
            Dictionary::entriesBeginningWith(tables, headword.front().unicode());
    for (int e = run.begin; e < run.end; ++e) {
        if (tables.headword(e) == headword && tables.pinyin(e) == pinyin)
            return e;
    }
    return -1;
}

} // namespace Verarov::Lookup
