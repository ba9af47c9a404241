#pragma once
// The picture size under a magnification ("1", "1/2", "1/4", "1/8" = index 0
// to 3): the size typed by the user is stored shifted right by the index.
// A refresh shows the typed size and stores nothing, so repeated refreshes
// never shrink the stored size. Plain class; UI thread.
#include <cstdint>
#include <optional>

class QVMagnification {
 public:
  /// typed >> index, arithmetically (index 0 to 3).
  static int32_t Stored(int32_t typed, int32_t index);

  /// What the size boxes and the magnification box show after a refresh.
  struct Shown {
    int32_t Width;
    int32_t Height;
    int32_t Index;
  };
  /// The typed size at index when the stored size is exactly the typed size
  /// shifted by index (the frame stored it); otherwise (after a load, at
  /// start) the stored size at index 0, "1".
  static Shown Refresh(int32_t storedWidth, int32_t storedHeight, std::optional<int32_t> typedWidth,
                       std::optional<int32_t> typedHeight, int32_t index);
};
