// peak_memory PROGRAM [ARGUMENTS...]: runs the program, prints its peak
// resident memory as "peak <KiB>" and exits with its exit status (127 when
// it could not run, 128 + n when signal n ended it).
//
// Linux keeps a process's peak across exec, so a program forked straight
// from a large benchmark reports the benchmark's own memory as its peak;
// forked from this small program, the peak is the program's.
#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: peak_memory PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 127;
    std::printf("peak %ld\n", usage.ru_maxrss);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}
