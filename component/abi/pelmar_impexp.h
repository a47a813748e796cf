/*
 * PelmarImpExp: the C interface of libPelmarImpExp.so.
 *
 * The library serves one creatable class, Manager, the way an in-process COM
 * server does: a class factory from DllGetClassObject, objects that are
 * tables of function pointers with reference counts, a dual interface (the
 * members called through the table, or by name through GetIDsOfNames and
 * Invoke) and type information that describes it all. The header is plain
 * C11 (and C++) so that hosts in C, C++ or any language with a C FFI can use
 * it; nothing is thrown across it.
 *
 * Statuses (pelmar_status, a signed 32-bit integer): 0 (PELMAR_S_OK) is
 * success, 1 (PELMAR_S_FALSE) a success that answers "no". Failures have the
 * top bit set, so read as signed they are negative: PELMAR_E_FAIL, written
 * 0x80004005 below, arrives as -2147467259. Test with PELMAR_FAILED (< 0), or
 * compare the value masked to 32 bits with the hexadecimal numbers, which
 * follow the COM values. A failure caught from the component's runtime is
 * PELMAR_E_RUNTIME(number) for the runtime's error numbers 1 to 65535 (e.g.
 * 53, file not found), the number itself when it already is a negative
 * status, and PELMAR_E_FAIL otherwise.
 *
 * The last-error text: each thread has one, read with PelmarGetLastErrorText.
 * Every call into the library that returns a pelmar_status (an export or an
 * object's member) empties it when it starts, and a call that fails sets it
 * to the failure's message before it returns. After a success it is "";
 * after a failure it holds that failure's message until the thread's next
 * status-returning call. Calls that return no status (AddRef, Release,
 * PelmarFree, PelmarVariantClear, PelmarGetVersion, PelmarGetLastErrorText)
 * leave it as it is.
 *
 * Memory. Text is UTF-8 and NUL-terminated.
 * - Text the host passes in is borrowed for the call: the library copies what
 *   it keeps and never frees it.
 * - Text the library hands out (get_LogFile's result, a text result of
 *   Invoke) is the host's. Free it with PelmarFree (a variant with
 *   PelmarVariantClear) and with nothing else: a host whose free is not this
 *   library's C library's (a language runtime, a debug or static C library)
 *   would corrupt its heap. C hosts written before PelmarFree existed may go
 *   on calling free(), since the library allocates with its C library's
 *   malloc, as long as they share that C library.
 * - Type information, the last-error text and the identities below are the
 *   library's; the host never frees them. Type information lasts while the
 *   library is loaded, the last-error text as said above.
 *
 * Layout: structures have the platform's C layout, natural alignment and no
 * packing. Assertions state what a host in another language relies on: the
 * sizes and offsets of PelmarGuid, PelmarVariant and PelmarDispParams, and
 * the tables' slots. An object is a pointer to a structure whose first
 * member points to its table of functions, one pointer a slot, in the order
 * declared.
 *
 * Version: PelmarGetVersion tells the library's version; its major number is
 * the library's SOVERSION and changes when this interface does incompatibly.
 * The type library's own version (1.0) is independent of it.
 *
 * Threads: every call works on the calling thread's session (what Init
 * established on that thread). Objects may be released on any thread; the
 * windows of a thread are unloaded only when the last reference to a Manager
 * is released on the thread that created it.
 */
#ifndef PELMAR_IMPEXP_H
#define PELMAR_IMPEXP_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define PELMAR_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define PELMAR_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

#if defined(__GNUC__)
#define PELMAR_API __attribute__((visibility("default")))
#else
#define PELMAR_API
#endif

typedef int32_t pelmar_status;

