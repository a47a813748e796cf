#!/usr/bin/env python3
"""A host for libPelmarImpExp.so in Python, with ctypes and the public header.

It creates a Manager, calls Init for a server run on a SQLite address book,
reads LogFile back by name through Invoke, frees what the library hands over
with the library's own PelmarFree and PelmarVariantClear, and releases
everything.

usage: python_host.py LIBRARY
  LIBRARY  the path of libPelmarImpExp.so
The address book and the log are made in a temporary folder.
"""
import ctypes as C
import os
import sys
import tempfile

# ---- from pelmar_impexp.h: what this host uses -----------------------------

Status = C.c_int32  # negative on failure
RuntAtServer = 1
VT_TEXT = 8
DISPATCH_PROPERTYGET = 2


class Guid(C.Structure):
    _fields_ = [("Data1", C.c_uint32), ("Data2", C.c_uint16), ("Data3", C.c_uint16),
                ("Data4", C.c_uint8 * 8)]


def guid(data1, data2, data3, data4):
    return Guid(data1, data2, data3, (C.c_uint8 * 8)(*data4))


IID_IClassFactory = guid(0x00000001, 0x0000, 0x0000, [0xC0, 0, 0, 0, 0, 0, 0, 0x46])
IID_Manager = guid(0x6B1D3E52, 0x4C8A, 0x4F0E, [0x9A, 0x61, 0x2E, 0x7D, 0x0B, 0x5C, 0x13, 0xA1])
CLSID_Manager = guid(0x6B1D3E53, 0x4C8A, 0x4F0E, [0x9A, 0x61, 0x2E, 0x7D, 0x0B, 0x5C, 0x13, 0xA1])


class Variant(C.Structure):
    class Value(C.Union):
        # Text as a bare pointer: the library's result must go back to it.
        _fields_ = [("i4", C.c_int32), ("text", C.c_void_p)]

    _fields_ = [("vt", C.c_uint16), ("value", Value)]


class DispParams(C.Structure):
    _fields_ = [("args", C.POINTER(Variant)), ("count", C.c_uint32)]


# The header asserts these; a mismatch here would be this file's mistake.
assert C.sizeof(Guid) == 16
assert C.sizeof(Variant) == 2 * C.sizeof(C.c_void_p) and Variant.value.offset == C.sizeof(C.c_void_p)


def table(*slots):
    """An object type whose first member points to a table of these slots."""
    class Object(C.Structure):
        pass
    this = C.POINTER(Object)

    class Table(C.Structure):
        _fields_ = [(name, C.CFUNCTYPE(result, this, *args)) for name, result, args in slots]

    Object._fields_ = [("lpVtbl", C.POINTER(Table))]
    return this


UNKNOWN = [("QueryInterface", Status, [C.POINTER(Guid), C.POINTER(C.c_void_p)]),
           ("AddRef", C.c_uint32, []),
           ("Release", C.c_uint32, [])]

ClassFactory = table(*UNKNOWN,
                     ("CreateInstance", Status, [C.c_void_p, C.POINTER(Guid), C.POINTER(C.c_void_p)]),
                     ("LockServer", Status, [C.c_int32]))

Manager = table(*UNKNOWN,
                ("GetTypeInfoCount", Status, [C.POINTER(C.c_uint32)]),
                ("GetTypeInfo", Status, [C.c_uint32, C.c_uint32, C.c_void_p]),
                ("GetIDsOfNames", Status, [C.POINTER(Guid), C.POINTER(C.c_char_p), C.c_uint32, C.c_uint32,
                                           C.POINTER(C.c_int32)]),
                ("Invoke", Status, [C.c_int32, C.POINTER(Guid), C.c_uint32, C.c_uint16, C.POINTER(DispParams),
                                    C.POINTER(Variant), C.POINTER(C.c_uint32)]),
                ("get_LogFile", Status, [C.POINTER(C.c_void_p)]),
                ("put_LogFile", Status, [C.POINTER(C.c_char_p)]),
                ("Init", Status, [C.c_char_p, C.c_char_p, C.c_int32, C.POINTER(C.c_char_p)]),
                ("ImportContacts", Status, [C.POINTER(C.c_int32), C.POINTER(C.c_int32)]),
                ("ExportContacts", Status, [C.POINTER(C.c_int32), C.POINTER(C.c_int32)]))


