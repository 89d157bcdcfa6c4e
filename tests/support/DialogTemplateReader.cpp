#include "DialogTemplateReader.h"

#include <cstring>
#include <stdexcept>

namespace {

class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t>& data) : bytes(data) {}

  template <class T>
  T Read() {
    Need(sizeof(T));
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    offset += sizeof(T);
    return value;
  }
  std::wstring ReadText() {
    std::wstring text;
    for (uint16_t unit = Read<uint16_t>(); unit != 0; unit = Read<uint16_t>()) text.push_back(wchar_t(unit));
    return text;
  }
  // A name or an ordinal: 0 = none, 0xFFFF = an ordinal follows, else a text.
  void ReadNameOrOrdinal(uint16_t& ordinal, std::wstring& name) {
    const uint16_t first = Read<uint16_t>();
    if (first == 0xFFFF) {
      ordinal = Read<uint16_t>();
    } else if (first != 0) {
      name.push_back(wchar_t(first));
      name += ReadText();
    }
  }
  void AlignToDword() { offset = (offset + 3) & ~size_t(3); }
  void Skip(size_t count) {
    Need(count);
    offset += count;
  }

 private:
  void Need(size_t count) const {
    if (offset + count > bytes.size()) throw std::runtime_error("dialog template ends early");
  }
  const std::vector<uint8_t>& bytes;
  size_t offset = 0;
};

}  // namespace

DialogTemplate ReadDialogTemplate(const std::vector<uint8_t>& bytes) {
  Cursor in(bytes);
  DialogTemplate dialog;
  if (in.Read<uint16_t>() != 1 || in.Read<uint16_t>() != 0xFFFF) throw std::runtime_error("not an extended template");
  in.Read<uint32_t>();  // help ID
  dialog.exStyle = in.Read<uint32_t>();
  dialog.style = in.Read<uint32_t>();
  const uint16_t count = in.Read<uint16_t>();
  dialog.x = in.Read<int16_t>();
  dialog.y = in.Read<int16_t>();
  dialog.cx = in.Read<int16_t>();
  dialog.cy = in.Read<int16_t>();
  uint16_t ordinal = 0;
  std::wstring name;
  in.ReadNameOrOrdinal(ordinal, name);  // menu
  in.ReadNameOrOrdinal(ordinal, name);  // class
  dialog.caption = in.ReadText();
  if (dialog.style & 0x40 /* DS_SETFONT */) {
    dialog.pointSize = in.Read<uint16_t>();
    dialog.weight = in.Read<uint16_t>();
    dialog.italic = in.Read<uint8_t>();
    dialog.charset = in.Read<uint8_t>();
    dialog.typeface = in.ReadText();
  }
  for (uint16_t i = 0; i < count; ++i) {
    in.AlignToDword();
    DialogItemTemplate item;
    in.Read<uint32_t>();  // help ID
    in.Read<uint32_t>();  // extended style
    item.style = in.Read<uint32_t>();
    item.x = in.Read<int16_t>();
    item.y = in.Read<int16_t>();
    item.cx = in.Read<int16_t>();
    item.cy = in.Read<int16_t>();
    item.id = in.Read<uint32_t>();
    in.ReadNameOrOrdinal(item.classAtom, item.className);
    uint16_t textOrdinal = 0;
    in.ReadNameOrOrdinal(textOrdinal, item.text);
    in.Skip(in.Read<uint16_t>());  // creation data
    dialog.items.push_back(item);
  }
  return dialog;
}
