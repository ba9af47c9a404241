#include "ui/QVMagnification.h"

int32_t QVMagnification::Stored(int32_t typed, int32_t index) {
  const int32_t shift = index < 0 ? 0 : (index > 3 ? 3 : index);
  return typed >> shift;  // arithmetic on negative values too (C++20)
}

QVMagnification::Shown QVMagnification::Refresh(int32_t storedWidth, int32_t storedHeight,
                                                std::optional<int32_t> typedWidth,
                                                std::optional<int32_t> typedHeight, int32_t index) {
  if (typedWidth && typedHeight && Stored(*typedWidth, index) == storedWidth &&
      Stored(*typedHeight, index) == storedHeight) {
    return {*typedWidth, *typedHeight, index};
  }
  return {storedWidth, storedHeight, 0};
}
