#include "gui/manager_client.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "component/abi/pelmar_host.h"

namespace pelmar::gui {
namespace {

void Check(pelmar_status status, const char* call) {
    if (PELMAR_FAILED(status)) throw std::runtime_error(std::string(call) + ": " + pelmar_host_last_error());
}

}  // namespace

ManagerClient::ManagerClient(const std::string& library) {
    void* object = nullptr;
    const pelmar_status status =
        std::filesystem::exists(library)
            ? pelmar_create_object_from(library.c_str(), &PELMAR_CLSID_Manager, &PELMAR_IID_Manager, &object)
            : pelmar_create_object(PELMAR_PROGID_MANAGER, &PELMAR_IID_Manager, &object);
    Check(status, "creating the Manager");
    manager_ = static_cast<PelmarManager*>(object);
}

ManagerClient::~ManagerClient() {
    if (manager_) manager_->lpVtbl->Release(manager_);
}

void ManagerClient::Init(const std::string& local, const std::string& remote, int32_t runAt,
                         const std::string& logFile) {
    const char* log = logFile.c_str();
    Check(manager_->lpVtbl->Init(manager_, local.c_str(), remote.c_str(), runAt, &log), "Init");
}

int32_t ManagerClient::ImportContacts(int32_t user) {
    int32_t result = 0;
    Check(manager_->lpVtbl->ImportContacts(manager_, &user, &result), "ImportContacts");
    return result;
}

int32_t ManagerClient::ExportContacts(int32_t user) {
    int32_t result = 0;
    Check(manager_->lpVtbl->ExportContacts(manager_, &user, &result), "ExportContacts");
    return result;
}

void* ManagerClient::LibraryFunction(const char* name) const {
    void* code = nullptr;
    std::memcpy(&code, &manager_->lpVtbl->Release, sizeof code);
    Dl_info library{};
    if (!dladdr(code, &library) || !library.dli_fname) return nullptr;
    void* handle = dlopen(library.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return nullptr;
    void* symbol = dlsym(handle, name);
    // The object holds the library loaded; this handle only counted it once more.
    dlclose(handle);
    return symbol;
}

namespace {

// Text the library made, copied and freed with its PelmarFree.
std::string TakeText(char* text, void* pelmarFree) {
    std::string copy = text ? text : "";
    if (text && pelmarFree) {
        void (*release)(void*) = nullptr;
        std::memcpy(&release, &pelmarFree, sizeof release);
        release(text);
    }
    return copy;
}

}  // namespace

std::string ManagerClient::LogFile() {
    char* text = nullptr;
    Check(manager_->lpVtbl->get_LogFile(manager_, &text), "LogFile");
    return TakeText(text, LibraryFunction("PelmarFree"));
}

ManagerClient::ImportFiles ManagerClient::LastImportFiles() {
    void* symbol = LibraryFunction("PelmarGetLastImportFiles");
    if (!symbol) return {};  // a library from before it told them
    pelmar_status (*lastImportFiles)(char**, char**) = nullptr;
    std::memcpy(&lastImportFiles, &symbol, sizeof lastImportFiles);
    char* bad = nullptr;
    char* rejects = nullptr;
    Check(lastImportFiles(&bad, &rejects), "PelmarGetLastImportFiles");
    void* pelmarFree = LibraryFunction("PelmarFree");
    return {TakeText(bad, pelmarFree), TakeText(rejects, pelmarFree)};
}

}  // namespace pelmar::gui
