#include "io/names.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace Verarov::Io {

using namespace Qt::StringLiterals;

namespace {

// The code units that stand for the bytes of a name that are not UTF-8:
// lone low surrogates, which no UTF-8 text decodes to.
constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

#ifndef Q_OS_WIN
// Length of the valid UTF-8 sequence at bytes[i], 0 when there is none
// (a stray, overlong, surrogate or out-of-range sequence).
int sequenceLength(const unsigned char *b, qsizetype i, qsizetype size, char32_t *code)
{
    const unsigned char lead = b[i];
    int length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((b[i + k] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b[i + k] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *code = c;
    return length;
}
#endif

} // namespace

QByteArray encodeName(const QString &name)
{
#ifdef Q_OS_WIN
    return QFile::encodeName(name);
#else
    // Valid text as UTF-8; each escaped byte as itself.
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype from = 0;
    const auto flush = [&](qsizetype to) {
        if (to > from)
            bytes += QStringView(name).sliced(from, to - from).toUtf8();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        if (!isEscape(unit))
            continue;
        flush(i);
        bytes += char(unit - kEscapeBase);
        from = i + 1;
    }
    flush(name.size());
    return bytes;
#endif
}

QString decodeName(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    return QFile::decodeName(bytes.toByteArray());
#else
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    QString name;
    name.reserve(size);
    for (qsizetype i = 0; i < size;) {
        char32_t code = 0;
        const int length = sequenceLength(b, i, size, &code);
        if (length == 0) {
            name.append(QChar(char16_t(kEscapeBase + b[i])));
            ++i;
        } else {
            name.append(QChar::fromUcs4(code));
            i += length;
        }
    }
    return name;
#endif
}

QString displayName(const QString &name)
{
    QString shown;
    shown.reserve(name.size());
    for (const QChar c : name) {
        if (isEscape(c.unicode()))
            shown += u"\\x"_s + QString::number(c.unicode() - kEscapeBase, 16).toUpper();
        else
            shown += c;
    }
    return shown;
}

#ifdef Q_OS_WIN
bool hasPartTooLongForWindows(const QString &path)
{
    const QStringList parts = QString(path).replace(u'\\', u'/').split(u'/');
    return std::any_of(parts.cbegin(), parts.cend(),
                       [](const QString &part) { return part.size() > 255; });
}
#endif

} // namespace Verarov::Io
