#include "framework/html/ResourceUrl.h"

#include "framework/TextConversion.h"
#include "framework/WinApp.h"

#include <windows.h>

namespace html {
namespace {

constexpr std::wstring_view kScheme = L"res://";
constexpr unsigned kLargestResourceId = 0xFFFF;

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    return ::CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

std::optional<unsigned> ResourceNumber(std::wstring_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned number = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    if (number == 0 || number > kLargestResourceId) return std::nullopt;
    return number;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// A program names its own file in 8-bit text, where a character that code
// page 949 cannot spell (a folder named in another script) has become "?":
// the path is this module's when it reads the same after that round trip.
bool NamesModule(const std::wstring& urlPath, const std::wstring& modulePath) {
    return SamePath(urlPath, modulePath) || SamePath(urlPath, ToWide(FromWide(modulePath)));
}

std::optional<std::u16string> ReadHtmlResource(HMODULE module, unsigned number) {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(23));  // RT_HTML
    if (!found) return std::nullopt;
    const DWORD size = ::SizeofResource(module, found);
    const HGLOBAL loaded = ::LoadResource(module, found);
    const auto* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!bytes) return std::nullopt;
    if (size == 0) return std::u16string();
    const std::wstring text = ToWide(bytes, size);
    if (text.empty()) return std::nullopt;
    return std::u16string(text.begin(), text.end());
}

}  // namespace

std::optional<ResourceUrl> ParseResourceUrl(std::wstring_view url) {
    if (!StartsWithNoCase(url, kScheme)) return std::nullopt;
    const std::wstring_view rest = url.substr(kScheme.size());
    const std::size_t slash = rest.rfind(L'/');
    if (slash == std::wstring_view::npos || slash == 0) return std::nullopt;
    const std::optional<unsigned> number = ResourceNumber(rest.substr(slash + 1));
    if (!number) return std::nullopt;
    return ResourceUrl{std::wstring(rest.substr(0, slash)), *number};
}

std::optional<std::u16string> LoadHtmlResource(const ResourceUrl& url) {
    const HMODULE self = ::GetModuleHandleW(nullptr);
    if (NamesModule(url.modulePath, AfxGetModulePath(self))) return ReadHtmlResource(self, url.number);
    const HMODULE data =
        ::LoadLibraryExW(url.modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!data) return std::nullopt;
    std::optional<std::u16string> text = ReadHtmlResource(data, url.number);
    ::FreeLibrary(data);
    return text;
}

}  // namespace html
