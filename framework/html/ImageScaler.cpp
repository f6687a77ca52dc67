#include "framework/html/ImageScaler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace html {
namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;

// The source pixels [first, first + weights.size()) and how much each gives
// one output pixel; the weights add up to kWeightOne.
struct Taps {
    int first = 0;
    std::vector<int> weights;
};

Taps TapsFor(int output, int sourceSize, int targetSize) {
    const double ratio = static_cast<double>(sourceSize) / targetSize;
    const double radius = std::max(1.0, ratio);
    const double centre = (output + 0.5) * ratio - 0.5;
    const int low = static_cast<int>(std::ceil(centre - radius));
    const int high = static_cast<int>(std::floor(centre + radius));
    Taps taps;
    taps.first = std::clamp(low, 0, sourceSize - 1);
    // Taps beyond the edges fall on the edge pixels.
    std::vector<double> raw(static_cast<std::size_t>(std::clamp(high, 0, sourceSize - 1) - taps.first + 1), 0.0);
    double total = 0;
    for (int at = low; at <= high; ++at) {
        const double weight = std::max(0.0, 1.0 - std::abs(at - centre) / radius);
        raw[static_cast<std::size_t>(std::clamp(at, 0, sourceSize - 1) - taps.first)] += weight;
        total += weight;
    }
    int given = 0;
    for (const double weight : raw) {
        taps.weights.push_back(static_cast<int>(std::lround(weight / total * kWeightOne)));
        given += taps.weights.back();
    }
    // What rounding lost or added goes to the heaviest tap.
    *std::max_element(taps.weights.begin(), taps.weights.end()) += kWeightOne - given;
    return taps;
}

std::vector<Taps> TapsAlong(int from, int to, int sourceSize, int targetSize) {
    std::vector<Taps> all;
    all.reserve(static_cast<std::size_t>(to - from));
    for (int output = from; output < to; ++output) all.push_back(TapsFor(output, sourceSize, targetSize));
    return all;
}

// The weighted sum of the taps' pixels, `stride` apart, channel by channel.
std::uint32_t Blend(const std::uint32_t* pixels, std::size_t stride, const Taps& taps) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int sum = 0;
        for (std::size_t i = 0; i < taps.weights.size(); ++i) {
            sum += static_cast<int>((pixels[i * stride] >> shift) & 0xFF) * taps.weights[i];
        }
        const int channel = std::clamp((sum + kWeightOne / 2) >> kWeightBits, 0, 255);
        result |= static_cast<std::uint32_t>(channel) << shift;
    }
    return result;
}

}  // namespace

DecodedImage ScaleImagePart(const DecodedImage& image, int width, int height, Rect part) {
    part = part.Intersection(Rect{0, 0, width, height});
    DecodedImage scaled;
    if (part.IsEmpty() || image.width <= 0 || image.height <= 0) return scaled;
    const std::vector<Taps> columns = TapsAlong(part.left, part.right, image.width, width);
    const std::vector<Taps> rows = TapsAlong(part.top, part.bottom, image.height, height);
    // Only the source rows that some output row reads are scaled across.
    const int firstRow = rows.front().first;
    const int lastRow = rows.back().first + static_cast<int>(rows.back().weights.size());
    const auto partWidth = static_cast<std::size_t>(part.Width());
    std::vector<std::uint32_t> across(static_cast<std::size_t>(lastRow - firstRow) * partWidth);
    for (int row = firstRow; row < lastRow; ++row) {
        const std::uint32_t* source = image.pixels.data() + static_cast<std::size_t>(row) * image.width;
        std::uint32_t* target = across.data() + static_cast<std::size_t>(row - firstRow) * partWidth;
        for (std::size_t x = 0; x < partWidth; ++x) target[x] = Blend(source + columns[x].first, 1, columns[x]);
    }
    scaled.width = part.Width();
    scaled.height = part.Height();
    scaled.pixels.resize(partWidth * static_cast<std::size_t>(scaled.height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const std::uint32_t* source = across.data() + static_cast<std::size_t>(rows[y].first - firstRow) * partWidth;
        for (std::size_t x = 0; x < partWidth; ++x) {
            scaled.pixels[y * partWidth + x] = Blend(source + x, partWidth, rows[y]);
        }
    }
    return scaled;
}

}  // namespace html
