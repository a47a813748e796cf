/* Creating objects from a programmatic identifier: the registry file, the
 * library it names, its class factory. */
#define _POSIX_C_SOURCE 200809L

#include "pelmar_host.h"

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef pelmar_status (*GetClassObjectFn)(const PelmarGuid*, const PelmarGuid*, void**);
typedef const char* (*LastErrorTextFn)(void);

static _Thread_local char tMessage[1024];
static _Thread_local char tRegistryPath[4096];
static _Thread_local LastErrorTextFn tLibraryError;

static pelmar_status fail(pelmar_status status, const char* format, const char* detail) {
    snprintf(tMessage, sizeof tMessage, format, detail ? detail : "");
    return status;
}

const char* pelmar_registry_path(void) {
    const char* value = getenv("PELMAR_REGISTRY");
    if (value && *value) {
        snprintf(tRegistryPath, sizeof tRegistryPath, "%s", value);
    } else if ((value = getenv("XDG_CONFIG_HOME")) && *value) {
        snprintf(tRegistryPath, sizeof tRegistryPath, "%s/pelmar/registry", value);
    } else if ((value = getenv("HOME")) && *value) {
        snprintf(tRegistryPath, sizeof tRegistryPath, "%s/.config/pelmar/registry", value);
    } else {
        tRegistryPath[0] = '\0';
    }
    return tRegistryPath;
}

/* {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} */
static int parse_guid(const char* text, PelmarGuid* guid) {
    unsigned int d1, d2, d3, b[8];
    int end = 0;
    if (strlen(text) != 38) return 0;
    if (sscanf(text, "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%n", &d1, &d2, &d3, &b[0], &b[1], &b[2], &b[3], &b[4],
               &b[5], &b[6], &b[7], &end) != 11 ||
        end != 38)
        return 0;
    guid->Data1 = (uint32_t)d1;
    guid->Data2 = (uint16_t)d2;
    guid->Data3 = (uint16_t)d3;
    for (int i = 0; i < 8; ++i) guid->Data4[i] = (uint8_t)b[i];
    return 1;
}

/* Finds prog_id's line; fills clsid and path (malloc'd). */
static int lookup(const char* registry, const char* prog_id, PelmarGuid* clsid, char** path) {
    FILE* file = fopen(registry, "r");
    char* line = NULL;
    size_t capacity = 0;
    ssize_t length;
    int found = 0;
    if (!file) return 0;
    while (!found && (length = getline(&line, &capacity, file)) >= 0) {
        char* tab1;
        char* tab2;
        while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) line[--length] = '\0';
        if (line[0] == '#' || line[0] == '\0') continue;
        tab1 = strchr(line, '\t');
        if (!tab1) continue;
        *tab1 = '\0';
        if (strcmp(line, prog_id) != 0) continue;
        tab2 = strchr(tab1 + 1, '\t');
        if (!tab2) continue;
        *tab2 = '\0';
        if (!parse_guid(tab1 + 1, clsid)) continue;
        *path = strdup(tab2 + 1);
        found = *path != NULL;
    }
    free(line);
    fclose(file);
    return found;
}

pelmar_status pelmar_create_object_from(const char* library_path, const PelmarGuid* clsid, const PelmarGuid* iid,
                                        void** out) {
    void* library;
    void* symbol;
    GetClassObjectFn get_class_object;
    PelmarClassFactory* factory = NULL;
    pelmar_status status;

    tMessage[0] = '\0';
    if (!out) return fail(PELMAR_E_POINTER, "pelmar_create_object_from: no place for the result%s", NULL);
    *out = NULL;
    if (!library_path || !clsid || !iid)
        return fail(PELMAR_E_POINTER, "pelmar_create_object_from: missing argument%s", NULL);

    library = dlopen(library_path, RTLD_NOW | RTLD_LOCAL);
    if (!library) return fail(PELMAR_REGDB_E_CLASSNOTREG, "cannot load the library: %s", dlerror());
    symbol = dlsym(library, "DllGetClassObject");
    if (!symbol) return fail(PELMAR_REGDB_E_CLASSNOTREG, "the library has no DllGetClassObject%s", NULL);
    /* dlsym hands out an object pointer; copy its bits into the function pointer. */
    memcpy(&get_class_object, &symbol, sizeof get_class_object);
    symbol = dlsym(library, "PelmarGetLastErrorText");
    if (symbol) memcpy(&tLibraryError, &symbol, sizeof tLibraryError);

    status = get_class_object(clsid, &PELMAR_IID_IClassFactory, (void**)&factory);
    if (PELMAR_FAILED(status)) return status;
    status = factory->lpVtbl->CreateInstance(factory, NULL, iid, out);
    factory->lpVtbl->Release(factory);
    return status;
}

pelmar_status pelmar_create_object(const char* prog_id, const PelmarGuid* iid, void** out) {
    PelmarGuid clsid;
    char* path = NULL;
    pelmar_status status;

    tMessage[0] = '\0';
    if (!out) return fail(PELMAR_E_POINTER, "pelmar_create_object: no place for the result%s", NULL);
    *out = NULL;
    if (!prog_id || !iid) return fail(PELMAR_E_POINTER, "pelmar_create_object: missing argument%s", NULL);
    if (!lookup(pelmar_registry_path(), prog_id, &clsid, &path))
        return fail(PELMAR_REGDB_E_CLASSNOTREG, "'%s' is not registered", prog_id);

    status = pelmar_create_object_from(path, &clsid, iid, out);
    free(path);
    return status;
}

const char* pelmar_host_last_error(void) {
    if (tMessage[0] != '\0') return tMessage;
    return tLibraryError ? tLibraryError() : "";
}
