#include "chatwnd/ChatDlg.h"

#include "app/UserId.h"
#include "chatwnd/FrameLayout.h"
#include "chatwnd/ProfileRecord.h"
#include "display/ChatRendering.h"
#include "display/ChatView.h"
#include "framework/Internet.h"
#include "framework/MessageBox.h"
#include "framework/WinApp.h"
#include "net/Protocol.h"
#include "res/resource.h"

#include <array>
#include <iterator>
#include <optional>
#include <utility>

namespace {

constexpr char kWindowTitle[] = "워블채팅";
constexpr char kBadProfileText[] = "사용자 정보가 잘못 되었습니다";
constexpr char kWelcomeNotice[] = "  워블채팅에 오신것을 환영합니다.";
constexpr char kNotConnectedNotice[] = "서버에 연결하지 못했습니다.";
constexpr char kConnectionEndedNotice[] = "서버와의 연결이 끊어졌습니다.";
constexpr char kLineTooLongNotice[] = "메시지가 너무 깁니다. 3999바이트까지 보낼 수 있습니다.";

constexpr int kSocketBufferSize = 8192;

// System command identifiers keep their low four bits for the system.
constexpr UINT kSystemCommandMask = 0xFFF0;

int16_t TypeOf(const ChatPacket& packet) { return static_cast<int16_t>(ReadLittle16(packet.data)); }

// The payload as text: terminated in the spare room behind the body, so it
// ends at the body's end or at an earlier NUL.
const char* PayloadText(ChatPacket& packet) {
    packet.data[packet.length] = 0;
    return reinterpret_cast<const char*>(packet.data + CHAT_TYPE_SIZE);
}

}  // namespace

ChatEndpoints ChatEndpoints::BuiltIn() { return {WOBBLE_CHAT_SERVER_ADDRESS, CHAT_SERVER_PORT, WOBBLE_PROFILE_HOST}; }

BEGIN_MESSAGE_MAP(CChatDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_COMMAND(IDCANCEL, OnCancel)
ON_BN_CLICKED(IDC_SEND, SendTypedLine)
ON_MESSAGE(WM_CHAT_PACKET, OnChatPacket)
ON_MESSAGE(WM_CHAT_SEND, OnChatSend)
ON_WM_SIZE()
ON_WM_WINDOWPOSCHANGING()
ON_WM_LBUTTONDOWN()
ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_MAXIMIZE, ToggleMaximize)
ON_BN_CLICKED(IDC_MINIMIZE, OnMinimizeButton)
ON_WM_ERASEBKGND()
ON_WM_CREATE()
ON_WM_LBUTTONDBLCLK()
ON_WM_DPICHANGED()
END_MESSAGE_MAP()

CChatDlg::CChatDlg(CWnd* pParent, ChatEndpoints endpoints)
    : CDialog(IDD, pParent),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_endpoints(std::move(endpoints)) {
    m_framePen.CreatePen(PS_SOLID, 1, kFramePenColor);
}

void CChatDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_INPUT, m_editInput);
    DDX_Control(dx, IDC_SEND, m_btnSend);
    DDX_Text(dx, IDC_INPUT, m_strMessage);
    DDX_Control(dx, IDC_CLOSE, m_btnClose);
    DDX_Control(dx, IDC_MAXIMIZE, m_btnMaximize);
    DDX_Control(dx, IDC_MINIMIZE, m_btnMinimize);
}

CString CChatDlg::GetIdentityArgument() const {
    const CWinApp* const app = AfxGetApp();
    return app ? app->GetArgument(1) : CString();
}

int CChatDlg::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1) return -1;
    m_strUserId = DecodeUserId(GetIdentityArgument());
    SetWindowText(kWindowTitle);
    try {
        if (LookUpProfile()) return 0;
    } catch (CInternetException* error) {
        // No internet session at all: the window is refused without a word.
        // Caught here because an exception must not unwind through the
        // system's window-procedure frames.
        error->Delete();
        return -1;
    }
    AfxMessageBox(m_hWnd, kBadProfileText, kWindowTitle, MB_OK | MB_ICONEXCLAMATION);
    ::PostQuitMessage(0);
    return -1;
}

bool CChatDlg::LookUpProfile() {
    CString response;
    FetchUrl(ProfileRequestUrl(m_endpoints.profileHost, m_strUserId), response);
    const std::optional<CString> nickname = NicknameOfProfile(response);
    if (!nickname) return false;
    m_strNickname = *nickname;
    m_nProfileFlag = 1;
    m_tagFilter.AddTag("a");
    m_tagFilter.AddTag("img");
    m_tagFilter.AddTag("embed");
    return true;
}

BOOL CChatDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutItemToSystemMenu();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    SetUpChildren();
    ConnectAndLogIn();
    MoveToInitialPlace();
    return TRUE;  // the focus goes to the first tab stop, the input box
}

// The docking rule measures its right and bottom snaps with the window's
// current size, until now the template's. At 96 DPI that lies far from the
// edges of any screen; scaled up on a screen little wider than the window it
// would snap the window off the corner, so there the window takes its size
// first and the move to the corner measures the window itself.
void CChatDlg::MoveToInitialPlace() {
    const DpiScale scale = GetDpiScale();
    const int width = scale.Edge(kInitialWidth);
    const int height = scale.Edge(kInitialHeight);
    if (!scale.IsBase()) SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(0, 0, width, height, true);
}

