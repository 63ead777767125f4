#include "coinstaller/account_names.h"

namespace coinstaller {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<std::string> QualifiedAccountName(std::string_view domain, std::string_view name,
                                                std::size_t bufferChars) {
  std::string qualified(domain);
  qualified.append("\\").append(name);
  if (qualified.size() >= bufferChars) return std::nullopt;
  return qualified;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool OwnerIsUser(std::string_view owner, std::string_view user) {
  return !owner.empty() && EqualIgnoringAsciiCase(owner, user);
}

}  // namespace coinstaller
