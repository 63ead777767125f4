#include "uninstaller/services/core/join_path.h"

#include <algorithm>

namespace ravuninst {

void JoinPath(std::u16string& base, std::u16string_view part) {
  std::replace(base.begin(), base.end(), u'/', u'\\');
  if (part.empty()) return;
  const bool partStartsWithSlash = part.front() == u'\\';
  if (!base.empty() && base.back() == u'\\') {
    if (partStartsWithSlash) base.pop_back();
  } else if (!base.empty() && !partStartsWithSlash) {
    base.push_back(u'\\');
  }
  base.append(part);
}

}  // namespace ravuninst
