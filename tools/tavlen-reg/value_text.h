// Value types and data as reg.exe shows and takes them on the command line.
#pragma once

#include <string>

#include "platform/win32.h"

namespace tavlen::reg {

// "REG_SZ" and so on; other types as "REG_0x<hex>".
std::string TypeName(DWORD type);
// The type for a name given with /t (any letter case); false when unknown
// or not one add can write.
bool TypeFromName(const std::string& name, DWORD& type);

// The data as query shows it: texts as they are, multi-strings joined with
// "\0", numbers in hex with 0x, anything else as hex digits.
std::string DataText(DWORD type, const std::string& data);
// The bytes for /d text of a type (numbers decimal or 0x hex, binary as hex
// digits, multi-strings split at the separator); false with a message.
bool DataFromText(DWORD type, const std::string& text, const std::string& separator, std::string& data,
                  std::string& error);

}  // namespace tavlen::reg
