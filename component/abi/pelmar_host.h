/*
 * The host side of libPelmarImpExp.so: creating objects from a programmatic
 * identifier, the way a COM host does, by reading the per-user registry file
 * that DllRegisterServer writes (its place and format are described there, in
 * pelmar_impexp.h) and loading the library it names.
 *
 * Libraries loaded here stay loaded for the life of the process. What their
 * objects hand out is freed with the library's PelmarFree and
 * PelmarVariantClear.
 */
#ifndef PELMAR_HOST_H
#define PELMAR_HOST_H

#include "pelmar_impexp.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Creates an object of the class registered for prog_id and asks it for iid.
 * PELMAR_REGDB_E_CLASSNOTREG when prog_id is not registered or its library
 * cannot be loaded. */
pelmar_status pelmar_create_object(const char* prog_id, const PelmarGuid* iid, void** out);

/* Creates an object of class clsid from the library at library_path, loaded
 * as the registered ones are, and asks it for iid. For hosts that ship the
 * library beside themselves. PELMAR_REGDB_E_CLASSNOTREG when it cannot be
 * loaded. */
pelmar_status pelmar_create_object_from(const char* library_path, const PelmarGuid* clsid, const PelmarGuid* iid,
                                        void** out);

/* The calling thread's message of the last failure of pelmar_create_object or
 * pelmar_create_object_from; when its last call succeeded, the last-error text of the library it loaded
 * (PelmarGetLastErrorText); "" when neither has one. */
const char* pelmar_host_last_error(void);

/* The registry file's path as DllRegisterServer's comment describes it; ""
 * when it cannot be told. */
const char* pelmar_registry_path(void);

#ifdef __cplusplus
}
#endif

#endif /* PELMAR_HOST_H */