void CChatDlg::AddAboutItemToSystemMenu() {
    wchar_t text[256] = {};
    ::LoadStringW(AfxGetResourceHandle(), IDS_ABOUTBOX, text, static_cast<int>(std::size(text)));
    const HMENU systemMenu = GetSystemMenu(false);
    if (!systemMenu || text[0] == 0) return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

void CChatDlg::SetUpChildren() {
    StretchBandPieces();
    CreateChatView();
    SetUpSkinButtons();
    NameControls();
    m_childrenSetUp = true;
}

void CChatDlg::CreateChatView() {
    auto* view = new CChatView;
    if (!view->Create(nullptr, "ChatView", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, kChatViewId)) {
        // A view without a window would never delete itself.
        delete view;
        return;
    }
    m_pChatView = view;
    m_pChatView->LoadFromResource(IDR_CHATVIEW_TEMPLATE);
}

void CChatDlg::ConnectAndLogIn() {
    // Every step runs whatever the one before returned: a login handed to a
    // client without a connection is dropped there. The user is told, once,
    // so that what they type next is not taken for sent.
    std::array<uint8_t, CHAT_LOGIN_SIZE> login = BuildLoginRecord(m_strUserId.str(), m_strNickname.str());
    login[CHAT_LOGIN_SIZE - 1] = static_cast<uint8_t>(m_nProfileFlag);
    const bool created = m_client.Create(kSocketBufferSize, kSocketBufferSize);
    m_client.SetNotify(m_hWnd, WM_CHAT_PACKET, NOTIFY_PACKET | NOTIFY_CLOSED);
    const bool connected =
        m_client.Connect(m_endpoints.chatServerAddress, m_endpoints.chatServerPort, CHAT_CONNECT_TIMEOUT_MS);
    m_client.Send(PKT_LOGIN, login.data(), CHAT_LOGIN_SIZE);
    if (!created || !connected) TellConnectionGone(kNotConnectedNotice);
}

void CChatDlg::SendTypedLine() {
    UpdateData(true);
    // Blank text is still text: only the empty box sends nothing.
    if (!m_strMessage.IsEmpty() && !SendLine(m_strMessage)) {
        KeepUnsentLine();
        return;
    }
    m_strMessage.Empty();
    UpdateData(false);
}

bool CChatDlg::SendLine(const CString& line) {
    const int length = line.GetLength() + 1;  // the NUL goes too
    if (m_client.Send(PKT_CHAT_SEND, line.GetString(), length) > 0) return true;
    if (length > CHAT_MAX_PAYLOAD) AddNotice(kLineTooLongNotice);
    return false;
}

// The user's words are theirs until they have left: the box keeps them, with
// the caret at their end, to be sent again, copied or shortened.
void CChatDlg::KeepUnsentLine() {
    const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(m_editInput.m_hWnd));
    m_editInput.SendMessage(EM_SETSEL, end, static_cast<LPARAM>(end));
}

void CChatDlg::TellConnectionGone(const char* notice) {
    if (m_connectionGoneTold) return;
    m_connectionGoneTold = true;
    AddNotice(notice);
}

LRESULT CChatDlg::OnChatSend(WPARAM, LPARAM) {
    SendTypedLine();
    return 0;
}

// Every packet waiting is shown, not only one: a notification the system
// could not post (its queue full during a flood) would otherwise leave a
// packet unshown until later traffic, and such leftovers fill the pool until
// new lines are dropped. Only what is queued now is taken, so a steady flood
// cannot keep the window from painting and from its input. Messages that
// find the queue empty show nothing. The end of the connection is told after
// whatever arrived before it.
LRESULT CChatDlg::OnChatPacket(WPARAM notification, LPARAM) {
    std::array<ChatPacket*, PacketNodePool::NODE_COUNT> waiting;
    const int count = m_client.GetPackets(waiting.data(), static_cast<int>(waiting.size()));
    for (int i = 0; i < count; ++i) {
        DispatchPacket(waiting[i]);
        m_client.ReleasePacket(waiting[i]);
    }
    if (notification == NOTIFY_CLOSED) TellConnectionGone(kConnectionEndedNotice);
    return 0;
}

void CChatDlg::DispatchPacket(ChatPacket* packet) {
    if (!packet || packet->length < CHAT_TYPE_SIZE) return;
    switch (TypeOf(*packet)) {
    case PKT_WELCOME: AddNotice(kWelcomeNotice); break;
    case PKT_CHAT_LINE: AddChatLine(PayloadText(*packet)); break;
    case PKT_NOTICE:
    case PKT_NOTICE_2: AddNotice(PayloadText(*packet)); break;
    default: break;
    }
}

int CChatDlg::AddNotice(const char* text) {
    if (m_pChatView) ::AddNotice(*m_pChatView, text);
    return 0;
}

int CChatDlg::AddChatLine(const char* record) {
    if (m_pChatView) ::AddChatLine(*m_pChatView, m_tagFilter, record);
    return 0;
}

void CChatDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & kSystemCommandMask) != IDM_ABOUTBOX) {
        Default();
        return;
    }
    CDialog about(IDD_ABOUTBOX, this);
    about.DoModal();
}

void CChatDlg::OnCancel() {
    delete std::exchange(m_pChatView, nullptr);
    m_framePen.DeleteObject();
    EndDialog(IDCANCEL);
}

void CChatDlg::PostNcDestroy() {
    m_pChatView = nullptr;
    CDialog::PostNcDestroy();
}
