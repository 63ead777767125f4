#pragma once
// Who may change the staging directory. Setup.exe runs elevated (the
// platform's installer detection elevates a program of that name), while
// the temporary directory is the user's, where every unelevated program of
// the user may write: the staging directory gets a DACL of its own instead
// of the temporary directory's, so that none of them can change what the
// run starts or deletes.
#include <windows.h>

#include <vector>

#include "common/core/result.h"

namespace launcher {

class StagingSecurity {
 public:
  // For `token` (null: this process's). Elevated (Administrators is an
  // enabled group of the token): full control for SYSTEM and
  // Administrators, read and execute for the user, owner Administrators.
  // Not elevated: the user owns the directory and has full control too, as
  // the run itself must fill and empty it (and an unelevated run has no
  // rights to keep from the user's other programs).
  static rav::Result<StagingSecurity> For(HANDLE token);

  // The staging directory's own: the owner and a protected DACL (the
  // temporary directory's entries do not flow in) whose entries every file
  // and directory made below it inherits.
  SECURITY_ATTRIBUTES Directory() const { return Attributes(directory_); }
  // For what is made below it: the owner only, the DACL inherited.
  SECURITY_ATTRIBUTES Inside() const { return Attributes(inside_); }
  bool elevated() const { return elevated_; }

 private:
  static SECURITY_ATTRIBUTES Attributes(const std::vector<BYTE>& descriptor) {
    return {sizeof(SECURITY_ATTRIBUTES), const_cast<BYTE*>(descriptor.data()), FALSE};
  }

  // Self-relative descriptors: they hold their SIDs and ACL, so the object
  // moves freely.
  std::vector<BYTE> directory_;
  std::vector<BYTE> inside_;
  bool elevated_ = false;
};

}  // namespace launcher
