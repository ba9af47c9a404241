#include "image/QVJpegWriter.h"

#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <vector>

// jpeglib.h uses FILE and size_t without declaring them: it comes after them.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "base/QVAtomicFile.h"
#include "image/QVPictureFile.h"
#include "image/QVPictureWriteError.h"

namespace qv {
namespace {

static_assert(kJpegMaxDimension == JPEG_MAX_DIMENSION);

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Ours keeps the text and jumps back to Encode; the message is formatted into
// a plain array so that no C++ object is skipped by the jump.
struct JpegErrorManager {
  jpeg_error_mgr Base;  // first member: libjpeg hands back &Base
  std::jmp_buf Jump;
  int SavedErrno;  // errno as the error was raised: the reason of a failed fwrite
  char Message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  err->SavedErrno = errno;
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings (corrupt data while reading) do not arise when encoding; keep
// stderr quiet in any case.
void IgnoreMessage(j_common_ptr) {}

// Starts the compression; false after a library error. Nothing with a
// destructor lives in this frame, which the jump may re-enter.
bool Start(jpeg_compress_struct& cinfo, JpegErrorManager& err, FILE* out, int32_t w, int32_t h,
           int quality) {
  if (setjmp(err.Jump)) return false;
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = static_cast<JDIMENSION>(w);
  cinfo.image_height = static_cast<JDIMENSION>(h);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  return true;
}

// Compresses rows; false after a library error (same rules as Start).
bool EncodeRows(jpeg_compress_struct& cinfo, JpegErrorManager& err, const uint32_t* pixels,
                int32_t w, int32_t rows, JSAMPLE* row) {
  if (setjmp(err.Jump)) return false;
  JSAMPROW rowPointers[1] = {row};
  for (int32_t y = 0; y < rows; ++y) {
    UnpackRow(pixels + static_cast<ptrdiff_t>(y) * w, w, false, row);
    jpeg_write_scanlines(&cinfo, rowPointers, 1);
  }
  return true;
}

bool End(jpeg_compress_struct& cinfo, JpegErrorManager& err) {
  if (setjmp(err.Jump)) return false;
  jpeg_finish_compress(&cinfo);
  return true;
}

class JpegStream : public PictureStream {
 public:
  JpegStream(const std::string& path, int32_t w, int32_t h, int quality)
      : PictureStream(path, w, h), file_(path), row_(static_cast<size_t>(w) * 3) {
    cinfo_.err = jpeg_std_error(&err_.Base);
    err_.Base.error_exit = JumpOnError;
    err_.Base.output_message = IgnoreMessage;
    if (!Start(cinfo_, err_, file_.Stream(), w, h, quality)) FailFromLibrary();
  }
  ~JpegStream() override { jpeg_destroy_compress(&cinfo_); }

 private:
  void Encode(const uint32_t* pixels, int32_t, int32_t rows) override {
    if (!EncodeRows(cinfo_, err_, pixels, Width(), rows, row_.data())) FailFromLibrary();
  }
  void Complete() override {
    if (!End(cinfo_, err_)) FailFromLibrary();
    file_.Commit();
  }
  // A failed fwrite reaches us as libjpeg's generic "write error": give the
  // system's reason instead.
  [[noreturn]] void FailFromLibrary() {
    jpeg_destroy_compress(&cinfo_);
    const bool writeFailed = file_.StreamFailed() && err_.SavedErrno != 0;
    if (writeFailed) {
      throw FileWriteError(CannotWriteMessage(Path(), SystemErrorText(err_.SavedErrno)),
                           err_.SavedErrno);
    }
    ThrowEncodeError(Path(), err_.Message);
  }

  AtomicFile file_;
  jpeg_compress_struct cinfo_{};
  JpegErrorManager err_{};
  std::vector<JSAMPLE> row_;
};

}  // namespace

void RequireJpegSize(const std::string& path, int32_t w, int32_t h) {
  if (w > kJpegMaxDimension || h > kJpegMaxDimension) {
    ThrowSizeError(path, w, h,
                   "the picture is " + std::to_string(w) + " x " + std::to_string(h) +
                       " pixels, but a JPEG file allows at most " +
                       std::to_string(kJpegMaxDimension) +
                       " on each side; save it as PNG or render a smaller picture");
  }
}

void RequireJpegQuality(const std::string& path, int quality) {
  if (quality < 1 || quality > 100) {
    throw std::runtime_error(CannotWriteMessage(
        path, "JPEG quality " + std::to_string(quality) + " is out of range; use 1 to 100"));
  }
}

std::unique_ptr<PictureStream> OpenJpegStream(const std::string& path, int32_t w, int32_t h,
                                              int quality) {
  RequireJpegSize(path, w, h);
  RequireJpegQuality(path, quality);
  return std::make_unique<JpegStream>(path, w, h, quality);
}

void WriteJpeg(const std::string& path, const QVPicture& picture, int quality) {
  PictureFileOptions options;
  options.JpegQuality = quality;
  WritePicture(path, picture, PictureFormat::Jpeg, options);
}

}  // namespace qv
