#include "launcher/staging.h"

#include <optional>

#include "common/ansi_text.h"
#include "common/win_resources.h"
#include "launcher/debug_print.h"
#include "launcher/directory_identity.h"
#include "launcher/staged_listing.h"
#include "launcher/tree_removal.h"

namespace launcher {
namespace {

class TreeCopier {
 public:
  TreeCopier(const StagingRoot& root, const StagingSecurity& security, std::vector<StagedEntry>& staged)
      : root_(root), inside_(security.Inside()), staged_(staged) {}

  // `relative` is the destination below the staging directory ("" for the
  // directory itself, which this run made already).
  DWORD Copy(const std::string& source, const std::string& relative) {
    const std::string destination = relative.empty() ? root_.path() : root_.path() + "\\" + relative;
    if (!relative.empty()) {
      // Fails when the name is taken: the copy never writes into a
      // directory (or through a link) it did not make.
      if (!CreateDirectoryA(destination.c_str(), &inside_)) {
        const DWORD error = GetLastError();
        DebugPrint("Failed to create directory: %s. Reason: %d", destination.c_str(), static_cast<int>(error));
        return error;
      }
      staged_.push_back({relative, true, false, 0, 0});
    }

    WIN32_FIND_DATAA entry;
    rav::UniqueFindHandle listing(FindFirstFileA((source + "\\*.*").c_str(), &entry));
    if (!listing) return 0;

    std::string entrySource;
    std::string entryRelative;
    do {
      entrySource.clear();
      entryRelative.clear();
      entrySource.append(source).append("\\").append(entry.cFileName);
      if (!relative.empty()) entryRelative.append(relative).append("\\");
      entryRelative.append(entry.cFileName);
      const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if (isDirectory) {
        if (entry.cFileName[0] == '.') {
          DebugPrint("Special directory: %s", entrySource.c_str());
          continue;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
          DebugPrint("Skipped directory link: %s", entrySource.c_str());
          continue;
        }
        const std::optional<OpenedIdentity> identity = IdentityOfPath(rav::AnsiToWide(entrySource));
        if (identity && identity->identity == root_.identity()) {
          DebugPrint("Skipped staging directory: %s", entrySource.c_str());
          continue;
        }
        DebugPrint("Source Directory: %s", entrySource.c_str());
        const DWORD result = Copy(entrySource, entryRelative);
        if (result != 0) return result;
      } else {
        const std::string entryDestination = root_.path() + "\\" + entryRelative;
        // Fail if it exists: a name someone took meanwhile (a hard link to
        // a file elsewhere, say) is never written through.
        if (!CopyFileA(entrySource.c_str(), entryDestination.c_str(), TRUE)) {
          const DWORD error = GetLastError();
          DebugPrint("Failed to copy file: %s", entrySource.c_str());
          return error;
        }
        staged_.push_back(StagedFile(entryRelative, entry));
        DebugPrint("Copied File: %s", entrySource.c_str());
      }
    } while (FindNextFileA(listing.get(), &entry));

    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? 0 : error;
  }

 private:
  const StagingRoot& root_;
  SECURITY_ATTRIBUTES inside_;
  std::vector<StagedEntry>& staged_;
};

// Removes what an earlier run (or anyone) left at the staging directory's
// name. Nothing of it is trusted: links are removed as links or left, and
// files that lie elsewhere are left.
void RemoveLeftover(const std::string& path, DWORD attributes) {
  DebugPrint("Launcher: %s is left from an earlier run; it is removed first.", path.c_str());
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryA(path.c_str())
                                                                       : DeleteFileA(path.c_str());
    if (!removed) {
      const DWORD error = GetLastError();
      DebugPrint("Launcher: %s is a link that cannot be removed without following it (error %d).", path.c_str(),
                 static_cast<int>(error));
    }
    return;
  }
  // A plain file of that name is somebody's: it stays, and a sibling is used.
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return;
  bool contentsGone = false;
  {
    // Held open without delete sharing while its contents go, so that its
    // name cannot be pointed elsewhere meanwhile.
    const rav::UniqueHandle held(CreateFileA(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING,
                                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const DWORD error = GetLastError();
    const std::optional<OpenedIdentity> opened = held ? IdentityOf(held.get()) : std::nullopt;
    if (!opened || (opened->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      DebugPrint("Launcher: %s cannot be opened as a plain directory (error %d); it stays.", path.c_str(),
                 static_cast<int>(held ? 0 : error));
      return;
    }
    DebugPrint("CleanupSetupFiles(): Cleaning up setup files from %s\n", path.c_str());
    contentsGone = DeleteContents(path, true);
  }
  RemoveEmptiedDirectory(path, contentsGone);
}

}  // namespace

DWORD CopySetupFiles(const std::string& source, const StagingRoot& destination, const StagingSecurity& security,
                     std::vector<StagedEntry>& staged) {
  return TreeCopier(destination, security, staged).Copy(source, "");
}

rav::Result<StagingRoot> MakeStagingDirectory(const std::string& base, std::size_t maxChars,
                                              const StagingSecurity& security) {
  if (const std::optional<DWORD> attributes = EntryAttributes(base)) RemoveLeftover(base, *attributes);
  rav::Result<StagingRoot> root = StagingRoot::Create(base, security);
  if (root) return root;
  DWORD error = root.error();
  if (error != ERROR_ALREADY_EXISTS) {
    DebugPrint("Failed to create directory: %s. Reason: %d", base.c_str(), static_cast<int>(error));
    return rav::Failure{error};
  }
  // Whatever stays of the leftover may be anything (a DLL a setup program
  // would load, say): the programs run only from a directory this run made.
  for (int n = 1; n <= kMaxStagingSiblings; ++n) {
    const std::optional<std::string> sibling = StagingSibling(base, n, maxChars);
    if (!sibling) break;
    rav::Result<StagingRoot> fresh = StagingRoot::Create(*sibling, security);
    if (fresh) {
      DebugPrint("Launcher: %s could not be removed; staging into %s instead.", base.c_str(), sibling->c_str());
      return fresh;
    }
    error = fresh.error();
    if (error != ERROR_ALREADY_EXISTS) {
      DebugPrint("Failed to create directory: %s. Reason: %d", sibling->c_str(), static_cast<int>(error));
      return rav::Failure{error};
    }
  }
  DebugPrint("Launcher: %s could not be removed and no fresh directory %s.1 to .%d could be made.", base.c_str(),
             base.c_str(), kMaxStagingSiblings);
  return rav::Failure{ERROR_CANNOT_MAKE};
}

void CleanupSetupFiles(StagingRoot& directory, const std::vector<StagedEntry>& staged) {
  const std::string& path = directory.path();
  DebugPrint("CleanupSetupFiles(): Cleaning up setup files from %s\n", path.c_str());
  if (const std::optional<std::string> changed = directory.Changed()) {
    DebugPrint("CleanupSetupFiles(): %s is no longer the directory this run made (%s); nothing is deleted.",
               path.c_str(), changed->c_str());
    directory.Release();
    return;
  }
  // When it holds just what was staged, every file is one the copy made. If
  // anything else is there (a setup program's log, or what someone put
  // there), each file is first opened to see where it really lies.
  const bool onlyStaged = !FindStagingChange(staged, ListStagedTree(path), StagingCheck::kFirstStart);
  const bool contentsGone = DeleteContents(path, !onlyStaged);
  directory.Release();
  RemoveEmptiedDirectory(path, contentsGone);
}

}  // namespace launcher
