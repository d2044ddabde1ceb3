// Text and binary streams over files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "framework/core/text/String.h"

namespace framework {

class TextInputStream {
 public:
  explicit TextInputStream(std::FILE* file) : file_(file) {}
  ~TextInputStream();
  TextInputStream(const TextInputStream&) = delete;
  TextInputStream& operator=(const TextInputStream&) = delete;

  // The next line without its end (CR, LF or CR LF); a last line without an
  // end is read whole. With no encoding given the bytes are tagged None.
  String ReadLine(std::optional<TextEncoding> encoding = std::nullopt);
  bool EndOfFile() const;  // true when nothing is left to read
  void Close();

 private:
  std::FILE* file_;
};

class TextOutputStream {
 public:
  explicit TextOutputStream(std::FILE* file) : file_(file) {}
  ~TextOutputStream();
  TextOutputStream(const TextOutputStream&) = delete;
  TextOutputStream& operator=(const TextOutputStream&) = delete;

  bool Write(const String& text);  // the text's bytes as they are
  bool WriteLine(const String& text);
  bool Close();                    // false when the data could not be written

 private:
  std::FILE* file_;
};

// Binary stream. Its default byte order is big-endian, as on the classic Mac.
class BinaryStream {
 public:
  explicit BinaryStream(std::FILE* file) : file_(file) {}
  ~BinaryStream();
  BinaryStream(const BinaryStream&) = delete;
  BinaryStream& operator=(const BinaryStream&) = delete;

  bool LittleEndian = false;

  // Reads past the end give what is left (zero bytes for the missing part of
  // a number) and set EndOfFile(). EndOfFile() is also true when the
  // position stands at the end.
  std::int32_t ReadLong();
  std::uint8_t ReadByte();
  String ReadPString();                  // length byte, then that many bytes; tagged None
  String Read(std::int64_t count);       // at most count bytes; tagged None; negative: nothing
  bool Write(const std::string& bytes);  // at the position; false on a stream opened for reading
  std::int64_t Length() const;
  std::int64_t Position() const;
  bool EndOfFile() const;
  void Close();

 private:
  std::FILE* file_;
  bool eof_ = false;
  bool lastWasWrite_ = false;  // stdio needs a seek between reading and writing
};

}  // namespace framework
