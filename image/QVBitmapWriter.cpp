#include "image/QVBitmapWriter.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "base/QVAtomicFile.h"
#include "image/QVPictureFile.h"
#include "image/QVPictureWriteError.h"

namespace qv {
namespace {

constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kInfoHeaderSize = 40;
constexpr int64_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr uint64_t kLargestFile = 0xFFFFFFFF;  // bfSize is an unsigned 32-bit field

// Bytes of one stored row: 3 per pixel, padded to a multiple of 4.
int64_t RowStride(int32_t w) { return (static_cast<int64_t>(w) * 3 + 3) / 4 * 4; }

// Little-endian fields, byte by byte, whatever the host's byte order.
class HeaderBytes {
 public:
  void U16(uint32_t v) {
    Put(v);
    Put(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  const unsigned char* Data() const { return bytes_.data(); }
  size_t Size() const { return size_; }

 private:
  void Put(uint32_t v) { bytes_[size_++] = static_cast<unsigned char>(v & 0xFF); }
  std::array<unsigned char, kHeadersSize> bytes_{};
  size_t size_ = 0;
};

HeaderBytes Headers(int32_t w, int32_t h) {
  const uint32_t imageSize = static_cast<uint32_t>(RowStride(w) * h);
  HeaderBytes out;
  // BITMAPFILEHEADER
  out.U16('B' | 'M' << 8);
  out.U32(static_cast<uint32_t>(kHeadersSize) + imageSize);
  out.U16(0);                                    // reserved
  out.U16(0);                                    // reserved
  out.U32(static_cast<uint32_t>(kHeadersSize));  // offset of the pixels
  // BITMAPINFOHEADER
  out.U32(static_cast<uint32_t>(kInfoHeaderSize));
  out.U32(static_cast<uint32_t>(w));
  out.U32(static_cast<uint32_t>(h));  // positive: rows stored bottom-up
  out.U16(1);                         // planes
  out.U16(24);                        // bits per pixel
  out.U32(0);                         // BI_RGB, no compression
  out.U32(imageSize);
  out.U32(0);  // horizontal resolution: not recorded
  out.U32(0);  // vertical resolution: not recorded
  out.U32(0);  // colours used: none, no palette
  out.U32(0);  // important colours: all
  return out;
}

}  // namespace

uint64_t BitmapFileSize(int32_t w, int32_t h) {
  // A row takes under 2^33 bytes and there are under 2^31 rows: the product
  // stays below 2^64.
  return static_cast<uint64_t>(kHeadersSize) +
         static_cast<uint64_t>(RowStride(w)) * static_cast<uint64_t>(h);
}

void RequireBitmapSize(const std::string& path, int32_t w, int32_t h) {
  const uint64_t fileSize = BitmapFileSize(w, h);
  if (fileSize > kLargestFile) {
    ThrowSizeError(path, w, h,
                   "a 24-bit bitmap of " + std::to_string(w) + " x " + std::to_string(h) +
                       " pixels would take " + std::to_string(fileSize) +
                       " bytes, more than the 4294967295 its header can record; save it as PNG "
                       "or render a smaller picture");
  }
}

namespace {

// Rows arrive from the top down but the file holds them from the bottom up:
// each band goes, reversed, to its own place in the file (one seek and one
// contiguous write per band). The headers fix the file's size from the start.
class BitmapStream : public PictureStream {
 public:
  BitmapStream(const std::string& path, int32_t w, int32_t h)
      : PictureStream(path, w, h), file_(path), stride_(RowStride(w)) {
    const HeaderBytes headers = Headers(w, h);
    file_.Write(headers.Data(), headers.Size());
  }

 private:
  void Encode(const uint32_t* pixels, int32_t firstRow, int32_t rows) override {
    band_.assign(static_cast<size_t>(stride_) * static_cast<size_t>(rows), 0);  // padding stays 0
    for (int32_t y = 0; y < rows; ++y) {
      unsigned char* out = band_.data() + static_cast<size_t>(stride_) * (rows - 1 - y);
      UnpackRow(pixels + static_cast<ptrdiff_t>(y) * Width(), Width(), true, out);
    }
    // The band's last row is the lowest, stored first.
    const int64_t lowest = firstRow + rows - 1;
    const int64_t offset = kHeadersSize + (int64_t{Height()} - 1 - lowest) * stride_;
    if (fseeko(file_.Stream(), static_cast<off_t>(offset), SEEK_SET) != 0) {
      const int err = errno;
      file_.Discard();
      throw FileWriteError(CannotWriteMessage(Path(), SystemErrorText(err)), err);
    }
    file_.Write(band_.data(), band_.size());
  }
  void Complete() override { file_.Commit(); }

  AtomicFile file_;
  int64_t stride_;
  std::vector<unsigned char> band_;
};

}  // namespace

std::unique_ptr<PictureStream> OpenBitmapStream(const std::string& path, int32_t w, int32_t h) {
  RequireBitmapSize(path, w, h);
  return std::make_unique<BitmapStream>(path, w, h);
}

void WriteBitmap(const std::string& path, const QVPicture& picture) {
  WritePicture(path, picture, PictureFormat::Bmp, PictureFileOptions());
}

}  // namespace qv
