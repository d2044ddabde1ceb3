// The string functions the program calls, counting from 1 as it does.
//
// Character functions (Len, Mid, InStr, CountFields, NthField) count
// characters (Unicode code points) of the text read in its encoding; the
// parts they return are cut from the original bytes and keep the tag (an
// ISO-2022-JP part comes back as UTF-8, since its shift state stays behind).
// Byte functions (LenB, LeftB, MidB, AscB, ChrB) count bytes and keep the tag.
// Comparisons are exact and case-sensitive, like the framework's equality.
// A start before 1 counts as 1; positions past the end give "" or 0.
#pragma once

#include <cstdint>

#include "framework/core/text/String.h"

namespace framework {

// Number of fields of s separated by sep; the empty text has 0 fields, a text
// without sep has 1. An empty separator gives 1 for a non-empty text.
std::int32_t CountFields(const String& s, const String& sep);
// Field n (from 1) of s separated by sep; "" when n is out of range.
String NthField(const String& s, const String& sep, std::int32_t n);
// Position (from 1) of find in s at or after character start; 0 when absent
// and when find is empty.
std::int32_t InStr(std::int32_t start, const String& s, const String& find);
std::int32_t InStr(const String& s, const String& find);
String Mid(const String& s, std::int32_t start);
String Mid(const String& s, std::int32_t start, std::int32_t length);
std::int32_t Len(const String& s);
String LeftB(const String& s, std::int32_t count);
String MidB(const String& s, std::int32_t start);
String MidB(const String& s, std::int32_t start, std::int32_t length);
std::int32_t LenB(const String& s);
// Value of byte 1 of s; 0 for the empty text.
std::int32_t AscB(const String& s);
// A one-byte text of unknown encoding.
String ChrB(std::int32_t value);
// Decimal text of a number ("-12", "3.5"); integral values carry no decimals.
String Str(double value);
String Str(std::int64_t value);
String Str(std::int32_t value);
// The number at the start of s (leading spaces allowed, then an optional sign,
// digits and a decimal part); 0 when s does not start with a number.
double Val(const String& s);
std::int32_t BitwiseXor(std::int32_t a, std::int32_t b);

}  // namespace framework
