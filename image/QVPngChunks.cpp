#include "image/QVPngChunks.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>

#include "base/QVAtomicFile.h"
#include "base/QVScan.h"
#include "image/QVPngReader.h"

namespace qv {
namespace {

constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;  // PNG's own limit
constexpr size_t kMaxKeyword = 79;

uint32_t BigEndian32(const unsigned char* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void PutBigEndian32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
}

uint32_t Crc(const std::string& type, const std::string& data) {
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
  // Chunks hold at most 2^31 - 1 bytes, which uInt holds.
  crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
  return static_cast<uint32_t>(crc);
}

[[noreturn]] void EndsEarly(const std::string& where) {
  throw PngReadError("the file ends early, " + where + ": it is truncated");
}

// "N MiB", or "N bytes" below a mebibyte.
std::string SizeText(size_t bytes) {
  if (bytes < (size_t{1} << 20)) return std::to_string(bytes) + " bytes";
  return std::to_string(bytes >> 20) + " MiB";
}

// Ends inflate's use of its state however the caller leaves.
struct InflateStream {
  z_stream Z{};
  bool Open = inflateInit(&Z) == Z_OK;
  ~InflateStream() {
    if (Open) inflateEnd(&Z);
  }
};

// Inflates compressed into out, at most maxText bytes; why it cannot be done,
// or "".
std::string Inflate(std::string_view compressed, size_t maxText, std::string& out) {
  InflateStream stream;
  if (!stream.Open) return "out of memory to inflate its text";
  z_stream& z = stream.Z;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));  // zlib only reads it
  z.avail_in = static_cast<uInt>(compressed.size());  // a chunk's size, at most 2^31 - 1
  int result = Z_OK;
  while (result != Z_STREAM_END) {
    char buffer[65536];
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    result = inflate(&z, Z_NO_FLUSH);
    if (result == Z_BUF_ERROR) return "damaged (its compressed text is cut short)";
    if (result != Z_OK && result != Z_STREAM_END) {
      return std::string("damaged (its compressed text does not inflate: ") +
             (z.msg ? z.msg : "zlib error " + std::to_string(result)) + ")";
    }
    const size_t produced = sizeof buffer - z.avail_out;
    if (produced > maxText - out.size()) {
      return "larger than " + SizeText(maxText) + " of text, too large to read";
    }
    out.append(buffer, produced);
  }
  return "";
}

// The text of a text chunk whose keyword ends at data[keywordEnd], or why it
// cannot be read (in chunk.Damage).
void DecodeText(const std::string& type, std::string_view data, size_t keywordEnd, size_t maxText,
                PngTextChunk& chunk) {
  std::string_view rest = data.substr(keywordEnd + 1);
  bool compressed = false;
  unsigned char method = 0;
  if (type != "tEXt" && rest.size() < (type == "iTXt" ? 2u : 1u)) {
    chunk.Damage = "damaged (it is cut short after its keyword)";
    return;
  }
  if (type == "zTXt") {
    compressed = true;
    method = static_cast<unsigned char>(rest[0]);
    rest.remove_prefix(1);
  } else if (type == "iTXt") {
    const auto flag = static_cast<unsigned char>(rest[0]);
    method = static_cast<unsigned char>(rest[1]);
    const size_t language = rest.find('\0', 2);
    const size_t translated =
        language == std::string_view::npos ? language : rest.find('\0', language + 1);
    if (flag > 1 || translated == std::string_view::npos) {
      chunk.Damage = flag > 1 ? "damaged (its compression flag is " + std::to_string(flag) + ")"
                              : "damaged (its language tag or translated keyword does not end)";
      return;
    }
    compressed = flag == 1;
    rest.remove_prefix(translated + 1);
  }
  if (compressed && method != 0) {
    chunk.Damage = "damaged (its compression method is " + std::to_string(method) + ")";
  } else if (compressed) {
    chunk.Damage = Inflate(rest, maxText, chunk.Text);
  } else if (rest.size() > maxText) {
    chunk.Damage = "larger than " + SizeText(maxText) + " of text, too large to read";
  } else {
    chunk.Text = rest;
  }
}

}  // namespace

std::string TextChunkName(const std::string& keyword) {
  return "the " + QuoteText(keyword) + " chunk";
}

void PngChunkWalker::ReadData(std::string& out, uint64_t n, const std::string& name) {
  // In blocks, so that a length the file does not hold allocates nothing.
  while (n > 0) {
    char buffer[65536];
    const size_t want = static_cast<size_t>(std::min<uint64_t>(n, sizeof buffer));
    const size_t got = std::fread(buffer, 1, want, in_);
    out.append(buffer, got);
    offset_ += got;
    n -= got;
    if (got < want) {
      if (std::ferror(in_)) throw PngReadError(SystemErrorText(errno));
      EndsEarly("inside " + name);
    }
  }
}

