#include "export/picturepalette.hpp"

#include "export/lab.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace vx {

namespace {

constexpr size_t kBins = size_t{1} << 15; // 5 bits of each channel
constexpr int kRounds = 12;               // k-means stops here if it has not settled

// The pixels of one bin: how many, and the sums of their channels.
struct Tally {
    uint64_t count = 0, r = 0, g = 0, b = 0;
};

// A bin of the picture with its mean colour.
struct Bin {
    double weight = 0;
    double r = 0, g = 0, b = 0;
    std::array<double, 3> lab{};
};

std::vector<Bin> bins(const Surface& picture) {
    std::vector<Tally> t(kBins);
    for (int y = 0; y < picture.height(); ++y) {
        const uint32_t* row = picture.rowData(y);
        for (int x = 0; x < picture.width(); ++x) {
            const uint32_t c = row[x];
            Tally& k = t[((c >> 3) & 0x1F) | ((c >> 6) & 0x3E0) | ((c >> 9) & 0x7C00)];
            k.count += 1;
            k.r += c & 0xFF;
            k.g += (c >> 8) & 0xFF;
            k.b += (c >> 16) & 0xFF;
        }
    }
    std::vector<Bin> out;
    for (const Tally& k : t) {
        if (k.count == 0) continue;
        Bin b;
        b.weight = static_cast<double>(k.count);
        b.r = static_cast<double>(k.r) / b.weight;
        b.g = static_cast<double>(k.g) / b.weight;
        b.b = static_cast<double>(k.b) / b.weight;
        const auto channel = [](double v) { return static_cast<int32_t>(std::lround(v)); };
        const Lab l = labOf(channel(b.r) | channel(b.g) << 8 | channel(b.b) << 16);
        b.lab = {l.l, l.a, l.b};
        out.push_back(b);
    }
    return out;
}

// A run of bins (indices into the order) that median cut treats as one colour.
struct Box {
    size_t begin = 0, end = 0;
    int axis = 0;
    double error = 0; // weighted squared spread along its widest axis
};

Box measured(const std::vector<Bin>& bin, const std::vector<size_t>& order, size_t b, size_t e) {
    Box box{b, e, 0, 0};
    double w = 0, sum[3] = {}, sq[3] = {};
    for (size_t i = b; i < e; ++i) {
        const Bin& x = bin[order[i]];
        w += x.weight;
        for (int a = 0; a < 3; ++a) {
            sum[a] += x.weight * x.lab[static_cast<size_t>(a)];
            sq[a] += x.weight * x.lab[static_cast<size_t>(a)] * x.lab[static_cast<size_t>(a)];
        }
    }
    for (int a = 0; a < 3; ++a) {
        const double err = sq[a] - sum[a] * sum[a] / w;
        if (err > box.error) box.error = err, box.axis = a;
    }
    return box;
}

// Splits the boxes at the weighted median of their widest axis, the box of most error first.
std::vector<Box> medianCut(const std::vector<Bin>& bin, std::vector<size_t>& order, int n) {
    std::vector<Box> boxes{measured(bin, order, 0, order.size())};
    while (static_cast<int>(boxes.size()) < n) {
        auto worst = std::max_element(boxes.begin(), boxes.end(),
                                      [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0 || worst->end - worst->begin < 2) break;
        const Box box = *worst;
        const auto first = order.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = order.begin() + static_cast<std::ptrdiff_t>(box.end);
        const size_t axis = static_cast<size_t>(box.axis);
        std::sort(first, last,
                  [&](size_t a, size_t b) { return bin[a].lab[axis] < bin[b].lab[axis]; });
        double total = 0, run = 0;
        for (size_t i = box.begin; i < box.end; ++i) total += bin[order[i]].weight;
        size_t cut = box.begin + 1;
        for (size_t i = box.begin; i + 1 < box.end; ++i) {
            run += bin[order[i]].weight;
            cut = i + 1;
            if (run >= total / 2) break;
        }
        *worst = measured(bin, order, box.begin, cut);
        boxes.push_back(measured(bin, order, cut, box.end));
    }
    return boxes;
}

double distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    const double d0 = a[0] - b[0], d1 = a[1] - b[1], d2 = a[2] - b[2];
    return d0 * d0 + d1 * d1 + d2 * d2;
}

// Moves each centre to the mean of the bins nearest to it until no bin changes its centre.
std::vector<size_t> kMeans(const std::vector<Bin>& bin,
                           std::vector<std::array<double, 3>>& centre) {
    std::vector<size_t> owner(bin.size(), SIZE_MAX);
    for (int round = 0; round < kRounds; ++round) {
        bool moved = false;
        for (size_t i = 0; i < bin.size(); ++i) {
            size_t best = 0;
            double nearest = distance(bin[i].lab, centre[0]);
            for (size_t k = 1; k < centre.size(); ++k)
                if (const double d = distance(bin[i].lab, centre[k]); d < nearest)
                    best = k, nearest = d;
            moved = moved || owner[i] != best;
            owner[i] = best;
        }
        if (!moved) break;
        std::vector<std::array<double, 4>> sum(centre.size(), {0, 0, 0, 0});
        for (size_t i = 0; i < bin.size(); ++i) {
            auto& s = sum[owner[i]];
            for (size_t a = 0; a < 3; ++a) s[a] += bin[i].weight * bin[i].lab[a];
            s[3] += bin[i].weight;
        }
        for (size_t k = 0; k < centre.size(); ++k)
            if (sum[k][3] > 0)
                for (size_t a = 0; a < 3; ++a) centre[k][a] = sum[k][a] / sum[k][3];
    }
    return owner;
}

} // namespace

std::vector<PictureColour> pictureColours(const Surface& picture, int n) {
    n = std::clamp(n, 1, 64);
    const std::vector<Bin> bin = bins(picture);
    if (bin.empty()) return {};
    std::vector<size_t> order(bin.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::vector<std::array<double, 3>> centre;
    for (const Box& box : medianCut(bin, order, n)) {
        std::array<double, 4> s{0, 0, 0, 0};
        for (size_t i = box.begin; i < box.end; ++i) {
            const Bin& x = bin[order[i]];
            for (size_t a = 0; a < 3; ++a) s[a] += x.weight * x.lab[a];
            s[3] += x.weight;
        }
        centre.push_back({s[0] / s[3], s[1] / s[3], s[2] / s[3]});
    }
    const std::vector<size_t> owner = kMeans(bin, centre);

    // Each colour is the mean of the pixels it stands for.
    std::vector<std::array<double, 4>> sum(centre.size(), {0, 0, 0, 0});
    double total = 0;
    for (size_t i = 0; i < bin.size(); ++i) {
        auto& s = sum[owner[i]];
        s[0] += bin[i].weight * bin[i].r;
        s[1] += bin[i].weight * bin[i].g;
        s[2] += bin[i].weight * bin[i].b;
        s[3] += bin[i].weight;
        total += bin[i].weight;
    }
    std::vector<PictureColour> out;
    for (const auto& s : sum) {
        if (s[3] <= 0) continue;
        const auto channel = [&](size_t a) {
            return static_cast<int32_t>(std::lround(s[a] / s[3]));
        };
        out.push_back({channel(0) | channel(1) << 8 | channel(2) << 16, s[3] / total});
    }
    std::stable_sort(out.begin(), out.end(), [](const PictureColour& a, const PictureColour& b) {
        return a.share > b.share;
    });
    return out;
}

} // namespace vx
