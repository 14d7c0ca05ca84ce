#include "translate/textdecoder.h"

#include <QChar>

#include <cstring>

namespace Verarov::Translate {

using namespace Qt::StringLiterals;

std::optional<TextEncoding> encodingFromName(QStringView name)
{
    const QString lower = name.toString().toLower();
    if (lower == u"utf-8" || lower == u"utf8")
        return TextEncoding::Utf8;
    if (lower == u"utf-16le" || lower == u"utf16le")
        return TextEncoding::Utf16LE;
    if (lower == u"utf-16be" || lower == u"utf16be")
        return TextEncoding::Utf16BE;
    return std::nullopt;
}

TextDecoder::TextDecoder(TextEncoding encoding) : m_encoding(encoding) { }

bool TextDecoder::decode(const char *bytes, std::size_t size, std::vector<char16_t> *units)
{
    if (failed())
        return false;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes);
    if (!m_started) {
        // The first three bytes decide, once they are all there.
        while (m_headSize < 3 && size > 0) {
            m_head[m_headSize++] = *in++;
            --size;
        }
        if (m_headSize < 3)
            return true;
        if (!start(units))
            return false;
    }
    return decodeBody(in, size, units);
}

bool TextDecoder::finish(std::vector<char16_t> *units)
{
    if (failed())
        return false;
    if (!m_started && !start(units))
        return false;
    if (m_need > 0)
        fail(Fault::TruncatedUtf8, m_sequenceStart, m_lead);
    else if (m_hasOddByte)
        fail(Fault::OddLength, m_offset - 1, m_oddByte);
    else if (m_highSurrogate)
        fail(Fault::LoneSurrogate, m_highSurrogateAt, m_highSurrogate);
    return !failed();
}

bool TextDecoder::start(std::vector<char16_t> *units)
{
    m_started = true;
    const auto begins = [this](const char *mark, int length) {
        return m_headSize >= length && std::memcmp(m_head, mark, std::size_t(length)) == 0;
    };
    const bool utf8Mark = begins("\xEF\xBB\xBF", 3);
    const bool leMark = begins("\xFF\xFE", 2);
    const bool beMark = begins("\xFE\xFF", 2);
    if (m_encoding == TextEncoding::Detect)
        m_encoding = leMark   ? TextEncoding::Utf16LE
                     : beMark ? TextEncoding::Utf16BE
                              : TextEncoding::Utf8;
    int mark = 0;
    if (m_encoding == TextEncoding::Utf8 && utf8Mark)
        mark = 3;
    else if ((m_encoding == TextEncoding::Utf16LE && leMark)
             || (m_encoding == TextEncoding::Utf16BE && beMark))
        mark = 2;
    m_offset = mark;
    return decodeBody(m_head + mark, std::size_t(m_headSize - mark), units);
}

bool TextDecoder::decodeBody(const unsigned char *bytes, std::size_t size,
                             std::vector<char16_t> *units)
{
    // Each byte gives at most one code unit, plus one for a character that
    // an earlier block began.
    const std::size_t before = units->size();
    units->resize(before + size + 2);
    char16_t *const begin = units->data() + before;
    char16_t *const end = m_encoding == TextEncoding::Utf8 ? decodeUtf8(bytes, size, begin)
                                                           : decodeUtf16(bytes, size, begin);
    units->resize(before + std::size_t(end - begin));
    if (!failed())
        m_offset += qint64(size);
    return !failed();
}

void TextDecoder::fail(Fault fault, qint64 offset, unsigned value)
{
    m_fault = fault;
    m_errorOffset = offset;
    m_errorValue = value;
}

namespace {

inline char16_t *put(char16_t *out, char32_t code)
{
    if (code < 0x10000) {
        *out++ = char16_t(code);
    } else {
        *out++ = QChar::highSurrogate(code);
        *out++ = QChar::lowSurrogate(code);
    }
    return out;
}

inline bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

// Well-formed sequences (Unicode, table 3-7): the lead byte gives the length
// and the range of the second byte; later bytes are 80..BF.
char16_t *TextDecoder::decodeUtf8(const unsigned char *bytes, std::size_t size, char16_t *out)
{
    std::size_t i = 0;
    while (i < size) {
        if (m_need == 0) {
            // Runs of ASCII, then whole two- and three-byte characters
            // inside the block, without the byte-by-byte states.
            while (i < size && bytes[i] < 0x80)
                *out++ = bytes[i++];
            if (i == size)
                break;
            const unsigned char lead = bytes[i];
            if (lead >= 0xC2 && lead <= 0xDF && i + 1 < size && isContinuation(bytes[i + 1])) {
                *out++ = char16_t((lead & 0x1F) << 6 | (bytes[i + 1] & 0x3F));
                i += 2;
                continue;
            }
            if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && i + 2 < size
                && isContinuation(bytes[i + 1]) && isContinuation(bytes[i + 2])) {
                *out++ = char16_t((lead & 0x0F) << 12 | (bytes[i + 1] & 0x3F) << 6
                                  | (bytes[i + 2] & 0x3F));
                i += 3;
                continue;
            }
            m_sequenceStart = m_offset + qint64(i);
            m_lead = lead;
            m_low = 0x80;
            m_high = 0xBF;
            if (lead >= 0xC2 && lead <= 0xDF) {
                m_need = 1;
                m_code = lead & 0x1F;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                m_need = 2;
                m_code = lead & 0x0F;
                if (lead == 0xE0)
                    m_low = 0xA0; // no overlong form
                else if (lead == 0xED)
                    m_high = 0x9F; // no surrogate
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                m_need = 3;
                m_code = lead & 0x07;
                if (lead == 0xF0)
                    m_low = 0x90; // no overlong form
                else if (lead == 0xF4)
                    m_high = 0x8F; // nothing above U+10FFFF
            } else {
                fail(Fault::InvalidUtf8, m_sequenceStart, lead);
                return out;
            }
            ++i;
            continue;
        }
        const unsigned char byte = bytes[i];
        if (byte < m_low || byte > m_high) {
            fail(Fault::InvalidUtf8, m_sequenceStart, m_lead);
            return out;
        }
        m_code = m_code << 6 | (byte & 0x3F);
        m_low = 0x80;
        m_high = 0xBF;
        ++i;
        if (--m_need == 0)
            out = put(out, m_code);
    }
    return out;
}

