// CChatDlg's frame: layout, skin painting, docking to the task bar, moving by
// the title band, the title buttons and the minimised window's icon. The
// arithmetic is in FrameLayout and Docking; these handlers read the system's
// values, hand them in and apply what comes back.
#include "chatwnd/ChatDlg.h"

#include "chatwnd/Docking.h"
#include "chatwnd/FrameLayout.h"
#include "chatwnd/SkinPainter.h"
#include "display/ChatView.h"
#include "framework/Dpi.h"
#include "framework/ScaledResource.h"
#include "framework/WinApp.h"
#include "res/SkinSets.h"
#include "res/resource.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr COLORREF kTitleButtonTransparent = RGB(255, 255, 255);
constexpr COLORREF kSendButtonTransparent = RGB(0, 0, 0);

// What a screen reader calls the buttons whose images say it to the eye.
// Send is named by its caption, the input box by itself.
constexpr char kCloseName[] = "닫기";
constexpr char kMaximizeName[] = "최대화";
constexpr char kRestoreName[] = "이전 크기로";
constexpr char kMinimizeName[] = "최소화";

// The task bar: the top-level window of its class with an empty title.
std::optional<DockRect> FindTaskBar() {
    const HWND taskBar = ::FindWindowW(L"Shell_TrayWnd", L"");
    RECT edges;
    if (!taskBar || !::GetWindowRect(taskBar, &edges)) return std::nullopt;
    return DockRect{edges.left, edges.top, edges.right, edges.bottom};
}

SIZE SizeOf(const FrameBox& box) { return {box.width, box.height}; }

FrameBox PlaceAtScale(int id, DpiScale scale) {
    // The pieces that are pictures or buttons keep their size whatever the
    // client size: each is placed from one side only.
    for (const FramePiece& piece : LayOutFrame(0, 0, scale)) {
        if (piece.id == id) return piece.box;
    }
    return {};
}

bool IsBandPiece(int id) { return std::find(kBandPieces.begin(), kBandPieces.end(), id) != kBandPieces.end(); }

HBITMAP LoadSkinBitmap(unsigned bitmap, DpiScale scale, SIZE size, std::optional<COLORREF> key = std::nullopt) {
    const auto sets = SkinSets(bitmap);
    return LoadScaledBitmap(AfxGetResourceHandle(), bitmap, sets, static_cast<UINT>(scale.Dpi()), size, key);
}

}  // namespace

void CChatDlg::StretchBandPieces() {
    for (const int id : kBandPieces) {
        CWindow piece = GetDlgItem(id);
        ::SetWindowLongPtrW(piece, GWL_STYLE, piece.GetStyle() | SS_REALSIZECONTROL);
    }
}

void CChatDlg::OnSize(UINT, int width, int height) {
    Default();
    // Sizes that come while the window is still being made find its pieces
    // not yet set up; the move at the end of initialisation is the first to
    // lay out.
    if (!m_childrenSetUp) return;
    LayOut(width, height);
}

void CChatDlg::LayOut(int width, int height) {
    for (const FramePiece& piece : LayOutFrame(width, height, GetDpiScale())) {
        // A view that could not be made leaves only its own place empty.
        if (piece.id == kChatViewId && !m_pChatView) continue;
        CWindow target = piece.id == kChatViewId ? CWindow(m_pChatView->m_hWnd) : GetDlgItem(piece.id);
        target.MoveWindow(piece.box.x, piece.box.y, piece.box.width, piece.box.height, true);
    }
}

BOOL CChatDlg::OnEraseBkgnd(CDCHandle) {
    // The DC that comes with the message is clipped to the update region;
    // the skin is painted whole through one of the client area.
    const CRect client = GetClientRect();
    {
        CClientDC dc(m_hWnd);
        PaintSkin(dc, client.Width(), client.Height(), m_framePen, GetDpiScale());
    }
    for (const int id : kPiecesOverSkin) GetDlgItem(id).InvalidateRect(nullptr, false);
    return TRUE;
}

