#include "image/QVPngReader.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "base/QVAtomicFile.h"
#include "base/QVProjectText.h"
#include "image/QVSupersample.h"

namespace qv {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kMaxPalette = 3 * 256;

void IgnoreWarning(png_structp, png_const_charp) {}

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// True when in begins with the signature (which is then read).
bool ReadSignature(std::FILE* in) {
  std::string head(sizeof kSignature, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), in));
  return HasPngSignature(head);
}

// Sets libpng up to read the rows as 8-bit RGB, from the chunks after the
// signature on; false after a library error. Nothing with a destructor lives
// in this frame, which the jump may re-enter.
bool StartRows(png_structp png, png_infop info, std::jmp_buf& jump) {
  if (setjmp(jump)) return false;
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_sig_bytes(png, sizeof kSignature);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  return true;
}

bool ReadOneRow(png_structp png, std::jmp_buf& jump, png_bytep row) {
  if (setjmp(jump)) return false;
  png_read_row(png, row, nullptr);
  return true;
}

// The project text of the "Q-Vell project" chunk's bytes. Throws PngReadError.
std::string ProjectTextOf(std::string_view bytes) {
  const std::string name = TextChunkName(kProjectKeyword);
  if (const size_t bad = FirstInvalidUtf8(bytes); bad != std::string_view::npos) {
    throw PngReadError(name + "'s text is not valid UTF-8 (at byte offset " + std::to_string(bad) +
                       " of the text)");
  }
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  std::string text = NormaliseLineEnds(bytes);
  if (const std::string problem = ControlCharacterProblem(text); !problem.empty()) {
    throw PngReadError(name + "'s text holds " + problem + ", which a project cannot hold");
  }
  return text;
}

}  // namespace

bool HasPngSignature(const std::string& bytes) {
  return bytes.size() >= sizeof kSignature &&
         std::memcmp(bytes.data(), kSignature, sizeof kSignature) == 0;
}

bool IsPngFile(const std::string& path) {
  const FilePtr in(std::fopen(path.c_str(), "rb"), std::fclose);
  return in && ReadSignature(in.get());
}

void PngReader::JumpOnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<ErrorState*>(png_get_error_ptr(png));
  std::snprintf(state->Message, sizeof state->Message, "%s", message);
  std::longjmp(state->Jump, 1);
}

void PngReader::ReadFromFile(png_structp png, png_bytep out, size_t size) {
  auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
  const size_t fromReplay = std::min(size, reader->replay_.size() - reader->replayed_);
  std::memcpy(out, reader->replay_.data() + reader->replayed_, fromReplay);
  reader->replayed_ += fromReplay;
  if (fromReplay == size) return;
  if (std::fread(out + fromReplay, 1, size - fromReplay, reader->file_) < size - fromReplay) {
    // The jump leaves this frame, which holds nothing with a destructor.
    png_error(png, std::ferror(reader->file_)
                       ? "the file cannot be read"
                       : "the file ends early, inside the IDAT chunk: it is truncated");
  }
}

PngReader::PngReader(const std::string& path) {
  try {
    Open(path);
  } catch (...) {
    Close();
    throw;
  }
}

void PngReader::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) Fail(SystemErrorText(errno));
  if (!ReadSignature(file_)) Fail("it is not a PNG file");
  PngChunkWalker walker(file_);
  const PngHeader header = walker.ReadHeader();
  if (header.Interlace != 0) {
    Fail("it is interlaced; only non-interlaced PNG files are read row by row");
  }
  width_ = static_cast<int32_t>(header.Width);  // at most 2^31 - 1, checked by the walker
  height_ = static_cast<int32_t>(header.Height);
  replay_ = header.Raw;
  while (walker.Next() && walker.Type() != "IDAT") {
    const std::string& type = walker.Type();
    if (walker.IsText()) {
      chunks_.push_back(walker.ReadText(kMaxProjectBytes));
      if (chunks_.back().Damage.empty()) texts_.push_back({chunks_.back().Keyword, chunks_.back().Text});
    } else if (type[0] >= 'a') {
      walker.Skip();  // ancillary: nothing the decoding of RGB rows needs
    } else if (type != "PLTE" || walker.Length() > kMaxPalette) {
      Fail(type == "PLTE" ? "the PLTE chunk is damaged (it is longer than 256 colours)"
                          : "it holds a critical chunk of an unknown type, " + type);
    } else {
      replay_ += walker.ReadRaw();
    }
  }
  if (!walker.PastPixels()) Fail("it holds no pixels (no IDAT chunk)");
  const uint32_t length = walker.Length();
  for (int shift = 24; shift >= 0; shift -= 8) replay_ += static_cast<char>(length >> shift & 0xFF);
  replay_ += "IDAT";
}