#define PELMAR_S_OK ((pelmar_status)0)
#define PELMAR_S_FALSE ((pelmar_status)1)
#define PELMAR_E_NOTIMPL ((pelmar_status)0x80004001u)
#define PELMAR_E_NOINTERFACE ((pelmar_status)0x80004002u)
#define PELMAR_E_POINTER ((pelmar_status)0x80004003u)
#define PELMAR_E_FAIL ((pelmar_status)0x80004005u)
#define PELMAR_E_OUTOFMEMORY ((pelmar_status)0x8007000Eu)
#define PELMAR_E_INVALIDARG ((pelmar_status)0x80070057u)
#define PELMAR_CLASS_E_NOAGGREGATION ((pelmar_status)0x80040110u)
#define PELMAR_CLASS_E_CLASSNOTAVAILABLE ((pelmar_status)0x80040111u)
#define PELMAR_REGDB_E_CLASSNOTREG ((pelmar_status)0x80040154u)
#define PELMAR_SELFREG_E_CLASS ((pelmar_status)0x80040201u)
#define PELMAR_DISP_E_MEMBERNOTFOUND ((pelmar_status)0x80020003u)
#define PELMAR_DISP_E_TYPEMISMATCH ((pelmar_status)0x80020005u)
#define PELMAR_DISP_E_UNKNOWNNAME ((pelmar_status)0x80020006u)
#define PELMAR_DISP_E_BADPARAMCOUNT ((pelmar_status)0x8002000Eu)
#define PELMAR_DISP_E_PARAMNOTOPTIONAL ((pelmar_status)0x8002000Fu)
#define PELMAR_DISP_E_UNKNOWNINTERFACE ((pelmar_status)0x80020001u)
#define PELMAR_DISP_E_BADINDEX ((pelmar_status)0x8002000Bu)
#define PELMAR_E_RUNTIME(number) ((pelmar_status)(0x800A0000u | ((uint32_t)(number)&0xFFFFu)))

#define PELMAR_SUCCEEDED(status) ((status) >= 0)
#define PELMAR_FAILED(status) ((status) < 0)

/* ---- identities ------------------------------------------------------- */

typedef struct PelmarGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} PelmarGuid;
PELMAR_STATIC_ASSERT(sizeof(PelmarGuid) == 16, "PelmarGuid is 16 bytes");
PELMAR_STATIC_ASSERT(offsetof(PelmarGuid, Data2) == 4 && offsetof(PelmarGuid, Data3) == 6 &&
                         offsetof(PelmarGuid, Data4) == 8,
                     "PelmarGuid: Data1 at 0, Data2 at 4, Data3 at 6, Data4 at 8");

/* Text form in the registry: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}. */
static const PelmarGuid PELMAR_IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
static const PelmarGuid PELMAR_IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const PelmarGuid PELMAR_IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const PelmarGuid PELMAR_IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
/* The Manager interface (_Manager), the Manager class and the type library. */
static const PelmarGuid PELMAR_IID_Manager = {
    0x6B1D3E52, 0x4C8A, 0x4F0E, {0x9A, 0x61, 0x2E, 0x7D, 0x0B, 0x5C, 0x13, 0xA1}};
static const PelmarGuid PELMAR_CLSID_Manager = {
    0x6B1D3E53, 0x4C8A, 0x4F0E, {0x9A, 0x61, 0x2E, 0x7D, 0x0B, 0x5C, 0x13, 0xA1}};
static const PelmarGuid PELMAR_LIBID_PelmarImpExp = {
    0x6B1D3E51, 0x4C8A, 0x4F0E, {0x9A, 0x61, 0x2E, 0x7D, 0x0B, 0x5C, 0x13, 0xA1}};

#define PELMAR_PROGID_MANAGER "PelmarImpExp.Manager"

/* ---- the public enumerations ------------------------------------------ */

typedef int32_t PelmarRunApplicationAt;
#define PELMAR_RuntAtClient 0
#define PELMAR_RuntAtServer 1

typedef int32_t PelmarUserType;
#define PELMAR_GeneralUser 0
#define PELMAR_Administrator 1

typedef int32_t PelmarImportToType;
#define PELMAR_SharedFolder 0
#define PELMAR_SharedGroup 1
#define PELMAR_LocalFolder 2
#define PELMAR_LocalGroup 3

/* ---- the dispatch path's argument type -------------------------------- */

enum {
    PELMAR_VT_EMPTY = 0, /* no value; an omitted optional argument */
    PELMAR_VT_I4 = 3,    /* 32-bit signed integer */
    PELMAR_VT_TEXT = 8   /* UTF-8 text */
};

