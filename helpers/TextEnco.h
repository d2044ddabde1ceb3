// The module TextEnco: conversions between the encodings the program names
// by short texts of its own, and the guess of a text's encoding.
//
// Names, compared with the framework's text equality: "デフォルト" (the system
// default), "Shift-JIS" (Mac Japanese, not the framework's Shift_JIS),
// "UTF-8", "UTF-16", "JIS" (ISO-2022-JP), "EUC" (EUC-JP); any other name means
// the system default. The source name may also be "Auto" in gEncText.
// Internet names ("Shift_JIS" with an underscore) are not program names.
//
// The module holds no state: every conversion obtains its own converter and
// drops it. No conversion reports an error; whatever cannot be mapped comes
// back unchanged.
#pragma once

#include "framework/core/text/String.h"

namespace TextEnco {

using framework::String;

// s converted from the encoding named fromName ("Auto": guessed) to the one
// named toName.
String gEncText(const String& s, const String& fromName, const String& toName);
// The conversion itself, for names other than "Auto". s comes back unchanged
// when the two encodings share an internet name.
String gEncTextEtc(const String& s, const String& fromName, const String& toName);
// The program's name of s's guessed encoding: "Shift-JIS", "UTF-16", "UTF-8",
// or "デフォルト" when nothing (or ISO-2022-JP or EUC-JP) is guessed.
String gEncTextGetEnc(const String& s);
// s converted to UTF-8 from its guessed encoding, or from the encoding with
// the internet name defaultName when nothing is guessed. Text taken for UTF-8
// (or any encoding but Mac Japanese and UTF-16) comes back unchanged.
String gEncUTF8alt(const String& s, const String& defaultName);
// The same bytes, labelled as UTF-8.
String gEncDefUTF8(const String& s);

}  // namespace TextEnco
