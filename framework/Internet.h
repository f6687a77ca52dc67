// CInternetSession, CHttpFile, CInternetException: synchronous HTTP over
// WinINet, in the classic framework's shape.
//
//   CInternetSession session;                 // throws CInternetException*
//   CHttpFile* file = nullptr;
//   try {
//       file = session.OpenURL(url, 1, INTERNET_FLAG_RELOAD | ...);
//       CString line;
//       while (file->ReadString(line)) ...
//   } catch (CInternetException* e) {
//       e->Delete();
//   }
//   if (file) { file->Close(); delete file; }
//   session.Close();
//
// Failures are thrown as CInternetException objects made with new and thrown
// by pointer, because that is the contract callers written against the
// classic framework expect; the catcher releases them with Delete(). They
// never leave this layer on their own: every throwing call is named here.
#pragma once

#include "framework/CString.h"
#include "framework/RuntimeClass.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

// OpenURL flags for an answer fetched from the server every time and never
// kept in the cache, read binary so the body's bytes arrive as they were sent.
inline constexpr DWORD kUncachedBinaryRequest =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_TRANSFER_BINARY;

// A WinINet failure: the system error code (ERROR_INTERNET_... or a Win32
// code) of the call that failed, and the context value of the session.
class CInternetException : public CObject {
    DECLARE_DYNAMIC(CInternetException)

public:
    CInternetException(DWORD error, DWORD_PTR context) : m_dwError(error), m_dwContext(context) {}

    // Releases an exception that was thrown by pointer.
    void Delete() { delete this; }

    DWORD m_dwError;
    DWORD_PTR m_dwContext;

private:
    // Made only with new and released with Delete(): there is no stack copy
    // to destroy twice.
    ~CInternetException() override = default;
};

// The body of an HTTP answer, whatever its status, read as text lines.
class CHttpFile {
public:
    // Takes ownership of `request`, a handle from InternetOpenUrlA.
    CHttpFile(HINTERNET request, DWORD_PTR context);
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;
    ~CHttpFile();

    // The next line, without its line feed and without any carriage return;
    // FALSE at the end when nothing was read. Throws CInternetException*
    // when a read fails; the text read before the failure is left in `line`.
    BOOL ReadString(CString& line);
    void Close();

private:
    // Refills the buffer; false at the end of the body.
    bool Fill();

    HINTERNET m_request;
    DWORD_PTR m_context;
    std::vector<char> m_buffer;
    size_t m_bufferStart = 0;  // first unread byte of m_buffer
};

class CInternetSession {
public:
    // A null agent stands for the application's name (the program file's
    // name without extension when there is no application object). Throws
    // CInternetException* when WinINet cannot open a session.
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, const char* proxy = nullptr,
                              const char* bypass = nullptr, DWORD flags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
    virtual ~CInternetSession();

    // Opens an http:// (or other WinINet-supported) URL with the given
    // request flags and extra headers (null: none). The caller owns the file
    // and deletes it. Throws CInternetException* when the URL cannot be
    // opened. Closing the session also ends the requests made in it, so the
    // file is closed first.
    CHttpFile* OpenURL(const char* url, DWORD_PTR context = 1, DWORD flags = INTERNET_FLAG_TRANSFER_ASCII,
                       const char* headers = nullptr, DWORD headersLength = 0);
    void Close();

private:
    DWORD_PTR m_context;
    HINTERNET m_session = nullptr;
};