def load(path):
    lib = C.CDLL(path)
    lib.DllGetClassObject.argtypes = [C.POINTER(Guid), C.POINTER(Guid), C.POINTER(C.c_void_p)]
    lib.DllGetClassObject.restype = Status
    lib.DllCanUnloadNow.restype = Status
    lib.PelmarGetLastErrorText.restype = C.c_char_p
    lib.PelmarFree.argtypes = [C.c_void_p]
    lib.PelmarFree.restype = None
    lib.PelmarVariantClear.argtypes = [C.POINTER(Variant)]
    lib.PelmarVariantClear.restype = None
    lib.PelmarGetVersion.argtypes = [C.POINTER(C.c_int)] * 3
    lib.PelmarGetVersion.restype = None
    return lib


# ---- the host ---------------------------------------------------------------

def main(library_path, folder):
    lib = load(library_path)
    book = os.path.join(folder, "book.db")
    open(book, "wb").close()  # an empty file is an empty SQLite database
    log_path = os.path.join(folder, "ImportExport.log")

    def check(status, what):
        if status < 0:
            message = lib.PelmarGetLastErrorText().decode()
            raise RuntimeError(f"{what}: status 0x{status & 0xFFFFFFFF:08X}: {message}")

    def call(obj, member, *args):
        return getattr(obj.contents.lpVtbl.contents, member)(obj, *args)

    major, minor, patch = C.c_int(), C.c_int(), C.c_int()
    lib.PelmarGetVersion(major, minor, patch)
    print(f"libPelmarImpExp {major.value}.{minor.value}.{patch.value}")

    # The class factory makes the Manager; the factory is not needed after.
    out = C.c_void_p()
    check(lib.DllGetClassObject(CLSID_Manager, IID_IClassFactory, C.byref(out)), "DllGetClassObject")
    factory = C.cast(out, ClassFactory)
    status = call(factory, "CreateInstance", None, IID_Manager, C.byref(out))
    call(factory, "Release")
    check(status, "CreateInstance")
    manager = C.cast(out, Manager)

    try:
        # Init through the table: a server run, so only the remote book is opened.
        connection = f"Driver=SQLite3;Database={book};".encode()
        log_file = C.c_char_p(log_path.encode())
        check(call(manager, "Init", b"", connection, RuntAtServer, C.byref(log_file)), "Init")

        # LogFile by name: its dispatch id, then Invoke. The text in the
        # result is ours to free, with the library's PelmarVariantClear.
        names = (C.c_char_p * 1)(b"LogFile")
        dispid = C.c_int32()
        check(call(manager, "GetIDsOfNames", None, names, 1, 0x409, C.byref(dispid)), "GetIDsOfNames")
        result = Variant()
        check(call(manager, "Invoke", dispid, None, 0x409, DISPATCH_PROPERTYGET, DispParams(None, 0),
                   C.byref(result), None), "Invoke LogFile")
        try:
            by_name = C.string_at(result.value.text).decode() if result.vt == VT_TEXT else None
        finally:
            lib.PelmarVariantClear(C.byref(result))

        # The same through the table: a bare text, freed with PelmarFree.
        text = C.c_void_p()
        check(call(manager, "get_LogFile", C.byref(text)), "get_LogFile")
        try:
            by_table = C.string_at(text).decode()
        finally:
            lib.PelmarFree(text)
    finally:
        call(manager, "Release")

    print(f"LogFile: {by_name}")
    with open(log_path, encoding="utf-8") as log:
        logged = log.read()
    print(logged, end="")
    if by_name != log_path or by_table != log_path:
        sys.exit(f"LogFile reads {by_name!r} by name and {by_table!r} by the table, not {log_path!r}")
    if "PelmarImpExp: Initialization routine completed" not in logged:
        sys.exit("Init did not complete: see the log above")
    if lib.DllCanUnloadNow() != 0:
        sys.exit("an object is still alive")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with tempfile.TemporaryDirectory() as temporary:
        main(sys.argv[1], temporary)
