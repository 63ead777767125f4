#include "launcher/staging.h"

#include <shellapi.h>

#include <optional>

#include "common/win_resources.h"
#include "launcher/debug_print.h"
#include "launcher/core/staging_rules.h"

namespace launcher {
namespace {

// A directory's identity on its volume, which compares equal however the
// path to it was spelled (case, short names, slashes).
struct DirectoryId {
  DWORD volume;
  DWORD indexHigh;
  DWORD indexLow;
  bool operator==(const DirectoryId&) const = default;
};

std::optional<DirectoryId> IdentifyDirectory(const std::string& path) {
  rav::UniqueHandle directory(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!directory || !GetFileInformationByHandle(directory.get(), &info)) return std::nullopt;
  return DirectoryId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

class TreeCopier {
 public:
  DWORD Copy(const std::string& source, const std::string& destination) {
    if (!CreateDirectoryA(destination.c_str(), nullptr)) {
      const DWORD error = GetLastError();
      if (error != ERROR_ALREADY_EXISTS) {
        DebugPrint("Failed to create directory: %s. Reason: %d", destination.c_str(), static_cast<int>(error));
        return error;
      }
    }
    if (!stagingRootKnown_) {
      stagingRoot_ = IdentifyDirectory(destination);
      stagingRootKnown_ = true;
    }

    WIN32_FIND_DATAA entry;
    rav::UniqueFindHandle listing(FindFirstFileA((source + "\\*.*").c_str(), &entry));
    if (!listing) return 0;

    std::string entrySource;
    std::string entryDestination;
    do {
      entrySource.clear();
      entryDestination.clear();
      const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if (isDirectory) {
        entrySource.append(source).append("\\").append(entry.cFileName);
        if (entry.cFileName[0] == '.') {
          DebugPrint("Special directory: %s", entrySource.c_str());
          continue;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
          DebugPrint("Skipped directory link: %s", entrySource.c_str());
          continue;
        }
        if (stagingRoot_ && IdentifyDirectory(entrySource) == stagingRoot_) {
          DebugPrint("Skipped staging directory: %s", entrySource.c_str());
          continue;
        }
        DebugPrint("Source Directory: %s", entrySource.c_str());
        entryDestination.append(destination).append("\\").append(entry.cFileName);
        const DWORD result = Copy(entrySource, entryDestination);
        if (result != 0) return result;
      } else {
        entrySource.append(source).append("\\").append(entry.cFileName);
        entryDestination.append(destination).append("\\").append(entry.cFileName);
        if (!CopyFileA(entrySource.c_str(), entryDestination.c_str(), FALSE)) {
          const DWORD error = GetLastError();
          DebugPrint("Failed to copy file: %s", entrySource.c_str());
          return error;
        }
        DebugPrint("Copied File: %s", entrySource.c_str());
      }
    } while (FindNextFileA(listing.get(), &entry));

    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? 0 : error;
  }

 private:
  std::optional<DirectoryId> stagingRoot_;
  bool stagingRootKnown_ = false;
};

using GetFinalPathNameByHandleWFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

// Present from Windows Vista on; Windows XP has no file links to look through.
GetFinalPathNameByHandleWFunction FinalPathFunction() {
  static const auto function = reinterpret_cast<GetFinalPathNameByHandleWFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW")));
  return function;
}

// Where the file or directory `path` really is, in upper case; empty when
// that cannot be told.
std::wstring FinalPath(GetFinalPathNameByHandleWFunction finalPath, const std::string& path) {
  rav::UniqueHandle handle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return std::wstring();
  wchar_t buffer[1024];
  const DWORD length = finalPath(handle.get(), buffer, sizeof buffer / sizeof buffer[0], 0);
  if (length == 0 || length >= sizeof buffer / sizeof buffer[0]) return std::wstring();
  CharUpperBuffW(buffer, length);
  return std::wstring(buffer, length);
}

std::wstring WideName(const char* name) {
  wchar_t wide[MAX_PATH] = {};
  const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
  if (length <= 1) return std::wstring();
  CharUpperBuffW(wide, static_cast<DWORD>(length - 1));
  return std::wstring(wide, static_cast<std::size_t>(length - 1));
}

// Deletes what it can below `directory` with plain file calls and never
// through a link: a link (its listing shows a reparse point) is removed as a
// link, which removes nothing it points to. With `checkFiles` each file is
// first opened to see where it really is, and one that lies elsewhere is
// left: some systems list a file link with its target's attributes and
// delete the target through it. Returns false when something was left that
// the shell's delete, which follows links, must not be let at.
bool DeleteContents(const std::string& directory, bool checkFiles) {
  WIN32_FIND_DATAA entry;
  rav::UniqueFindHandle listing(FindFirstFileA((directory + "\\*").c_str(), &entry));
  if (!listing) return true;
  const GetFinalPathNameByHandleWFunction finalPath = checkFiles ? FinalPathFunction() : nullptr;
  std::wstring directoryFinal;
  if (finalPath != nullptr) directoryFinal = FinalPath(finalPath, directory);
  bool safe = true;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = directory + "\\" + name;
    const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      const BOOL removed = isDirectory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
      if (!removed) {
        const DWORD error = GetLastError();
        DebugPrint("CleanupSetupFiles(): %s is a link that cannot be removed without following it (error %d); it is "
                   "left in place.",
                   path.c_str(), static_cast<int>(error));
        safe = false;
      }
    } else if (isDirectory) {
      if (!DeleteContents(path, checkFiles)) safe = false;
      RemoveDirectoryA(path.c_str());
    } else {
      if (finalPath != nullptr) {
        const std::wstring expected = directoryFinal + L"\\" + WideName(entry.cFileName);
        if (directoryFinal.empty() || FinalPath(finalPath, path) != expected) {
          DebugPrint("CleanupSetupFiles(): %s is not a plain file of %s (a link?); it is left in place.", path.c_str(),
                     directory.c_str());
          safe = false;
          continue;
        }
      }
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(listing.get(), &entry));
  return safe;
}

// The directory entry itself, as a listing shows it (some systems report a
// link's target through GetFileAttributes).
std::optional<DWORD> EntryAttributes(const std::string& path) {
  WIN32_FIND_DATAA entry;
  rav::UniqueFindHandle self(FindFirstFileA(path.c_str(), &entry));
  if (!self) return std::nullopt;
  return entry.dwFileAttributes;
}

// Deletes `directory` with everything in it; true when it is gone.
bool RemoveTree(const std::string& directory, bool checkFiles) {
  // The shell's delete costs several times as much per file as DeleteFileA
  // (3.4 ms against 0.6 ms under Wine): the plain calls go first, and the
  // shell deletes the rest, the directory itself at least, and reports.
  if (!DeleteContents(directory, checkFiles)) {
    DebugPrint("CleanupSetupFiles(): Unable to cleanup setup files from: %s. Reason: a link is left in it.",
               directory.c_str());
    return false;
  }
  // The shell takes a list of paths ended by an empty one: two NULs.
  std::string from = directory;
  from.push_back('\0');
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = nullptr;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  const int result = SHFileOperationA(&operation);
  if (result != 0 || operation.fAnyOperationsAborted) {
    DebugPrint("CleanupSetupFiles(): Unable to cleanup setup files from: %s. Reason: %d.\n", directory.c_str(), result);
    return false;
  }
  return true;
}

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
  DebugPrint("CleanupSetupFiles(): Cleaning up setup files from %s\n", path.c_str());
  RemoveTree(path, true);
}

}  // namespace

