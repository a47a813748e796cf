/* Runs a command and reports its wall time and peak memory: fork, exec,
 * wait4, ru_maxrss. The child's output is left alone; the figures go to
 * FILE as one line, "SECONDS MAXRSS_KB EXIT_STATUS".
 *
 *   bench_peakrss FILE COMMAND [ARGUMENTS...]
 *
 * Exits with the command's status (127 when it could not be started). */
#define _DEFAULT_SOURCE /* wait4 */

#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_peakrss FILE COMMAND [ARGUMENTS...]\n");
        return 2;
    }
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child < 0) {
        perror("fork");
        return 127;
    }
    if (child == 0) {
        execvp(argv[2], argv + 2);
        perror(argv[2]);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(child, &status, 0, &usage) != child) {
        perror("wait4");
        return 127;
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const double seconds = (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) / 1e9;

    FILE* out = fopen(argv[1], "a");
    if (!out) {
        perror(argv[1]);
        return 127;
    }
    fprintf(out, "%.6f %ld %d\n", seconds, usage.ru_maxrss, code);
    fclose(out);
    return code;
}
