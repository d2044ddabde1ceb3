#include "framework/ui/Graphics.h"

namespace framework {

void Graphics::FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  operations_.push_back(Operation{Operation::Kind::FillRect, foreColor_, x, y, width, height});
}

}  // namespace framework
