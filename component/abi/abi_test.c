/* The host's view of libPelmarImpExp.so, in C, through its exports alone:
 * load it by path, register it, create a Manager from its programmatic
 * identifier, call every member by name, free each result with the library's
 * PelmarVariantClear, read the type information back, release the object and
 * unregister. (Init and LogFile through the function table: the examples.)
 * Usage: abi_test PATH_OF_LIBRARY */
#define _XOPEN_SOURCE 700 /* POSIX 2008 with realpath */

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "pelmar_host.h"
#include "pelmar_version.h"

static int failures = 0;

#define CHECK(condition)                                                                  \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                                   \
        }                                                                                 \
    } while (0)

typedef pelmar_status (*StatusFn)(void);
typedef pelmar_status (*TypeLibFn)(const PelmarTypeLibDesc**);
typedef const char* (*TextFn)(void);
typedef void (*VariantClearFn)(PelmarVariant*);
typedef void (*VersionFn)(int*, int*, int*);

/* An export of the library; a missing one ends the test. */
static void* library;
static void* export_of(const char* name) {
    void* symbol = dlsym(library, name);
    if (!symbol) {
        fprintf(stderr, "missing export %s\n", name);
        exit(1);
    }
    return symbol;
}
/* clang-format off */
#define EXPORT(type, name) (((union { void* p; type f; }){export_of(name)}).f)
/* clang-format on */

static pelmar_status call(const char* name) { return EXPORT(StatusFn, name)(); }

/* True when the file holds `needle`; false when it cannot be read. */
static int file_contains(const char* path, const char* needle) {
    char text[4096];
    size_t size;
    FILE* file = fopen(path, "rb");
    if (!file) return 0;
    size = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[size] = '\0';
    return strstr(text, needle) != NULL;
}

