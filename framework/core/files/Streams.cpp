#include "framework/core/files/Streams.h"

#include <sys/stat.h>

#include <algorithm>
#include <string>

namespace framework {

TextInputStream::~TextInputStream() { Close(); }

String TextInputStream::ReadLine(std::optional<TextEncoding> encoding) {
  std::string line;
  if (file_) {
    int c;
    while ((c = std::getc(file_)) != EOF) {
      if (c == '\n') break;
      if (c == '\r') {
        const int next = std::getc(file_);
        if (next != '\n' && next != EOF) std::ungetc(next, file_);
        break;
      }
      line.push_back(static_cast<char>(c));
    }
  }
  return String::FromBytes(std::move(line), encoding ? encoding->id() : EncodingId::None);
}

bool TextInputStream::EndOfFile() const {
  if (!file_) return true;
  const int c = std::getc(file_);
  if (c == EOF) return true;
  std::ungetc(c, file_);
  return false;
}

void TextInputStream::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

TextOutputStream::~TextOutputStream() { Close(); }

bool TextOutputStream::Write(const String& text) {
  if (!file_) return false;
  const std::string& bytes = text.Bytes();
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool TextOutputStream::WriteLine(const String& text) { return Write(text) && Write(String(EndOfLine)); }

bool TextOutputStream::Close() {
  if (!file_) return true;
  // Buffered data meets a full disk only now; the stream's error flag keeps
  // any earlier failure.
  const bool failedBefore = std::ferror(file_) != 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && !failedBefore;
}

BinaryStream::~BinaryStream() { Close(); }

String BinaryStream::Read(std::int64_t count) {
  if (!file_ || count <= 0) return String::FromBytes(std::string(), EncodingId::None);
  // Never more than is left, so a length field read from a damaged file
  // cannot ask for gigabytes.
  const std::int64_t left = std::max<std::int64_t>(Length() - Position(), 0);
  std::string bytes(static_cast<std::size_t>(std::min(count, left)), '\0');
  if (lastWasWrite_) std::fseek(file_, 0, SEEK_CUR);
  lastWasWrite_ = false;
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file_));
  if (static_cast<std::int64_t>(bytes.size()) < count) eof_ = true;
  return String::FromBytes(std::move(bytes), EncodingId::None);
}

std::int32_t BinaryStream::ReadLong() {
  const std::string bytes = Read(4).Bytes();
  std::uint8_t b[4] = {0, 0, 0, 0};
  std::copy(bytes.begin(), bytes.end(), b);
  const std::uint32_t value = LittleEndian
                                  ? std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
                                        std::uint32_t{b[3]} << 24
                                  : std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 |
                                        std::uint32_t{b[3]};
  return static_cast<std::int32_t>(value);
}

std::uint8_t BinaryStream::ReadByte() {
  const std::string bytes = Read(1).Bytes();
  return bytes.empty() ? 0 : static_cast<std::uint8_t>(bytes[0]);
}

String BinaryStream::ReadPString() {
  const std::string length = Read(1).Bytes();
  if (length.empty()) return String::FromBytes(std::string(), EncodingId::None);
  return Read(static_cast<std::uint8_t>(length[0]));
}

bool BinaryStream::Write(const std::string& bytes) {
  if (!file_) return false;
  if (!lastWasWrite_) std::fseek(file_, 0, SEEK_CUR);  // stdio wants a seek between reading and writing
  lastWasWrite_ = true;
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

std::int64_t BinaryStream::Length() const {
  if (!file_) return 0;
  if (lastWasWrite_) std::fflush(file_);  // the size on disk must include what is buffered
  struct stat info {};
  return fstat(fileno(file_), &info) == 0 ? info.st_size : 0;
}

std::int64_t BinaryStream::Position() const { return file_ ? ftello(file_) : 0; }

bool BinaryStream::EndOfFile() const { return !file_ || eof_ || Position() >= Length(); }

void BinaryStream::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace framework
