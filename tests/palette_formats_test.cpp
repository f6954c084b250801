// Palettes of other programs: read by content, written back, refused when damaged, and the
// bundled set.
#include "app/render.hpp"
#include "engine/shades.hpp"
#include "export/bundled.hpp"
#include "export/palettefile.hpp"
#include "scratch_folder.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <set>

using namespace vx;
using F = PaletteFormat;

namespace {

constexpr int32_t kRed = 0x0000FF, kSky = 0xFF8000, kLime = 0x00FF80;

// An Adobe Swatch Exchange file of the given blocks (type, body).
std::string ase(const std::vector<std::pair<uint16_t, std::string>>& blocks, uint32_t count = 0) {
    auto be = [](uint32_t v, int n) {
        std::string s;
        for (int i = n - 1; i >= 0; --i) s += static_cast<char>(v >> (8 * i));
        return s;
    };
    std::string out = "ASEF" + be(1, 2) + be(0, 2) + be(count ? count : blocks.size(), 4);
    for (const auto& [type, body] : blocks) out += be(type, 2) + be(body.size(), 4) + body;
    return out;
}

std::string aseColour(const char* model, std::vector<float> v) {
    std::string s = std::string("\0\1\0\0", 4) + model; // an empty name
    for (float x : v) {
        uint32_t b;
        std::memcpy(&b, &x, 4);
        for (int i = 3; i >= 0; --i) s += static_cast<char>(b >> (8 * i));
    }
    return s + std::string("\0\2", 2);
}

// Red, black, white, a sky blue and a lime green in each format.
const std::pair<const char*, std::string> kSameColours[] = {
    {"c.gpl", "GIMP Palette\nName: Five\n# c\n255 0 0 Red\n0 0 0\n255 255 255\n0 128 255\n"
              "128 255 0\n"},
    {"c.ase", ase({{0xC001, std::string("\0\1\0\0", 4)},
                   {1, aseColour("RGB ", {1, 0, 0})},
                   {1, aseColour("Gray", {0})},
                   {1, aseColour("CMYK", {0, 0, 0, 0})},
                   {1, aseColour("RGB ", {0, 128 / 255.f, 1})},
                   {0xC002, ""},
                   {1, aseColour("RGB ", {128 / 255.f, 1, 0})}})},
    {"c.hex", "FF0000\r\n#000000\r\nffffff\r\n0080ff\r\n\r\n80ff00\r\n"},
    {"c.txt", ";paint.net Palette File\nFFFF0000\nFF000000\nFFFFFFFF\nFF0080FF\nFF80FF00\n"},
    {"c.pal", "JASC-PAL\r\n0100\r\n5\r\n255 0 0\r\n0 0 0\r\n255 255 255\r\n0 128 255\r\n"
              "128 255 0\r\n"},
};

class PaletteFormats : public vx::scratch::ScratchFolder {};

TEST_F(PaletteFormats, TheSameColoursInEveryFormatDrawTheSameDrawing) {
    writeAll("own.palette",
             encodePalette({kRed, kListBlack, kListWhite, kSky, kLime}, F::Own, "own").bytes);
    RenderOptions o;
    o.width = 200, o.height = 150, o.size = "40";
    o.palette = "own.palette";
    const Result<Drawing> own = renderedDrawing(o, 7);
    ASSERT_TRUE(own);
    const Surface expected = renderDrawing(*own);
    for (const auto& [name, bytes] : kSameColours) {
        writeAll(name, bytes);
        o.palette = name;
        const Result<Drawing> d = renderedDrawing(o, 7);
        ASSERT_TRUE(d) << name << ": " << d.error().message;
        EXPECT_EQ(d->settings.colour.list, own->settings.colour.list) << name;
        EXPECT_TRUE(renderDrawing(*d) == expected) << name;
    }
}

TEST_F(PaletteFormats, TheContentSaysTheFormatWhereTheNameLies) {
    const std::pair<std::string, F> cases[] = {
        {"p.hex", F::Ase},      {"p.txt", F::Gpl},  {"p.palette", F::Hex},
        {"p.gpl", F::PaintNet}, {"p.ase", F::Jasc}, {"p", F::Own},
    };
    const std::string own = encodePalette({kRed, -3}, F::Own, "x").bytes;
    const std::string texts[] = {kSameColours[1].second, kSameColours[0].second,
                                 kSameColours[2].second, kSameColours[3].second,
                                 kSameColours[4].second, own};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Result<ReadPalette> r = parsePaletteFile(texts[i], cases[i].first);
        ASSERT_TRUE(r) << cases[i].first << ": " << r.error().message;
        EXPECT_EQ(r->format, cases[i].second) << cases[i].first;
        EXPECT_EQ(r->list.slots[0], kRed) << cases[i].first;
    }
}

