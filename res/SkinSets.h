// The skin's drawings for the display scales above 100 %, as the loader of
// framework/ScaledResource.h takes them:
//
//   LoadScaledBitmap(module, IDB_CLOSE, SkinSets(IDB_CLOSE), dpi, size, kWhite);
#pragma once

#include "framework/ImageScaling.h"
#include "res/resource.h"

#include <array>

// The DPI each set of IDB_SKIN_SET is drawn for, set 1 first.
inline constexpr std::array<int, IDB_SKIN_SET_COUNT> kSkinSetDpis = {120, 144, 168, 192, 240, 288};

// Every drawing of the 96-DPI skin bitmap `bitmapId` beyond its own.
constexpr std::array<ScaledDrawing, IDB_SKIN_SET_COUNT> SkinSets(unsigned bitmapId) {
    std::array<ScaledDrawing, IDB_SKIN_SET_COUNT> sets{};
    for (unsigned set = 1; set <= sets.size(); ++set) {
        sets[set - 1] = {kSkinSetDpis[set - 1], IDB_SKIN_SET(bitmapId, set)};
    }
    return sets;
}
