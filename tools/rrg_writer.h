// Writes Cardfile files of the "RRG" kind, for the tests and the bundled
// sample: text cards, cards with a picture (a static OLE object), and cards
// with an embedded or a linked object, laid out as Microsoft's knowledge-base
// article "Windows 3.1 Card File Format" describes them. Tessel only reads
// these files; this writer exists so that the reader meets every card shape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessel::tools {

enum class RrgObject { None, Picture, Embedded, Linked };

struct RrgCard {
  std::string index;  // at most 40 bytes are written
  std::string text;   // Windows-1252
  RrgObject object = RrgObject::None;
};

namespace rrg_detail {

inline void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A 32-bit size, then the bytes.
inline void PutCounted(std::string& out, const std::string& bytes) {
  Put32(out, static_cast<uint32_t>(bytes.size()));
  out += bytes;
}

// A name as OLE 1 stores it: its size with the closing zero byte, then both.
inline void PutName(std::string& out, const std::string& name) {
  PutCounted(out, name.empty() ? std::string() : name + '\0');
}

// An 8 x 8 black-and-white bitmap with its header and palette: a picture
// small enough for a test file.
inline std::string TinyDib() {
  std::string dib;
  Put32(dib, 40);  // header size
  Put32(dib, 8);   // width
  Put32(dib, 8);   // height
  Put16(dib, 1);   // planes
  Put16(dib, 1);   // bits per pixel
  for (int i = 0; i < 6; ++i) Put32(dib, 0);
  Put32(dib, 0x000000);
  Put32(dib, 0xFFFFFF);
  for (int row = 0; row < 8; ++row) Put32(dib, row % 2 ? 0xAA : 0x55);
  return dib;
}

constexpr uint32_t kOleVersion = 0x0501;

inline void PutObject(std::string& out, RrgObject kind) {
  Put32(out, kOleVersion);
  switch (kind) {
    case RrgObject::Picture:
      Put32(out, 3);  // static
      PutName(out, "DIB");
      Put32(out, 212);  // width and height in 0.01 mm
      Put32(out, 212);
      PutCounted(out, TinyDib());
      return;
    case RrgObject::Embedded:
      Put32(out, 2);
      PutName(out, "SoundRec");
      PutName(out, "");
      PutName(out, "");
      PutCounted(out, std::string("RIFF\x04\0\0\0WAVE", 12));  // native data
      // Its icon, as a metafile picture.
      Put32(out, kOleVersion);
      Put32(out, 5);
      PutName(out, "METAFILEPICT");
      Put32(out, 846);
      Put32(out, 846);
      PutCounted(out, std::string(24, '\x01'));
      return;
    case RrgObject::Linked:
      Put32(out, 1);
      PutName(out, "ExcelWorksheet");
      PutName(out, "C:\\BUDGET.XLS");
      PutName(out, "R1C1:R4C3");
      PutName(out, "");  // network name
      Put32(out, 0);     // network type
      Put32(out, 1);     // link update options
      Put32(out, kOleVersion);
      Put32(out, 0);  // no picture to show
      return;
    case RrgObject::None:
      return;
  }
}

}  // namespace rrg_detail

// The file: "RRG", the last object's id, a 16-bit card count, 52-byte index
// entries from offset 9 (six zero bytes, the data position, a flag byte, 40
// index bytes, a zero byte), then each card's data: a 16-bit object flag;
// when set, a 32-bit object id, the object, the character size, the object's
// rectangle and its type; then a 16-bit text length and the text.
inline std::string RrgBytes(const std::vector<RrgCard>& cards) {
  using namespace rrg_detail;
  std::string data;
  std::vector<uint32_t> positions;
  const uint32_t first = static_cast<uint32_t>(9 + 52 * cards.size());
  uint32_t objectId = 0;
  for (const RrgCard& c : cards) {
    positions.push_back(first + static_cast<uint32_t>(data.size()));
    if (c.object == RrgObject::None) {
      Put16(data, 0);
    } else {
      Put16(data, 1);
      Put32(data, ++objectId);
      PutObject(data, c.object);
      Put16(data, 8);   // character width
      Put16(data, 16);  // character height
      for (uint32_t v : {10u, 10u, 90u, 60u}) Put16(data, v);
      Put16(data, c.object == RrgObject::Picture ? 2 : c.object == RrgObject::Linked ? 1 : 0);
    }
    Put16(data, static_cast<uint32_t>(c.text.size()));
    data += c.text;
  }
  std::string out = "RRG";
  Put32(out, objectId);
  Put16(out, static_cast<uint32_t>(cards.size()));
  for (std::size_t k = 0; k < cards.size(); ++k) {
    out += std::string(6, '\0');
    Put32(out, positions[k]);
    out += '\0';
    const std::string index = cards[k].index.substr(0, 40);
    out += index + std::string(41 - index.size(), '\0');
  }
  return out + data;
}

}  // namespace tessel::tools