void CChatDlg::OnWindowPosChanging(WINDOWPOS* position) {
    Default();
    const CRect current = GetWindowRect();
    const DockPlacement docked =
        DockToTaskBar({position->x, position->y, position->cx, position->cy}, {current.Width(), current.Height()},
                      FindTaskBar(), {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, GetDpiScale());
    position->x = docked.x;
    position->y = docked.y;
    position->cx = docked.width;
    position->cy = docked.height;
}

void CChatDlg::OnLButtonDown(UINT, CPoint point) {
    // Posted, so the system's moving loop starts once this press has been
    // handled, as if the caption had been pressed.
    if (point.y < TitleBandHeight(GetDpiScale()))
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    Default();
}

void CChatDlg::OnLButtonDblClk(UINT, CPoint point) {
    if (point.y < TitleBandHeight(GetDpiScale())) ToggleMaximize();
    Default();
}

void CChatDlg::LoadPicturesForScale() {
    LoadPiecePictures();
    LoadButtonImages();
    SetIconsForScale();
}

// A band piece is one column widened to its place, so its picture is loaded
// one column wide and the control widens it to any width.
void CChatDlg::LoadPiecePictures() {
    const DpiScale scale = GetDpiScale();
    for (std::size_t i = 0; i < kPiecePictures.size(); ++i) {
        const auto [id, bitmap] = kPiecePictures[i];
        SIZE size = SizeOf(PlaceAtScale(id, scale));
        if (IsBandPiece(id)) size.cx = 1;
        CBitmap picture(LoadSkinBitmap(bitmap, scale, size));
        if (!picture) continue;
        const auto shown = reinterpret_cast<HBITMAP>(GetDlgItem(id).SendMessage(
            STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(static_cast<HBITMAP>(picture))));
        // The first replacement hands back the template's own bitmap, which
        // nobody else deletes; later ones hand back ours.
        if (shown && shown != m_piecePictures[i]) ::DeleteObject(shown);
        m_piecePictures[i] = std::move(picture);
    }
}

void CChatDlg::LoadButtonImages() {
    LoadButtonImage(m_btnClose, IDC_CLOSE, IDB_CLOSE);
    LoadButtonImage(m_btnMaximize, IDC_MAXIMIZE, m_maximizeBitmap);
    LoadButtonImage(m_btnMinimize, IDC_MINIMIZE, IDB_MINIMIZE);
    const DpiScale scale = GetDpiScale();
    if (scale.IsBase()) {
        m_btnSend.LoadStateBitmaps(IDB_SEND, kSendButtonTransparent);
        return;
    }
    m_btnSend.SetStateBitmaps(
        LoadSkinBitmap(IDB_SEND, scale, SizeOf(PlaceAtScale(IDC_SEND, scale)), kSendButtonTransparent),
        kSendButtonTransparent);
}

// The title buttons' images at the window's DPI, the size of their places.
void CChatDlg::LoadButtonImage(CSkinButton& button, int id, unsigned bitmap) {
    const DpiScale scale = GetDpiScale();
    if (scale.IsBase()) {
        button.LoadStateBitmaps(static_cast<WORD>(bitmap), kTitleButtonTransparent, CSkinButton::AutoDarkImage);
        return;
    }
    button.SetStateBitmaps(LoadSkinBitmap(bitmap, scale, SizeOf(PlaceAtScale(id, scale)), kTitleButtonTransparent),
                           kTitleButtonTransparent, CSkinButton::SelectorHandle(CSkinButton::AutoDarkImage));
}

void CChatDlg::SetIconsForScale() {
    const auto dpi = static_cast<UINT>(GetDpiScale().Dpi());
    m_bigIcon = CIcon(LoadIconForDpi(AfxGetResourceHandle(), IDR_MAINFRAME, IconKind::Big, dpi));
    m_smallIcon = CIcon(LoadIconForDpi(AfxGetResourceHandle(), IDR_MAINFRAME, IconKind::Small, dpi));
    SetIcon(m_bigIcon ? static_cast<HICON>(m_bigIcon) : m_hIcon, true);
    SetIcon(m_smallIcon ? static_cast<HICON>(m_smallIcon) : m_hIcon, false);
}

HICON CChatDlg::ShownIcon() const { return m_bigIcon ? static_cast<HICON>(m_bigIcon) : m_hIcon; }

void CChatDlg::SetUpSkinButtons() {
    // The title buttons lie over the title band and show its pixels around
    // their images; the Send button has a face of its own.
    for (const auto& [button, bitmap] : {std::pair{&m_btnClose, IDB_CLOSE}, std::pair{&m_btnMaximize, IDB_MAXIMIZE},
                                         std::pair{&m_btnMinimize, IDB_MINIMIZE}}) {
        button->LoadStateBitmaps(bitmap, kTitleButtonTransparent, CSkinButton::AutoDarkImage);
        button->SizeToImage();
        button->UseParentBackground(FALSE);
    }
    m_btnSend.LoadStateBitmaps(IDB_SEND, kSendButtonTransparent);
    m_btnSend.SizeToImage();
    // At 96 DPI the template's pictures and the constructor's one icon stay.
    if (!GetDpiScale().IsBase()) LoadPicturesForScale();
}

void CChatDlg::NameControls() {
    m_btnClose.SetAccessibleName(kCloseName);
    m_btnMaximize.SetAccessibleName(kMaximizeName);
    m_btnMinimize.SetAccessibleName(kMinimizeName);
}

void CChatDlg::ToggleMaximize() {
    // The button shows and says what it will do now: restore while maximised.
    const bool restoring = IsZoomed();
    ShowWindow(restoring ? SW_RESTORE : SW_MAXIMIZE);
    m_maximizeBitmap = restoring ? IDB_MAXIMIZE : IDB_RESTORE;
    LoadButtonImage(m_btnMaximize, IDC_MAXIMIZE, m_maximizeBitmap);
    m_btnMaximize.SetAccessibleName(restoring ? kMaximizeName : kRestoreName);
}

void CChatDlg::OnCloseButton() { DestroyWindow(); }

void CChatDlg::OnMinimizeButton() { ShowWindow(SW_MINIMIZE); }

void CChatDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    const CRect client = GetClientRect();
    const UINT dpi = static_cast<UINT>(GetDpiScale().Dpi());
    dc.DrawIcon((client.Width() - SystemMetricForDpi(SM_CXICON, dpi) + 1) / 2,
                (client.Height() - SystemMetricForDpi(SM_CYICON, dpi) + 1) / 2, ShownIcon());
}

