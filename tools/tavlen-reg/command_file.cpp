// import FILE.reg
// export KEY FILE [/y]
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/posix/registry_transaction.h"
#include "tools/tavlen-reg/command_line.h"
#include "tools/tavlen-reg/commands.h"
#include "tools/tavlen-reg/registry_access.h"
#include "tools/tavlen-reg/text_encoding.h"

namespace tavlen::reg {

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  bytes = content.str();
  return !in.bad();
}

// Writes beside the target and renames, so a failed export leaves any old
// file as it was.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

// The key and everything below it as edits: the key, its values, then its
// sub keys in enumeration order.
LONG CollectTree(const KeyPath& key, std::vector<RegEdit>& edits) {
  std::vector<RegEdit> values;
  std::vector<std::string> subKeys;
  if (LONG result = ReadKey(key, values, subKeys)) return result;
  RegEdit create;
  create.kind = RegEdit::Kind::kCreateKey;
  create.key = key;
  edits.push_back(create);
  for (RegEdit& value : values) edits.push_back(std::move(value));
  for (const std::string& name : subKeys) {
    KeyPath child = key;
    child.subKey = key.subKey.empty() ? name : key.subKey + "\\" + name;
    if (LONG result = CollectTree(child, edits)) return result;
  }
  return ERROR_SUCCESS;
}

}  // namespace

int ImportCommand(const std::vector<std::string>& args) {
  Arguments parsed;
  std::string error;
  if (!ParseArguments(args, {}, {}, parsed, error)) return Fail(error);
  if (parsed.positional.size() != 1) return Fail("import needs exactly one file: import FILE.reg");
  const std::string& path = parsed.positional[0];
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return Fail("cannot read " + path);

  RegFile file;
  int line = 0;
  if (!ParseRegFile(bytes, file, line, error)) {
    return Fail(path + ":" + std::to_string(line) + ": " + error + "; nothing was imported");
  }
  tavlen::posix::RegistryTransaction transaction;
  if (LONG result = transaction.Status()) return Fail(ErrorText(result) + "; nothing was imported");
  for (const RegEdit& edit : file.edits) {
    if (LONG result = ApplyEdit(edit)) {
      return Fail(path + ":" + std::to_string(edit.line) + ": " + ToTerminal(edit.key.FullName()) + ": " +
                  ErrorText(result) + "; nothing was imported");
    }
  }
  if (LONG result = transaction.Commit()) return Fail(ErrorText(result) + "; nothing was imported");
  return Succeed();
}

int ExportCommand(const std::vector<std::string>& args) {
  Arguments parsed;
  std::string error;
  if (!ParseArguments(args, {"y"}, {}, parsed, error)) return Fail(error);
  if (parsed.positional.size() != 2) return Fail("export needs a key and a file: export KEY FILE [/y]");
  KeyPath key;
  if (!KeyArgument(parsed.positional[0], key, error)) return Fail(error);
  const std::string& path = parsed.positional[1];

  std::vector<RegEdit> edits;
  {
    // One transaction: the file shows the tree as it was at one moment.
    tavlen::posix::RegistryTransaction snapshot;
    if (LONG result = snapshot.Status()) return Fail(ErrorText(result));
    if (LONG result = CollectTree(key, edits)) return Fail(ToTerminal(key.FullName()) + ": " + ErrorText(result));
  }
  if (!parsed.Has("y") && access(path.c_str(), F_OK) == 0 &&
      !Confirm("File " + path + " already exists. Overwrite")) {
    return Fail("the file was not overwritten (use /y to overwrite without asking)");
  }
  if (!WriteWholeFile(path, WriteRegFile(edits))) return Fail("cannot write " + path);
  return Succeed();
}

}  // namespace tavlen::reg
