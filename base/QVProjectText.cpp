#include "base/QVProjectText.h"

#include <cstdint>

#include "base/QVScan.h"

namespace qv {

std::string NormaliseLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  return out;
}

size_t FirstInvalidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = b(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t n = 0;
    uint32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      n = 2, c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      n = 3, c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      n = 4, c = lead & 0x07;
    } else {
      return i;
    }
    if (bytes.size() - i < n) return i;
    for (size_t k = 1; k < n; ++k) {
      if ((b(i + k) & 0xC0) != 0x80) return i;
      c = c << 6 | (b(i + k) & 0x3F);
    }
    if ((n == 3 && c < 0x800) || (n == 4 && c < 0x10000) || c > 0x10FFFF ||
        (c >= 0xD800 && c <= 0xDFFF)) {
      return i;
    }
    i += n;
  }
  return std::string_view::npos;
}

bool IsValidUtf8(std::string_view bytes) { return FirstInvalidUtf8(bytes) == std::string_view::npos; }

size_t ControlCharacterAt(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 || byte == 0x7F) && byte != '\t' && byte != '\n') return i;
  }
  return std::string_view::npos;
}

std::string ControlCharacterProblem(std::string_view text) {
  if (const size_t i = ControlCharacterAt(text); i != std::string_view::npos) {
    const auto byte = static_cast<unsigned char>(text[i]);
    int line = 0, column = 0;
    SourceText(std::string(text.substr(0, i))).LineColumn(i, line, column);
    const std::string what = byte == 0 ? "a NUL byte" : "a control character (" +
                                                            QuoteText(text.substr(i, 1)) + ")";
    return what + " at line " + std::to_string(line) + ", column " + std::to_string(column);
  }
  return "";
}

}  // namespace qv
