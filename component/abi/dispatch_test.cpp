// The C ABI from C++: the dispatch path's argument handling, the class
// factory and the registry file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "component/abi/pelmar_impexp.h"
#include "component/abi/registry.h"
#include "session/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

PelmarVariant Text(const char* text) {
    PelmarVariant v{PELMAR_VT_TEXT, {}};
    v.value.text = text;
    return v;
}
PelmarVariant Int(int32_t i) { return PelmarVariant{PELMAR_VT_I4, {i}}; }
PelmarVariant Empty() { return PelmarVariant{}; }

class AbiTest : public ::testing::Test {
protected:
    void SetUp() override {
        Session() = SessionState{};
        PelmarClassFactory* factory = nullptr;
        ASSERT_EQ(
            DllGetClassObject(&PELMAR_CLSID_Manager, &PELMAR_IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            PELMAR_S_OK);
        ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &PELMAR_IID_Manager, reinterpret_cast<void**>(&m_)),
                  PELMAR_S_OK);
        EXPECT_EQ(factory->lpVtbl->Release(factory), 0u);
    }
    void TearDown() override {
        if (m_) {
            EXPECT_EQ(m_->lpVtbl->Release(m_), 0u);
        }
        EXPECT_EQ(DllCanUnloadNow(), PELMAR_S_OK);
        Session() = SessionState{};
    }
    pelmar_status Invoke(int32_t dispid, uint16_t flags, std::vector<PelmarVariant> args,
                         PelmarVariant* result = nullptr, uint32_t* argError = nullptr) {
        const PelmarDispParams params{args.data(), static_cast<uint32_t>(args.size())};
        return m_->lpVtbl->Invoke(m_, dispid, nullptr, 0x409, flags, &params, result, argError);
    }
    PelmarManager* m_ = nullptr;
};

