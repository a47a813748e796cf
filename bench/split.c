/* Baseline of the listing: the file read a line at a time and every line cut
 * into its fields, with nothing kept.
 *
 *   bench_split SOURCE
 *
 * Prints the number of lines and of fields, so that the work cannot be
 * optimised away. */
#include <stdlib.h>

#include "bench/contact_lines.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: bench_split SOURCE\n");
        return 2;
    }
    FILE* source = fopen(argv[1], "rb");
    if (!source) {
        perror(argv[1]);
        return 1;
    }
    char* line = NULL;
    size_t capacity = 0;
    ssize_t size;
    long lines = 0, fields = 0, bytes = 0;
    Field f[kMaxFields];
    while ((size = read_line(source, &line, &capacity)) >= 0) {
        const int count = split_line(line, (size_t)size, f);
        ++lines;
        fields += count;
        for (int i = 0; i < count; ++i) bytes += (long)f[i].size;
    }
    printf("%ld lines, %ld fields, %ld bytes of text\n", lines, fields, bytes);
    free(line);
    fclose(source);
    return 0;
}
