/* What the C baselines share: reading a generated contacts file a line at a
 * time, cutting a line into its fields as the import's listing does, and the
 * import's checks reduced to what the generator's invalid records break.
 *
 * The generator ends every line with CR LF, so reading up to LF and dropping
 * the CR reads its lines as the listing does. Fields are cut at every comma;
 * a field that starts with a double quote loses its first and last
 * characters, which is all the listing does about quotes. */
#ifndef PELMAR_BENCH_CONTACT_LINES_H
#define PELMAR_BENCH_CONTACT_LINES_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>

typedef struct {
    const char* text;
    size_t size;
} Field;

enum { kMaxFields = 32 };

/* The columns of the default mapping. */
enum { kFirstName, kMiddleName, kLastName, kEmail, kAddress, kMobile, kOrganisation, kSex, kMappedFields };

/* The next line without its CR LF; -1 at the end of the file. */
static inline ssize_t read_line(FILE* file, char** line, size_t* capacity) {
    ssize_t size = getline(line, capacity, file);
    if (size < 0) return -1;
    while (size > 0 && ((*line)[size - 1] == '\n' || (*line)[size - 1] == '\r')) --size;
    (*line)[size] = '\0';
    return size;
}

/* Cuts the line into at most kMaxFields fields; returns how many. */
static inline int split_line(const char* line, size_t size, Field* fields) {
    int count = 0;
    const char* end = line + size;
    for (const char* start = line; count < kMaxFields;) {
        const char* comma = memchr(start, ',', (size_t)(end - start));
        const char* stop = comma ? comma : end;
        Field field = {start, (size_t)(stop - start)};
        if (field.size >= 2 && field.text[0] == '"') {
            ++field.text;
            field.size -= 2;
        }
        fields[count++] = field;
        if (!comma) break;
        start = comma + 1;
    }
    for (int i = count; i < kMappedFields; ++i) fields[i] = (Field){"", 0};
    return count;
}

/* The import rejects a record without a first name, with a mobile number that
 * is not all digits, or with a gender other than M or F (or empty). */
static inline int acceptable(const Field* fields) {
    const Field* name = &fields[kFirstName];
    const Field* mobile = &fields[kMobile];
    const Field* sex = &fields[kSex];
    size_t blanks = 0;
    while (blanks < name->size && name->text[blanks] == ' ') ++blanks;
    if (blanks == name->size || mobile->size == 0) return 0;
    for (size_t i = 0; i < mobile->size; ++i)
        if (mobile->text[i] < '0' || mobile->text[i] > '9') return 0;
    if (sex->size > 1) return 0;
    return sex->size == 0 || strchr("MFmf", sex->text[0]) != NULL;
}

/* The gender as the import stores it: upper case. */
static inline char upper_sex(const Field* sex) {
    const char c = sex->size ? sex->text[0] : '\0';
    return c == 'm' ? 'M' : c == 'f' ? 'F' : c;
}

// The insert baselines' command line: TARGET SOURCE --folder ID [--group ID].
// Opens SOURCE; 0 after a message when the line is wrong or SOURCE cannot
// be opened.
static inline FILE* open_insert_source(int argc, char** argv, const char* usage, int* folder, int* group) {
    *folder = -1;
    *group = -1;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--folder") == 0)
            *folder = atoi(argv[i + 1]);
        else if (strcmp(argv[i], "--group") == 0)
            *group = atoi(argv[i + 1]);
    }
    if (argc < 5 || *folder < 0) {
        fprintf(stderr, "usage: %s\n", usage);
        return NULL;
    }
    FILE* source = fopen(argv[2], "rb");
    if (!source) perror(argv[2]);
    return source;
}

#endif
