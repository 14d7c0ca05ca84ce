#pragma once

#include "dictionary/compiled_p.h"
#include "dictionary/reader.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstring>
#include <vector>

namespace Verarov::Dictionary {

// Entries as the compilation reads them, by number, any number of times and
// in any order.
class EntryTexts
{
public:
    virtual ~EntryTexts() = default;
    virtual int count() const = 0;
    // Valid as long as the entries.
    virtual QStringView headword(int entry) const = 0;
    // Valid as long as the entries and buffer, which may be used to hold it.
    virtual QStringView pinyin(int entry, QString &buffer) const = 0;
    virtual QStringView gloss(int entry, QString &buffer) const = 0;
    // The traditional form, empty when the entry has none.
    virtual QStringView traditional(int entry, QString &buffer) const = 0;
    // Only headwords are read from now on: the other texts may be let go.
    virtual void keepOnlyHeadwords() { }
};

// Entries as they are read from a dictionary file, held compactly: their
// texts as UTF-8 in one buffer, the headwords also as UTF-16, and a table
// of their numbers by hash that drops exact repeats as they come (same
// headword, pinyin and gloss: the first entry's traditional form stays).
// About the file's size in all, where a list of QString triples takes
// several times more.  Fields hold no TAB (the reader refuses control characters).
class EntryStore final : public EntryTexts, public EntrySink
{
public:
    // Room for the entries of a file of that many bytes (address space
    // only: pages never written take no memory), so that the texts are not
    // copied as they grow.
    void reserve(qint64 fileBytes);
    bool add(Entry &&entry) override;
    // No more entries: the table of repeats is let go.
    void squeeze() { std::vector<quint32>().swap(m_slots); }

    int count() const override { return int(m_headwordStarts.size()) - 1; }
    QStringView headword(int entry) const override;
    QStringView pinyin(int entry, QString &buffer) const override;
    QStringView gloss(int entry, QString &buffer) const override;
    QStringView traditional(int entry, QString &buffer) const override;
    void keepOnlyHeadwords() override;

private:
    // "headword TAB pinyin TAB gloss [TAB traditional]" as UTF-8.
    QByteArrayView text(int entry) const;
    // The text without the traditional form: what tells repeats apart.
    QByteArrayView identityOf(int entry) const;
    QByteArrayView field(int entry, int index) const;
    void grow();

    std::vector<char> m_text;
    std::vector<quint64> m_starts = {0}; // each entry's text, and the end
    std::vector<char16_t> m_headwords;
    std::vector<quint32> m_headwordStarts = {0};
    std::vector<quint32> m_slots; // entry numbers by hash, kFree where none
    bool m_anyTraditional = false; // whether some entry has a traditional form
};

// Where a compiled form goes: its bytes in order, the header first as
// zeros, then the header once known, in its place.
class CompiledOutput
{
public:
    virtual ~CompiledOutput() = default;
    virtual void write(const char *data, std::size_t size) = 0;
    virtual void finish(const CompiledHeader &header) = 0;
};

// The compiled form held in memory.
class ByteArrayOutput final : public CompiledOutput
{
public:
    void write(const char *data, std::size_t size) override
    {
        bytes.append(data, qsizetype(size));
    }
    void finish(const CompiledHeader &header) override
    {
        std::memcpy(bytes.data(), &header, sizeof header);
    }
    QByteArray bytes;
};

// Compiles the entries into out, section by section: the one derivation of
// compile(), without holding the compiled form nor a QString per entry.
// False when the texts would not fit the layout's 32-bit offsets.
bool compileTo(EntryTexts &entries, CompiledOutput &out);

} // namespace Verarov::Dictionary
