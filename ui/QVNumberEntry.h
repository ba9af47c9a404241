#pragma once
// Number entry of the editor's boxes: the strict, locale-independent
// conversion of a box's text to a number, with the message that tells the
// user why a text is not one, and the text a number is shown as. A plain
// class without widgets; any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// The outcome of converting a box's text: the value, or the message.
template <typename T>
struct QVConverted {
  std::optional<T> Value;
  std::string Message;  ///< empty when the text converted
  bool Ok() const { return Value.has_value(); }
};

class QVNumberEntry {
 public:
  /// A real: optional sign, digits with at most one ".", optional exponent;
  /// nothing else ("", "-", "1e", "nan", "inf", "1,5", "0x10", blanks fail).
  static QVConverted<double> ToReal(std::string_view text);
  /// A 32-bit signed integer: optional sign and decimal digits, in range.
  static QVConverted<int32_t> ToInteger(std::string_view text);

  /// "'TEXT' は浮動小数点数ではありません".
  static std::string RealMessage(std::string_view text);
  /// "'TEXT' は整数ではありません".
  static std::string IntegerMessage(std::string_view text);

  /// A real as the project text shows it (at most 15 significant digits).
  static std::string RealText(double value);
  /// An integer in plain decimal.
  static std::string IntegerText(int64_t value);
};
