/*
 * A host linked against libPelmarImpExp.so: it asks the library for the
 * Manager class, creates a Manager, calls Init for a server run on an empty
 * SQLite address book in a temporary folder, reads LogFile back and releases
 * everything. Built by CMake (CMakeLists.txt beside it, find_package) or with
 * pkg-config:
 *   cc c_host.c $(pkg-config --cflags --libs pelmarimpexp) -o c_host
 */
#define _POSIX_C_SOURCE 200809L
#include <pelmar_impexp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failed(pelmar_status status, const char* what) {
    if (PELMAR_SUCCEEDED(status)) return 0;
    fprintf(stderr, "%s: status 0x%08X: %s\n", what, (unsigned)status, PelmarGetLastErrorText());
    return 1;
}

int main(void) {
    char folder[] = "/tmp/pelmar_host_XXXXXX";
    char book[64], connection[96], log[64];
    const char* log_file = log;
    PelmarClassFactory* factory = NULL;
    PelmarManager* manager = NULL;
    char* logged = NULL;
    int major, minor, patch, status = 1;
    FILE* file;

    if (!mkdtemp(folder)) return 1;
    snprintf(book, sizeof book, "%s/book.db", folder);
    snprintf(connection, sizeof connection, "Driver=SQLite3;Database=%s;", book);
    snprintf(log, sizeof log, "%s/ImportExport.log", folder);
    if (!(file = fopen(book, "wb"))) return 1; /* an empty file is an empty SQLite database */
    fclose(file);

    PelmarGetVersion(&major, &minor, &patch);
    printf("libPelmarImpExp %d.%d.%d\n", major, minor, patch);
    if (failed(DllGetClassObject(&PELMAR_CLSID_Manager, &PELMAR_IID_IClassFactory, (void**)&factory),
               "DllGetClassObject"))
        return 1;
    if (!failed(factory->lpVtbl->CreateInstance(factory, NULL, &PELMAR_IID_Manager, (void**)&manager),
                "CreateInstance") &&
        !failed(manager->lpVtbl->Init(manager, "", connection, PELMAR_RuntAtServer, &log_file), "Init") &&
        !failed(manager->lpVtbl->get_LogFile(manager, &logged), "get_LogFile")) {
        printf("LogFile: %s\n", logged);
        status = strcmp(logged, log) != 0;
        PelmarFree(logged);
    }
    if (manager) manager->lpVtbl->Release(manager);
    factory->lpVtbl->Release(factory);
    remove(log);
    remove(book);
    remove(folder);
    return status;
}
