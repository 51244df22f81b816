#include "tests/dialog/dialog_template.h"

#include <cstring>

namespace {

class Reader {
 public:
  Reader(const BYTE* data, std::size_t size) : m_data(data), m_size(size) {}
  template <typename T>
  T Read() {
    T value{};
    if (m_offset + sizeof(T) <= m_size) std::memcpy(&value, m_data + m_offset, sizeof(T));
    m_offset += sizeof(T);
    return value;
  }
  // sz_Or_Ord: 0 (none), 0xFFFF and an ordinal, or a zero-terminated UTF-16 text.
  std::wstring TextOrOrdinal() {
    const WORD first = Read<WORD>();
    if (first == 0) return std::wstring();
    if (first == 0xFFFF) {
      wchar_t ordinal[8];
      swprintf(ordinal, 8, L"#%04X", Read<WORD>());
      return ordinal;
    }
    std::wstring text(1, static_cast<wchar_t>(first));
    for (WORD c = Read<WORD>(); c != 0 && m_offset <= m_size; c = Read<WORD>()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignTo4() { m_offset = (m_offset + 3) & ~static_cast<std::size_t>(3); }
  void Skip(std::size_t bytes) { m_offset += bytes; }
  bool Ok() const { return m_offset <= m_size; }

 private:
  const BYTE* m_data;
  std::size_t m_size;
  std::size_t m_offset = 0;
};

}  // namespace

bool LoadDialogTemplateEx(int resourceId, DialogTemplate& result) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(5));  // RT_DIALOG
  if (found == nullptr) return false;
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  Reader reader(data, SizeofResource(module, found));
  if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF) return false;
  reader.Read<DWORD>();  // help id
  result.exStyle = reader.Read<DWORD>();
  result.style = reader.Read<DWORD>();
  const WORD count = reader.Read<WORD>();
  reader.Skip(4);  // x, y
  result.width = reader.Read<short>();
  result.height = reader.Read<short>();
  reader.TextOrOrdinal();  // menu
  reader.TextOrOrdinal();  // class
  result.caption = reader.TextOrOrdinal();
  if (result.style & DS_SETFONT) {
    result.fontPoints = reader.Read<WORD>();
    reader.Skip(4);  // weight, italic, charset
    result.fontName = reader.TextOrOrdinal();
  }
  for (WORD i = 0; i < count && reader.Ok(); ++i) {
    reader.AlignTo4();
    TemplateItem item;
    reader.Read<DWORD>();  // help id
    item.exStyle = reader.Read<DWORD>();
    item.style = reader.Read<DWORD>();
    item.x = reader.Read<short>();
    item.y = reader.Read<short>();
    item.width = reader.Read<short>();
    item.height = reader.Read<short>();
    item.id = static_cast<int>(reader.Read<DWORD>());
    item.className = reader.TextOrOrdinal();
    item.text = reader.TextOrOrdinal();
    reader.Skip(reader.Read<WORD>());  // creation data
    result.items.push_back(item);
  }
  return reader.Ok();
}
