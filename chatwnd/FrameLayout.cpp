#include "chatwnd/FrameLayout.h"

std::array<FramePiece, kLayoutPieceCount> LayOutFrame(int W, int H) {
    return {{
        {IDC_TITLE_BAND, {-1, -1, W + 1, kTitleBandHeight}},
        {IDC_CLOSE, {W - 15, 2, 11, 13}},
        {IDC_MAXIMIZE, {W - 28, 2, 12, 13}},
        {IDC_MINIMIZE, {W - 40, 2, 11, 13}},
        {IDC_UPPER_LEFT, {9, 35, 6, 39}},
        {IDC_UPPER_MIDDLE, {15, 35, W - 30, 39}},
        {IDC_UPPER_RIGHT, {W - 15, 35, 6, 39}},
        {IDC_LOWER_PANEL_TOP, {21, H - 111, W - 42, 26}},
        {IDC_LOWER_LEFT, {9, H - 111, 12, 101}},
        {IDC_LOWER_RIGHT, {W - 21, H - 111, 12, 101}},
        {IDC_LOWER_PANEL_BOTTOM, {21, H - 32, W - 42, 22}},
        {kChatViewId, {10, 75, W - 20, H - 200}},
        {IDC_INPUT, {20, H - 85, W - 122, 53}},
        {IDC_SEND, {W - 102, H - 81, 81, 44}},
    }};
}

std::array<SkinFill, kSkinFillCount> SkinFills(int W, int H) {
    return {{
        {{0, 19, 9, H - 19}, kSkinLavender},        // left edge
        {{W - 9, 19, 9, H - 19}, kSkinLavender},    // right edge
        {{9, 19, W - 18, 16}, kSkinLavender},       // under the title band
        {{9, H - 124, W - 18, 13}, kSkinLavender},  // between the view and the lower panel
        {{9, H - 10, W - 18, 10}, kSkinLavender},   // bottom edge
        {{W - 102, H - 85, 81, 4}, kSkinWhite},     // above the Send button
        {{W - 102, H - 37, 81, 5}, kSkinWhite},     // below it
    }};
}

OutlineEdges ChatViewOutline(int W, int H) { return {9, 74, W - 9, H - 124}; }
