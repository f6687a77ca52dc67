#include "framework/Dialog.h"

#include "framework/DialogTemplate.h"
#include "framework/Dpi.h"
#include "framework/WinApp.h"

#include <vector>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_WM_INITDIALOG()
ON_WM_DPICHANGED()
ON_COMMAND(IDOK, HandleOK)
ON_COMMAND(IDCANCEL, HandleCancel)
END_MESSAGE_MAP()

INT_PTR CALLBACK CDialog::NoDialogProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

bool CDialog::CreateFromTemplate(HWND owner) {
    const HINSTANCE module = AfxGetResourceHandle();
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(m_templateId), MAKEINTRESOURCEW(5));  // RT_DIALOG
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* resource = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!resource) return false;
    const std::vector<BYTE> bytes = TemplateShowingText(resource, ::SizeofResource(module, found));
    const auto* dialogTemplate = reinterpret_cast<const DLGTEMPLATE*>(bytes.data());
    return CreateHooked(
        [&] { return ::CreateDialogIndirectParamW(module, dialogTemplate, owner, &CDialog::NoDialogProcedure, 0); });
}

bool CDialog::Create() { return CreateFromTemplate(m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr); }

INT_PTR CDialog::DoModal() {
    if (m_hWnd || m_modalState == ModalState::Running) return -1;
    const HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);

    m_modalState = ModalState::Running;
    m_modalResult = IDABORT;
    if (!CreateFromTemplate(owner)) {
        m_modalResult = -1;
    } else {
        RunModalLoop();
    }
    m_modalState = ModalState::NotRunning;

    // The owner comes back before the dialog goes, so activation returns to it.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    return m_modalResult;
}

void CDialog::RunModalLoop() {
    if (m_modalState == ModalState::Running && !IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);
    while (m_modalState == ModalState::Running && m_hWnd) {
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (WalkPreTranslateTree(m_hWnd, &msg) || ::IsDialogMessageW(m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CDialog::EndDialog(INT_PTR result) {
    if (m_modalState == ModalState::Running) {
        m_modalState = ModalState::Ended;
        m_modalResult = result;
    }
    // Hides the window and wakes the loop with a message of its own.
    if (m_hWnd) ::EndDialog(m_hWnd, result);
}

// A dialog that neither moves nor shows itself while it initialises is
// centred on its owner afterwards, as the classic framework does: its
// template's position is only relative to the owner's client corner.
BOOL CDialog::HandleInitDialog() {
    m_dpiScale = m_creationScale = DpiScale(static_cast<int>(WindowDpi(m_hWnd)));
    DisableDialogDpiRescaling(m_hWnd);
    const CRect before = GetWindowRect();
    const BOOL result = OnInitDialog();
    if (m_hWnd && !(GetStyle() & (WS_VISIBLE | WS_CHILD)) && GetWindowRect() == before) CenterWindow();
    return result;
}

void CDialog::OnDpiChanged(UINT dpi, const RECT* suggested) {
    const DpiScale from = m_dpiScale;
    m_dpiScale = DpiScale(static_cast<int>(dpi));
    ScaleControls(from);
    if (suggested) {
        SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The font is made afresh from the one the system made at creation, so
// moving between monitors never accumulates rounding. The new font reaches
// the controls before the old one is deleted.
void CDialog::ScaleControls(DpiScale from) {
    const auto systemFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTW look = {};
    CFont font;
    if (systemFont && ::GetObjectW(systemFont, sizeof(look), &look)) {
        look.lfHeight = ::MulDiv(look.lfHeight, m_dpiScale.Dpi(), m_creationScale.Dpi());
        if (m_dpiScale != m_creationScale) font.Attach(::CreateFontIndirectW(&look));
    }
    const HFONT controlsFont = font ? static_cast<HFONT>(font) : systemFont;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CRect place = CWindow(child).GetWindowRect();
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        const auto scaled = [&](LONG v) { return ::MulDiv(v, m_dpiScale.Dpi(), from.Dpi()); };
        ::MoveWindow(child, scaled(place.left), scaled(place.top), scaled(place.right) - scaled(place.left),
                     scaled(place.bottom) - scaled(place.top), FALSE);
        if (controlsFont) ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(controlsFont), FALSE);
    }
    m_scaledFont = std::move(font);
    Invalidate();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::UpdateData(bool saveAndValidate) {
    if (!m_hWnd) return false;
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.HasFailed();
}

void CDialog::DoDataExchange(CDataExchange*) {}

HWND CDataExchange::PrepareCtrl(int id) {
    const HWND control = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
    if (!control) Fail();
    return control;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.GetSafeHwnd()) return;
    const HWND item = dx->PrepareCtrl(id);
    if (item && !control.SubclassWindow(item)) dx->Fail();
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    CWindow item = dx->PrepareCtrl(id);
    if (!item) return;
    if (dx->m_bSaveAndValidate) {
        value = item.GetWindowText();
    } else if (!item.SetWindowText(value)) {
        dx->Fail();
    }
}
