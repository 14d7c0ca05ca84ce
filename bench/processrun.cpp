#include "processrun.h"

#include <QElapsedTimer>

#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

ProcessFigures runProcess(const QString &program, const QStringList &arguments,
                          const QList<QByteArray> &env, bool quiet)
{
    const QByteArray path = program.toLocal8Bit();
    std::vector<QByteArray> args{path};
    for (const QString &a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ProcessFigures figures;
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const QByteArray &e : env)
            putenv(strdup(e.constData()));
        if (quiet) {
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execv(path.constData(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.maxRssKiB = usage.ru_maxrss;
    figures.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return figures;
}
