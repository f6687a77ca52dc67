#include "framework/ImageScaling.h"

#include <algorithm>
#include <cstdint>

namespace {

// The source pixels under one target pixel along an axis, and how much of
// each lies under it. Lengths are in units of 1/target of a source pixel, so
// they are whole and those under one target pixel add up to the source size.
struct Coverage {
    int first = 0;
    std::vector<std::uint64_t> lengths;
};

std::vector<Coverage> AxisCoverage(int source, int target) {
    std::vector<Coverage> axis(static_cast<size_t>(target));
    for (int t = 0; t < target; ++t) {
        const std::int64_t begin = std::int64_t{t} * source;
        const std::int64_t end = begin + source;
        Coverage& covered = axis[static_cast<size_t>(t)];
        covered.first = static_cast<int>(begin / target);
        for (std::int64_t s = covered.first; s * target < end; ++s) {
            const std::int64_t from = std::max(begin, s * target);
            const std::int64_t to = std::min(end, (s + 1) * target);
            covered.lengths.push_back(static_cast<std::uint64_t>(to - from));
        }
    }
    return axis;
}

// The colour one step off the key in red, where a mean happens to hit it.
Color AvoidKey(Color color, std::optional<Color> key) {
    if (!key || color != *key) return color;
    const unsigned red = RedOf(color);
    return Rgb(static_cast<int>(red == 255 ? 254 : red + 1), static_cast<int>(GreenOf(color)),
               static_cast<int>(BlueOf(color)));
}

struct ChannelSums {
    std::uint64_t red = 0;
    std::uint64_t green = 0;
    std::uint64_t blue = 0;
    std::uint64_t area = 0;

    void Add(Color color, std::uint64_t weight) {
        red += weight * RedOf(color);
        green += weight * GreenOf(color);
        blue += weight * BlueOf(color);
        area += weight;
    }
    Color Mean() const {
        const auto mean = [this](std::uint64_t sum) { return static_cast<int>((sum + area / 2) / area); };
        return Rgb(mean(red), mean(green), mean(blue));
    }
};

}  // namespace

int ChooseDrawing(std::span<const ScaledDrawing> drawings, int dpi) {
    const auto byDpi = [](const ScaledDrawing& a, const ScaledDrawing& b) { return a.dpi < b.dpi; };
    auto chosen = drawings.end();
    for (auto it = drawings.begin(); it != drawings.end(); ++it) {
        if (it->dpi >= dpi && (chosen == drawings.end() || byDpi(*it, *chosen))) chosen = it;
    }
    if (chosen == drawings.end()) chosen = std::max_element(drawings.begin(), drawings.end(), byDpi);
    return chosen == drawings.end() ? -1 : static_cast<int>(chosen - drawings.begin());
}

PixelImage ScalePixels(const PixelImage& source, int width, int height, std::optional<Color> key) {
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0) return {};
    const std::vector<Coverage> columns = AxisCoverage(source.width, width);
    const std::vector<Coverage> rows = AxisCoverage(source.height, height);
    PixelImage scaled{width, height, std::vector<Color>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        const Coverage& row = rows[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const Coverage& column = columns[static_cast<size_t>(x)];
            ChannelSums others;
            std::uint64_t keyArea = 0;
            for (size_t j = 0; j < row.lengths.size(); ++j) {
                for (size_t i = 0; i < column.lengths.size(); ++i) {
                    const std::uint64_t weight = row.lengths[j] * column.lengths[i];
                    const Color color = source.At(column.first + static_cast<int>(i), row.first + static_cast<int>(j));
                    if (key && color == *key) {
                        keyArea += weight;
                    } else {
                        others.Add(color, weight);
                    }
                }
            }
            scaled.pixels[static_cast<size_t>(y) * width + x] =
                key && keyArea >= others.area ? *key : AvoidKey(others.Mean(), key);
        }
    }
    return scaled;
}
