// CChatDlg: the program's one window and the controller of its one chat.
//
// While it is being created it decodes the user's identity and asks the
// profile service for the nickname, refusing to come up on a bad answer; at
// initialisation it makes the chat view, connects and logs in; while it runs
// it sends each typed line and, on each WM_CHAT_PACKET, shows every received
// packet waiting. A line that cannot go stays in the box, and a connection
// that was never made or has ended is told in the pane. Its frame is a captionless skin with its own title band and
// title buttons, laid out from the client size and docked to the screen area
// the task bar leaves free.
//
// The chat side lives in ChatDlg.cpp, the frame's handlers in
// ChatDlgFrame.cpp, the profile fetch in ChatDlgProfile.cpp; the layout,
// skin and docking arithmetic are pure functions (FrameLayout.h, Docking.h)
// so that they are tested without a window.
//
// Where the window connects and whom it asks for the profile is given to the
// constructor: the built-in values by default, loopback test services in the
// tests. Nothing else differs between the two.
#pragma once

#include "chatwnd/FrameLayout.h"
#include "chatwnd/SendEdit.h"
#include "controls/SkinButton.h"
#include "display/HtmlTagFilter.h"
#include "framework/CString.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/Icon.h"
#include "net/ChatClient.h"

#include <windows.h>

class CChatView;

// The outside services the window talks to.
struct ChatEndpoints {
    CString chatServerAddress;  // dotted IPv4
    int chatServerPort;
    CString profileHost;  // host name or address, with ":port" when not 80

    // The values the program was built with.
    static ChatEndpoints BuiltIn();
};

class CChatDlg : public CDialog {
public:
    explicit CChatDlg(CWnd* pParent = nullptr, ChatEndpoints endpoints = ChatEndpoints::BuiltIn());
    enum { IDD = 102 };

    // One synchronous HTTP GET of `url`; the body's lines, without CR and LF,
    // joined into `response`. True when the URL was opened and read to its
    // end. When it cannot be opened the response is left untouched; when a
    // read fails it holds the lines read so far. Throws CInternetException*
    // only when no internet session can be opened at all.
    static bool FetchUrl(const char* url, CString& response);

    // Sends what the input box holds, if anything, and empties the box; a
    // line that did not go stays in the box.
    void SendTypedLine();
    // Shows one received packet according to its type. The packet's buffer
    // must have the spare byte behind its body (as the client leaves it).
    void DispatchPacket(ChatPacket* packet);
    void ToggleMaximize();
    // Append to the chat view, when there is one; both answer 0.
    int AddNotice(const char* text);
    int AddChatLine(const char* record);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // The conversation's zoom keys work from the input box too, and Ctrl and
    // the wheel over it wherever the focus is.
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnCancel() override;
    // The view goes with its window and deletes itself: forget it.
    void PostNcDestroy() override;

    // The program's first command-line argument, empty when there is none.
    virtual CString GetIdentityArgument() const;

    // Chat side.
    void OnSysCommand(UINT id, LPARAM lParam);
    LRESULT OnChatPacket(WPARAM, LPARAM);
    LRESULT OnChatSend(WPARAM, LPARAM);
    int OnCreate(LPCREATESTRUCT create);

    // Frame.
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT type, int width, int height);
    void OnWindowPosChanging(WINDOWPOS* position);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnCloseButton();
    void OnMinimizeButton();
    BOOL OnEraseBkgnd(CDCHandle dc);
    void OnDpiChanged(UINT dpi, const RECT* suggested);

    DECLARE_MESSAGE_MAP()

    HICON m_hIcon;
    CChatView* m_pChatView = nullptr;
    CChatClient m_client;
    CHtmlTagFilter m_tagFilter;
    CString m_strUserId;
    CString m_strNickname;
    int m_nProfileFlag = 0;
    CPen m_framePen;
    CSendEdit m_editInput;
    CSkinButton m_btnSend;
    CString m_strMessage;
    CSkinButton m_btnClose;
    CSkinButton m_btnMaximize;
    CSkinButton m_btnMinimize;

private:
    // The profile lookup of the creation step: true with the nickname set.
    bool LookUpProfile();
    // True when the line went; tells the user when it was too long to go.
    bool SendLine(const CString& line);
    void KeepUnsentLine();
    // Tells the user, once in the window's life, that there is no connection.
    void TellConnectionGone(const char* notice);
    void AddAboutItemToSystemMenu();
    // The window's set-up step: the chat view, made and loading its page,
    // then the skin buttons' images and the names screen readers give the
    // controls.
    void SetUpChildren();
    void CreateChatView();
    void SetUpSkinButtons();
    void NameControls();
    void StretchBandPieces();
    // The skin's pictures and the window's icons for the window's DPI.
    void LoadPicturesForScale();
    void LoadPiecePictures();
    void LoadButtonImages();
    void LoadButtonImage(CSkinButton& button, int id, unsigned bitmap);
    void SetIconsForScale();
    // The icon at the window's DPI that the minimised window shows.
    HICON ShownIcon() const;
    void ConnectAndLogIn();
    void MoveToInitialPlace();
    // Places every piece for the client size at the window's DPI.
    void LayOut(int width, int height);

    ChatEndpoints m_endpoints;
    // At a DPI other than 96: the pictures the static pieces show (in the
    // order of kPiecePictures) and the window's icons at that DPI.
    std::array<CBitmap, kPiecePictures.size()> m_piecePictures;
    CIcon m_bigIcon;
    CIcon m_smallIcon;
    // What the maximise button shows; only ToggleMaximize changes it.
    unsigned m_maximizeBitmap = IDB_MAXIMIZE;
    // Set once the set-up step has run, whether or not the view was made:
    // from then on the layout places the pieces.
    bool m_childrenSetUp = false;
    // Whether the user has been told that there is no connection: a
    // connection that was never made and one that ended are told once.
    bool m_connectionGoneTold = false;
};
