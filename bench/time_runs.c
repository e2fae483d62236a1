/* Times whole runs of two commands, interleaved so that both see the same
   machine state, in the current directory. Prints the median wall time of
   each, their ratio, and the peak resident memory of each.
   usage: time_runs RUNS PROGRAM_A PROGRAM_B */
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

/* One run: wall seconds, and peak memory in KiB through *peak_kib. */
static double run_once(const char* program, long* peak_kib) {
    double start = now();
    pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, (char*)NULL);
        _exit(127);
    }
    int status;
    struct rusage usage;
    wait4(pid, &status, 0, &usage);
    double elapsed = now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "%s did not end with status 0\n", program);
        exit(1);
    }
    if (usage.ru_maxrss > *peak_kib) *peak_kib = usage.ru_maxrss;
    return elapsed;
}

static int by_value(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

static double median(double* values, int n) {
    qsort(values, (size_t)n, sizeof *values, by_value);
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: time_runs RUNS PROGRAM_A PROGRAM_B\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    if (runs < 1) return 2;
    double* a = calloc((size_t)runs, sizeof *a);
    double* b = calloc((size_t)runs, sizeof *b);
    long peak_a = 0, peak_b = 0;
    for (int i = 0; i < runs; ++i) {
        a[i] = run_once(argv[2], &peak_a);
        b[i] = run_once(argv[3], &peak_b);
    }
    double ma = median(a, runs), mb = median(b, runs);
    printf("%-40s median %8.1f us  peak %6ld KiB\n", argv[2], ma * 1e6, peak_a);
    printf("%-40s median %8.1f us  peak %6ld KiB\n", argv[3], mb * 1e6, peak_b);
    printf("ratio %.3f\n", ma / mb);
    free(a);
    free(b);
    return 0;
}
