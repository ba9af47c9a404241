#pragma once
// The rules every project text keeps, whatever carries it (a project file, a
// PNG's text chunk): UTF-8 with LF line ends, no control characters but tab
// and line end, and at most kMaxProjectBytes. Any thread.
#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

/// The most bytes a project may have, in a project file or in the text chunk
/// of a picture that carries it. Project texts are kilobytes; the limit keeps
/// a device, an endless pipe or a forged chunk from filling the memory.
inline constexpr size_t kMaxProjectBytes = size_t{64} << 20;

/// CR LF and lone CR become LF.
std::string NormaliseLineEnds(std::string_view text);

/// True when bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

/// The offset of the first byte where bytes stop being well-formed UTF-8, or
/// std::string_view::npos when they are.
size_t FirstInvalidUtf8(std::string_view bytes);

/// The first control character other than tab and line end in UTF-8 text
/// with LF line ends, which project text cannot hold (a NUL cuts the text
/// short where C strings carry it, as in a PNG's text chunk; the others act
/// on a terminal that shows the text), as "a NUL byte at line L, column C";
/// "" when there is none.
std::string ControlCharacterProblem(std::string_view text);
/// The position of the first character ControlCharacterProblem tells of, or npos.
size_t ControlCharacterAt(std::string_view text);

/// The byte order mark a UTF-8 text may begin with.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace qv