/* vt at offset 0, then padding up to value at the size of a pointer: 16
 * bytes in all on 64-bit platforms (value at 8), 8 on 32-bit ones (value at
 * 4). A host sets vt and the member it names; the library fills results the
 * same way. */
typedef struct PelmarVariant {
    uint16_t vt; /* PELMAR_VT_* */
    union {
        int32_t i4;
        /* An argument's text is borrowed (the host keeps it). A result's text
         * is the host's: free it with PelmarVariantClear (or PelmarFree). */
        const char* text;
    } value;
} PelmarVariant;
PELMAR_STATIC_ASSERT(offsetof(PelmarVariant, vt) == 0 && offsetof(PelmarVariant, value) == sizeof(void*),
                     "PelmarVariant: vt at 0, value at the size of a pointer");
PELMAR_STATIC_ASSERT(sizeof(PelmarVariant) == 2 * sizeof(void*),
                     "PelmarVariant is two pointers wide (16 bytes on 64-bit)");

/* Arguments in call order (the first argument first). An optional argument
 * may be left out at the end or passed as PELMAR_VT_EMPTY. Empty converts to
 * 0 or "", an integer to its decimal text, and a text that is a number to an
 * integer; anything else is PELMAR_DISP_E_TYPEMISMATCH. */
typedef struct PelmarDispParams {
    const PelmarVariant* args; /* borrowed for the call; count of them */
    uint32_t count;
} PelmarDispParams;
PELMAR_STATIC_ASSERT(offsetof(PelmarDispParams, count) == sizeof(void*) &&
                         sizeof(PelmarDispParams) == 2 * sizeof(void*),
                     "PelmarDispParams: args at 0, count at the size of a pointer");

/* Invoke's flags */
#define PELMAR_DISPATCH_METHOD 1u
#define PELMAR_DISPATCH_PROPERTYGET 2u
#define PELMAR_DISPATCH_PROPERTYPUT 4u

/* Dispatch ids of the Manager's members. */
#define PELMAR_DISPID_LogFile 1
#define PELMAR_DISPID_Init 2
#define PELMAR_DISPID_ImportContacts 3
#define PELMAR_DISPID_ExportContacts 4

/* ---- type information --------------------------------------------------- */

/* All of it is the library's, constant, and lasts while the library is loaded. */

typedef enum PelmarTypeKind {
    PELMAR_TYPE_VOID = 0,
    PELMAR_TYPE_I4 = 3,
    PELMAR_TYPE_TEXT = 8,
    PELMAR_TYPE_ENUM = 29 /* a 32-bit enumeration, named by type_name */
} PelmarTypeKind;

#define PELMAR_PARAM_IN 0x1u
#define PELMAR_PARAM_BYREF 0x2u    /* passed by reference (a pointer in the table) */
#define PELMAR_PARAM_OPTIONAL 0x4u /* may be omitted; default_value applies */

typedef struct PelmarParamDesc {
    const char* name;
    int32_t type;              /* PelmarTypeKind */
    const char* type_name;     /* the enumeration's name for PELMAR_TYPE_ENUM, else NULL */
    uint32_t flags;            /* PELMAR_PARAM_* */
    const char* default_value; /* text of the default for optional ones, else NULL */
} PelmarParamDesc;

typedef enum PelmarInvokeKind {
    PELMAR_INVOKE_METHOD = 1,
    PELMAR_INVOKE_PROPERTYGET = 2,
    PELMAR_INVOKE_PROPERTYPUT = 4
} PelmarInvokeKind;

typedef struct PelmarFuncDesc {
    const char* name;
    int32_t dispid;
    int32_t invoke_kind; /* PelmarInvokeKind */
    uint32_t table_slot; /* 0-based slot in PelmarManagerVtbl */
    int32_t result_type; /* PelmarTypeKind; VOID when there is none */
    const PelmarParamDesc* params;
    uint32_t param_count;
} PelmarFuncDesc;

#define PELMAR_INTERFACE_DUAL 0x1u

typedef struct PelmarInterfaceDesc {
    const char* name;
    PelmarGuid iid;
    uint32_t flags; /* PELMAR_INTERFACE_* */
    const PelmarFuncDesc* funcs;
    uint32_t func_count;
} PelmarInterfaceDesc;

