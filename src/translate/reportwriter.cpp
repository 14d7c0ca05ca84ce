#include "translate/reportwriter.h"

#include "dictionary/text.h"

#include <QString>

namespace Verarov::Translate {

using namespace Qt::StringLiterals;

std::optional<ReportFormat> reportFormatFromName(QStringView name)
{
    if (name.compare(u"tsv", Qt::CaseInsensitive) == 0)
        return ReportFormat::Tsv;
    if (name.compare(u"csv", Qt::CaseInsensitive) == 0)
        return ReportFormat::Csv;
    if (name.compare(u"anki", Qt::CaseInsensitive) == 0)
        return ReportFormat::Anki;
    return std::nullopt;
}

namespace {

// A field between TABs: TAB, CR and LF become blanks.
void appendPlain(QByteArray &out, QStringView field)
{
    const qsizetype from = out.size();
    out += field.toUtf8();
    for (qsizetype i = from; i < out.size(); ++i) {
        if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n')
            out[i] = ' ';
    }
}

// A field that begins with =, +, - or @ is one a spreadsheet would run as a
// formula when the file is opened (a gloss "=HYPERLINK(...)", "-5 °C"): it
// is quoted and an apostrophe put first, which spreadsheets take as "this
// cell is text" and do not show.
void appendCsv(QByteArray &out, QStringView field)
{
    const QByteArray bytes = field.toUtf8();
    const bool formula =
            !bytes.isEmpty()
            && (bytes[0] == '=' || bytes[0] == '+' || bytes[0] == '-' || bytes[0] == '@');
    if (!formula && !bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r')
        && !bytes.contains('\n')) {
        out += bytes;
        return;
    }
    out += '"';
    if (formula)
        out += '\'';
    for (const char c : bytes) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendHtml(QByteArray &out, QStringView field)
{
    QByteArray bytes = field.toString().toHtmlEscaped().toUtf8();
    for (char &c : bytes) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    out += bytes;
}

QString characterText(char32_t code)
{
    return QString::fromUcs4(&code, 1);
}

} // namespace

QByteArray formatEntries(const Dictionary::Tables &tables, const std::vector<EntryCount> &entries,
                         ReportFormat format, const QStringList &soundFiles)
{
    QByteArray out;
    if (format == ReportFormat::Anki)
        out += "#separator:tab\n#html:true\n";
    for (const EntryCount &e : entries) {
        const qsizetype line = &e - entries.data();
        const QStringView headword = tables.headword(e.entry);
        const QStringView pinyin = tables.pinyin(e.entry);
        const QStringView gloss = trimmed(tables.gloss(e.entry));
        switch (format) {
        case ReportFormat::Tsv:
            appendPlain(out, headword);
            out += '\t';
            appendPlain(out, pinyin);
            out += '\t';
            appendPlain(out, gloss);
            if (e.count >= 0) {
                out += '\t';
                out += QByteArray::number(e.count);
            }
            out += '\n';
            break;
        case ReportFormat::Csv:
            appendCsv(out, headword);
            out += ',';
            appendCsv(out, pinyin);
            out += ',';
            appendCsv(out, gloss);
            if (e.count >= 0) {
                out += ',';
                out += QByteArray::number(e.count);
            }
            out += "\r\n";
            break;
        case ReportFormat::Anki:
            appendHtml(out, headword);
            out += '\t';
            appendHtml(out, pinyin);
            out += "<br>";
            appendHtml(out, gloss);
            if (!soundFiles.isEmpty()) {
                out += '\t';
                if (const QString &name = soundFiles.value(line); !name.isEmpty())
                    appendPlain(out, u"[sound:%1]"_s.arg(name));
            }
            out += '\n';
            break;
        }
    }
    return out;
}

QByteArray formatUnknown(const std::vector<CharacterCount> &characters, ReportFormat format)
{
    const bool csv = format == ReportFormat::Csv;
    QByteArray out;
    for (const CharacterCount &c : characters) {
        out += characterText(c.character).toUtf8();
        out += csv ? ',' : '\t';
        out += QByteArray::number(c.count);
        out += csv ? "\r\n" : "\n";
    }
    return out;
}

QByteArray unknownHeading(ReportFormat format)
{
    return format == ReportFormat::Csv ? QByteArray("\r\n# caractères inconnus\r\n")
                                       : QByteArray("\n# caractères inconnus\n");
}

} // namespace Verarov::Translate
