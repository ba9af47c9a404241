#pragma once
// Number entry of the editor's boxes: the strict, locale-independent
// conversion of a box's text to a number, with the message that tells the
// user why a text is not one (or not one the box takes), and the text a
// number is shown as. Full-width forms, as a Japanese input method types
// them, and blanks around the number are accepted. A plain class without
// widgets; any thread.
#include <QCoreApplication>
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
  Q_DECLARE_TR_FUNCTIONS(QVNumberEntry)

 public:
  /// text with full-width ASCII forms (U+FF01 to U+FF5E: "６４０", "－１．５",
  /// "ｅ") and the minus sign U+2212 made ASCII, and blanks (ASCII or the
  /// ideographic space) around it removed. Other characters stay as they are.
  static std::string Normalise(std::string_view text);

  /// A real: optional sign, digits with at most one ".", optional exponent;
  /// nothing else ("", "-", "1e", "nan", "inf", "1,5", "0x10" fail), after
  /// Normalise. A number beyond the double range fails as out of range.
  static QVConverted<double> ToReal(std::string_view text);
  /// A 32-bit signed integer: optional sign and decimal digits, in range,
  /// after Normalise.
  static QVConverted<int32_t> ToInteger(std::string_view text);
  /// A real above 0 (what names the value in the message); a text such as
  /// 1e-400 that becomes 0 is told as too small.
  static QVConverted<double> ToPositive(std::string_view text, std::string_view what);
  /// An integer of at least 1 (what names the value in the message).
  static QVConverted<int32_t> ToCount(std::string_view text, std::string_view what);

  /// "'TEXT' は浮動小数点数ではありません".
  static std::string RealMessage(std::string_view text);
  /// "'TEXT' は範囲外です（数は -1.79E308 から 1.79E308 までです）".
  static std::string OutOfRangeMessage(std::string_view text);
  /// "'TEXT' は整数ではありません".
  static std::string IntegerMessage(std::string_view text);

  /// A real as the project text shows it (at most 15 significant digits).
  static std::string RealText(double value);
  /// An integer in plain decimal.
  static std::string IntegerText(int64_t value);
};
