#include "helpers/TextEnco.h"

#include <optional>

#include "framework/core/text/TextConverter.h"

namespace TextEnco {
namespace {

using framework::TextEncoding;

// The program's encoding names, in the order they are tested.
std::optional<TextEncoding> EncodingNamed(const String& name) {
  if (name == "デフォルト") return framework::Encodings::SystemDefault;
  if (name == "Shift-JIS") return framework::Encodings::MacJapanese;
  if (name == "UTF-8") return framework::Encodings::UTF8;
  if (name == "UTF-16") return framework::Encodings::UTF16;
  if (name == "JIS") return framework::GetTextEncoding(0x0820);
  if (name == "EUC") return framework::GetTextEncoding(0x0920);
  return framework::Encodings::SystemDefault;
}

// The internet name of s's guessed encoding, if a guess is made.
std::optional<String> GuessedInternetName(const String& s) {
  const auto guess = framework::GuessJapaneseEncoding(s);
  if (!guess) return std::nullopt;
  return String(guess->internetName());
}

}  // namespace

String gEncText(const String& s, const String& fromName, const String& toName) {
  if (fromName == "Auto") return gEncTextEtc(s, gEncTextGetEnc(s), toName);
  return gEncTextEtc(s, fromName, toName);
}

String gEncTextEtc(const String& s, const String& fromName, const String& toName) {
  const auto from = EncodingNamed(fromName);
  const auto to = EncodingNamed(toName);
  if (!from || !to) return s;
  if (String(from->internetName()) == String(to->internetName())) return s;
  const auto converter = framework::GetTextConverter(*from, *to);
  if (!converter) return s;
  return converter->convert(s);
}

String gEncTextGetEnc(const String& s) {
  const auto name = GuessedInternetName(s);
  if (!name) return "デフォルト";
  if (*name == "Shift_JIS") return "Shift-JIS";
  if (*name == "UTF-16") return "UTF-16";
  if (*name == "UNICODE-2-0") return "UTF-16";
  if (*name == "UTF-8") return "UTF-8";
  return "デフォルト";
}

String gEncUTF8alt(const String& s, const String& defaultName) {
  const String name = GuessedInternetName(s).value_or(defaultName);
  if (name == "Shift_JIS") return gEncText(s, "Shift-JIS", "UTF-8");
  if (name == "UTF-16" || name == "UNICODE-2-0") return gEncText(s, "UTF-16", "UTF-8");
  return s;
}

String gEncDefUTF8(const String& s) { return framework::DefineEncoding(s, framework::Encodings::UTF8); }

}  // namespace TextEnco
