#pragma once
// The values of the command line's picture options, read from their text:
// memory sizes, points of the plane and frame-file patterns. Each returns
// none for a text it does not read, and the caller names the option. Any thread.
#include <cstdint>
#include <optional>
#include <string>

#include "base/QVComplex.h"
#include "base/QVDecimal.h"

namespace qv {

/// "SIZE": a whole number of bytes, or with K, M, G or T in either case
/// (powers of 1024, an optional "iB" or "B" after it), e.g. 512M, 4GiB, 64k.
/// At least 1 byte.
std::optional<int64_t> ParseMemorySize(const std::string& text);

/// A finite decimal number ("." as the point, whatever the locale).
std::optional<double> ParseFiniteNumber(const std::string& text);

/// "X,Y": two finite numbers, the real and imaginary parts of a point.
std::optional<QVComplex> ParsePoint(const std::string& text);
/// The point of ParsePoint with every digit the text gives (nullopt where
/// ParsePoint gives nullopt, or a part is not in the project text's grammar).
std::optional<DecimalComplex> ParsePrecisePoint(const std::string& text);

/// The widest frame number a pattern may ask for.
inline constexpr int kMaxFrameWidth = 32;

/// The file name of frame number in pattern, whose one "%d", "%Nd" or "%0Nd"
/// (N up to kMaxFrameWidth; padded with spaces or zeros as printf pads)
/// stands for the number and "%%" for "%". None when pattern has no such
/// directive, more than one, or another "%" sequence.
std::optional<std::string> FrameFileName(const std::string& pattern, int number);

}  // namespace qv
