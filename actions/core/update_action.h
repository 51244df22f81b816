// The base of every install action: an attribute list (names with parallel
// values) loaded from the manifest element and mirrored into the typed fields
// of each action type, the skip flag of "skiperr", and the Execute convention.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TiXmlElement;

class UpdateAction {
 public:
  virtual ~UpdateAction();

  // Records the skip flag as "skiperr"; each type then resets its typed fields
  // and declares its attributes with their defaults.
  virtual void ResetAttributes();
  // A copy of the value of the named attribute ("skiperror" means "skiperr"),
  // or the empty text.
  virtual std::string GetAttribute(const std::string& name) const;
  // Each type first applies the attribute to its typed fields, then calls the
  // base, which stores the environment-expanded value. Always true.
  virtual bool SetAttribute(const std::string& name, const std::string& value);
  // SetAttribute for every pair of the list, first to last.
  virtual void ApplyAttributes();
  // The type's work: true to go on with the package, false to stop it.
  virtual bool Execute();
  // A new action of the same type in its constructed state.
  virtual std::unique_ptr<UpdateAction> Clone() const;

  // Replaces the list by the comma-separated names with their defaults.
  bool DeclareAttributes(const std::string& namesText, const std::string& defaultsText);
  // Reads every listed attribute from the element; false without an element.
  bool LoadFromElement(const TiXmlElement* element);
  // Replaces "${this_file}" in every value by the package's local file.
  void SubstituteThisFile(const std::string& localPath);

  const std::string& Type() const { return m_szType; }
  const std::vector<std::string>& AttributeNames() const { return m_attrNames; }
  const std::vector<std::string>& AttributeValues() const { return m_attrValues; }
  bool SkipError() const { return m_bSkipError; }

 protected:
  explicit UpdateAction(std::string typeName);

  // The key an action type compares its attribute names with: the name in
  // lower case with surrounding white space removed.
  static std::string AttributeKey(const std::string& name);
  // Logs the description, when there is one, on the status line.
  void LogDescription() const;
  // The result of a failing Execute: go on only when "skiperr" is set.
  bool Fail() const { return m_bSkipError; }

  std::vector<std::string> m_attrNames;
  std::string m_szDescription;
  std::vector<std::string> m_attrValues;
  bool m_bSkipError = false;
  std::string m_szType;
};

// Defines Clone for an action type whose constructor takes no arguments: a new
// object that takes the type name and skip flag of this one, then resets and
// re-applies its attributes.
#define TAVLEN_ACTION_CLONE(ActionClass)                                   \
  std::unique_ptr<UpdateAction> Clone() const override {                   \
    auto copy = std::make_unique<ActionClass>();                           \
    copy->m_szType = m_szType;                                             \
    copy->m_bSkipError = m_bSkipError;                                     \
    copy->ResetAttributes();                                               \
    copy->ApplyAttributes();                                               \
    return copy;                                                           \
  }
