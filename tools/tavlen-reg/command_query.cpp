// query KEY [/v NAME | /ve] [/s]
#include <cstdio>

#include "tools/tavlen-reg/command_line.h"
#include "tools/tavlen-reg/commands.h"
#include "tools/tavlen-reg/registry_access.h"
#include "tools/tavlen-reg/text_encoding.h"
#include "tools/tavlen-reg/value_text.h"

namespace tavlen::reg {

namespace {

void PrintValue(const RegEdit& value) {
  const std::string name = value.name.empty() ? "(Default)" : value.name;
  std::printf("    %s    %s    %s\n", ToTerminal(name).c_str(), TypeName(value.type).c_str(),
              ToTerminal(DataText(value.type, value.data)).c_str());
}

// Prints one key with its values; with recursive, every key below it too.
LONG PrintKey(const KeyPath& key, bool recursive) {
  std::vector<RegEdit> values;
  std::vector<std::string> subKeys;
  if (LONG result = ReadKey(key, values, subKeys)) return result;
  std::printf("\n%s\n", ToTerminal(key.FullName()).c_str());
  for (const RegEdit& value : values) PrintValue(value);
  if (!recursive) {
    if (!subKeys.empty()) std::printf("\n");
    for (const std::string& name : subKeys) std::printf("%s\\%s\n", ToTerminal(key.FullName()).c_str(), ToTerminal(name).c_str());
    return ERROR_SUCCESS;
  }
  for (const std::string& name : subKeys) {
    KeyPath child = key;
    child.subKey = key.subKey.empty() ? name : key.subKey + "\\" + name;
    if (LONG result = PrintKey(child, true)) return result;
  }
  return ERROR_SUCCESS;
}

}  // namespace

int QueryCommand(const std::vector<std::string>& args) {
  Arguments parsed;
  std::string error;
  if (!ParseArguments(args, {"ve", "s"}, {"v"}, parsed, error)) return Fail(error);
  if (parsed.positional.size() != 1) return Fail("query needs exactly one key: query KEY [/v NAME | /ve] [/s]");
  if (parsed.Has("v") && parsed.Has("ve")) return Fail("/v and /ve cannot be used together");
  KeyPath key;
  if (!KeyArgument(parsed.positional[0], key, error)) return Fail(error);

  if (!parsed.Has("v") && !parsed.Has("ve")) {
    if (LONG result = PrintKey(key, parsed.Has("s"))) return Fail(key.FullName() + ": " + ErrorText(result));
    return 0;
  }
  const std::string name = parsed.Has("v") ? FromTerminal(parsed.Value("v")) : std::string();
  RegEdit value;
  const LONG result = ReadValue(key, name, value);
  if (result == ERROR_FILE_NOT_FOUND) {
    return Fail("the key or its value " + (name.empty() ? std::string("(Default)") : ToTerminal(name)) +
                " does not exist: " + ToTerminal(key.FullName()));
  }
  if (result != ERROR_SUCCESS) return Fail(key.FullName() + ": " + ErrorText(result));
  std::printf("\n%s\n", ToTerminal(key.FullName()).c_str());
  PrintValue(value);
  return 0;
}

}  // namespace tavlen::reg
