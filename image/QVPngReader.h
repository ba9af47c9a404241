#pragma once
// Reading PNG files through libpng: the size and the text chunks that come
// before the pixels (where this system writes them), then the rows one at a
// time as 0xFFRRGGBB, whatever the file's colour type and depth (expanded to
// 8-bit RGB). A reader holds one row at a time, so it streams pictures of any
// size. Used by one thread at a time.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/QVPictureStream.h"

namespace qv {

/// A PNG file that cannot be read; the message says why (the caller names the file).
class PngReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A PNG that reads but carries no project text.
class PngNoProjectError : public PngReadError {
 public:
  using PngReadError::PngReadError;
};

/// True when bytes begin with the 8-byte PNG signature.
bool HasPngSignature(const std::string& bytes);

/// True when the file at path begins with the PNG signature (false when it
/// cannot be read).
bool IsPngFile(const std::string& path);

class PngReader {
 public:
  /// Opens path and reads everything up to the pixels. Throws PngReadError.
  explicit PngReader(const std::string& path);
  ~PngReader();
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  /// The text chunks before the pixels, in file order.
  const std::vector<PngText>& Texts() const { return texts_; }
  /// The text of the first chunk with this keyword, if any.
  std::optional<std::string> Text(const std::string& keyword) const;
  /// Decodes the next row into out (Width() pixels). Throws PngReadError.
  void ReadRow(uint32_t* out);

 private:
  struct ErrorState {
    std::jmp_buf Jump;
    char Message[256];
  };
  void Open();
  void Close() noexcept;
  static void JumpOnError(png_structp png, png_const_charp message);
  [[noreturn]] void Fail(const std::string& reason) const;

  std::string path_;
  std::FILE* file_ = nullptr;
  ErrorState state_{};
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<PngText> texts_;
  std::vector<png_byte> row_;
};

/// The project text a PNG written by this system carries (its "Q-Vell
/// project" chunk). Throws PngReadError when it cannot be read, and
/// PngNoProjectError when it carries no project (that message says how to get
/// a PNG that does).
std::string ReadPngProject(const std::string& path);

}  // namespace qv
