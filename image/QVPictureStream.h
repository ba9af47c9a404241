#pragma once
// Picture files written a band of rows at a time, so that a picture larger
// than the memory never has to be whole in it. Every format streams: PNG and
// JPEG take rows from the top down as their files store them; a bitmap stores
// its rows from the bottom up, so its stream writes each band at the band's
// place in the file (its size is known from the header on). The file is
// replaced atomically by Finish; a stream destroyed before it leaves the old
// file as it was and no temporary file. Used by one thread at a time.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/QVPictureFile.h"

namespace qv {

/// One text chunk of a PNG file: a keyword and its UTF-8 text (stored as iTXt).
struct PngText {
  std::string Keyword;
  std::string Text;
};

/// The keyword of the chunk that carries the project a picture was rendered from.
inline constexpr const char* kProjectKeyword = "Q-Vell project";
/// The keyword of the chunk that says which part of a larger picture a PNG
/// holds ("X,Y,W,H of WIDTHxHEIGHT"; see QVPictureRegion.h).
inline constexpr const char* kRegionKeyword = "Q-Vell region";
/// The keyword of the chunk that records the samples per side of each pixel
/// a picture was rendered with (--supersample N, as decimal text); written
/// with the project chunk.
inline constexpr const char* kSupersampleKeyword = "Q-Vell supersample";

/// What a picture file holds besides its pixels.
struct PictureFileOptions {
  int JpegQuality = 75;        ///< 1 to 100; JPEG only
  std::vector<PngText> Texts;  ///< PNG only; written before the pixels
  bool FastPng = false;        ///< PNG only: a lighter compression, a larger file
};

class PictureStream {
 public:
  virtual ~PictureStream() = default;
  PictureStream(const PictureStream&) = delete;
  PictureStream& operator=(const PictureStream&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  /// Rows written so far.
  int32_t RowsWritten() const { return written_; }

  /// Appends the next rows, top to bottom: rows x Width pixels 0xFFRRGGBB,
  /// row-major. Throws std::runtime_error naming the file on failure, and
  /// std::logic_error past the last row.
  void WriteRows(const uint32_t* pixels, int32_t rows);
  /// Completes the file and puts it in place of the old one. Throws
  /// std::runtime_error naming the file on failure (the old file is then
  /// unchanged), std::logic_error before every row was written.
  void Finish();

 protected:
  PictureStream(std::string path, int32_t width, int32_t height)
      : path_(std::move(path)), width_(width), height_(height) {}
  virtual void Encode(const uint32_t* pixels, int32_t firstRow, int32_t rows) = 0;
  virtual void Complete() = 0;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int32_t width_;
  int32_t height_;
  int32_t written_ = 0;
};

/// A stream of a w x h picture (both at least 1) to path in format. Throws
/// std::runtime_error naming the file for a size the format cannot store, a
/// JPEG quality out of range or a file that cannot be created.
std::unique_ptr<PictureStream> OpenPictureStream(const std::string& path, PictureFormat format,
                                                 int32_t w, int32_t h,
                                                 const PictureFileOptions& options = {});

/// Writes a whole picture through a stream of its format.
void WritePicture(const std::string& path, const QVPicture& picture, PictureFormat format,
                  const PictureFileOptions& options);

}  // namespace qv
