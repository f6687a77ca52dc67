#include "framework/Internet.h"

#include "framework/TextConversion.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <iterator>
#include <string>

IMPLEMENT_DYNAMIC(CInternetException, CObject)

namespace {

// Bytes asked of WinINet per read: large enough that a short answer is one
// read, small enough to live in the file object.
constexpr size_t kReadChunk = 4096;

[[noreturn]] void ThrowLastError(DWORD_PTR context) { throw new CInternetException(::GetLastError(), context); }

CString AgentOrAppName(const char* agent) { return agent ? CString(agent) : AfxGetAppName(); }

// WinINet reads a null proxy or bypass list as "none", unlike an empty one.
const wchar_t* NullIfAbsent(const char* text, const std::wstring& wide) { return text ? wide.c_str() : nullptr; }

}  // namespace

CHttpFile::CHttpFile(HINTERNET request, DWORD_PTR context) : m_request(request), m_context(context) {}

CHttpFile::~CHttpFile() { Close(); }

void CHttpFile::Close() {
    if (m_request) ::InternetCloseHandle(m_request);
    m_request = nullptr;
    m_buffer.clear();
    m_bufferStart = 0;
}

bool CHttpFile::Fill() {
    if (!m_request) return false;
    m_buffer.resize(kReadChunk);
    m_bufferStart = 0;
    DWORD got = 0;
    if (!::InternetReadFile(m_request, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &got)) {
        m_buffer.clear();
        ThrowLastError(m_context);
    }
    m_buffer.resize(got);
    return got > 0;
}

BOOL CHttpFile::ReadString(CString& line) {
    std::string text;
    bool readAny = false;
    for (;;) {
        if (m_bufferStart == m_buffer.size()) {
            try {
                if (!Fill()) break;
            } catch (CInternetException*) {
                line = CString(std::move(text));
                throw;
            }
        }
        readAny = true;
        const auto begin = m_buffer.begin() + static_cast<std::ptrdiff_t>(m_bufferStart);
        const auto lineFeed = std::find(begin, m_buffer.end(), '\n');
        std::copy_if(begin, lineFeed, std::back_inserter(text), [](char c) { return c != '\r'; });
        if (lineFeed != m_buffer.end()) {
            m_bufferStart = static_cast<size_t>(lineFeed - m_buffer.begin()) + 1;
            line = CString(std::move(text));
            return TRUE;
        }
        m_bufferStart = m_buffer.size();
    }
    line = CString(std::move(text));
    return readAny ? TRUE : FALSE;
}

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType, const char* proxy,
                                   const char* bypass, DWORD flags)
    : m_context(context) {
    const std::wstring wideProxy = ToWide(proxy);
    const std::wstring wideBypass = ToWide(bypass);
    m_session = ::InternetOpenW(ToWide(AgentOrAppName(agent)).c_str(), accessType, NullIfAbsent(proxy, wideProxy),
                                NullIfAbsent(bypass, wideBypass), flags);
    if (!m_session) ThrowLastError(m_context);
}

CInternetSession::~CInternetSession() { Close(); }

void CInternetSession::Close() {
    if (m_session) ::InternetCloseHandle(m_session);
    m_session = nullptr;
}

CHttpFile* CInternetSession::OpenURL(const char* url, DWORD_PTR context, DWORD flags, const char* headers,
                                     DWORD headersLength) {
    if (!m_session) throw new CInternetException(ERROR_INVALID_HANDLE, context);
    // WinINet reads a length of -1 as "up to the NUL".
    const DWORD length = !headers ? 0 : headersLength ? headersLength : static_cast<DWORD>(-1);
    // The URL's bytes go out as they are, not converted: a user id in code
    // page 949 is asked for in its own bytes, which the profile service reads.
    HINTERNET request = ::InternetOpenUrlA(m_session, url, headers, length, flags, context);
    if (!request) ThrowLastError(context);
    return new CHttpFile(request, context);
}
