/* Counts the calls to malloc, calloc and realloc of the process it is
 * preloaded into (LD_PRELOAD), and of those the calls made from within
 * SQLite's library, and writes both to the file MALLOC_COUNT_FILE names when
 * the process ends: "calls sqlite_calls". bench/run divides them by records. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <link.h>
#include <stdatomic.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern void* __libc_malloc(size_t);
extern void* __libc_calloc(size_t, size_t);
extern void* __libc_realloc(void*, size_t);

static atomic_long calls, sqlite_calls;
static uintptr_t sqlite_low, sqlite_high; /* its code, once found */
static atomic_int looked;

static int find_sqlite(struct dl_phdr_info* info, size_t size, void* data) {
    (void)size, (void)data;
    if (!info->dlpi_name || !strstr(info->dlpi_name, "libsqlite3")) return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)* p = &info->dlpi_phdr[i];
        if (p->p_type != PT_LOAD || !(p->p_flags & PF_X)) continue;
        sqlite_low = info->dlpi_addr + p->p_vaddr;
        sqlite_high = sqlite_low + p->p_memsz;
    }
    return 1;
}

static void count(void* caller) {
    atomic_fetch_add_explicit(&calls, 1, memory_order_relaxed);
    /* The library is loaded before main; look once it may be there. */
    if (!sqlite_low && atomic_fetch_add(&looked, 1) % 4096 == 0) dl_iterate_phdr(find_sqlite, NULL);
    const uintptr_t at = (uintptr_t)caller;
    if (at >= sqlite_low && at < sqlite_high) atomic_fetch_add_explicit(&sqlite_calls, 1, memory_order_relaxed);
}

void* malloc(size_t n) {
    count(__builtin_return_address(0));
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    count(__builtin_return_address(0));
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    count(__builtin_return_address(0));
    return __libc_realloc(p, n);
}

__attribute__((destructor)) static void report(void) {
    const char* path = getenv("MALLOC_COUNT_FILE");
    FILE* out = path ? fopen(path, "w") : NULL;
    if (!out) return;
    fprintf(out, "%ld %ld\n", (long)calls, (long)sqlite_calls);
    fclose(out);
}
