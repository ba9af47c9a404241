#pragma once
// Why a picture file was not written, as data: the stage that failed and its
// details (the system's errno, the encoder's own message, the picture's
// size). Each caller words it in its own language; what() keeps the English
// message the command line shows.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace qv {

/// The stage of a picture save that failed.
enum class PictureWriteStage {
  None,     ///< nothing failed
  Nothing,  ///< there is no picture to write (no mixer, an empty size)
  Open,     ///< the file could not be created (Errno, or Detail)
  Write,    ///< writing or completing the file failed (Errno, or Detail)
  Encode,   ///< the PNG or JPEG library refused (its message in Detail)
  Size,     ///< the format cannot store a Width x Height picture
  Memory,   ///< not enough memory to render or encode the picture
  Stopped,  ///< a stop was requested; nothing was written
  Other,    ///< any other failure (the English reason in Detail)
};

/// A failed (or successful) picture save.
struct PictureWriteFailure {
  PictureWriteStage Stage = PictureWriteStage::None;
  int Errno = 0;       ///< the system's refusal, or 0
  std::string Detail;  ///< the library's message or an English reason, or ""
  int32_t Width = 0;   ///< Size: the picture's size
  int32_t Height = 0;
  std::string Message;  ///< the whole English message; "" when nothing failed

  bool Failed() const { return Stage != PictureWriteStage::None; }
};

/// Thrown by the picture writers for a failure of their own (the encoder, a
/// size the format cannot store); a refusal of the system comes as
/// FileWriteError with its errno.
class PictureWriteError : public std::runtime_error {
 public:
  explicit PictureWriteError(PictureWriteFailure failure)
      : std::runtime_error(failure.Message), failure_(std::move(failure)) {}
  const PictureWriteFailure& Failure() const { return failure_; }

 private:
  PictureWriteFailure failure_;
};

/// An encoder's refusal to write path: cannot write "path": message.
[[noreturn]] void ThrowEncodeError(const std::string& path, const std::string& message);
/// A picture of w x h that the format cannot store; reason says why in English.
[[noreturn]] void ThrowSizeError(const std::string& path, int32_t w, int32_t h,
                                 const std::string& reason);

}  // namespace qv
