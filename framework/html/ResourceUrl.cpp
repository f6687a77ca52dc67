#include "framework/html/ResourceUrl.h"

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

std::wstring CurrentModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::optional<std::u16string> ReadHtmlResource(HMODULE module, unsigned number) {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(23));  // RT_HTML
    if (!found) return std::nullopt;
    const DWORD size = ::SizeofResource(module, found);
    const HGLOBAL loaded = ::LoadResource(module, found);
    const auto* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!bytes) return std::nullopt;
    if (size == 0) return std::u16string();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
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
    if (SamePath(url.modulePath, CurrentModulePath(self))) return ReadHtmlResource(self, url.number);
    const HMODULE data = ::LoadLibraryExW(url.modulePath.c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!data) return std::nullopt;
    std::optional<std::u16string> text = ReadHtmlResource(data, url.number);
    ::FreeLibrary(data);
    return text;
}

}  // namespace html