char16_t *TextDecoder::decodeUtf16(const unsigned char *bytes, std::size_t size, char16_t *out)
{
    const bool little = m_encoding == TextEncoding::Utf16LE;
    std::size_t i = 0;
    // unitAt: offset of the unit's first byte from the block's start
    // (negative for a unit begun by the odd byte of the previous block).
    const auto take = [&](char16_t unit, qint64 unitAt) {
        const qint64 at = m_offset + unitAt;
        if (m_highSurrogate) {
            if (!QChar::isLowSurrogate(unit)) {
                fail(Fault::LoneSurrogate, m_highSurrogateAt, m_highSurrogate);
                return false;
            }
            *out++ = m_highSurrogate;
            *out++ = unit;
            m_highSurrogate = 0;
        } else if (QChar::isHighSurrogate(unit)) {
            m_highSurrogate = unit;
            m_highSurrogateAt = at;
        } else if (QChar::isLowSurrogate(unit)) {
            fail(Fault::LoneSurrogate, at, unit);
            return false;
        } else {
            *out++ = unit;
        }
        return true;
    };
    if (m_hasOddByte && size > 0) {
        const unsigned char first = m_oddByte;
        const unsigned char second = bytes[0];
        m_hasOddByte = false;
        i = 1;
        if (!take(little ? char16_t(first | second << 8) : char16_t(first << 8 | second), -1))
            return out;
    }
    for (; i + 1 < size; i += 2) {
        const char16_t unit = little ? char16_t(bytes[i] | bytes[i + 1] << 8)
                                     : char16_t(bytes[i] << 8 | bytes[i + 1]);
        if (!m_highSurrogate && !QChar::isSurrogate(unit)) {
            *out++ = unit;
            continue;
        }
        if (!take(unit, qint64(i)))
            return out;
    }
    if (i < size) {
        m_hasOddByte = true;
        m_oddByte = bytes[i];
    }
    return out;
}

TextEncoding byteOrderMark(const char *bytes, std::size_t size)
{
    const auto begins = [&](const char *mark, std::size_t length) {
        return size >= length && std::memcmp(bytes, mark, length) == 0;
    };
    if (begins("\xEF\xBB\xBF", 3))
        return TextEncoding::Utf8;
    if (begins("\xFF\xFE", 2))
        return TextEncoding::Utf16LE;
    if (begins("\xFE\xFF", 2))
        return TextEncoding::Utf16BE;
    return TextEncoding::Detect;
}

bool Utf8Probe::add(const char *bytes, std::size_t size)
{
    m_ok = m_ok && std::memchr(bytes, 0, size) == nullptr;
    // The units are not kept: only whether the bytes decode.
    m_units.clear();
    m_ok = m_ok && m_decoder.decode(bytes, size, &m_units);
    return m_ok;
}

bool Utf8Probe::finish()
{
    m_units.clear();
    m_ok = m_ok && m_decoder.finish(&m_units);
    return m_ok;
}

QString TextDecoder::errorText() const
{
    const QString at = QString::number(m_errorOffset);
    const QString value = QString::number(m_errorValue, 16).toUpper();
    switch (m_fault) {
    case Fault::None:
        return {};
    case Fault::InvalidUtf8:
        return u"séquence UTF-8 invalide à la position %1 (octet 0x%2)"_s.arg(at, value);
    case Fault::TruncatedUtf8:
        return u"caractère UTF-8 coupé par la fin du texte à la position %1 (octet 0x%2)"_s.arg(
                at, value);
    case Fault::LoneSurrogate:
        return u"moitié de paire de substitution UTF-16 isolée à la position %1 (0x%2)"_s.arg(
                at, value);
    case Fault::OddLength:
        return u"texte UTF-16 d'un nombre impair d'octets : octet seul à la position %1"_s.arg(at);
    }
    return {};
}

} // namespace Verarov::Translate
