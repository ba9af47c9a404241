#pragma once
// PNG files put together chunk by chunk, for tests of readers that must tell
// what is wrong with a file that no writer of ours produces: chunks in odd
// places, text chunks other tools write, damaged CRCs and zlib data.
#include <zlib.h>

#include <cstdint>
#include <string>

namespace qv::test {

inline const std::string kPngSignature = "\x89PNG\r\n\x1A\n";

inline std::string BigEndian32(uint32_t value) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
  return out;
}

/// A chunk as stored: length, type, data and CRC.
inline std::string PngChunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return BigEndian32(static_cast<uint32_t>(data.size())) + body +
         BigEndian32(static_cast<uint32_t>(crc));
}

inline std::string Deflate(const std::string& bytes) {
  std::string out(compressBound(bytes.size()), '\0');
  uLongf size = out.size();
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
           bytes.size());
  out.resize(size);
  return out;
}

/// IHDR of an 8-bit picture of colorType (2: RGB, 3: palette), not interlaced.
inline std::string PngHeaderChunk(uint32_t width, uint32_t height, char colorType = 2) {
  return PngChunk("IHDR", BigEndian32(width) + BigEndian32(height) + '\x08' + colorType +
                              std::string(3, '\0'));
}

/// An iTXt chunk, its text deflated or stored as it is.
inline std::string ITextChunk(const std::string& keyword, const std::string& text,
                              bool compressed = true) {
  return PngChunk("iTXt", keyword + '\0' + (compressed ? '\x01' : '\x00') + '\0' + '\0' + '\0' +
                              (compressed ? Deflate(text) : text));
}

/// IDAT of a width x height RGB picture of one colour (filter 0 on every row).
inline std::string GreyPixels(uint32_t width, uint32_t height) {
  std::string rows;
  for (uint32_t y = 0; y < height; ++y) rows += '\0' + std::string(size_t{width} * 3, '\x40');
  return PngChunk("IDAT", Deflate(rows));
}

inline std::string PngEnd() { return PngChunk("IEND", ""); }

}  // namespace qv::test
