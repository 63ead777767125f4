// The platform's limit for staging: the least a program can do for the same
// work, with nothing but FindFirstFileA, CopyFileA and DeleteFileA.
//   bare_tree_copy SOURCE DESTINATION PROGRAM
// copies SOURCE to DESTINATION, runs DESTINATION\PROGRAM from there and
// waits for it, then deletes DESTINATION. Exit code 0 when all went well.
#include <windows.h>

#include <string>

#include "common/process_start.h"
#include "common/win_resources.h"

namespace {

bool CopyTree(const std::string& source, const std::string& destination) {
  if (!CreateDirectoryA(destination.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  WIN32_FIND_DATAA entry;
  rav::UniqueFindHandle listing(FindFirstFileA((source + "\\*").c_str(), &entry));
  if (!listing) return false;
  do {
    if (entry.cFileName[0] == '.') continue;
    const std::string from = source + "\\" + entry.cFileName;
    const std::string to = destination + "\\" + entry.cFileName;
    const bool ok = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? CopyTree(from, to)
                                                                            : CopyFileA(from.c_str(), to.c_str(), FALSE);
    if (!ok) return false;
  } while (FindNextFileA(listing.get(), &entry));
  return true;
}

bool DeleteTree(const std::string& directory) {
  WIN32_FIND_DATAA entry;
  {
    rav::UniqueFindHandle listing(FindFirstFileA((directory + "\\*").c_str(), &entry));
    if (!listing) return false;
    do {
      if (entry.cFileName[0] == '.') continue;
      const std::string path = directory + "\\" + entry.cFileName;
      const bool ok =
          (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? DeleteTree(path) : DeleteFileA(path.c_str());
      if (!ok) return false;
    } while (FindNextFileA(listing.get(), &entry));
  }
  return RemoveDirectoryA(directory.c_str());
}

bool RunFrom(const std::string& directory, const std::string& program) {
  rav::ProcessStartA start;
  start.commandLine = "\"" + directory + "\\" + program + "\"";
  start.directory = directory;
  const rav::StartedProcess started = rav::StartProcessA(start);
  return started.ok() && started->Wait(INFINITE) == WAIT_OBJECT_0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const bool copied = CopyTree(argv[1], argv[2]);
  const bool ran = copied && RunFrom(argv[2], argv[3]);
  const bool deleted = DeleteTree(argv[2]);
  return copied && ran && deleted ? 0 : 1;
}
