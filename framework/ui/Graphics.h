// A drawing surface that records what is drawn on it.
//
// Handlers such as a list's CellBackgroundPaint draw into it in the cell's own
// coordinates (0, 0 is the cell's top-left corner). The front replays the
// recorded operations into its real painter, clipped to the cell; tests read
// them.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/ui/Color.h"

namespace framework {

class Graphics {
 public:
  struct Operation {
    enum class Kind : std::uint8_t { FillRect };
    Kind kind;
    Color color;
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
  };

  Graphics(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

  // The size of the area being painted (a cell).
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

  Color ForeColor() const { return foreColor_; }
  void ForeColor(Color c) { foreColor_ = c; }

  // Fills the rectangle with ForeColor. Parts outside the area are clipped by
  // the front, so handlers may pass any size.
  void FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

  const std::vector<Operation>& Operations() const { return operations_; }

 private:
  std::int32_t width_;
  std::int32_t height_;
  Color foreColor_;  // black
  std::vector<Operation> operations_;
};

}  // namespace framework