int main(int argc, char** argv) {
    char folder[] = "/tmp/pelmar_abi_XXXXXX";
    char registry[256], cs[300], bad[300], log2[256], command[300];
    char dotted[4096], library_folder[4096], registered[8200];
    const char* base;
    PelmarManager* manager = NULL;
    const PelmarInterfaceDesc* info = NULL;
    const PelmarTypeLibDesc* typelib = NULL;
    int major = -1, minor = -1, patch = -1;
    uint32_t count = 0;
    PelmarVariant result;
    FILE* file;

    if (argc != 2 || !mkdtemp(folder) || !(base = strrchr(argv[1], '/'))) return 2;
    ++base;
    snprintf(registry, sizeof registry, "%s/config/registry", folder);
    snprintf(cs, sizeof cs, "Driver=SQLite3;Database=%s/book.db;", folder);
    snprintf(bad, sizeof bad, "Driver=SQLite3;Database=%s/missing/x.db", folder);
    snprintf(log2, sizeof log2, "%s/dispatch.log", folder);
    /* Loaded through "FOLDER/./NAME"; registered as the folder's real path and NAME. */
    snprintf(dotted, sizeof dotted, "%.*s/./%s", (int)(base - 1 - argv[1]), argv[1], base);
    snprintf(registered, sizeof registered, "%.*s", (int)(base - argv[1]), argv[1]);
    if (!realpath(registered, library_folder)) return 2;
    snprintf(registered, sizeof registered, "\t%s/%s\n", library_folder, base);
    setenv("PELMAR_REGISTRY", registry, 1);
    snprintf(command, sizeof command, "%s/book.db", folder);
    if (!(file = fopen(command, "wb"))) return 2; /* an empty file is an empty SQLite database */
    fclose(file);

    if (!(library = dlopen(dotted, RTLD_NOW | RTLD_LOCAL))) {
        fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    EXPORT(VersionFn, "PelmarGetVersion")(&major, &minor, &patch);
    CHECK(major == PELMAR_VERSION_MAJOR && minor == PELMAR_VERSION_MINOR && patch == PELMAR_VERSION_PATCH);

    CHECK(call("DllRegisterServer") == PELMAR_S_OK);
    CHECK(file_contains(registry, "PelmarImpExp.Manager\t{6B1D3E53-4C8A-4F0E-9A61-2E7D0B5C13A1}\t/"));
    CHECK(file_contains(registry, registered));
    CHECK(pelmar_create_object(PELMAR_PROGID_MANAGER, &PELMAR_IID_Manager, (void**)&manager) == PELMAR_S_OK);
    if (!manager) {
        fprintf(stderr, "no object: %s\n", pelmar_host_last_error());
        return 1;
    }
    CHECK(call("DllCanUnloadNow") == PELMAR_S_FALSE);

    /* Init through the dispatch path, with an unreachable remote. */
    PelmarVariant init_args[4] = {{PELMAR_VT_TEXT, {.text = cs}},
                                  {PELMAR_VT_TEXT, {.text = bad}},
                                  {PELMAR_VT_I4, {.i4 = PELMAR_RuntAtServer}},
                                  {PELMAR_VT_TEXT, {.text = log2}}};
    PelmarVariant log_arg = {PELMAR_VT_TEXT, {.text = log2}}, user_arg = {PELMAR_VT_I4, {.i4 = 1}};
    /* Then every other member by name; each result is the host's to clear.
     * The entry points refuse after the failed Init and answer 0. */
    const struct {
        int32_t dispid;
        uint16_t flags;
        PelmarDispParams params;
        uint16_t vt;
    } calls[] = {
        {PELMAR_DISPID_Init, PELMAR_DISPATCH_METHOD, {init_args, 4}, PELMAR_VT_EMPTY},
        {PELMAR_DISPID_LogFile, PELMAR_DISPATCH_PROPERTYPUT, {&log_arg, 1}, PELMAR_VT_EMPTY},
        {PELMAR_DISPID_LogFile, PELMAR_DISPATCH_PROPERTYGET, {NULL, 0}, PELMAR_VT_TEXT},
        {PELMAR_DISPID_ImportContacts, PELMAR_DISPATCH_METHOD, {&user_arg, 1}, PELMAR_VT_I4},
        {PELMAR_DISPID_ExportContacts, PELMAR_DISPATCH_METHOD, {&user_arg, 1}, PELMAR_VT_I4},
    };
    for (size_t i = 0; i < sizeof calls / sizeof calls[0]; ++i) {
        CHECK(manager->lpVtbl->Invoke(manager, calls[i].dispid, NULL, 0x409, calls[i].flags, &calls[i].params, &result,
                                      NULL) == PELMAR_S_OK);
        CHECK(result.vt == calls[i].vt);
        CHECK(result.vt != PELMAR_VT_TEXT || strcmp(result.value.text, log2) == 0);
        CHECK(result.vt != PELMAR_VT_I4 || result.value.i4 == 0);
        EXPORT(VariantClearFn, "PelmarVariantClear")(&result);
        CHECK(result.vt == PELMAR_VT_EMPTY);
        if (i == 0) CHECK(file_contains(log2, "\nPelmarImpExp: Error occured. Sub: Init, Module: Manager [Error "));
    }

    /* The type information, through the object and the library (its text: type_library_test.cpp). */
    CHECK(manager->lpVtbl->GetTypeInfoCount(manager, &count) == PELMAR_S_OK && count == 1);
    CHECK(manager->lpVtbl->GetTypeInfo(manager, 0, 0x409, &info) == PELMAR_S_OK && info);
    CHECK(EXPORT(TypeLibFn, "PelmarGetTypeLibrary")(&typelib) == PELMAR_S_OK);
    CHECK(typelib && typelib->interfaces == info && strcmp(typelib->name, "PelmarImpExp") == 0);

    /* A failure's text outlives calls without a status and ends with the next
     * call that returns one. */
    CHECK(manager->lpVtbl->Invoke(manager, 99, NULL, 0x409, PELMAR_DISPATCH_METHOD, NULL, NULL, NULL) ==
          PELMAR_DISP_E_MEMBERNOTFOUND);
    CHECK(strlen(pelmar_host_last_error()) > 0);
    manager->lpVtbl->AddRef(manager);
    manager->lpVtbl->Release(manager);
    EXPORT(VersionFn, "PelmarGetVersion")(NULL, NULL, NULL);
    CHECK(strlen(EXPORT(TextFn, "PelmarGetLastErrorText")()) > 0);
    CHECK(manager->lpVtbl->GetTypeInfoCount(manager, &count) == PELMAR_S_OK);
    CHECK(strcmp(EXPORT(TextFn, "PelmarGetLastErrorText")(), "") == 0);

    CHECK(manager->lpVtbl->Release(manager) == 0);
    CHECK(call("DllCanUnloadNow") == PELMAR_S_OK);
    CHECK(call("DllUnregisterServer") == PELMAR_S_OK);
    CHECK(!file_contains(registry, "PelmarImpExp.Manager"));
    manager = NULL;
    CHECK(pelmar_create_object(PELMAR_PROGID_MANAGER, &PELMAR_IID_Manager, (void**)&manager) ==
          PELMAR_REGDB_E_CLASSNOTREG);
    CHECK(manager == NULL);

    snprintf(command, sizeof command, "rm -rf '%s'", folder);
    if (system(command) != 0) fprintf(stderr, "could not remove %s\n", folder);
    if (failures) fprintf(stderr, "%d checks failed\n", failures);
    return failures ? 1 : 0;
}
