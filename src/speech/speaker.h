#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QVector>

namespace Verarov::Speech {

// Speech of a Chinese word with eSpeak NG: pinyin (marked or with tone
// numbers) through its voice cmn-latn-pinyin, Chinese characters through
// its voice cmn.  eSpeak NG holds one state per process, so each process
// either renders (to samples, WAV) or plays (to the sound device); every
// call is serialised.
struct Speech
{
    QVector<qint16> samples; // mono
    int sampleRate = 0;
    QString error; // French; empty on success
};

// The text as eSpeak NG is given it: tone numbers for pinyin, the text
// itself when it holds Chinese characters.
QString speechText(const QString &textOrPinyin);

// Renders to samples.
Speech render(const QString &textOrPinyin);
// Plays on the default sound device and returns when done; the French
// reason on failure.  Blocks: call it off the GUI thread.
QString play(const QString &textOrPinyin);

// A 16-bit PCM mono RIFF/WAVE file of the samples.
QByteArray wavFile(const Speech &speech);

// The name of the sound file of an entry, the same on every run and safe on
// every file system: "verarov-", the reading's tone-number syllables (a-z,
// 0-9, at most 40 characters, "_" between syllables), "-", 12 hexadecimal
// digits of the SHA-1 of headword TAB pinyin (so homophones differ), ".wav".
//   ("银行", "yín háng") -> "verarov-yin2_hang2-<12 hex digits>.wav"
QString soundFileName(QStringView headword, QStringView pinyin);

} // namespace Verarov::Speech