TEST_F(PaletteFormats, ColourModelsOfSwatchFilesAndListsLongerThanTheList) {
    const Result<ReadPalette> models = parsePaletteFile(ase({{1, aseColour("CMYK", {1, 0, 0, 0})},
                                                             {1, aseColour("LAB ", {0.5f, 0, 0})},
                                                             {1, aseColour("Gray", {0.5f})},
                                                             {1, aseColour("LAB ", {1, 0, 0})}}),
                                                        "m.ase");
    ASSERT_TRUE(models);
    EXPECT_EQ(models->list.slots[0], 0xFFFF00); // cyan ink
    EXPECT_EQ(models->list.slots[1], 0x777777); // L 50 is sRGB 119
    EXPECT_EQ(models->list.slots[2], 0x808080);
    EXPECT_EQ(models->list.slots[3], kListWhite); // D50 white is white

    std::string hex;
    for (int i = 1; i <= 100; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "%06x\n", i);
        hex += line;
    }
    const Result<ReadPalette> many = parsePaletteFile(hex, "m.hex");
    ASSERT_TRUE(many);
    EXPECT_EQ(many->colours, 100);
    EXPECT_EQ(many->leftOut, 36);
    EXPECT_EQ(many->list.slots[63], 64 << 16);
    EXPECT_EQ(many->list.numcolors, 64);
}

TEST_F(PaletteFormats, DamagedFilesAreRefusedWithOneLine) {
    const std::string good = ase({{1, aseColour("RGB ", {1, 0, 0})}});
    const std::string nan = ase({{1, aseColour("RGB ", {std::nanf(""), 0, 0})}});
    const std::pair<std::string, std::string> cases[] = {
        {"empty.gpl", ""},
        {"tiny.ase", "f"},
        {"cut.ase", good.substr(0, good.size() - 3)},
        {"huge.ase", ase({{1, aseColour("RGB ", {1, 0, 0})}}, 0xFFFFFFFF)},
        {"nan.ase", nan},
        {"model.ase", ase({{1, aseColour("HSV ", {1, 0, 0})}})},
        {"line.gpl", "GIMP Palette\n255 0 0\n256 0 0\n"},
        {"none.gpl", "GIMP Palette\nName: nothing\n"},
        {"short.pal", "JASC-PAL\n0100\n3\n1 2 3\n"},
        {"long.pal", "JASC-PAL\n0100\n1\n1 2 3\n4 5 6\n"},
        {"bad.hex", "#FF0000\nffffff00\n"},
        {"binary.txt", std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
        {"nothing.palette", "x y z"},
    };
    for (const auto& [name, bytes] : cases) {
        const Result<ReadPalette> r = parsePaletteFile(bytes, name);
        ASSERT_FALSE(r) << name;
        EXPECT_FALSE(r.error().message.empty()) << name;
        EXPECT_EQ(r.error().message.find('\n'), std::string::npos) << name;
    }
    writeAll("big.hex", std::string(kPaletteFileLimit + 1, 'a'));
    EXPECT_FALSE(readPaletteFile("big.hex"));
}

TEST_F(PaletteFormats, WrittenFilesReadBackAndShadesBecomeTheirHue) {
    const std::vector<int32_t> list = {kRed, -3, kListBlack, kListWhite};
    const EncodedPalette hex = encodePalette(list, F::Hex, "x");
    EXPECT_EQ(hex.bytes, "ff0000\n00ff00\n000000\nffffff\n");
    EXPECT_EQ(hex.shadesAsColours, 1);
    const EncodedPalette gpl = encodePalette(list, F::Gpl, "Warm");
    EXPECT_EQ(gpl.bytes.substr(0, 26), "GIMP Palette\nName: Warm\nCo");
    EXPECT_NE(gpl.bytes.find("  0 255   0\trandom green shade, written as #00ff00\n"),
              std::string::npos);
    for (auto [f, name] : {std::pair{F::Gpl, "w.gpl"}, {F::Ase, "w.ase"}, {F::Hex, "w.hex"}}) {
        const Result<ReadPalette> back = parsePaletteFile(encodePalette(list, f, "w").bytes, name);
        ASSERT_TRUE(back) << name;
        EXPECT_EQ(std::vector<int32_t>(back->list.slots.begin(), back->list.slots.begin() + 5),
                  (std::vector<int32_t>{kRed, kGreenShades[12], kListBlack, kListWhite, 0}))
            << name;
    }
    const Result<ReadPalette> own = parsePaletteFile(encodePalette(list, F::Own, "w").bytes, "w");
    ASSERT_TRUE(own);
    EXPECT_EQ(own->list.slots[1], -3);
    EXPECT_FALSE(writtenFormat("w.txt"));
    EXPECT_EQ(writtenFormat("W.ASE"), F::Ase);
}

TEST(BundledPalettes, AtLeastThirtyLoadEachNamedWithItsSource) {
    const std::string folder = bundledFolder();
    ASSERT_FALSE(folder.empty());
    std::vector<std::string> problems;
    const std::vector<BundledPalette> all = loadBundled(folder, &problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_GE(all.size(), 30u);
    std::ifstream in(folder + "/SOURCES");
    const std::string sources((std::istreambuf_iterator<char>(in)), {});
    std::set<std::string> names;
    for (const BundledPalette& b : all) {
        EXPECT_TRUE(names.insert(b.name).second) << b.name;
        EXPECT_NE(b.group, "Other") << b.id;
        EXPECT_GE(b.list.slots[1], 1) << b.id << " has fewer than two colours";
        EXPECT_NE(sources.find(b.id + ".gpl\n  Name: " + b.name + "\n"), std::string::npos) << b.id;
    }
    for (const char* map : {"viridis", "magma", "inferno", "plasma", "cividis"})
        EXPECT_NE(findBundled(map), nullptr) << map;
    EXPECT_EQ(findBundled("VIRIDIS"), findBundled("viridis"));
}

} // namespace
