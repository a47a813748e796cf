/*
 * The host side of libPelmarImpExp.so: creating objects from a programmatic
 * identifier, the way a COM host does, by reading the per-user registry that
 * DllRegisterServer writes and loading the library it names.
 *
 * The registry file:
 *   $PELMAR_REGISTRY when set, else $XDG_CONFIG_HOME/pelmar/registry when
 *   XDG_CONFIG_HOME is set, else $HOME/.config/pelmar/registry.
 * Its format: UTF-8 text, one registration a line, three fields separated by
 * a tab:
 *   <programmatic id> TAB <class id> TAB <absolute path of the library> LF
 * for example
 *   PelmarImpExp.Manager	{6B1D3E53-4C8A-4F0E-9A61-2E7D0B5C13A1}	/opt/pelmar/lib/libPelmarImpExp.so
 * Blank lines and lines starting with "#" are ignored; the first line of a
 * programmatic id wins. Registering replaces the id's earlier lines.
 *
 * Libraries loaded here stay loaded for the life of the process. What their
 * objects hand out is freed with the library's PelmarFree and
 * PelmarVariantClear.
 */
#ifndef PELMAR_HOST_H
#define PELMAR_HOST_H

#include "component/abi/pelmar_impexp.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Creates an object of the class registered for prog_id and asks it for iid.
 * PELMAR_REGDB_E_CLASSNOTREG when prog_id is not registered or its library
 * cannot be loaded. */
pelmar_status pelmar_create_object(const char* prog_id, const PelmarGuid* iid, void** out);

/* The calling thread's message of the last failure of pelmar_create_object;
 * when its last call succeeded, the last-error text of the library it loaded
 * (PelmarGetLastErrorText); "" when neither has one. */
const char* pelmar_host_last_error(void);

/* The registry file's path as described above; "" when it cannot be told. */
const char* pelmar_registry_path(void);

#ifdef __cplusplus
}
#endif

#endif /* PELMAR_HOST_H */
