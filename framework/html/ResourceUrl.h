// ResourceUrl: "res://<module path>/<number>" URLs, and loading the HTML
// resource (type 23) they name.
//
// The module path is a file path ("C:\dir\prog.exe") and may itself hold
// slashes, so the number is what follows the last "/". The program's own
// module is used as it is loaded; any other file is mapped as a data file
// only (its code never runs) for the time of the load.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace html {

struct ResourceUrl {
    std::wstring modulePath;
    unsigned number = 0;  // 1..65535, a resource identifier
};

std::optional<ResourceUrl> ParseResourceUrl(std::wstring_view url);

// The resource's bytes as text of code page 949 (whatever the system's code
// page), widened; nothing when the module or the resource cannot be had.
std::optional<std::u16string> LoadHtmlResource(const ResourceUrl& url);

}  // namespace html
