// CChatDlg::FetchUrl: the profile service's answer over the framework's
// internet session. Its exceptions are caught around the fetch only; the one
// thrown when no session can be opened is the caller's.
#include "chatwnd/ChatDlg.h"

#include "framework/Internet.h"

bool CChatDlg::FetchUrl(const char* url, CString& response) {
    CInternetSession session;
    CHttpFile* file = nullptr;
    bool readToEnd = false;
    try {
        file = session.OpenURL(url, 1, kUncachedBinaryRequest);
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
