#pragma once

// Runs a program as a child process and measures it (Linux).

#include "median.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

struct ProcessFigures
{
    double seconds = 0;       // wall time from fork to exit
    double shownSeconds = -1; // fork to the "shown <steady ns>" line it printed, if any
    long maxRssKiB = 0;       // peak resident memory of the child
    int exitCode = -1;
    QByteArray output; // what it printed (empty when its output went to a file)
};

// env: extra "NAME=value" entries on top of the current environment.
// The child's standard output is read for a "shown <ns>" line, or written
// to the file outputPath when one is named (created or emptied first).
ProcessFigures runProcess(const QString &program, const QStringList &arguments,
                          const QList<QByteArray> &env = {}, bool quiet = true,
                          const QString &outputPath = {});

// The number printed after "name " on a line of the output; -1 for none.
qint64 printedValue(const QByteArray &output, const char *name);
