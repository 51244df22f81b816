// The contents of a .reg file as a list of edits, in file order. Texts are
// code page 936 bytes, value data the registry's own bytes.
#pragma once

#include <string>
#include <vector>

#include "tools/tavlen-reg/key_path.h"

namespace tavlen::reg {

enum class RegFileFormat {
  kRegedit4,   // "REGEDIT4", code page 936 bytes
  kVersion5,   // "Windows Registry Editor Version 5.00", UTF-16LE or UTF-8
};

struct RegEdit {
  enum class Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind = Kind::kCreateKey;
  KeyPath key;
  std::string name;  // value name, empty for the default value
  DWORD type = REG_NONE;
  std::string data;
  int line = 0;  // where the edit was written, for messages
};

struct RegFile {
  RegFileFormat format = RegFileFormat::kRegedit4;
  std::vector<RegEdit> edits;
};

// Parses a whole .reg file. On failure returns false with the 1-based line
// number and a message; nothing of the file is to be applied then.
bool ParseRegFile(const std::string& bytes, RegFile& file, int& errorLine, std::string& error);

// A REGEDIT4 file (code page 936 bytes, CR LF line ends) for the edits; each
// value is written so that parsing it back gives the same type and bytes.
std::string WriteRegFile(const std::vector<RegEdit>& edits);

}  // namespace tavlen::reg
