/* Dates per second of vorkane-batch against whole runs of the program, side
   by side in rounds: each round times RUNS runs of the program (vorkane.in
   written before each, as a script would) and one batch over DATES dates,
   and prints the time per date of each and their ratio. Works in a fresh
   directory under /tmp with a data file whose record 5137 holds random
   coefficients of ephemeris size.
   usage: batch_throughput ROUNDS RUNS DATES VORKANE VORKANE_BATCH */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "vorkane_file_layout.h"

/* Record 5137, whose 32 days hold the dates of the batch. */
#define RECORD 5137
#define RECORD_START (VORKANE_FIRST_DATE + VORKANE_RECORD_DAYS * (RECORD - 1))

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

static void run(char* const argv[]) {
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        execv(argv[0], argv);
        _exit(127);
    }
    int status;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "%s did not end with status 0\n", argv[0]);
        exit(1);
    }
}

static double date_of(int i) { return RECORD_START + (i % 4096) * (VORKANE_RECORD_DAYS / 4096); }

static void make_data_file(void) {
    double record[VORKANE_RECORD_VALUES];
    uint64_t seed = 12345;
    record[0] = RECORD_START;
    record[1] = RECORD_START + VORKANE_RECORD_DAYS;
    for (int i = 2; i < VORKANE_RECORD_VALUES; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        record[i] = (double)(seed >> 11) / 9007199254740992.0 * 2.0e6 - 1.0e6;
    }
    int fd = open("15502650.440", O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ftruncate(fd, VORKANE_FILE_BYTES) != 0 ||
        pwrite(fd, record, sizeof record, (RECORD - 1) * (off_t)VORKANE_RECORD_BYTES) != sizeof record) exit(1);
    close(fd);
}

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: batch_throughput ROUNDS RUNS DATES VORKANE VORKANE_BATCH\n");
        return 2;
    }
    int rounds = atoi(argv[1]), runs = atoi(argv[2]), dates = atoi(argv[3]);
    char dir[] = "/tmp/vorkane-batch-bench-XXXXXX";
    if (mkdtemp(dir) == NULL || chdir(dir) != 0) return 1;
    make_data_file();
    FILE* list = fopen("dates", "w");
    for (int i = 0; i < dates; ++i) fprintf(list, "%.17g\n", date_of(i));
    fclose(list);
    char* program[] = {argv[4], NULL};
    char* batch[] = {argv[5], "-o", "/dev/null", "dates", NULL};
    for (int r = 0; r < rounds; ++r) {
        double start = now();
        for (int i = 0; i < runs; ++i) {
            FILE* in = fopen("vorkane.in", "w");
            fprintf(in, "%.17g\n", date_of(i));
            fclose(in);
            run(program);
        }
        double per_run = (now() - start) / runs;
        start = now();
        run(batch);
        double per_date = (now() - start) / dates;
        printf("round %d: whole run %8.1f us, batch %6.2f us per date, ratio %.0f\n", r + 1,
               per_run * 1e6, per_date * 1e6, per_run / per_date);
    }
    unlink("dates");
    unlink("vorkane.in");
    unlink("vorkane.out");
    unlink("15502650.440");
    rmdir(dir);
    return 0;
}
