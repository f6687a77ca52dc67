// The chat view's page, resource 129: its exact size and bytes, its line
// ends, and the style rule's values in their order.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

constexpr int kTemplateId = 129;
constexpr WORD kKorean = MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT);

std::string_view TemplateResource() {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(23), MAKEINTRESOURCEW(kTemplateId), kKorean);
    if (!found) return {};
    const HGLOBAL loaded = ::LoadResource(module, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return std::string_view(static_cast<const char*>(bytes), ::SizeofResource(module, found));
}

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(ChatViewTemplate, IsKoreanHtmlResourceOf496Bytes) {
    const std::string_view page = TemplateResource();
    EXPECT_EQ(page.size(), 496u);
}

TEST(ChatViewTemplate, HasTheBytesOfTheSourceFile) {
    const std::string file = ReadFile(WOBBLE_CHATVIEW_TEMPLATE_PATH);
    ASSERT_EQ(file.size(), 496u) << "the checked-out file was changed, by git or an editor";
    EXPECT_EQ(TemplateResource(), file);
}

TEST(ChatViewTemplate, EndsEveryLineWithCarriageReturnLineFeed) {
    const std::string_view page = TemplateResource();
    ASSERT_FALSE(page.empty());
    int lines = 0;
    for (size_t at = 0; at < page.size(); ++at) {
        if (page[at] == '\n') {
            ++lines;
            EXPECT_TRUE(at > 0 && page[at - 1] == '\r') << "bare line feed at " << at;
        } else if (page[at] == '\r') {
            EXPECT_TRUE(at + 1 < page.size() && page[at + 1] == '\n') << "bare carriage return at " << at;
        }
    }
    EXPECT_GT(lines, 10);
    EXPECT_TRUE(page.ends_with("</HTML>\r\n"));
    EXPECT_TRUE(page.starts_with("<HTML>"));
}

TEST(ChatViewTemplate, StyleRuleHasItsValuesInOrder) {
    const std::string_view page = TemplateResource();
    // The font name is "굴림" in code page 949 (the literal is compiled to it).
    const char* const inOrder[] = {
        "<head>",
        "<style",
        "body",
        "scrollbar-3dlight-color: 595959;",
        "scrollbar-arrow-color: ffffff;",
        "scrollbar-base-color: cfcfcf;",
        "scrollbar-darkshadow-color: ffffff;",
        "scrollbar-face-color: cfcfcf;",
        "scrollbar-highlight-color: fffff;",
        "scrollbar-shadow-color: 595959;",
        "font-family: \"Tahoma\", \"굴림\";",
        "font-size: 8pt;",
        "color: #000000;",
        "</style>",
        "<base target=\"_blank\">",
        "</head>",
        "<body topmargin=\"0\" leftmargin=\"0\" bottomMargin=\"0\">\r\n\t\r\n</body>",
    };
    size_t from = 0;
    for (const char* part : inOrder) {
        const size_t at = page.find(part, from);
        ASSERT_NE(at, std::string_view::npos) << "missing, or out of order: " << part;
        from = at + std::string_view(part).size();
    }
    EXPECT_EQ(std::string_view("\xB1\xBC\xB8\xB2"), "굴림");
}
