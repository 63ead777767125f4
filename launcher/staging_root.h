#pragma once
// The staging directory this run made, held open for the whole run. The
// handle shares no delete access, so nobody can rename or delete the
// directory while it is open, and its path keeps naming it; the clean-up
// still checks that before it deletes anything.
#include <windows.h>

#include <optional>
#include <string>

#include "common/core/result.h"
#include "common/win_resources.h"
#include "launcher/core/staging_rules.h"
#include "launcher/staging_security.h"

namespace launcher {

class StagingRoot {
 public:
  // Makes the directory `path` (its parent must exist, it must not) with
  // the staging directory's security, and opens it in the same step: the
  // handle is to the directory just made, whatever happens to the name.
  // The error is the system's (ERROR_ALREADY_EXISTS when the name is taken).
  static rav::Result<StagingRoot> Create(const std::string& path, const StagingSecurity& security);

  const std::string& path() const { return path_; }
  const DirectoryIdentity& identity() const { return identity_; }

  // Why `path` no longer names this directory (it is a link now, or
  // another directory), or nothing when it still does.
  std::optional<std::string> Changed() const;

  // Lets go of the directory, so that it can be deleted.
  void Release() { handle_.reset(); }

 private:
  std::string path_;
  rav::UniqueHandle handle_;
  DirectoryIdentity identity_;
};

}  // namespace launcher
