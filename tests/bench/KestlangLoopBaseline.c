/* The baseline of the compiled-code benchmark: the loops of KestlangLoop.kst
   in C, built without optimisation (-O0), timed the same way. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double microseconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

int main(void) {
    double start = microseconds();
    double sum = 0;
    for (int i = 1; i <= 2000000; i++)
        sum = sum + i * 0.5;
    double middle = microseconds();
    char *s = NULL;
    size_t length = 0;
    for (int i = 1; i <= 4000; i++) { /* a new string each time, as s + "ab" */
        char *joined = malloc(length + 3);
        if (s) memcpy(joined, s, length);
        memcpy(joined + length, "ab", 3);
        free(s);
        s = joined;
        length += 2;
    }
    double finish = microseconds();
    if (sum != 1000000500000.0 || length != 8000) return 1;
    free(s);
    printf("doubles %d\nstrings %d\n", (int)(middle - start), (int)(finish - middle));
    return 0;
}
