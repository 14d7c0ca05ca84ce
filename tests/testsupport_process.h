#pragma once

// Test helper: a program run to its end as a user runs it, with what it
// printed and how it ended.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif

struct ProcessRun
{
    int exitCode = -1; // -1: it crashed, was killed or did not end in time
    QByteArray out;
    QByteArray err;
};

struct ProcessOptions
{
    QStringList environment;   // "NAME=value" on top of the current environment
    QStringList unset;         // names taken out of it
    QString workingDirectory;  // empty: the test's own
    QByteArray input;          // standard input, then closed
    QString outputFile;        // standard output written there instead
    qint64 dataLimitBytes = 0; // a data size limit (POSIX): a program that keeps
                               // what it reads fails soon instead of filling memory
    int timeoutMs = 60000;
};

inline ProcessRun runProgram(const QString &program, const QStringList &arguments,
                             const ProcessOptions &options = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : options.unset)
        env.remove(name);
    for (const QString &setting : options.environment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    p.setProcessEnvironment(env);
    if (!options.workingDirectory.isEmpty())
        p.setWorkingDirectory(options.workingDirectory);
    if (!options.outputFile.isEmpty())
        p.setStandardOutputFile(options.outputFile);
#if defined(Q_OS_UNIX) && !defined(__SANITIZE_ADDRESS__)
    if (const qint64 bytes = options.dataLimitBytes; bytes > 0) {
        p.setChildProcessModifier([bytes] {
            const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
            setrlimit(RLIMIT_DATA, &limit);
        });
    }
#endif
    p.start(program, arguments);
    if (!p.waitForStarted())
        return {};
    p.write(options.input);
    p.closeWriteChannel();
    if (!p.waitForFinished(options.timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
