#include "tools/tavlen-reg/value_text.h"

#include <strings.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tavlen::reg {

namespace {

struct TypeEntry {
  const char* name;
  DWORD type;
  bool writable;
};

const TypeEntry kTypes[] = {
    {"REG_NONE", REG_NONE, true},       {"REG_SZ", REG_SZ, true},       {"REG_EXPAND_SZ", REG_EXPAND_SZ, true},
    {"REG_BINARY", REG_BINARY, true},   {"REG_DWORD", REG_DWORD, true}, {"REG_DWORD_BIG_ENDIAN", 5, false},
    {"REG_LINK", REG_LINK, false},      {"REG_MULTI_SZ", REG_MULTI_SZ, true}, {"REG_QWORD", REG_QWORD, true},
};

uint64_t LittleEndian(const std::string& data) {
  uint64_t value = 0;
  for (std::size_t i = data.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(data[i]);
  return value;
}

std::string HexDigits(const std::string& data) {
  std::string out;
  char pair[4];
  for (char c : data) {
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(c));
    out += pair;
  }
  return out;
}

bool ParseNumber(const std::string& text, uint64_t limit, uint64_t& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoull(text.c_str(), &end, 0);
  return errno == 0 && *end == '\0' && value <= limit;
}

}  // namespace

std::string TypeName(DWORD type) {
  for (const TypeEntry& entry : kTypes) {
    if (entry.type == type) return entry.name;
  }
  char text[24];
  std::snprintf(text, sizeof text, "REG_0x%x", static_cast<unsigned>(type));
  return text;
}

bool TypeFromName(const std::string& name, DWORD& type) {
  for (const TypeEntry& entry : kTypes) {
    if (entry.writable && strcasecmp(entry.name, name.c_str()) == 0) {
      type = entry.type;
      return true;
    }
  }
  return false;
}

std::string DataText(DWORD type, const std::string& data) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return data.substr(0, data.find('\0'));
    case REG_MULTI_SZ: {
      std::string out;
      std::size_t start = 0;
      while (start < data.size() && data[start] != '\0') {
        std::size_t end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        if (!out.empty()) out += "\\0";
        out += data.substr(start, end - start);
        start = end + 1;
      }
      return out;
    }
    case REG_DWORD:
    case REG_QWORD:
      if (data.size() == (type == REG_DWORD ? 4u : 8u)) {
        char text[24];
        std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(LittleEndian(data)));
        return text;
      }
      return HexDigits(data);
    default:
      return HexDigits(data);
  }
}

bool DataFromText(DWORD type, const std::string& text, const std::string& separator, std::string& data,
                  std::string& error) {
  data.clear();
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      data = text + '\0';
      return true;
    case REG_MULTI_SZ: {
      if (separator.empty()) {
        error = "the separator given with /s is empty";
        return false;
      }
      std::size_t start = 0;
      while (!text.empty() && start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        data += text.substr(start, end - start) + '\0';
        start = end + separator.size();
      }
      data += '\0';
      return true;
    }
    case REG_DWORD:
    case REG_QWORD: {
      const int size = type == REG_DWORD ? 4 : 8;
      uint64_t value = 0;
      if (!text.empty() && !ParseNumber(text, type == REG_DWORD ? 0xFFFFFFFFull : ~0ull, value)) {
        error = "\"" + text + "\" is not a number for " + TypeName(type) + " (decimal or 0x hex)";
        return false;
      }
      for (int i = 0; i < size; ++i) data += static_cast<char>((value >> (8 * i)) & 0xFF);
      return true;
    }
    default: {
      if (text.size() % 2 != 0) {
        error = "binary data needs pairs of hex digits";
        return false;
      }
      for (std::size_t i = 0; i < text.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = text.substr(i, 2);
        const unsigned long byte = std::strtoul(pair.c_str(), &end, 16);
        if (*end != '\0' || pair[0] == '-' || pair[0] == '+' || pair[0] == ' ') {
          error = "binary data needs pairs of hex digits";
          return false;
        }
        data += static_cast<char>(byte);
      }
      return true;
    }
  }
}

}  // namespace tavlen::reg
