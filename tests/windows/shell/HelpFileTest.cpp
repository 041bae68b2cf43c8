// The help file the build puts beside kelvane.exe, read back through the
// system's own storage for compiled help (itss), which we did not write, and
// the help control F1 loads. The sources' pages, links and labels are
// checked natively (tests/help).
#include "shell/win/HelpViewer.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>

using namespace kelvane;
using namespace kelvane::test;

// The compiled-help storage interface of itss.dll; no SDK header of the cross
// compiler declares it. Only the methods up to the one called are declared:
// the vtable order is all that matters. It stays outside the anonymous
// namespace: with no class of this file deriving from it, the compiler would
// take a call through it for one that can never happen.
struct IITStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD,
                                                                   IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD,
                                                     IStorage**) = 0;
};

namespace {

template <typename T> void releaseInterface(T* object) {
    object->Release();
}
template <typename T> using ComOwner = Plinth::UniqueHandle<T*, &releaseInterface<T>>;

std::wstring wide(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // the names here are ASCII
}

// One file of the compiled help, by its path inside; "missing" when it is
// not there.
std::string readTopic(IStorage* help, const std::string& path) {
    ComOwner<IStream> stream;
    if (FAILED(help->OpenStream(wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                stream.put()))) {
        return "missing";
    }
    std::string content;
    char block[4096];
    for (ULONG got = 0; SUCCEEDED(stream.get()->Read(block, sizeof block, &got)) && got > 0;) {
        content.append(block, got);
    }
    return content;
}

} // namespace

TEST(HelpFileTest, TheCompiledHelpHoldsItsDefaultTopicContentsStylesheetAndImages) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const CLSID storagesClass = {
        0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
    const IID storagesInterface = {
        0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
    ComOwner<IITStorage> storages;
    ComOwner<IStorage> help;
    ASSERT_EQ(S_OK, CoCreateInstance(storagesClass, nullptr, CLSCTX_INPROC_SERVER,
                                     storagesInterface, reinterpret_cast<void**>(storages.put())))
        << "itss.dll is not registered";
    ASSERT_EQ(S_OK, storages.get()->StgOpenStorage(wide(helpFilePath()).c_str(), nullptr,
                                                   STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                                                   help.put()));
    // The viewer opens the default topic and the contents #SYSTEM names;
    // that every page is in the project and the contents is the native help
    // check's. What the compiler takes in besides the pages shows here.
    const std::string system = readTopic(help.get(), "#SYSTEM");
    for (const std::string file : {"index.html", "kelvane.hhc"}) {
        EXPECT_NE(system.find(file + '\0'), std::string::npos) << file;
        EXPECT_NE(readTopic(help.get(), file), "missing") << file;
    }
    EXPECT_NE(readTopic(help.get(), "help.css"), "missing");
    EXPECT_EQ(readTopic(help.get(), "images/class-icons.png").substr(0, 4), "\x89PNG");
    help.reset();
    storages.reset();
    CoUninitialize();
}

// Whatever library the registry's classes name for it: an elevated run must
// not load one that the current user's own classes (writable by any
// unelevated program) put there.
TEST(HelpViewerTest, F1LoadsTheSystemsHelpControlNotTheOneTheClassesName) {
    // A library that is no help control: one of our programs, renamed.
    const std::string planted = binaryFolder() + "kelvane-planted-help.ocx";
    ASSERT_TRUE(
        CopyFileA(programPath("kelvane-version-sample.exe").c_str(), planted.c_str(), FALSE));
    const std::string server =
        "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    // Windows reads the per-user entry first through HKEY_CLASSES_ROOT. Wine 8
    // does not merge per-user classes into it, so the machine's entry, which
    // is what its HKEY_CLASSES_ROOT shows, names the planted library too.
    {
        RegistryValueAside user(HKEY_CURRENT_USER, server, ""),
            machine(HKEY_LOCAL_MACHINE, server, "");
        user.set(REG_SZ, planted + '\0');
        machine.set(REG_SZ, planted + '\0');
        Plinth::UniqueWindow owner(CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100,
                                                   100, nullptr, nullptr, nullptr, nullptr));
        showHelpContents(owner.get()); // what F1 runs
    }
    EXPECT_EQ(GetModuleHandleA("kelvane-planted-help.ocx"), nullptr);
    char system[MAX_PATH] = {}, loaded[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    HMODULE control = GetModuleHandleA("hhctrl.ocx");
    ASSERT_NE(control, nullptr) << "no help control was loaded";
    GetModuleFileNameA(control, loaded, MAX_PATH);
    EXPECT_EQ(lowerCase(loaded), lowerCase(std::string(system) + "\\hhctrl.ocx"));

    constexpr UINT closeAll = 0x12; // HH_CLOSE_ALL
    showHelp(nullptr, nullptr, closeAll, 0);
    DeleteFileA(planted.c_str());
}
