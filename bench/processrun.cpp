#include "processrun.h"

#include <QElapsedTimer>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

ProcessFigures runProcess(const QString &program, const QStringList &arguments,
                          const QList<QByteArray> &env, bool quiet, const QString &outputPath)
{
    const QByteArray outputFile = outputPath.toLocal8Bit();
    const QByteArray path = program.toLocal8Bit();
    std::vector<QByteArray> args{path};
    for (const QString &a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ProcessFigures figures;
    int out[2];
    if (pipe(out) != 0)
        return figures;
    QElapsedTimer timer;
    timer.start();
    const auto forked = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const QByteArray &e : env)
            putenv(strdup(e.constData()));
        close(out[0]);
        if (!outputFile.isEmpty()) {
            const int file = open(outputFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(file, out[1]);
        }
        dup2(out[1], STDOUT_FILENO);
        if (quiet) {
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDERR_FILENO);
        }
        execv(path.constData(), argv.data());
        _exit(127);
    }
    close(out[1]);
    QByteArray printed;
    char chunk[4096];
    for (ssize_t n; (n = read(out[0], chunk, sizeof chunk)) != 0;) {
        if (n > 0)
            printed.append(chunk, n);
        else if (errno != EINTR)
            break;
    }
    close(out[0]);
    const qint64 shownNs = printedValue(printed, "shown");
    if (shownNs >= 0)
        figures.shownSeconds =
                (shownNs - std::chrono::nanoseconds(forked.time_since_epoch()).count()) / 1e9;
    if (!quiet)
        std::fwrite(printed.constData(), 1, size_t(printed.size()), stdout);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.maxRssKiB = usage.ru_maxrss;
    figures.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    figures.output = printed;
    return figures;
}

qint64 printedValue(const QByteArray &output, const char *name)
{
    const QByteArray prefix = QByteArray(name) + ' ';
    for (const QByteArray &line : output.split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).toLongLong();
    }
    return -1;
}