TEST_F(AbiTest, LogFileThroughTableAndDispatchAgree) {
    const struct {
        PelmarVariant value;
        std::string expected;
    } cases[] = {{Text(" a b.log "), " a b.log "}, {Int(-12), "-12"}, {Empty(), ""}, {Text("ü.log"), "ü.log"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        PelmarVariant result{};
        char* text = nullptr;
        ASSERT_EQ(Invoke(PELMAR_DISPID_LogFile, PELMAR_DISPATCH_PROPERTYPUT, {c.value}), PELMAR_S_OK);
        ASSERT_EQ(m_->lpVtbl->get_LogFile(m_, &text), PELMAR_S_OK);
        ASSERT_EQ(Invoke(PELMAR_DISPID_LogFile, PELMAR_DISPATCH_PROPERTYGET, {}, &result), PELMAR_S_OK);
        ASSERT_EQ(result.vt, PELMAR_VT_TEXT);
        EXPECT_EQ(std::string(text) + "|" + result.value.text, c.expected + "|" + c.expected);
        PelmarFree(text);
        PelmarVariantClear(&result);
    }
}

TEST_F(AbiTest, NamesAreFoundInAnyCase) {
    const struct {
        std::vector<const char*> names;
        pelmar_status status;
        std::vector<int32_t> ids;
    } cases[] = {
        {{"INIT", "p_runfor", "LogFile"}, PELMAR_S_OK, {PELMAR_DISPID_Init, 2, 3}},
        {{"ImportContacts", "user_id"}, PELMAR_S_OK, {PELMAR_DISPID_ImportContacts, 0}},
        {{"logfile"}, PELMAR_S_OK, {PELMAR_DISPID_LogFile}},
        {{"Terminate"}, PELMAR_DISP_E_UNKNOWNNAME, {-1}},
        {{"Init", "p_Nothing"}, PELMAR_DISP_E_UNKNOWNNAME, {PELMAR_DISPID_Init, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names[0]);
        std::vector<int32_t> ids(c.names.size(), 99);
        EXPECT_EQ(m_->lpVtbl->GetIDsOfNames(m_, &PELMAR_IID_NULL, c.names.data(), static_cast<uint32_t>(c.names.size()),
                                            0x409, ids.data()),
                  c.status);
        EXPECT_EQ(ids, c.ids);
    }
}

TEST_F(AbiTest, BadCallsOtherInterfacesAndClassesAreRefusedWithTheirStatus) {
    constexpr int32_t init = PELMAR_DISPID_Init, logFile = PELMAR_DISPID_LogFile;
    constexpr uint16_t method = PELMAR_DISPATCH_METHOD, get = PELMAR_DISPATCH_PROPERTYGET,
                       put = PELMAR_DISPATCH_PROPERTYPUT;
    const struct {
        const char* name;
        int32_t dispid;
        uint16_t flags;
        std::vector<PelmarVariant> args;
        pelmar_status status;
    } cases[] = {
        {"unknown id", 42, method, {}, PELMAR_DISP_E_MEMBERNOTFOUND},
        {"Init put", init, put, {Text("x")}, PELMAR_DISP_E_MEMBERNOTFOUND},
        {"Init short", init, method, {Text("a"), Text("b")}, PELMAR_DISP_E_BADPARAMCOUNT},
        {"Init long", init, method, {Text("a"), Text("b"), Int(0), Text("c"), Text("d")}, PELMAR_DISP_E_BADPARAMCOUNT},
        {"Init runfor text", init, method, {Text("a"), Text("b"), Text("server")}, PELMAR_DISP_E_TYPEMISMATCH},
        {"LogFile get with argument", logFile, get, {Text("x")}, PELMAR_DISP_E_BADPARAMCOUNT},
        {"bad variant", logFile, put, {PelmarVariant{77, {0}}}, PELMAR_DISP_E_TYPEMISMATCH},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Invoke(c.dispid, c.flags, c.args), c.status);
        EXPECT_STRNE(PelmarGetLastErrorText(), "");
    }
    // Numeric text converts ("1" would pass); "1x" does not.
    uint32_t argError = 99;
    EXPECT_EQ(Invoke(init, method, {Text("a"), Text("b"), Text("1x")}, nullptr, &argError), PELMAR_DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 2u);

    void* other = nullptr;
    EXPECT_EQ(m_->lpVtbl->QueryInterface(m_, &PELMAR_IID_IDispatch, &other), PELMAR_S_OK);
    EXPECT_EQ(m_->lpVtbl->Release(m_), 1u);
    EXPECT_EQ(m_->lpVtbl->QueryInterface(m_, &PELMAR_IID_IClassFactory, &other), PELMAR_E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(DllGetClassObject(&PELMAR_IID_Manager, &PELMAR_IID_IClassFactory, &other),
              PELMAR_CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(m_->lpVtbl->get_LogFile(m_, nullptr), PELMAR_E_POINTER);
}

TEST_F(AbiTest, ALockedFactoryKeepsTheModuleLoadedWithoutObjects) {
    const auto factory = [] {
        PelmarClassFactory* made = nullptr;
        EXPECT_EQ(DllGetClassObject(&PELMAR_CLSID_Manager, &PELMAR_IID_IClassFactory, reinterpret_cast<void**>(&made)),
                  PELMAR_S_OK);
        return made;
    };
    EXPECT_EQ(m_->lpVtbl->Release(m_), 0u);
    m_ = nullptr;
    for (const int32_t lock : {1, 0}) {
        PelmarClassFactory* f = factory();
        EXPECT_EQ(f->lpVtbl->LockServer(f, lock), PELMAR_S_OK);
        EXPECT_EQ(f->lpVtbl->Release(f), 0u);
        EXPECT_EQ(DllCanUnloadNow(), lock ? PELMAR_S_FALSE : PELMAR_S_OK) << lock;
    }
}

TEST(Registry, FileFollowsTheEnvironmentAndKeepsOtherClasses) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/h", 1);
    ::unsetenv("XDG_CONFIG_HOME");
    std::string paths = abi::RegistryPath() + " ";
    ::setenv("XDG_CONFIG_HOME", "/x", 1);
    paths += abi::RegistryPath();
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(paths, "/h/.config/pelmar/registry /x/pelmar/registry");

    test::TempDir folder;
    const std::string file = folder.file("conf/registry");
    ::setenv("PELMAR_REGISTRY", file.c_str(), 1);
    EXPECT_EQ(abi::RegistryPath(), file);
    const std::string other = "Other.Thing\t{00000000-0000-0000-0000-000000000001}\t/nowhere/other.so\n";
    abi::RegisterClass("Other.Thing", "{00000000-0000-0000-0000-000000000001}", "/nowhere/other.so");
    abi::RegisterClass("PelmarImpExp.Manager", "{C}", "/old/lib.so");
    abi::RegisterClass("PelmarImpExp.Manager", "{C}", "/new/lib.so");
    EXPECT_EQ(test::ReadFile(file), other + "PelmarImpExp.Manager\t{C}\t/new/lib.so\n");
    abi::UnregisterClass("PelmarImpExp.Manager", "{C}");
    EXPECT_EQ(test::ReadFile(file), other);
    ::unsetenv("PELMAR_REGISTRY");
}

}  // namespace
}  // namespace pelmar