void PngReader::StartDecoder() {
  png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state_, JumpOnError, IgnoreWarning);
  info_ = png_ ? png_create_info_struct(png_) : nullptr;
  if (!png_ || !info_) Fail("out of memory for the PNG decoder");
  png_set_read_fn(png_, this, ReadFromFile);
  if (!StartRows(png_, info_, state_.Jump)) Fail(state_.Message);
  row_.resize(static_cast<size_t>(width_) * 3);
}

PngReader::~PngReader() { Close(); }

void PngReader::Close() noexcept {
  png_destroy_read_struct(&png_, &info_, nullptr);
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void PngReader::Fail(const std::string& reason) const { throw PngReadError(reason); }

std::optional<std::string> PngReader::Text(const std::string& keyword) const {
  for (const PngTextChunk& chunk : chunks_) {
    if (chunk.Keyword != keyword) continue;
    if (!chunk.Damage.empty()) Fail(chunk.Damage);
    return chunk.Text;
  }
  return std::nullopt;
}

void PngReader::ReadRow(uint32_t* out) {
  if (!png_) StartDecoder();
  if (!ReadOneRow(png_, state_.Jump, row_.data())) Fail(state_.Message);
  const png_byte* in = row_.data();
  for (int32_t x = 0; x < width_; ++x, in += 3) {
    out[x] = 0xFF000000u | uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
  }
}

std::string ReadPngProject(const std::string& path) {
  const FilePtr in(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!in) throw PngReadError(SystemErrorText(errno));
  if (!ReadSignature(in.get())) throw PngReadError("it is not a PNG file");
  return ReadPngProject(in.get());
}

namespace {

// The sample count of a "Q-Vell supersample" chunk. Throws PngReadError.
int32_t SupersampleOf(const PngTextChunk& chunk) {
  if (!chunk.Damage.empty()) throw PngReadError(chunk.Damage);
  const std::optional<int32_t> n = ParseSupersampleText(chunk.Text);
  if (n) return *n;
  throw PngReadError(TextChunkName(kSupersampleKeyword) + " says \"" + chunk.Text.substr(0, 16) +
                     "\", not a whole number from 1 to " + std::to_string(kMaxSupersample) +
                     "; render the picture again");
}

}  // namespace

std::string ReadPngProject(std::FILE* in, int32_t* supersample) {
  PngChunkWalker walker(in);
  walker.ReadHeader();
  // A damaged text chunk, which may have held the project under a damaged keyword.
  std::string damage;
  std::optional<std::string> project;
  if (supersample) *supersample = 0;
  // Past the pixels only to tell a project there from none at all.
  while (walker.Next()) {
    // What a render records comes before its pixels.
    if (project && (!supersample || walker.PastPixels())) break;
    if (!walker.IsText()) {
      walker.Skip();
      continue;
    }
    PngTextChunk chunk = walker.ReadText(kMaxProjectBytes);
    if (chunk.Keyword == kSupersampleKeyword && supersample && !walker.PastPixels()) {
      *supersample = SupersampleOf(chunk);
      continue;
    }
    if (chunk.Keyword != kProjectKeyword) {
      if (damage.empty()) damage = chunk.Damage;
      continue;
    }
    if (!chunk.Damage.empty()) throw PngReadError(chunk.Damage);
    if (walker.PastPixels()) {
      throw PngReadError(TextChunkName(kProjectKeyword) +
                         " comes after the pixels, where it is not read: a program that rewrote "
                         "the PNG moved it; keep the file as qvell wrote it");
    }
    project = ProjectTextOf(chunk.Text);
  }
  if (project) return std::move(*project);
  if (!damage.empty()) throw PngReadError(damage + ", and no other chunk holds a project");
  throw PngNoProjectError(std::string("this PNG file carries no project (no \"") + kProjectKeyword +
                          "\" text chunk); qvell render writes one unless given --no-project");
}

}  // namespace qv