typedef struct PelmarEnumMember {
    const char* name;
    int32_t value;
} PelmarEnumMember;

typedef struct PelmarEnumDesc {
    const char* name;
    const PelmarEnumMember* members;
    uint32_t member_count;
} PelmarEnumDesc;

typedef struct PelmarClassDesc {
    const char* name;
    const char* prog_id;
    PelmarGuid clsid;
    const PelmarInterfaceDesc* default_interface;
} PelmarClassDesc;

typedef struct PelmarTypeLibDesc {
    const char* name;
    PelmarGuid libid;
    uint16_t major_version;
    uint16_t minor_version;
    uint32_t lcid;
    const PelmarClassDesc* classes;
    uint32_t class_count;
    const PelmarInterfaceDesc* interfaces;
    uint32_t interface_count;
    const PelmarEnumDesc* enums;
    uint32_t enum_count;
} PelmarTypeLibDesc;

/* ---- objects ------------------------------------------------------------ */

typedef struct PelmarUnknown PelmarUnknown;
typedef struct PelmarUnknownVtbl {
    pelmar_status (*QueryInterface)(PelmarUnknown* self, const PelmarGuid* iid, void** out);
    uint32_t (*AddRef)(PelmarUnknown* self);
    uint32_t (*Release)(PelmarUnknown* self);
} PelmarUnknownVtbl;
struct PelmarUnknown {
    const PelmarUnknownVtbl* lpVtbl;
};

typedef struct PelmarClassFactory PelmarClassFactory;
typedef struct PelmarClassFactoryVtbl {
    pelmar_status (*QueryInterface)(PelmarClassFactory* self, const PelmarGuid* iid, void** out);
    uint32_t (*AddRef)(PelmarClassFactory* self);
    uint32_t (*Release)(PelmarClassFactory* self);
    /* outer must be NULL (no aggregation). */
    pelmar_status (*CreateInstance)(PelmarClassFactory* self, PelmarUnknown* outer, const PelmarGuid* iid, void** out);
    pelmar_status (*LockServer)(PelmarClassFactory* self, int32_t lock);
} PelmarClassFactoryVtbl;
struct PelmarClassFactory {
    const PelmarClassFactoryVtbl* lpVtbl;
};
PELMAR_STATIC_ASSERT(sizeof(PelmarClassFactoryVtbl) == 5 * sizeof(void*), "the class factory's table has 5 slots");

/* The Manager's dual interface. The same object answers for IUnknown,
 * IDispatch and the Manager interface. Reference counts start at 1. */
typedef struct PelmarManager PelmarManager;
typedef struct PelmarManagerVtbl {
    pelmar_status (*QueryInterface)(PelmarManager* self, const PelmarGuid* iid, void** out);
    uint32_t (*AddRef)(PelmarManager* self);
    uint32_t (*Release)(PelmarManager* self);

    /* IDispatch. count is 1. GetTypeInfo(0, ...) gives the Manager
     * interface's description; its library is PelmarGetTypeLibrary's. */
    pelmar_status (*GetTypeInfoCount)(PelmarManager* self, uint32_t* count);
    pelmar_status (*GetTypeInfo)(PelmarManager* self, uint32_t index, uint32_t lcid, const PelmarInterfaceDesc** out);
    /* names[0] is a member name, names[1..] its parameter names (any case);
     * dispids receives the member's dispatch id, then the parameters' 0-based
     * positions; -1 for unknown names (PELMAR_DISP_E_UNKNOWNNAME). iid may be
     * NULL or PELMAR_IID_NULL. */
    pelmar_status (*GetIDsOfNames)(PelmarManager* self, const PelmarGuid* iid, const char* const* names, uint32_t count,
                                   uint32_t lcid, int32_t* dispids);
    /* result may be NULL; it is set to PELMAR_VT_EMPTY for members without a
     * result, and its text is the host's (PelmarVariantClear). arg_error,
     * when not NULL, receives the 0-based position of an argument that could
     * not be converted. */
    pelmar_status (*Invoke)(PelmarManager* self, int32_t dispid, const PelmarGuid* iid, uint32_t lcid, uint16_t flags,
                            const PelmarDispParams* params, PelmarVariant* result, uint32_t* arg_error);

    /* Manager, in the interface's order. Text arguments are borrowed. */
    /* *out is the host's: free it with PelmarFree. */
    pelmar_status (*get_LogFile)(PelmarManager* self, char** out);
    pelmar_status (*put_LogFile)(PelmarManager* self, const char** LogFile);
    /* LogFile is optional: NULL, or a NULL text, leaves it out (""). */
    pelmar_status (*Init)(PelmarManager* self, const char* p_ClientDBString, const char* p_RemoteDBString,
                          PelmarRunApplicationAt p_Runfor, const char** LogFile);
    pelmar_status (*ImportContacts)(PelmarManager* self, int32_t* User_ID, int32_t* result);
    pelmar_status (*ExportContacts)(PelmarManager* self, int32_t* User_ID, int32_t* result);
} PelmarManagerVtbl;
struct PelmarManager {
    const PelmarManagerVtbl* lpVtbl;
};
PELMAR_STATIC_ASSERT(offsetof(PelmarManagerVtbl, Invoke) == 6 * sizeof(void*) &&
                         offsetof(PelmarManagerVtbl, get_LogFile) == 7 * sizeof(void*) &&
                         sizeof(PelmarManagerVtbl) == 12 * sizeof(void*),
                     "the Manager's table: 3 IUnknown, 4 IDispatch, then 5 Manager slots");

