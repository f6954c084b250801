#include "engine/shades.hpp"

#include <cstddef>

namespace vx {

namespace {

struct Rgb {
    int r, g, b;
};

constexpr ShadeTable table(const Rgb (&shades)[20]) {
    ShadeTable t{};
    for (int i = 0; i < 20; ++i)
        t[static_cast<std::size_t>(i) + 1] = shades[i].r + 256 * shades[i].g + 65536 * shades[i].b;
    return t;
}

// Light to dark, as the editor's choosers show them. The green table has no 119 step.
constexpr Rgb kBlue[20] = {{187, 187, 255}, {170, 170, 255}, {153, 153, 255}, {136, 136, 255},
                           {119, 119, 255}, {102, 102, 255}, {85, 85, 255},   {68, 68, 255},
                           {51, 51, 255},   {34, 34, 255},   {17, 17, 255},   {0, 0, 255},
                           {0, 0, 238},     {0, 0, 221},     {0, 0, 204},     {0, 0, 187},
                           {0, 0, 170},     {0, 0, 153},     {0, 0, 136},     {0, 0, 119}};
constexpr Rgb kRed[20] = {{255, 187, 187}, {255, 170, 170}, {255, 153, 153}, {255, 136, 136},
                          {255, 119, 119}, {255, 102, 102}, {255, 85, 85},   {255, 68, 68},
                          {255, 51, 51},   {255, 34, 34},   {255, 17, 17},   {255, 0, 0},
                          {238, 0, 0},     {221, 0, 0},     {204, 0, 0},     {187, 0, 0},
                          {170, 0, 0},     {153, 0, 0},     {136, 0, 0},     {119, 0, 0}};
constexpr Rgb kGreen[20] = {{204, 255, 204}, {187, 255, 187}, {170, 255, 170}, {153, 255, 153},
                            {136, 255, 136}, {102, 255, 102}, {85, 255, 85},   {68, 255, 68},
                            {51, 255, 51},   {34, 255, 34},   {17, 255, 17},   {0, 255, 0},
                            {0, 238, 0},     {0, 221, 0},     {0, 204, 0},     {0, 187, 0},
                            {0, 170, 0},     {0, 153, 0},     {0, 136, 0},     {0, 119, 0}};
constexpr Rgb kPurple[20] = {{255, 187, 255}, {255, 170, 255}, {255, 153, 255}, {255, 136, 255},
                             {255, 119, 255}, {255, 102, 255}, {255, 85, 255},  {255, 68, 255},
                             {255, 51, 255},  {255, 34, 255},  {255, 17, 255},  {255, 0, 255},
                             {238, 0, 238},   {221, 0, 221},   {204, 0, 204},   {187, 0, 187},
                             {170, 0, 170},   {153, 0, 153},   {136, 0, 136},   {119, 0, 119}};
constexpr Rgb kYellow[20] = {{255, 255, 187}, {255, 255, 170}, {255, 255, 153}, {255, 255, 136},
                             {255, 255, 119}, {255, 255, 102}, {255, 255, 85},  {255, 255, 68},
                             {255, 255, 51},  {255, 255, 34},  {255, 255, 17},  {255, 255, 0},
                             {238, 238, 0},   {221, 221, 0},   {204, 204, 0},   {187, 187, 0},
                             {170, 170, 0},   {153, 153, 0},   {136, 136, 0},   {119, 119, 0}};
constexpr Rgb kBrown[20] = {{255, 230, 204}, {255, 221, 187}, {255, 213, 170}, {255, 204, 153},
                            {255, 196, 136}, {255, 187, 119}, {255, 179, 102}, {255, 170, 85},
                            {255, 162, 68},  {255, 153, 51},  {255, 145, 34},  {255, 136, 17},
                            {255, 128, 0},   {238, 119, 0},   {221, 111, 0},   {204, 102, 0},
                            {187, 94, 0},    {170, 85, 0},    {153, 77, 0},    {136, 68, 0}};
constexpr Rgb kGrey[20] = {{221, 221, 221}, {212, 212, 212}, {204, 204, 204}, {195, 195, 195},
                           {187, 187, 187}, {178, 178, 178}, {170, 170, 170}, {161, 161, 161},
                           {153, 153, 153}, {144, 144, 144}, {136, 136, 136}, {127, 127, 127},
                           {119, 119, 119}, {110, 110, 110}, {102, 102, 102}, {93, 93, 93},
                           {85, 85, 85},    {76, 76, 76},    {68, 68, 68},    {59, 59, 59}};

} // namespace

const ShadeTable kBlueShades = table(kBlue);
const ShadeTable kRedShades = table(kRed);
const ShadeTable kGreenShades = table(kGreen);
const ShadeTable kPurpleShades = table(kPurple);
const ShadeTable kYellowShades = table(kYellow);
const ShadeTable kBrownShades = table(kBrown);
const ShadeTable kGreyShades = table(kGrey);

const ShadeTable* shadeTable(int32_t code) {
    switch (code) {
    case -1:
        return &kBlueShades;
    case -2:
        return &kRedShades;
    case -3:
        return &kGreenShades;
    case -4:
        return &kPurpleShades;
    case -5:
        return &kYellowShades;
    case -6:
        return &kBrownShades;
    case -7:
        return &kGreyShades;
    default:
        return nullptr;
    }
}

} // namespace vx
