// Builds classic alias records byte by byte (big-endian), so tests can feed
// the reader and the resolver records of every shape: version 2 with its
// fixed names, version 3 with tags only, cut short, without an end marker,
// or followed by an application's own bytes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class AliasRecordWriter {
 public:
  enum Kind : std::uint16_t { kFile = 0, kFolder = 1 };

  static AliasRecordWriter Version2(std::uint16_t kind) { return AliasRecordWriter(2, kind); }
  static AliasRecordWriter Version3(std::uint16_t kind) { return AliasRecordWriter(3, kind); }

  // Fixed part of version 2: the names as bytes (a length byte is added).
  AliasRecordWriter& VolumeName(std::string bytes) { volumeName_ = std::move(bytes); return *this; }
  AliasRecordWriter& FileName(std::string bytes) { fileName_ = std::move(bytes); return *this; }
  AliasRecordWriter& ParentID(std::uint32_t id) { parentID_ = id; return *this; }
  AliasRecordWriter& TypeCreator(std::string type, std::string creator) {
    type_ = std::move(type);
    creator_ = std::move(creator);
    return *this;
  }

  // A tagged field holding `data` as it stands (padded when odd).
  AliasRecordWriter& Tag(std::int16_t tag, std::string data) {
    tags_.emplace_back(tag, std::move(data));
    return *this;
  }
  // Tags 14 and 15: a unit count and big-endian UTF-16 of a UTF-8 name. Only
  // the Basic Multilingual Plane is needed by the tests.
  AliasRecordWriter& UnicodeTag(std::int16_t tag, const std::u16string& name) {
    std::string data;
    Put16(data, static_cast<std::uint16_t>(name.size()));
    for (char16_t unit : name) Put16(data, static_cast<std::uint16_t>(unit));
    return Tag(tag, std::move(data));
  }
  // Leaves out the FFFF 0000 end marker.
  AliasRecordWriter& WithoutEndMarker() { endMarker_ = false; return *this; }
  // Writes this record size instead of the true one.
  AliasRecordWriter& RecordSize(std::uint16_t size) { sizeOverride_ = size; sizeSet_ = true; return *this; }
  // Bytes after the record, as some applications store their own data there.
  AliasRecordWriter& Trailer(std::string bytes) { trailer_ = std::move(bytes); return *this; }

  std::string Bytes() const {
    std::string out;
    Put32(out, 0);  // user type
    Put16(out, 0);  // record size, filled in below
    Put16(out, version_);
    Put16(out, kind_);
    if (version_ == 2) {
      PutPString(out, volumeName_, 28);
      Put32(out, 0xB5A1C3D2u);   // volume creation date
      out += "H+";               // file system signature
      Put16(out, 0);             // drive type: fixed
      Put32(out, parentID_);
      PutPString(out, fileName_, 64);
      Put32(out, 0x00001234u);   // file number
      Put32(out, 0xB5A1C3D3u);   // file creation date
      out += Four(type_);
      out += Four(creator_);
      Put16(out, 0xFFFF);        // levels from
      Put16(out, 0xFFFF);        // levels to
      Put32(out, 0);             // volume attributes
      Put16(out, 0);             // volume file system ID
      out.append(10, '\0');      // reserved
    } else {
      out.append(8, '\x01');     // volume date
      out.append("H+\0\0", 4);     // file system type
      Put16(out, 0);             // drive type
      Put32(out, parentID_);
      Put32(out, 0x00001234u);   // file number
      out.append(8, '\x02');     // file date
      Put32(out, 0);             // volume attributes
      out.append(14, '\0');      // reserved
    }
    for (const auto& [tag, data] : tags_) {
      Put16(out, static_cast<std::uint16_t>(tag));
      Put16(out, static_cast<std::uint16_t>(data.size()));
      out += data;
      if (data.size() % 2 == 1) out.push_back('\0');
    }
    if (endMarker_) {
      Put16(out, 0xFFFF);
      Put16(out, 0);
    }
    const std::uint16_t size = sizeSet_ ? sizeOverride_ : static_cast<std::uint16_t>(out.size());
    out[4] = static_cast<char>(size >> 8);
    out[5] = static_cast<char>(size & 0xFF);
    return out + trailer_;
  }

  static constexpr std::size_t kVersion2TagsStart = 150;
  static constexpr std::size_t kVersion3TagsStart = 58;

 private:
  AliasRecordWriter(std::uint16_t version, std::uint16_t kind) : version_(version), kind_(kind) {}

  static void Put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v & 0xFF));
  }
  static void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v >> 16));
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  }
  static void PutPString(std::string& out, const std::string& s, std::size_t field) {
    const std::size_t length = s.size() < field ? s.size() : field - 1;
    out.push_back(static_cast<char>(length));
    out += s.substr(0, length);
    out.append(field - 1 - length, '\0');
  }
  static std::string Four(std::string s) {
    s.resize(4, ' ');
    return s;
  }

  std::uint16_t version_;
  std::uint16_t kind_;
  std::string volumeName_;
  std::string fileName_;
  std::uint32_t parentID_ = 0x0000ABCDu;
  std::string type_ = "????";
  std::string creator_ = "????";
  std::vector<std::pair<std::int16_t, std::string>> tags_;
  bool endMarker_ = true;
  std::uint16_t sizeOverride_ = 0;
  bool sizeSet_ = false;
  std::string trailer_;
};

// A colon path as newer systems write tag 2: a zero byte after every colon
// but the first.
inline std::string WithNulsAfterColons(const std::string& path) {
  std::string out;
  bool first = true;
  for (char c : path) {
    out.push_back(c);
    if (c != ':') continue;
    if (!first) out.push_back('\0');
    first = false;
  }
  return out;
}

}  // namespace testsupport