void PngChunkWalker::ReadCrc(const std::string& data, const std::string& name,
                             std::string* damage) {
  std::string stored;
  ReadData(stored, 4, name);
  if (BigEndian32(reinterpret_cast<const unsigned char*>(stored.data())) == Crc(type_, data)) return;
  const std::string message = name + " is damaged (CRC error)";
  if (!damage) throw PngReadError(message);
  *damage = message;
}

bool PngChunkWalker::Next() {
  if (type_ == "IEND") return false;
  unsigned char head[8];
  const size_t got = std::fread(head, 1, sizeof head, in_);
  if (got < sizeof head) {
    if (std::ferror(in_)) throw PngReadError(SystemErrorText(errno));
    EndsEarly(got == 0 ? "before its IEND chunk" : "inside a chunk header");
  }
  const uint64_t at = offset_;
  offset_ += sizeof head;
  length_ = BigEndian32(head);
  type_.assign(reinterpret_cast<const char*>(head + 4), 4);
  if (length_ > kMaxChunkLength) {
    throw PngReadError("the file is damaged: the chunk at byte offset " + std::to_string(at) +
                       " gives its length as " + std::to_string(length_) +
                       ", over the 2^31 - 1 bytes a chunk may have");
  }
  if (!std::all_of(type_.begin(), type_.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      })) {
    throw PngReadError("the file is damaged: the chunk at byte offset " + std::to_string(at) +
                       " has no valid type (" + QuoteText(type_) + ")");
  }
  if (type_ == "IDAT") pastPixels_ = true;
  return type_ != "IEND";
}

PngHeader PngChunkWalker::ReadHeader() {
  if (!Next() || type_ != "IHDR") {
    throw PngReadError("the file is damaged: it does not begin with an IHDR chunk");
  }
  if (length_ != 13) {
    throw PngReadError("the IHDR chunk is damaged (it is " + std::to_string(length_) +
                       " bytes long, not 13)");
  }
  std::string raw = ReadRaw();
  const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data() + 8);
  PngHeader header{BigEndian32(bytes), BigEndian32(bytes + 4), bytes[12], std::move(raw)};
  for (const auto& [side, value] : {std::pair{"width", header.Width}, {"height", header.Height}}) {
    if (value == 0 || value > kMaxChunkLength) {
      throw PngReadError("the IHDR chunk is damaged (it gives a " + std::string(side) + " of " +
                         std::to_string(value) + ")");
    }
  }
  return header;
}

PngTextChunk PngChunkWalker::ReadText(size_t maxText) {
  PngTextChunk chunk;
  const std::string typeName = (type_ == "iTXt" ? "an " : "a ") + type_ + " chunk";
  std::string data;
  ReadData(data, std::min<uint64_t>(length_, kMaxKeyword + 1), typeName);
  const size_t keywordEnd = data.find('\0');
  if (keywordEnd >= 1 && keywordEnd <= kMaxKeyword) chunk.Keyword = data.substr(0, keywordEnd);
  const std::string name = chunk.Keyword.empty() ? typeName : TextChunkName(chunk.Keyword);
  // Room for the keyword, the language tags and what deflate adds to
  // text that does not compress.
  const uint64_t maxLength = uint64_t{maxText} + maxText / 128 + 65536;
  if (length_ > maxLength) {
    Discard(length_ - data.size() + 4, name);
    chunk.Damage = name + " is larger than " + SizeText(maxText) + " of text, too large to read";
    return chunk;
  }
  ReadData(data, length_ - data.size(), name);
  ReadCrc(data, name, &chunk.Damage);
  if (!chunk.Damage.empty()) return chunk;
  if (chunk.Keyword.empty()) {
    chunk.Damage = name + " is damaged (its keyword does not end)";
    return chunk;
  }
  DecodeText(type_, data, keywordEnd, maxText, chunk);
  if (!chunk.Damage.empty()) {
    chunk.Damage = name + " is " + chunk.Damage;
    chunk.Text.clear();
  }
  return chunk;
}

std::string PngChunkWalker::ReadRaw() {
  const std::string name = "the " + type_ + " chunk";
  std::string data;
  ReadData(data, length_, name);
  ReadCrc(data, name, nullptr);
  std::string raw;
  PutBigEndian32(raw, length_);
  raw += type_;
  raw += data;
  PutBigEndian32(raw, Crc(type_, data));
  return raw;
}

void PngChunkWalker::Skip() { Discard(uint64_t{length_} + 4, "the " + type_ + " chunk"); }

void PngChunkWalker::Discard(uint64_t n, const std::string& name) {
  std::string ignored;
  for (uint64_t left = n; left > 0;) {
    const uint64_t step = std::min<uint64_t>(left, 65536);
    ReadData(ignored, step, name);
    ignored.clear();
    left -= step;
  }
}

}  // namespace qv
