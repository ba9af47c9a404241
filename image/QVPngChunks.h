#pragma once
// The chunks of a PNG read one after the other from a stream, without
// libpng: the header, the text chunks (tEXt, zTXt and iTXt, inflated within
// a size limit) and the rest skipped over, the pixel data never decoded.
// Each chunk that is read is checked against its CRC, and a damaged or
// truncated file is told by what is wrong where. Reads from a file or a pipe
// alike, in memory that depends on the texts and not on the picture's size.
// Used by one thread at a time.
#include <cstdint>
#include <cstdio>
#include <string>

namespace qv {

/// The fields of the IHDR chunk this system looks at.
struct PngHeader {
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint8_t Interlace = 0;
  std::string Raw;  ///< the chunk as stored (length, type, data, CRC)
};

/// One text chunk as read.
struct PngTextChunk {
  std::string Keyword;  ///< "" when it cannot be read
  std::string Text;     ///< the text's bytes as stored, inflated; "" when damaged
  std::string Damage;   ///< why the text cannot be read, naming the chunk; "" when it can
};

class PngChunkWalker {
 public:
  /// Walks in, whose 8-byte signature the caller has read and checked.
  explicit PngChunkWalker(std::FILE* in) : in_(in) {}

  /// Reads the first chunk, which must be IHDR. Throws PngReadError.
  PngHeader ReadHeader();
  /// Reads the next chunk's length and type; false after IEND. Throws
  /// PngReadError when the file ends early or the header is damaged.
  bool Next();
  /// The current chunk's type ("IDAT"), and whether it holds text.
  const std::string& Type() const { return type_; }
  uint32_t Length() const { return length_; }
  bool IsText() const { return type_ == "tEXt" || type_ == "zTXt" || type_ == "iTXt"; }
  /// True once an IDAT chunk has been met (by Next): the pixels have begun.
  bool PastPixels() const { return pastPixels_; }

  /// Reads the current text chunk, whose text may have up to maxText bytes
  /// (inflated). A damaged chunk or a longer text is told in Damage. Throws
  /// PngReadError when the file ends early.
  PngTextChunk ReadText(size_t maxText);
  /// The current chunk as stored (length, type, data, CRC), its CRC checked.
  /// Throws PngReadError.
  std::string ReadRaw();
  /// Passes over the current chunk's data and CRC unread. Throws PngReadError
  /// when the file ends early.
  void Skip();

 private:
  // Appends up to n bytes of data to out; throws PngReadError when the file
  // ends first, naming the chunk as `name`.
  void ReadData(std::string& out, uint64_t n, const std::string& name);
  void Discard(uint64_t n, const std::string& name);
  void ReadCrc(const std::string& data, const std::string& name, std::string* damage);

  std::FILE* in_;
  uint64_t offset_ = 8;  // of the next byte of in_, counted from the file's start
  std::string type_;
  uint32_t length_ = 0;
  bool pastPixels_ = false;
};

/// How a text chunk's keyword is named in messages: "the "KEYWORD" chunk".
std::string TextChunkName(const std::string& keyword);

}  // namespace qv
