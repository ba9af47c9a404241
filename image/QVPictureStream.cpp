#include "image/QVPictureStream.h"

#include <cstddef>
#include <stdexcept>

namespace qv {

void PictureStream::WriteRows(const uint32_t* pixels, int32_t rows) {
  if (rows < 0 || rows > height_ - written_) {
    throw std::logic_error("a picture stream of " + std::to_string(height_) +
                           " rows was given rows past its last");
  }
  if (rows == 0) return;
  Encode(pixels, written_, rows);
  written_ += rows;
}

void PictureStream::Finish() {
  if (written_ != height_) {
    throw std::logic_error("a picture stream was finished after " + std::to_string(written_) +
                           " of its " + std::to_string(height_) + " rows");
  }
  Complete();
}

void WritePicture(const std::string& path, const QVPicture& picture, PictureFormat format,
                  const PictureFileOptions& options) {
  RequirePicture(path, picture);
  const std::unique_ptr<PictureStream> stream =
      OpenPictureStream(path, format, picture.Width(), picture.Height(), options);
  stream->WriteRows(picture.Pixels(), picture.Height());
  stream->Finish();
}

}  // namespace qv