/* ---- the library's exports ---------------------------------------------- */

/* The class factory for clsid (PELMAR_CLSID_Manager), as iid
 * (PELMAR_IID_IClassFactory or PELMAR_IID_IUnknown). */
PELMAR_API pelmar_status DllGetClassObject(const PelmarGuid* clsid, const PelmarGuid* iid, void** out);
/* PELMAR_S_OK when no object is alive and no factory is locked, else S_FALSE. */
PELMAR_API pelmar_status DllCanUnloadNow(void);
/* Records PELMAR_PROGID_MANAGER with the class id and this library's path in
 * the per-user registry file: $PELMAR_REGISTRY when set, else
 * $XDG_CONFIG_HOME/pelmar/registry, else $HOME/.config/pelmar/registry.
 * The file is UTF-8 text, one registration a line of three fields separated
 * by tabs: programmatic id, class id as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX},
 * the library's absolute path (its folder resolved as realpath does, the
 * file name as loaded). Blank lines and lines starting with "#" are ignored;
 * the first line of a programmatic id wins. Registering replaces the id's
 * earlier lines. */
PELMAR_API pelmar_status DllRegisterServer(void);
/* Removes what DllRegisterServer recorded. */
PELMAR_API pelmar_status DllUnregisterServer(void);

/* The type library PelmarImpExp (version 1.0, locale 0x409). */
PELMAR_API pelmar_status PelmarGetTypeLibrary(const PelmarTypeLibDesc** out);

/* The calling thread's last-error text ("" when the last status-returning
 * call succeeded; see the top of this header for when it changes). The
 * library's; valid until the thread's next status-returning call. */
PELMAR_API const char* PelmarGetLastErrorText(void);

/* Frees text the library handed to the host. NULL is ignored. */
PELMAR_API void PelmarFree(void* memory);
/* Frees the text of a variant the library filled and leaves it
 * PELMAR_VT_EMPTY. NULL is ignored. Not for a variant whose text is the
 * host's own. */
PELMAR_API void PelmarVariantClear(PelmarVariant* variant);

/* The library's version (major.minor.patch); any pointer may be NULL. */
PELMAR_API void PelmarGetVersion(int* major, int* minor, int* patch);

/* The files the calling thread's last ImportContacts wrote besides its log:
 * the rejected-records (.bad) file when a record failed, and the rejects
 * file of the standard CSV format when a record went there; "" for a file
 * that was not written. Either pointer may be NULL; the texts are the
 * host's: free them with PelmarFree. */
PELMAR_API pelmar_status PelmarGetLastImportFiles(char** bad_file, char** rejects_file);

#ifdef __cplusplus
}
#endif

#endif /* PELMAR_IMPEXP_H */
