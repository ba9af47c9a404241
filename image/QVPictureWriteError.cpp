#include "image/QVPictureWriteError.h"

#include "base/QVAtomicFile.h"

namespace qv {

void ThrowEncodeError(const std::string& path, const std::string& message) {
  PictureWriteFailure failure;
  failure.Stage = PictureWriteStage::Encode;
  failure.Detail = message;
  failure.Message = CannotWriteMessage(path, message);
  throw PictureWriteError(std::move(failure));
}

void ThrowSizeError(const std::string& path, int32_t w, int32_t h, const std::string& reason) {
  PictureWriteFailure failure;
  failure.Stage = PictureWriteStage::Size;
  failure.Width = w;
  failure.Height = h;
  failure.Detail = reason;
  failure.Message = CannotWriteMessage(path, reason);
  throw PictureWriteError(std::move(failure));
}

}  // namespace qv
