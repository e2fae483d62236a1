/* Times whole runs of two commands, interleaved so that both see the same
   machine state, in the current directory. Prints for each the median wall
   time, the median processor time (user and system, which waiting for a
   busy processor does not inflate), the median count of page faults and the
   peak resident memory, then the ratios of the medians.
   usage: time_runs RUNS PROGRAM_A PROGRAM_B */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

struct Sample {
    double wall;    /* seconds from fork to the end of the run */
    double cpu;     /* user and system seconds of the run */
    double faults;  /* minor and major page faults */
};

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

static double seconds(struct timeval t) { return t.tv_sec + t.tv_usec * 1e-6; }

/* One run; the peak memory in KiB goes to *peak_kib. */
static struct Sample run_once(const char* program, long* peak_kib) {
    double start = now();
    pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, (char*)NULL);
        _exit(127);
    }
    int status;
    struct rusage usage;
    wait4(pid, &status, 0, &usage);
    struct Sample sample = {now() - start, seconds(usage.ru_utime) + seconds(usage.ru_stime),
                            (double)(usage.ru_minflt + usage.ru_majflt)};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "%s did not end with status 0\n", program);
        exit(1);
    }
    if (usage.ru_maxrss > *peak_kib) *peak_kib = usage.ru_maxrss;
    return sample;
}

static int by_value(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

/* The median of one field of the samples; the samples stay as they are. */
static double median(const struct Sample* samples, int n, size_t field, double* scratch) {
    for (int i = 0; i < n; ++i) scratch[i] = *(const double*)((const char*)&samples[i] + field);
    qsort(scratch, (size_t)n, sizeof *scratch, by_value);
    return n % 2 ? scratch[n / 2] : (scratch[n / 2 - 1] + scratch[n / 2]) / 2;
}

struct Medians {
    double wall, cpu, faults;
};

static struct Medians medians(const struct Sample* samples, int n, double* scratch) {
    struct Medians m = {median(samples, n, offsetof(struct Sample, wall), scratch),
                        median(samples, n, offsetof(struct Sample, cpu), scratch),
                        median(samples, n, offsetof(struct Sample, faults), scratch)};
    return m;
}

static void print_medians(const char* program, struct Medians m, long peak_kib) {
    printf("%-40s wall %8.1f us  cpu %8.1f us  faults %4.0f  peak %6ld KiB\n", program,
           m.wall * 1e6, m.cpu * 1e6, m.faults, peak_kib);
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: time_runs RUNS PROGRAM_A PROGRAM_B\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    if (runs < 1) return 2;
    struct Sample* a = calloc((size_t)runs, sizeof *a);
    struct Sample* b = calloc((size_t)runs, sizeof *b);
    double* scratch = calloc((size_t)runs, sizeof *scratch);
    if (a == NULL || b == NULL || scratch == NULL) return 2;
    long peak_a = 0, peak_b = 0;
    for (int i = 0; i < runs; ++i) {
        a[i] = run_once(argv[2], &peak_a);
        b[i] = run_once(argv[3], &peak_b);
    }
    struct Medians ma = medians(a, runs, scratch), mb = medians(b, runs, scratch);
    print_medians(argv[2], ma, peak_a);
    print_medians(argv[3], mb, peak_b);
    printf("ratio wall %.3f  cpu %.3f\n", ma.wall / mb.wall, ma.cpu / mb.cpu);
    free(a);
    free(b);
    free(scratch);
    return 0;
}
