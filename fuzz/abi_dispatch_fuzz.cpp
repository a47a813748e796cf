// The C ABI's dispatch path: GetIDsOfNames and Invoke on a Manager with
// random names, dispatch ids, flags and arguments of any type. Besides not
// failing: every call returns a status, a text result is freed with the
// library's allocator, and the object goes away with its last Release.
//
// The Manager may be initialised with whatever the input names, so the run
// is kept in a folder of its own: texts lose their "/" (no file outside it),
// ODBC finds no drivers there, and the folder and the default log are
// emptied after each input.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/ui.h"
#include "component/abi/pelmar_impexp.h"
#include "component/component_folder.h"
#include "session/session_state.h"

namespace {

namespace fs = std::filesystem;

class QuietInterface final : public pelmar::UserInterface {
public:
    int16_t ShowMessageBox(const std::string&, int32_t, const std::string&) override { return 1; }
    std::optional<std::string> ClipboardText() override { return std::nullopt; }
};

const char* const kNames[] = {"Init",    "LogFile",          "ImportContacts", "ExportContacts", "p_ClientDBString",
                              "User_ID", "p_RemoteDBString", "p_Runfor",       "logfile",        "INIT"};
const char* const kTexts[] = {
    "",   "Driver=SQLite3;Database=:memory:", "Driver=SQLite3;Database=none.db", "DSN=none", "fuzz.log", " 12 ", "-3",
    "1e3"};

fs::path& Sandbox() {
    static fs::path folder;
    return folder;
}

std::string Text(FuzzedDataProvider& in) {
    std::string text = in.ConsumeBool() ? kTexts[in.ConsumeIntegralInRange<size_t>(0, std::size(kTexts) - 1)]
                                        : in.ConsumeRandomLengthString(64);
    text.resize(std::strlen(text.c_str()));  // what the C string handed over holds
    std::erase(text, '/');
    return text;
}

PelmarManager* NewManager() {
    PelmarClassFactory* factory = nullptr;
    PelmarManager* manager = nullptr;
    if (DllGetClassObject(&PELMAR_CLSID_Manager, &PELMAR_IID_IClassFactory, reinterpret_cast<void**>(&factory)) !=
            PELMAR_S_OK ||
        factory->lpVtbl->CreateInstance(factory, nullptr, &PELMAR_IID_Manager, reinterpret_cast<void**>(&manager)) !=
            PELMAR_S_OK)
        std::abort();
    factory->lpVtbl->Release(factory);
    return manager;
}

void OneCall(FuzzedDataProvider& in, PelmarManager* m) {
    std::vector<std::string> names(in.ConsumeIntegralInRange<size_t>(0, 4));
    for (std::string& name : names)
        name = in.ConsumeBool() ? kNames[in.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)]
                                : in.ConsumeRandomLengthString(16);
    std::vector<const char*> pointers(names.size());
    std::transform(names.begin(), names.end(), pointers.begin(), [](const std::string& name) { return name.c_str(); });
    std::vector<int32_t> ids(names.size() + 1, 0);
    const PelmarGuid other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    const PelmarGuid* iid = in.ConsumeBool() ? nullptr : in.ConsumeBool() ? &PELMAR_IID_NULL : &other;
    m->lpVtbl->GetIDsOfNames(m, iid, pointers.data(), static_cast<uint32_t>(pointers.size()), 0x409, ids.data());

    const int32_t dispid = in.ConsumeBool() ? ids[0] : in.ConsumeIntegral<int32_t>();
    const auto flags = in.ConsumeIntegral<uint16_t>();
    std::vector<std::string> texts(in.ConsumeIntegralInRange<size_t>(0, 6));
    std::vector<PelmarVariant> args(texts.size());
    for (size_t i = 0; i < args.size(); ++i) {
        const uint16_t types[] = {PELMAR_VT_EMPTY, PELMAR_VT_I4, PELMAR_VT_TEXT, in.ConsumeIntegral<uint16_t>()};
        args[i].vt = types[in.ConsumeIntegralInRange<size_t>(0, 3)];
        if (args[i].vt == PELMAR_VT_TEXT) {
            texts[i] = Text(in);
            args[i].value.text = in.ConsumeBool() ? texts[i].c_str() : nullptr;
        } else {
            args[i].value.i4 = in.ConsumeIntegral<int32_t>();
        }
    }
    const PelmarDispParams params{args.data(), static_cast<uint32_t>(args.size())};
    PelmarVariant result{};
    uint32_t argError = 0;
    const bool wantResult = in.ConsumeBool();
    m->lpVtbl->Invoke(m, dispid, nullptr, 0x409, flags, in.ConsumeBool() ? nullptr : &params,
                      wantResult ? &result : nullptr, in.ConsumeBool() ? &argError : nullptr);
    PelmarVariantClear(&result);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/pelmar-abi-fuzz.XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    Sandbox() = folder;
    fs::current_path(folder);
    for (const char* variable : {"HOME", "ODBCSYSINI", "ODBCINI"}) ::setenv(variable, folder, 1);
    pelmar::SetUserInterface(std::make_shared<QuietInterface>());
    std::atexit([] { fs::remove_all(Sandbox()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    PelmarManager* manager = NewManager();
    for (int calls = 0; calls < 4 && in.remaining_bytes() > 0; ++calls) OneCall(in, manager);
    if (manager->lpVtbl->Release(manager) != 0 || DllCanUnloadNow() != PELMAR_S_OK) std::abort();

    pelmar::Session() = pelmar::SessionState{};
    for (const auto& entry : fs::directory_iterator(Sandbox())) fs::remove_all(entry.path());
    std::error_code ignored;
    fs::remove(pelmar::DefaultLogFile(), ignored);
    return 0;
}
