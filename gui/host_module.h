/*
 * The window of `pelmar gui` as a module that `pelmar` loads only for that
 * command (libpelmar_gui_host.so), so that its other commands never load Qt.
 * Plain C: the command and the module share nothing else.
 */
#ifndef PELMAR_GUI_HOST_MODULE_H
#define PELMAR_GUI_HOST_MODULE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PelmarGuiHostArgs {
    const char* library; /* libPelmarImpExp.so to load; "" or missing: the registered class */
    const char* remote;
    const char* local;
    int32_t run_at_client; /* 1 at a client, 0 at the server */
    int32_t user;
    const char* show; /* "import" or "export": that entry point at once; "" for the window */
    const char* log;  /* the log Init names; "" for the library's default */
} PelmarGuiHostArgs;

#define PELMAR_GUI_HOST_RUN "pelmar_gui_host_run"

/* Runs the host window (or, with show, the one entry point) and returns the
 * command's exit status; messages go to standard error. */
typedef int (*PelmarGuiHostRun)(const PelmarGuiHostArgs* args);

#ifdef __cplusplus
}
#endif

#endif /* PELMAR_GUI_HOST_MODULE_H */
