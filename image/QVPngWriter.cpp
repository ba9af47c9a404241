#include "image/QVPngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "image/QVPictureFile.h"
#include "source/QVAtomicFile.h"

namespace qv {
namespace {

// libpng reports a fatal error by calling the error function, which must not
// return. Ours keeps the text and jumps back to Encode; the text goes into a
// plain array so that no C++ object is skipped by the jump.
struct PngErrorState {
  std::jmp_buf Jump;
  int SavedErrno;  // errno as the error was raised: the reason of a failed fwrite
  char Message[256];
};

void JumpOnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
  state->SavedErrno = errno;
  std::snprintf(state->Message, sizeof state->Message, "%s", message);
  std::longjmp(state->Jump, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Frees libpng's structures whichever way the write ends.
class PngWriteStructs {
 public:
  explicit PngWriteStructs(PngErrorState& state)
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, JumpOnError, IgnoreWarning)),
        info_(png_ ? png_create_info_struct(png_) : nullptr) {}
  ~PngWriteStructs() { png_destroy_write_struct(&png_, &info_); }
  PngWriteStructs(const PngWriteStructs&) = delete;
  PngWriteStructs& operator=(const PngWriteStructs&) = delete;
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

// Runs the whole compression; false after a library error. Nothing with a
// destructor lives in this frame, which the jump may re-enter.
bool Encode(png_structp png, png_infop info, PngErrorState& state, FILE* out,
            const uint32_t* pixels, int32_t w, int32_t h, png_bytep row) {
  if (setjmp(state.Jump)) return false;
  // libpng refuses sides over a million by default; PNG itself allows 2^31 - 1.
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_init_io(png, out);
  // Fractal pictures have long runs and smooth gradients: the SUB filter with a
  // light zlib level compresses them about as well as libpng's defaults (often
  // better) in a third of the time, which matters next to a fast render.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_set_compression_level(png, 3);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < h; ++y) {
    UnpackRow(pixels + static_cast<ptrdiff_t>(y) * w, w, false, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

void WritePng(const std::string& path, const QVPicture& picture) {
  RequirePicture(path, picture);
  const uint32_t* pixels = picture.Pixels();
  const int32_t w = picture.Width(), h = picture.Height();
  std::vector<png_byte> row(static_cast<size_t>(w) * 3);
  AtomicFile file(path);
  PngErrorState state{};
  PngWriteStructs structs(state);
  if (!structs.Png() || !structs.Info()) {
    throw std::runtime_error(CannotWriteMessage(path, "out of memory for the PNG encoder"));
  }
  if (!Encode(structs.Png(), structs.Info(), state, file.Stream(), pixels, w, h, row.data())) {
    // A failed fwrite reaches us as libpng's generic "Write Error": give the
    // system's reason instead.
    const bool writeFailed = file.StreamFailed() && state.SavedErrno != 0;
    throw std::runtime_error(
        CannotWriteMessage(path, writeFailed ? SystemErrorText(state.SavedErrno) : state.Message));
  }
  file.Commit();
}

}  // namespace qv
