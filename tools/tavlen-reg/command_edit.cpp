// add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]
// delete KEY [/v NAME | /ve | /va] [/f]
#include "platform/posix/registry_transaction.h"
#include "tools/tavlen-reg/command_line.h"
#include "tools/tavlen-reg/commands.h"
#include "tools/tavlen-reg/registry_access.h"
#include "tools/tavlen-reg/text_encoding.h"
#include "tools/tavlen-reg/value_text.h"

namespace tavlen::reg {

namespace {

std::string ShownName(const std::string& name) { return name.empty() ? "(Default)" : ToTerminal(name); }

// Applies the edits in one transaction: all of them or none.
int ApplyAll(const std::vector<RegEdit>& edits) {
  tavlen::posix::RegistryTransaction transaction;
  if (LONG result = transaction.Status()) return Fail(ErrorText(result));
  for (const RegEdit& edit : edits) {
    if (LONG result = ApplyEdit(edit)) return Fail(ToTerminal(edit.key.FullName()) + ": " + ErrorText(result));
  }
  if (LONG result = transaction.Commit()) return Fail(ErrorText(result));
  return Succeed();
}

}  // namespace

int AddCommand(const std::vector<std::string>& args) {
  Arguments parsed;
  std::string error;
  if (!ParseArguments(args, {"ve", "f"}, {"v", "t", "s", "d"}, parsed, error)) return Fail(error);
  if (parsed.positional.size() != 1) {
    return Fail("add needs exactly one key: add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]");
  }
  if (parsed.Has("v") && parsed.Has("ve")) return Fail("/v and /ve cannot be used together");
  KeyPath key;
  if (!KeyArgument(parsed.positional[0], key, error)) return Fail(error);

  RegEdit edit;
  edit.key = key;
  if (!parsed.Has("v") && !parsed.Has("ve")) {
    if (parsed.Has("t") || parsed.Has("d") || parsed.Has("s")) return Fail("/t, /d and /s need /v NAME or /ve");
    edit.kind = RegEdit::Kind::kCreateKey;
    return ApplyAll({edit});
  }
  edit.kind = RegEdit::Kind::kSetValue;
  edit.name = FromTerminal(parsed.Value("v"));
  edit.type = REG_SZ;
  if (parsed.Has("t") && !TypeFromName(parsed.Value("t"), edit.type)) {
    return Fail("unknown type " + parsed.Value("t") +
                ": use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD, REG_BINARY or REG_NONE");
  }
  if (parsed.Has("s") && edit.type != REG_MULTI_SZ) return Fail("/s is only for REG_MULTI_SZ");
  const std::string separator = parsed.Has("s") ? FromTerminal(parsed.Value("s")) : std::string("\\0");
  if (!DataFromText(edit.type, FromTerminal(parsed.Value("d")), separator, edit.data, error)) return Fail(error);

  RegEdit existing;
  if (!parsed.Has("f") && ReadValue(key, edit.name, existing) == ERROR_SUCCESS &&
      !Confirm("Value " + ShownName(edit.name) + " exists, overwrite")) {
    return Fail("the value was not overwritten (use /f to overwrite without asking)");
  }
  return ApplyAll({edit});
}

int DeleteCommand(const std::vector<std::string>& args) {
  Arguments parsed;
  std::string error;
  if (!ParseArguments(args, {"ve", "va", "f"}, {"v"}, parsed, error)) return Fail(error);
  if (parsed.positional.size() != 1) return Fail("delete needs exactly one key: delete KEY [/v NAME | /ve | /va] [/f]");
  if (parsed.Has("v") + parsed.Has("ve") + parsed.Has("va") > 1) return Fail("use only one of /v, /ve and /va");
  KeyPath key;
  if (!KeyArgument(parsed.positional[0], key, error)) return Fail(error);
  if (LONG result = OpenCheck(key)) return Fail(ToTerminal(key.FullName()) + ": " + ErrorText(result));

  std::vector<RegEdit> edits;
  std::string question;
  if (parsed.Has("v") || parsed.Has("ve")) {
    RegEdit edit;
    edit.kind = RegEdit::Kind::kDeleteValue;
    edit.key = key;
    edit.name = FromTerminal(parsed.Value("v"));
    if (LONG result = ReadValue(key, edit.name, edit)) {
      return Fail("the value " + ShownName(edit.name) + ": " + ErrorText(result));
    }
    edit.kind = RegEdit::Kind::kDeleteValue;
    edits.push_back(edit);
    question = "Delete the registry value " + ShownName(edit.name);
  } else if (parsed.Has("va")) {
    std::vector<std::string> subKeys;
    if (LONG result = ReadKey(key, edits, subKeys)) return Fail(ErrorText(result));
    for (RegEdit& edit : edits) edit.kind = RegEdit::Kind::kDeleteValue;
    question = "Delete all values under the registry key " + ToTerminal(key.FullName());
  } else {
    if (key.subKey.empty()) return Fail("a root key cannot be deleted");
    RegEdit edit;
    edit.kind = RegEdit::Kind::kDeleteKey;
    edit.key = key;
    edits.push_back(edit);
    question = "Permanently delete the registry key " + ToTerminal(key.FullName());
  }
  if (!parsed.Has("f") && !Confirm(question)) return Fail("nothing was deleted (use /f to delete without asking)");
  return ApplyAll(edits);
}

}  // namespace tavlen::reg
