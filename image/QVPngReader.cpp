#include "image/QVPngReader.h"

#include <cerrno>
#include <cstring>

#include "source/QVAtomicFile.h"

namespace qv {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void IgnoreWarning(png_structp, png_const_charp) {}

// Reads up to the pixels and sets 8-bit RGB output; false after a library
// error. Nothing with a destructor lives in this frame, which the jump may
// re-enter.
bool ReadHeader(png_structp png, png_infop info, std::jmp_buf& jump, std::FILE* in) {
  if (setjmp(jump)) return false;
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_init_io(png, in);
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

}  // namespace

bool HasPngSignature(const std::string& bytes) {
  return bytes.size() >= sizeof kSignature &&
         std::memcmp(bytes.data(), kSignature, sizeof kSignature) == 0;
}

bool IsPngFile(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return false;
  std::string head(sizeof kSignature, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), in));
  std::fclose(in);
  return HasPngSignature(head);
}

void PngReader::JumpOnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<ErrorState*>(png_get_error_ptr(png));
  std::snprintf(state->Message, sizeof state->Message, "%s", message);
  std::longjmp(state->Jump, 1);
}

PngReader::PngReader(const std::string& path) : path_(path) {
  try {
    Open();
  } catch (...) {
    Close();
    throw;
  }
}

void PngReader::Open() {
  const std::string& path = path_;
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) Fail(SystemErrorText(errno));
  png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state_, JumpOnError, IgnoreWarning);
  info_ = png_ ? png_create_info_struct(png_) : nullptr;
  if (!png_ || !info_) Fail("out of memory for the PNG decoder");
  if (!IsPngFile(path)) Fail("it is not a PNG file");
  if (!ReadHeader(png_, info_, state_.Jump, file_)) Fail(state_.Message);
  if (png_get_interlace_type(png_, info_) != PNG_INTERLACE_NONE) {
    Fail("it is interlaced; only non-interlaced PNG files are read row by row");
  }
  width_ = static_cast<int32_t>(png_get_image_width(png_, info_));
  height_ = static_cast<int32_t>(png_get_image_height(png_, info_));
  png_textp chunks = nullptr;
  const int count = png_get_text(png_, info_, &chunks, nullptr);
  for (int i = 0; i < count; ++i) {
    const size_t length = chunks[i].compression >= PNG_ITXT_COMPRESSION_NONE
                              ? chunks[i].itxt_length
                              : chunks[i].text_length;
    texts_.push_back({chunks[i].key, std::string(chunks[i].text, length)});
  }
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
  for (const PngText& t : texts_) {
    if (t.Keyword == keyword) return t.Text;
  }
  return std::nullopt;
}

void PngReader::ReadRow(uint32_t* out) {
  if (!ReadOneRow(png_, state_.Jump, row_.data())) Fail(state_.Message);
  const png_byte* in = row_.data();
  for (int32_t x = 0; x < width_; ++x, in += 3) {
    out[x] = 0xFF000000u | uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
  }
}

std::string ReadPngProject(const std::string& path) {
  const PngReader reader(path);
  std::optional<std::string> project = reader.Text(kProjectKeyword);
  if (!project) {
    throw PngNoProjectError(std::string("this PNG file carries no project (no \"") + kProjectKeyword +
                       "\" text chunk); qvell render writes one unless given --no-project");
  }
  return *project;
}

}  // namespace qv
