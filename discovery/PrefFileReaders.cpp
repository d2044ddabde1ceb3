#include "discovery/PrefFileReaders.h"

#include <cmath>
#include <utility>

#include "framework/core/files/Streams.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"
#include "helpers/Enigma.h"

namespace PrefFile {
namespace {

using framework::EncodingId;
using framework::String;

enum class Format { Encoded, Plain };

// Reads fields from the front of the bytes. Every read either takes a whole
// field or takes nothing and reports it: a field that does not fit in what
// is left marks the file as damaged, and nothing is ever read beyond it.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

  std::size_t Left() const { return bytes_.size() - at_; }

  std::optional<std::string_view> ShortString() {
    const std::optional<std::string_view> length = Take(1);
    if (!length) return std::nullopt;
    return Take(static_cast<unsigned char>((*length)[0]));
  }

  std::optional<std::int32_t> Long() {
    const std::optional<std::string_view> bytes = Take(4);
    if (!bytes) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : *bytes) value = value << 8 | static_cast<unsigned char>(c);
    return static_cast<std::int32_t>(value);
  }

  std::optional<std::string_view> LongString() {
    const std::optional<std::int32_t> length = Long();
    if (!length || *length < 0) return std::nullopt;
    return Take(static_cast<std::size_t>(*length));
  }

 private:
  std::optional<std::string_view> Take(std::size_t count) {
    if (count > Left()) return std::nullopt;
    const std::string_view field = bytes_.substr(at_, count);
    at_ += count;
    return field;
  }

  std::string_view bytes_;
  std::size_t at_ = 0;
};

// A count as the file gives it, accepted only when the fields it announces
// can still be in the file: each takes at least one byte. Checked before the
// count sizes or drives anything, so a huge count costs nothing.
std::optional<std::size_t> CheckedCount(double value, std::size_t bytesLeft) {
  const double count = std::trunc(value);
  if (!(count >= 0) || count > static_cast<double>(bytesLeft)) return std::nullopt;
  return static_cast<std::size_t>(count);
}

class Parser {
 public:
  Parser(std::string_view bytes, Format format) : in_(bytes), format_(format) {}

  std::optional<Entries> Run() {
    // The header and the values are not used; they are only read past, so
    // the encoded ones are not decoded either.
    if (!in_.ShortString()) return std::nullopt;
    const std::optional<std::size_t> valueCount = Count();
    if (!valueCount) return std::nullopt;
    for (std::size_t i = 0; i < *valueCount; ++i) {
      if (!in_.ShortString()) return std::nullopt;
      framework::Yield();
    }

    const std::optional<std::size_t> entryCount = Count();
    if (!entryCount || *entryCount < kEntriesNeeded) return std::nullopt;
    // Not reserved from the count: an entry is stored only once its bytes
    // have been read.
    Entries entries;
    for (std::size_t i = 0; i < *entryCount; ++i) {
      const bool location = i >= kFirstLocationEntry && i <= kDocumentsEntry;
      const std::optional<std::string_view> raw = location ? in_.LongString() : in_.ShortString();
      if (!raw) return std::nullopt;
      entries.push_back(Text(*raw));
      framework::Yield();
    }
    return entries;
  }

 private:
  // A count: in "pref2" an encoded decimal text (not a number counts as 0),
  // in "pref" a 32-bit integer.
  std::optional<std::size_t> Count() {
    if (format_ == Format::Plain) {
      const std::optional<std::int32_t> value = in_.Long();
      if (!value) return std::nullopt;
      return CheckedCount(*value, in_.Left());
    }
    const std::optional<std::string_view> raw = in_.ShortString();
    if (!raw) return std::nullopt;
    return CheckedCount(framework::Val(Text(*raw)), in_.Left());
  }

  String Text(std::string_view raw) const {
    String bytes = String::FromBytes(std::string(raw), EncodingId::None);
    if (format_ == Format::Plain) return bytes;
    return Enigma::Decode(bytes, String::FromBytes(kPref2Key, EncodingId::None));
  }

  FieldReader in_;
  Format format_;
};

}  // namespace

std::optional<Entries> ParsePref2(std::string_view bytes) { return Parser(bytes, Format::Encoded).Run(); }

std::optional<Entries> ParsePref(std::string_view bytes) { return Parser(bytes, Format::Plain).Run(); }

std::optional<std::string> ReadWhole(const framework::FolderItemPtr& file) {
  if (!file) return std::nullopt;
  const framework::BinaryStreamPtr stream = file->OpenAsBinaryFile(/*write=*/false);
  if (!stream) return std::nullopt;
  const std::int64_t length = stream->Length();
  if (length > kLargestFile) return std::nullopt;
  // At most the length just checked, even if the file grows meanwhile.
  std::string bytes = stream->Read(length).Bytes();
  stream->Close();
  return bytes;
}

}  // namespace PrefFile
