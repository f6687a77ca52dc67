// CChatDlg::FetchUrl: the profile service's answer over the framework's
// internet session. Its exceptions are caught around the fetch only; the one
// thrown when no session can be opened is the caller's.
#include "chatwnd/ChatDlg.h"

#include "framework/Internet.h"

namespace {

// Always fetched from the server and never kept in the cache; binary, so
// the body's bytes arrive as they were sent.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_TRANSFER_BINARY;

}  // namespace

bool CChatDlg::FetchUrl(const char* url, CString& response) {
    CInternetSession session;
    CHttpFile* file = nullptr;
    bool readToEnd = false;
    try {
        file = session.OpenURL(url, 1, kRequestFlags);
        if (file) {
            response.Empty();
            CString line;
            while (file->ReadString(line)) response += line;
            readToEnd = true;
        }
    } catch (CInternetException* error) {
        error->Delete();
    }
    if (file) {
        file->Close();
        delete file;
    }
    session.Close();
    return readToEnd;
}