DWORD CopySetupFiles(const std::string& source, const std::string& destination) {
  return TreeCopier().Copy(source, destination);
}

StagingChoice MakeStagingDirectory(const std::string& base, std::size_t maxChars) {
  if (const std::optional<DWORD> attributes = EntryAttributes(base)) RemoveLeftover(base, *attributes);
  if (CreateDirectoryA(base.c_str(), nullptr)) return {base, 0};
  DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS) {
    DebugPrint("Failed to create directory: %s. Reason: %d", base.c_str(), static_cast<int>(error));
    return {{}, error};
  }
  // Whatever stays of the leftover may be anything (a DLL a setup program
  // would load, say): the programs run only from a directory this run made.
  for (int n = 1; n <= kMaxStagingSiblings; ++n) {
    const std::optional<std::string> sibling = StagingSibling(base, n, maxChars);
    if (!sibling) break;
    if (CreateDirectoryA(sibling->c_str(), nullptr)) {
      DebugPrint("Launcher: %s could not be removed; staging into %s instead.", base.c_str(), sibling->c_str());
      return {*sibling, 0};
    }
    error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      DebugPrint("Failed to create directory: %s. Reason: %d", sibling->c_str(), static_cast<int>(error));
      return {{}, error};
    }
  }
  DebugPrint("Launcher: %s could not be removed and no fresh directory %s.1 to .%d could be made.", base.c_str(),
             base.c_str(), kMaxStagingSiblings);
  return {{}, ERROR_CANNOT_MAKE};
}

void CleanupSetupFiles(const std::string& directory) {
  DebugPrint("CleanupSetupFiles(): Cleaning up setup files from %s\n", directory.c_str());
  RemoveTree(directory, false);
}

}  // namespace launcher
