// Pane demo: a sample conversation in the chat view, in a 640 x 480 window,
// for looking at the pane (and taking screenshots of it).
//
//   scripts/wine.sh build/bench/pane_demo.exe          # until closed
//   scripts/wine.sh build/bench/pane_demo.exe 5000     # closes after 5 s
//
// The lines go through the same renderers as the chat window's (notices and
// chat lines, the tag filter admitting links), so what shows is what a user
// would see: bold names, purple ids, links, Hangul, a notice with a line
// feed, and the room's rules as an operator lays them out: a centred title,
// a rule, a table and a list.

#include "display/ChatRendering.h"
#include "display/ChatView.h"
#include "display/HtmlTagFilter.h"
#include "framework/MessageMap.h"
#include "framework/Wnd.h"

#include <windows.h>

#include <cstdlib>

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr UINT kTemplateId = 129;
constexpr UINT_PTR kCloseTimer = 1;

// "id BEL nickname BEL message" records, as the server sends them.
constexpr const char* kChatLines[] = {
    "minsu88\a민수\a안녕하세요! 다들 잘 지내셨어요?",
    "jiyoung\a지영\a네~ 오랜만이에요 :)",
    "parkhj\a현준\a오늘 날씨 정말 좋네요. 산책 가고 싶다",
    "minsu88\a민수\a저는 점심 먹고 왔어요. 김치찌개 최고",
    "sora_k\a소라\aHello everyone, 저 방금 들어왔어요",
    "jiyoung\a지영\a소라님 어서 오세요!",
    "parkhj\a현준\a이 사이트 보셨어요? <a href=\"https://example.com/news\">https://example.com/news</a>",
    "sora_k\a소라\a오 재밌네요. 링크 고마워요",
    "minsu88\a민수\a자료는 여기 있어요: <a href=\"https://example.org/docs\">문서 모음</a>",
    "tester01\a테스터\a<b>태그</b>는 글자 그대로 보여야 해요 & 특수문자 < > 도요",
    "jiyoung\a지영\a주말에 영화 볼 사람~? 극장 예매는 제가 할게요",
    "parkhj\a현준\a저요 저요! 무슨 영화요?",
    "jiyoung\a지영\a아직 못 정했어요. 추천해 주세요",
    "sora_k\a소라\a요즘 나온 애니메이션 괜찮다던데요",
    "minsu88\a민수\a전 액션 영화 좋아요. 팝콘은 필수 ㅋㅋ",
    "longtalk\a수다쟁이\a아주 긴 메시지는 창의 너비에 맞게 단어 단위로 줄이 바뀌어야 합니다. "
    "Long messages wrap at spaces, and Hangul mixes with English in the same line without trouble.",
    "parkhj\a현준\a메일 주세요: <a href=\"mailto:parkhj@example.com\">parkhj@example.com</a>",
    "sora_k\a소라\a이거 열면 안 되는 링크예요: <a href=\"file:///C:/Windows\">file:///C:/Windows</a>",
    "jiyoung\a지영\a그럼 토요일 오후 3시에 만나요!",
    "minsu88\a민수\a좋아요, 그때 봬요",
    "tester01\a테스터\a숫자와 기호: 1,234,567원 (약 50%) - 끝",
    "sora_k\a소라\a저는 이제 가볼게요. 다들 좋은 하루 보내세요~",
};

// A notice with block markup, written on one line as the server sends it.
constexpr const char* kRoomRules =
    "<center><font size=+1>방 규칙</font></center><hr width=80%>"
    "<table border=1 cellpadding=3 align=center><tr bgcolor=#E8ECF8><th>번호</th><th>규칙</th><th>비고</th></tr>"
    "<tr><td align=center>1</td><td>서로 존중하는 말을 써 주세요</td><td>경고 후 퇴장</td></tr>"
    "<tr><td align=center>2</td><td>광고와 도배는 안 됩니다</td><td rowspan=2>바로 퇴장</td></tr>"
    "<tr><td align=center>3</td><td>개인 정보를 올리지 마세요</td></tr></table>"
    "<ol><li>문의: <a href=\"mailto:admin@example.com\">운영자</a><li>점검: 매주 월요일 오전 4시</ol>";

class DemoFrame : public CWnd {
public:
    bool Open(UINT closeAfterMs) {
        RECT frame{0, 0, kClientWidth, kClientHeight};
        ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
        if (!CreateEx(0, nullptr, "WobbleMiniChat pane demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      CRect(0, 0, frame.right - frame.left, frame.bottom - frame.top), nullptr, 0)) {
            return false;
        }
        m_view = new CChatView;  // deletes itself with its window
        const CRect client = GetClientRect();
        if (!m_view->Create(nullptr, "ChatView", WS_CHILD | WS_VISIBLE, client, this, 0xFFFF) ||
            !m_view->LoadFromResource(kTemplateId)) {
            return false;
        }
        // Lines appended now wait in the view until its page has loaded.
        FillConversation();
        if (closeAfterMs > 0) ::SetTimer(m_hWnd, kCloseTimer, closeAfterMs, nullptr);
        return true;
    }

protected:
    void OnSize(UINT, int width, int height) {
        if (m_view) m_view->MoveWindow(0, 0, width, height);
    }
    void OnTimer(UINT_PTR) { DestroyWindow(); }
    void OnDestroy() {
        m_view = nullptr;
        ::PostQuitMessage(0);
    }
    DECLARE_MESSAGE_MAP()

private:
    void FillConversation() {
        CHtmlTagFilter filter;
        filter.AddTag("a");
        AddNotice(*m_view, "WobbleMiniChat에 오신 것을 환영합니다!\n서로 존중하는 대화 부탁드립니다.");
        AddNotice(*m_view, kRoomRules);
        int index = 0;
        for (const char* record : kChatLines) {
            AddChatLine(*m_view, filter, record);
            if (++index == 12) AddNotice(*m_view, "공지: 오후 10시에 서버 점검이 있습니다.");
        }
        AddNotice(*m_view, "지영님이 나가셨습니다.");
    }

    CChatView* m_view = nullptr;
};

BEGIN_MESSAGE_MAP(DemoFrame, CWnd)
ON_WM_SIZE()
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

}  // namespace

int main(int argc, char** argv) {
    const UINT closeAfterMs = argc > 1 ? static_cast<UINT>(std::strtoul(argv[1], nullptr, 10)) : 0;
    DemoFrame frame;
    if (!frame.Open(closeAfterMs)) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
