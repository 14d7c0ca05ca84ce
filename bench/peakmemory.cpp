// peak_memory PROGRAM [ARGUMENT...]: runs the program to its end, its
// standard output and error thrown away, and prints
// "<peak resident KiB> <wall seconds> <exit status>".
//
// A child's peak counts the pages of the process it was forked from, so a
// benchmark that holds large data measures through this small program
// instead of forking itself (Linux).
#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: peak_memory PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 1;
    const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%ld %.6f %d\n", usage.ru_maxrss, seconds,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}
