#include "image/QVPngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "base/QVAtomicFile.h"
#include "image/QVPictureFile.h"
#include "image/QVPictureWriteError.h"
#include "image/QVPngFilterChoice.h"
#include "image/QVPngSlices.h"

namespace qv {
namespace {

// libpng reports a fatal error by calling the error function, which must not
// return. Ours keeps the text and jumps back to the call that set the jump;
// the text goes into a plain array so that no C++ object is skipped by the jump.
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

// Writes the header and the text chunks; false after a library error.
// Nothing with a destructor lives in this frame, which the jump may re-enter.
bool Start(png_structp png, png_infop info, PngErrorState& state, FILE* out, int32_t w, int32_t h,
           png_textp texts, int textCount) {
  if (setjmp(state.Jump)) return false;
  // libpng refuses sides over a million by default; PNG itself allows 2^31 - 1.
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_init_io(png, out);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (textCount > 0) png_set_text(png, info, texts, textCount);
  png_write_info(png, info);
  return true;
}

class PngStream : public PictureStream {
 public:
  PngStream(const std::string& path, int32_t w, int32_t h, const std::vector<PngText>& texts,
            bool fast, const PngSlicing& slicing)
      : PictureStream(path, w, h), file_(path) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state_, JumpOnError, IgnoreWarning);
    info_ = png_ ? png_create_info_struct(png_) : nullptr;
    if (!png_ || !info_) {
      png_destroy_write_struct(&png_, &info_);
      throw std::bad_alloc();
    }
    // png_text points into texts, which outlives Start.
    std::vector<png_text> chunks(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
      chunks[i].compression = PNG_ITXT_COMPRESSION_zTXt;
      chunks[i].key = const_cast<char*>(texts[i].Keyword.c_str());
      chunks[i].text = const_cast<char*>(texts[i].Text.c_str());
      chunks[i].itxt_length = texts[i].Text.size();
      chunks[i].lang = nullptr;
      chunks[i].lang_key = nullptr;
    }
    if (!Start(png_, info_, state_, file_.Stream(), w, h, chunks.data(),
               static_cast<int>(chunks.size()))) {
      FailFromLibrary();
    }
    // libpng has written the header and the texts straight to the file; the
    // pixels follow. A quick write keeps the rows as they are; otherwise a
    // sample of each slice chooses its filter.
    png_destroy_write_struct(&png_, &info_);
    slices_ = std::make_unique<PngSlices>(
        w, h, fast ? kPngFastLevel : kPngLevel, !fast, slicing,
        [this](const unsigned char* bytes, size_t size) { file_.Write(bytes, size); });
  }
  ~PngStream() override { png_destroy_write_struct(&png_, &info_); }

 private:
  void Encode(const uint32_t* pixels, int32_t, int32_t rows) override {
    slices_->AddRows(pixels, rows);
  }
  void Complete() override {
    slices_->Finish();
    file_.Commit();
  }
  // A failed fwrite reaches us as libpng's generic "Write Error": give the
  // system's reason instead.
  [[noreturn]] void FailFromLibrary() {
    png_destroy_write_struct(&png_, &info_);
    const bool writeFailed = file_.StreamFailed() && state_.SavedErrno != 0;
    if (writeFailed) {
      throw FileWriteError(CannotWriteMessage(Path(), SystemErrorText(state_.SavedErrno)),
                           state_.SavedErrno);
    }
    ThrowEncodeError(Path(), state_.Message);
  }

  AtomicFile file_;
  PngErrorState state_{};
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  std::unique_ptr<PngSlices> slices_;  // after file_: its threads end before the file closes
};

}  // namespace

std::unique_ptr<PictureStream> OpenPngStream(const std::string& path, int32_t w, int32_t h,
                                             const std::vector<PngText>& texts, bool fast,
                                             const PngSlicing& slicing) {
  return std::make_unique<PngStream>(path, w, h, texts, fast, slicing);
}

void WritePng(const std::string& path, const QVPicture& picture,
              const std::vector<PngText>& texts) {
  PictureFileOptions options;
  options.Texts = texts;
  WritePicture(path, picture, PictureFormat::Png, options);
}

}  // namespace qv
