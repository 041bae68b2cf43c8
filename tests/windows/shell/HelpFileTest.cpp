// The help file the build puts beside kelvane.exe, read back through the
// system's own storage for compiled help (itss), which we did not write; the
// sources' links and labels are checked natively (tests/help).
#include "shell/win/HelpViewer.h"
#include "tests/windows/support/TestPaths.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

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

const CLSID clsidITStorage = {
    0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID iidITStorage = {
    0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

template <typename T> void releaseInterface(T* object) {
    object->Release();
}
template <typename T> using ComOwner = Plinth::UniqueHandle<T*, &releaseInterface<T>>;

std::wstring wide(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // the names here are ASCII
}

// The Local values of a contents or index file, in order.
std::vector<std::string> sitemapTargets(const std::string& sitemap) {
    std::vector<std::string> targets;
    const std::string marker = "name=\"Local\" value=\"";
    for (size_t at = sitemap.find(marker); at != std::string::npos;
         at = sitemap.find(marker, at + 1)) {
        size_t begin = at + marker.size();
        targets.push_back(sitemap.substr(begin, sitemap.find('"', begin) - begin));
    }
    return targets;
}

class HelpFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }

    // The compiled help opened through itss, or a test failure.
    static ComOwner<IStorage> openHelp() {
        ComOwner<IITStorage> storages;
        ComOwner<IStorage> help;
        HRESULT created = CoCreateInstance(clsidITStorage, nullptr, CLSCTX_INPROC_SERVER,
                                           iidITStorage, reinterpret_cast<void**>(storages.put()));
        EXPECT_EQ(S_OK, created) << "itss.dll is not registered";
        if (SUCCEEDED(created)) {
            EXPECT_EQ(S_OK, storages.get()->StgOpenStorage(wide(helpFilePath()).c_str(), nullptr,
                                                           STGM_READ | STGM_SHARE_DENY_WRITE,
                                                           nullptr, 0, help.put()));
        }
        return help;
    }

    // One file of the compiled help; false when it is not there.
    static bool readTopic(IStorage* help, std::string path, std::string* content) {
        ComOwner<IStorage> folder;
        IStorage* from = help;
        size_t slash = path.rfind('/');
        if (slash != std::string::npos) {
            if (FAILED(help->OpenStorage(wide(path.substr(0, slash)).c_str(), nullptr,
                                         STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                         folder.put()))) {
                return false;
            }
            from = folder.get();
            path = path.substr(slash + 1);
        }
        ComOwner<IStream> stream;
        if (FAILED(from->OpenStream(wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                    0, stream.put()))) {
            return false;
        }
        content->clear();
        char block[4096];
        ULONG got = 0;
        while (SUCCEEDED(stream.get()->Read(block, sizeof block, &got)) && got > 0) {
            content->append(block, got);
        }
        return true;
    }
};

// Links and anchors are checked in the sources (tests/help); here what the
// compiler put into the file, and the page the viewer opens first.
TEST_F(HelpFileTest, EveryPageOfTheContentsAndIndexIsInsideWithItsStylesheetAndImages) {
    ComOwner<IStorage> help = openHelp();
    ASSERT_TRUE(help);
    std::string contents, index, text;
    ASSERT_TRUE(readTopic(help.get(), "kelvane.hhc", &contents));
    ASSERT_TRUE(readTopic(help.get(), "kelvane.hhk", &index));
    std::vector<std::string> targets = sitemapTargets(contents);
    std::vector<std::string> indexTargets = sitemapTargets(index);
    EXPECT_GE(targets.size(), 19u);
    EXPECT_GE(indexTargets.size(), 50u);
    targets.insert(targets.end(), indexTargets.begin(), indexTargets.end());
    std::set<std::string> pages;
    for (const std::string& target : targets) {
        pages.insert(target.substr(0, target.find('#')));
    }
    pages.insert("help.css");
    for (const std::string& page : pages) {
        EXPECT_TRUE(readTopic(help.get(), page, &text)) << page << " is not in the help file";
    }
    ASSERT_TRUE(readTopic(help.get(), "images/class-icons.png", &text));
    EXPECT_EQ("\x89PNG", text.substr(0, 4));

    // The viewer opens the default topic and the contents #SYSTEM names.
    ASSERT_TRUE(readTopic(help.get(), "#SYSTEM", &text));
    EXPECT_NE(text.find(std::string("index.html\0", 11)), std::string::npos);
    EXPECT_NE(text.find(std::string("kelvane.hhc\0", 12)), std::string::npos);
}

} // namespace
