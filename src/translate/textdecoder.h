#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>
#include <optional>
#include <vector>

namespace Verarov::Translate {

// The encodings a text is read in.  Detect: UTF-16LE after the byte-order
// mark FF FE, UTF-16BE after FE FF, else UTF-8 (after EF BB BF or not).
enum class TextEncoding { Detect, Utf8, Utf16LE, Utf16BE };

// The encoding a user names, case ignored: "utf-8" (or "utf8"), "utf-16le",
// "utf-16be".  "UTF-8" -> Utf8, "latin1" -> nullopt
std::optional<TextEncoding> encodingFromName(QStringView name);

// A strict decoder of a byte stream that comes in blocks of any size, to
// UTF-16.  A byte-order mark at the very beginning is dropped: the one that
// decides the encoding (Detect), or that of the encoding forced.  Anything
// that is not well-formed text stops the decoding at its first byte: an
// ill-formed UTF-8 sequence (overlong forms, encoded surrogates and code
// points above U+10FFFF included), a UTF-8 character cut by the end, a UTF-16
// surrogate without its other half, an odd UTF-16 byte at the end.
//
//   "a\xC3\xA9"     -> "aé"
//   "a\xC3("        -> "a", then an invalid sequence at byte 1
//   "\xFF\xFE" "a\0" -> "a" (UTF-16LE)
class TextDecoder
{
public:
    explicit TextDecoder(TextEncoding encoding = TextEncoding::Detect);

    // Appends to *units the code units of every character the bytes
    // complete; a surrogate pair is never split between two calls.  Returns
    // false at the first invalid byte: the characters before it are
    // appended, nothing after it, and every later call returns false.
    bool decode(const char *bytes, std::size_t size, std::vector<char16_t> *units);
    // The end of the stream: false when it stops inside a character.
    bool finish(std::vector<char16_t> *units);

    // The encoding in use: the one forced, or the one the first bytes
    // decided (Detect until then).
    TextEncoding encoding() const { return m_encoding; }
    bool failed() const { return m_fault != Fault::None; }
    // Offset from the stream's first byte (0) of the first byte of what
    // could not be decoded; -1 while nothing failed.
    qint64 errorOffset() const { return m_errorOffset; }
    // What failed and where, in French:
    //   "séquence UTF-8 invalide à la position 12 (octet 0xC3)"
    QString errorText() const;

private:
    enum class Fault { None, InvalidUtf8, TruncatedUtf8, LoneSurrogate, OddLength };

    bool start(std::vector<char16_t> *units);
    bool decodeBody(const unsigned char *bytes, std::size_t size, std::vector<char16_t> *units);
    char16_t *decodeUtf8(const unsigned char *bytes, std::size_t size, char16_t *out);
    char16_t *decodeUtf16(const unsigned char *bytes, std::size_t size, char16_t *out);
    void fail(Fault fault, qint64 offset, unsigned value);

    TextEncoding m_encoding;
    bool m_started = false;
    unsigned char m_head[3] = {};
    int m_headSize = 0;
    qint64 m_offset = 0; // of the next byte given to decodeBody

    // UTF-8: the character being read.
    int m_need = 0; // continuation bytes still to come
    char32_t m_code = 0;
    unsigned char m_low = 0x80, m_high = 0xBF; // range of the next byte
    qint64 m_sequenceStart = 0;
    unsigned char m_lead = 0;

    // UTF-16: a byte waiting for its pair, a high surrogate for its low one.
    bool m_hasOddByte = false;
    unsigned char m_oddByte = 0;
    char16_t m_highSurrogate = 0;
    qint64 m_highSurrogateAt = 0;

    Fault m_fault = Fault::None;
    qint64 m_errorOffset = -1;
    unsigned m_errorValue = 0;
};

// The encoding a byte-order mark at the start of bytes names: Utf8 after
// EF BB BF, Utf16LE after FF FE, Utf16BE after FE FF; Detect without one.
//   "\xEF\xBB\xBF" "a" -> Utf8,  "\xFF\xFE" -> Utf16LE,  "ab" -> Detect
TextEncoding byteOrderMark(const char *bytes, std::size_t size);

// Whether a text that comes in blocks of any size is well-formed UTF-8
// holding no NUL byte (which UTF-16 text of Latin letters or line breaks
// always holds).
//   "a\xC3\xA9" -> true,  "a\0" -> false,  "a\xC3(" -> false,  "\xC3" -> false
class Utf8Probe
{
public:
    // False as soon as the text is known not to be such UTF-8.
    bool add(const char *bytes, std::size_t size);
    // The verdict, at the end of the text.
    bool finish();

private:
    TextDecoder m_decoder{TextEncoding::Utf8};
    std::vector<char16_t> m_units;
    bool m_ok = true;
};

} // namespace Verarov::Translate
