#pragma once
// Reading PNG files: the size and the text chunks that come before the
// pixels (where this system writes them), read by a chunk walker of our own
// (QVPngChunks.h), then the rows one at a time through libpng as 0xFFRRGGBB,
// whatever the file's colour type and depth (expanded to 8-bit RGB). The
// decoder and its row buffers are set up when the first row is read, so
// reading the texts costs little whatever the picture's size; a reader holds
// one row at a time, so it streams pictures of any size. Used by one thread
// at a time.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/QVPictureStream.h"
#include "image/QVPngChunks.h"

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
  /// Opens path and reads its chunks up to the pixels, without decoding
  /// them. Throws PngReadError.
  explicit PngReader(const std::string& path);
  ~PngReader();
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  /// The text chunks before the pixels that read, in file order.
  const std::vector<PngText>& Texts() const { return texts_; }
  /// The text of the first chunk with this keyword, if any. Throws
  /// PngReadError when that chunk is damaged or too large.
  std::optional<std::string> Text(const std::string& keyword) const;
  /// Decodes the next row into out (Width() pixels). Throws PngReadError.
  void ReadRow(uint32_t* out);

 private:
  struct ErrorState {
    std::jmp_buf Jump;
    char Message[256];
  };
  void Open(const std::string& path);
  void StartDecoder();
  void Close() noexcept;
  static void JumpOnError(png_structp png, png_const_charp message);
  static void ReadFromFile(png_structp png, png_bytep out, size_t size);
  [[noreturn]] void Fail(const std::string& reason) const;

  std::FILE* file_ = nullptr;
  ErrorState state_{};
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<PngTextChunk> chunks_;  // every text chunk, damaged ones too
  std::vector<PngText> texts_;
  // The chunks libpng needs up to the first IDAT's data (IHDR, PLTE and the
  // IDAT's header; not the texts), given to it before the rest of file_.
  std::string replay_;
  size_t replayed_ = 0;
  std::vector<png_byte> row_;
};

/// The project text a PNG written by this system carries (its "Q-Vell
/// project" chunk, before the pixels), as UTF-8 with LF line ends and without
/// a byte order mark; the pixels are not decoded. Throws PngReadError when it
/// cannot be read (saying what is damaged where), and PngNoProjectError when
/// it carries no project (that message says how to get a PNG that does).
std::string ReadPngProject(const std::string& path);

/// The same for a PNG read from in (a file or a pipe), whose 8-byte signature
/// has been read and checked already. With supersample given, also reads the
/// sample count the PNG records before its pixels (its "Q-Vell supersample"
/// chunk) into *supersample, 0 when it records none; a count that does not
/// read is a PngReadError.
std::string ReadPngProject(std::FILE* in, int32_t* supersample = nullptr);

}  // namespace qv
