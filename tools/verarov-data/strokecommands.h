#pragma once

#include <QStringList>

// verarov-data recognise [FILE]: the characters that drawn strokes (JSON,
// from FILE or standard input) may be, best first, one a line.
int recogniseCommand(const QStringList &args);
