// Code comes from the system folder only: a DLL beside the program is never
// loaded by LoadSystemLibrary, nor by bare name once the search is narrowed.
#include "framework/SystemLibrary.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// Beside this program (see CMakeLists.txt).
constexpr wchar_t kPlanted[] = L"wobble-planted.dll";

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\'));
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    return std::wstring(folder, ::GetSystemDirectoryW(folder, MAX_PATH));
}

}  // namespace

// Narrows this test program's own search for good: the tests after it load
// nothing from its folder either.
TEST(SystemLibrary, NeitherTheLoaderNorTheNarrowedSearchTakesTheDllBesideTheProgram) {
    // The plant works: the default search finds it beside the program.
    const HMODULE planted = ::LoadLibraryW(kPlanted);
    ASSERT_NE(planted, nullptr) << "the planted DLL is not beside the test program";
    ::FreeLibrary(planted);

    EXPECT_EQ(LoadSystemLibrary(kPlanted), nullptr);
    const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    ASSERT_NE(oleacc, nullptr);
    EXPECT_EQ(::lstrcmpiW(FolderOf(oleacc).c_str(), SystemFolder().c_str()), 0) << FolderOf(oleacc).c_str();
    ::FreeLibrary(oleacc);

    EXPECT_TRUE(RestrictDllSearchToSystemFolder());
    EXPECT_EQ(::LoadLibraryW(kPlanted), nullptr);
}
