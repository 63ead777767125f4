#include "coinstaller/core/account_names.h"

#include "common/core/ascii_case.h"

namespace coinstaller {

std::optional<std::string> QualifiedAccountName(std::string_view domain, std::string_view name,
                                                std::size_t bufferChars) {
  std::string qualified(domain);
  qualified.append("\\").append(name);
  if (qualified.size() >= bufferChars) return std::nullopt;
  return qualified;
}

bool OwnerIsUser(std::string_view owner, std::string_view user) {
  return !owner.empty() && rav::EqualIgnoringAsciiCase(owner, user);
}

}  // namespace coinstaller
