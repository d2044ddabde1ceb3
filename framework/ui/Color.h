// A colour as the program gives it: red, green and blue from 0 to 255.
#pragma once

#include <cstdint>

namespace framework {

struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend constexpr bool operator==(Color a, Color b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  }
};

// The program writes colours as RGB(r, g, b); components outside 0..255 are
// clamped rather than wrapped, so a slip never turns dark into light.
constexpr Color RGB(int red, int green, int blue) {
  auto clamp = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
  return Color{clamp(red), clamp(green), clamp(blue)};
}

}  // namespace framework
