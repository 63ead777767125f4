#include "launcher/tree_removal.h"

#include "common/win_resources.h"
#include "launcher/debug_print.h"
#include "launcher/directory_identity.h"

namespace launcher {
namespace {

// Where the file or directory `path` really is, in upper case; empty when
// that cannot be told.
std::wstring FinalPathUpper(const std::string& path) {
  rav::UniqueHandle handle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return std::wstring();
  std::wstring final = FinalPath(handle.get());
  if (!final.empty()) CharUpperBuffW(final.data(), static_cast<DWORD>(final.size()));
  return final;
}

std::wstring WideName(const char* name) {
  wchar_t wide[MAX_PATH] = {};
  const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
  if (length <= 1) return std::wstring();
  CharUpperBuffW(wide, static_cast<DWORD>(length - 1));
  return std::wstring(wide, static_cast<std::size_t>(length - 1));
}

// The plain calls refuse a read-only file or directory: its attribute goes
// first (the shell's delete did the same).
BOOL RemoveEntry(const std::string& path, DWORD attributes, bool isDirectory) {
  auto remove = [&path, isDirectory] {
    return isDirectory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
  };
  if (remove()) return TRUE;
  if ((attributes & FILE_ATTRIBUTE_READONLY) == 0 || GetLastError() != ERROR_ACCESS_DENIED) return FALSE;
  if (!SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) return FALSE;
  return remove();
}

}  // namespace

bool DeleteContents(const std::string& directory, bool checkFiles) {
  WIN32_FIND_DATAA entry;
  rav::UniqueFindHandle listing(FindFirstFileA((directory + "\\*").c_str(), &entry));
  if (!listing) return true;
  const bool checkable = checkFiles && CanResolveLinks();
  const std::wstring directoryFinal = checkable ? FinalPathUpper(directory) : std::wstring();
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
      RemoveEntry(path, entry.dwFileAttributes, true);
    } else {
      if (checkable) {
        const std::wstring expected = directoryFinal + L"\\" + WideName(entry.cFileName);
        if (directoryFinal.empty() || FinalPathUpper(path) != expected) {
          DebugPrint("CleanupSetupFiles(): %s is not a plain file of %s (a link?); it is left in place.", path.c_str(),
                     directory.c_str());
          safe = false;
          continue;
        }
      }
      RemoveEntry(path, entry.dwFileAttributes, false);
    }
  } while (FindNextFileA(listing.get(), &entry));
  return safe;
}

void RemoveEmptiedDirectory(const std::string& directory, bool contentsGone) {
  if (!contentsGone) {
    DebugPrint("CleanupSetupFiles(): Unable to cleanup setup files from: %s. Reason: a link is left in it.",
               directory.c_str());
    return;
  }
  // Not the shell's delete: it follows links, and the directory's name may
  // have been pointed elsewhere since it was listed. RemoveDirectory removes
  // an empty directory, or a link as a link.
  if (!RemoveDirectoryA(directory.c_str())) {
    const DWORD error = GetLastError();
    DebugPrint("CleanupSetupFiles(): Unable to cleanup setup files from: %s. Reason: %d.\n", directory.c_str(),
               static_cast<int>(error));
  }
}

std::optional<DWORD> EntryAttributes(const std::string& path) {
  WIN32_FIND_DATAA entry;
  rav::UniqueFindHandle self(FindFirstFileA(path.c_str(), &entry));
  if (!self) return std::nullopt;
  return entry.dwFileAttributes;
}

}  // namespace launcher
