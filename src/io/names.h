#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Verarov::Io {

// File names as the program holds them, losslessly.  On Unix a name is
// bytes, often UTF-8 but not always (GBK or Latin-1 names from unpacked
// archives): the bytes that are not UTF-8 are held each as a lone code unit
// U+DC80..U+DCFF, which no text decodes to, and given back as themselves.
// Decoding through the locale (QFile::decodeName) would turn them into
// U+FFFD and open another file.
//   "out\xE9.bin" -> u"out\uDCE9.bin" -> "out\xE9.bin"
QByteArray encodeName(const QString &name);
QString decodeName(QByteArrayView bytes);

// A name to show in a message: the bytes that are not text as \xHH.
//   u"out\uDCE9.bin" -> "out\xE9.bin"
QString displayName(const QString &name);

#ifdef Q_OS_WIN
// Whether a part of the path is longer than a folder of Windows takes (255
// UTF-16 units), where the system reports only that the path is not found.
bool hasPartTooLongForWindows(const QString &path);
#endif

} // namespace Verarov::Io