// The framework has scaled the controls' font and taken the suggested
// rectangle, which laid the window out at the new DPI if its size changed;
// it is laid out again in case it did not.
void CChatDlg::OnDpiChanged(UINT dpi, const RECT* suggested) {
    CDialog::OnDpiChanged(dpi, suggested);
    if (!m_childrenSetUp) return;
    const auto scaled = static_cast<UINT>(GetDpiScale().Dpi());
    for (CSkinButton* button : {&m_btnSend, &m_btnClose, &m_btnMaximize, &m_btnMinimize}) button->SetDpi(scaled);
    LoadPicturesForScale();
    if (m_pChatView) m_pChatView->SetDpi(scaled);
    const CRect client = GetClientRect();
    LayOut(client.Width(), client.Height());
    Invalidate();
}

BOOL CChatDlg::PreTranslateMessage(MSG* msg) {
    if (m_pChatView && msg->message == WM_KEYDOWN && msg->hwnd == m_editInput.m_hWnd &&
        m_pChatView->HandleZoomKey(static_cast<UINT>(msg->wParam))) {
        return TRUE;
    }
    // Where the wheel goes to the focus (Windows before 10, Wine), Ctrl and
    // the wheel over the conversation still zoom it. A plain wheel stays
    // where the system sends it.
    if (m_pChatView && msg->message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(msg->wParam) & MK_CONTROL) &&
        msg->hwnd != m_pChatView->m_hWnd && m_pChatView->GetWindowRect().PtInRect(msgmap::PointOf(msg->lParam))) {
        m_pChatView->SendMessage(WM_MOUSEWHEEL, msg->wParam, msg->lParam);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

HCURSOR CChatDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(ShownIcon()); }
