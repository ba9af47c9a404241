#pragma once
// Saving a finished picture as a BMP, JPEG or PNG file. Every writer takes the
// QVPicture the engine handed to its canvas (0xFFRRGGBB, row 0 at the top), refuses
// an empty picture, and replaces its file atomically: after a failure the old
// file is unchanged and no temporary file remains.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/QVPicture.h"

namespace qv {

enum class PictureFormat { Bmp, Jpeg, Png };

/// The format named by the extension of a file name: the text after its last
/// '.', compared without regard to ASCII case ("bmp", "png", "jpg", "jpeg").
/// None for any other extension or a name without '.'.
std::optional<PictureFormat> PictureFormatFromName(const std::string& name);

/// Writes the picture to path in the given format. jpegQuality (1 to 100) is
/// used only for JPEG. Throws std::runtime_error naming the file and the
/// reason when the picture cannot be written; nothing is written then.
void WritePicture(const std::string& path, const QVPicture& picture, PictureFormat format,
                  int jpegQuality = 75);

/// Throws std::runtime_error naming path when a picture of w x h pixels (both
/// at least 1) cannot be stored in format at all, so a caller can refuse
/// before it spends time on a render. The writers make the same check.
void RequirePictureSize(const std::string& path, PictureFormat format, int32_t w, int32_t h);

/// Bytes a writer holds while it writes a picture w pixels wide: its row
/// buffer and the encoder's own rows and state (the PNG writer its slices of
/// rows and their compressed form, libjpeg its component rows), with a
/// margin.
int64_t WriterBytes(PictureFormat format, int32_t w);

/// Throws unless the picture has at least one pixel; every writer calls it
/// before it creates any file.
void RequirePicture(const std::string& path, const QVPicture& picture);

/// The red, green and blue bytes of one row of 0xFFRRGGBB pixels, in this
/// order (blueFirst false) or reversed (blueFirst true), 3 bytes per pixel.
void UnpackRow(const uint32_t* pixels, int32_t w, bool blueFirst, unsigned char* out);

}  // namespace qv
