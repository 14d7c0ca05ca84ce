#pragma once

#include <QStringList>

// verarov-data recognise [FILE]: the characters that drawn strokes (JSON,
// from FILE or standard input) may be, best first, one a line.
int recogniseCommand(const QStringList &args);

// verarov-data say TEXT_OR_PINYIN -o FILE.wav: the word spoken as the
// program's Prononcer speaks it, as a WAV file.
int sayCommand(const QStringList &args);
