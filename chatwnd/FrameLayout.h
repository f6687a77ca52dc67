// Where the chat window's pieces go and where its skin is painted, as pure
// functions of the client size and the display scale. Window-free, so the
// arithmetic is tested without a window and builds natively; the window code
// only moves and paints what these tables say.
//
// The tables are written at 96 DPI, each edge measured from the client
// area's left or top, or from its right or bottom. At another DPI every such
// distance is scaled (DpiScale::Edge) and the edges placed again, so that
// what meets at 96 DPI meets at every scale: scaling each piece's size
// instead would open and close one-pixel gaps between neighbours.
#pragma once

#include "framework/Color.h"
#include "framework/DpiScale.h"
#include "res/resource.h"

#include <array>

// A rectangle as its top-left corner and extent; extents may come out
// negative for a client area smaller than the skin, and are used as they are.
struct FrameBox {
    int x;
    int y;
    int width;
    int height;

    friend bool operator==(const FrameBox&, const FrameBox&) = default;
};

// One piece of the layout: a control of the window's template, or the chat
// view, which is named by its own control identifier.
struct FramePiece {
    int id;
    FrameBox box;
};

inline constexpr int kChatViewId = 0xFFFF;
// Presses above this client y move the window; the title band's height at
// 96 DPI.
inline constexpr int kTitleBandHeight = 20;
inline constexpr int TitleBandHeight(DpiScale scale) { return scale.Edge(kTitleBandHeight); }

// The window's outer size when it is first shown.
inline constexpr int kInitialWidth = 640;
inline constexpr int kInitialHeight = 480;

inline constexpr int kLayoutPieceCount = 14;
// Every piece's place for a client area of `width` x `height`, in the order
// the pieces are moved.
std::array<FramePiece, kLayoutPieceCount> LayOutFrame(int width, int height, DpiScale scale = {});

// The skin's colours.
inline constexpr Color kSkinLavender = Rgb(231, 219, 239);
inline constexpr Color kSkinWhite = Rgb(255, 255, 255);
inline constexpr Color kFramePenColor = Rgb(90, 44, 107);

struct SkinFill {
    FrameBox box;
    Color color;
};

inline constexpr int kSkinFillCount = 7;
// The solid strips painted on the background, in painting order. The strips
// beside the chat view reach its outline, which at some scales lies a pixel
// further in than the pieces' common edge.
std::array<SkinFill, kSkinFillCount> SkinFills(int width, int height, DpiScale scale = {});

// The outline around the chat view, as GDI's Rectangle takes it: left, top,
// and the exclusive right and bottom. It is OutlineWidth wide and lies just
// outside the view on every side.
struct OutlineEdges {
    int left;
    int top;
    int right;
    int bottom;

    friend bool operator==(const OutlineEdges&, const OutlineEdges&) = default;
};
OutlineEdges ChatViewOutline(int width, int height, DpiScale scale = {});
inline constexpr int OutlineWidth(DpiScale scale) { return scale.Line(1); }

// The children that paint themselves over a freshly painted skin. The title
// band is not among them: nothing is painted under it.
inline constexpr std::array<int, 12> kPiecesOverSkin = {
    IDC_CLOSE,        IDC_MAXIMIZE,    IDC_MINIMIZE,        IDC_SEND,       IDC_INPUT,       IDC_UPPER_LEFT,
    IDC_UPPER_MIDDLE, IDC_UPPER_RIGHT, IDC_LOWER_PANEL_TOP, IDC_LOWER_LEFT, IDC_LOWER_RIGHT, IDC_LOWER_PANEL_BOTTOM,
};

// The static pieces and the skin bitmap each shows.
struct PiecePicture {
    int id;
    unsigned bitmap;
};
inline constexpr std::array<PiecePicture, 8> kPiecePictures = {{
    {IDC_TITLE_BAND, IDB_TITLE_BAND},
    {IDC_LOWER_LEFT, IDB_LOWER_LEFT},
    {IDC_LOWER_RIGHT, IDB_LOWER_RIGHT},
    {IDC_LOWER_PANEL_TOP, IDB_LOWER_PANEL_TOP},
    {IDC_LOWER_PANEL_BOTTOM, IDB_LOWER_PANEL_BOTTOM},
    {IDC_UPPER_LEFT, IDB_UPPER_LEFT},
    {IDC_UPPER_RIGHT, IDB_UPPER_RIGHT},
    {IDC_UPPER_MIDDLE, IDB_UPPER_MIDDLE},
}};

// The pieces whose bitmap is one column repeated: they are widened to their
// rectangles, which stretching does as well as repeating would.
inline constexpr std::array<int, 4> kBandPieces = {
    IDC_TITLE_BAND,
    IDC_UPPER_MIDDLE,
    IDC_LOWER_PANEL_TOP,
    IDC_LOWER_PANEL_BOTTOM,
};
