#include "coinstaller/shell_token.h"

#include <tlhelp32.h>

#include <optional>
#include <utility>

#include "coinstaller/core/account_names.h"
#include "coinstaller/debug_print.h"
#include "coinstaller/driver_registry.h"
#include "common/core/ascii_case.h"

namespace coinstaller {
namespace {

constexpr DWORD kShellNameBuffer = 256;
constexpr DWORD kAccountNameChars = 256;

// The program Winlogon starts as the user's shell; the platform's default
// when the setting cannot be read.
std::string ShellProgram(const char* winlogonKey) {
  std::string shell = "Explorer.exe";
  rav::UniqueHkey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, winlogonKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return shell;
  DebugPrint("Successfully opened registry key: %s", winlogonKey);
  DebugPrint("Shell Size: %ld", static_cast<long>(kShellNameBuffer));
  if (rav::Result<std::string> value = ReadRegistryText(key.get(), "Shell", kShellNameBuffer)) {
    shell = std::move(value).value();
  } else {
    DebugPrintFailure("Failed to read 'Shell' from registry. [err=%ld]", ErrorCode(value.error()));
  }
  return shell;
}

rav::UniqueHandle GetProcessShellToken(DWORD processId) {
  DebugPrint("Entering... GetProcessShellToken()");
  rav::UniqueHandle token;
  const rav::UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (process) {
    HANDLE opened = nullptr;
    if (OpenProcessToken(process.get(), TOKEN_DUPLICATE | TOKEN_QUERY, &opened)) token.reset(opened);
  }
  DebugPrint("Leaving... GetProcessShellToken()");
  return token;
}

}  // namespace

bool GetProcessUser(HANDLE token, std::string& owner) {
  DebugPrint("Entering GetProcessUser()...");
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenUser, nullptr, 0, &size) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    DebugPrint("Leaving GetProcessUser()...");
    return false;
  }
  rav::UniqueHeapBlock record(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
  if (!record || !GetTokenInformation(token, TokenUser, record.get(), size, &size)) {
    record.reset();
    DebugPrint("Leaving GetProcessUser()...");
    return false;
  }
  char name[kAccountNameChars] = {};
  char domain[kAccountNameChars] = {};
  DWORD nameChars = kAccountNameChars;
  DWORD domainChars = kAccountNameChars;
  SID_NAME_USE use;
  if (LookupAccountSidA(nullptr, static_cast<TOKEN_USER*>(record.get())->User.Sid, name, &nameChars, domain,
                        &domainChars, &use)) {
    if (const std::optional<std::string> qualified = QualifiedAccountName(domain, name)) {
      owner = *qualified;
    } else {
      DebugPrintFailure("sprintf failed to copy domain\\owner");
    }
    DebugPrint("Process Owner: %s", owner.c_str());
  }
  record.reset();
  DebugPrint("Leaving GetProcessUser()...");
  return true;
}

rav::UniqueHandle GetUserShellToken(const std::string& userName, const char* winlogonKey) {
  DebugPrint("Entering GetUserShellToken...");
  const std::string shell = ShellProgram(winlogonKey);
  DebugPrint("User Name: %s", userName.c_str());
  DebugPrint("Shell Name: %s", shell.c_str());

  const rav::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  if (snapshot && Process32First(snapshot.get(), &entry)) {
    do {
      if (!rav::EqualIgnoringAsciiCase(entry.szExeFile, shell)) continue;
      DebugPrint("Process: %s", entry.szExeFile);
      rav::UniqueHandle token = GetProcessShellToken(entry.th32ProcessID);
      std::string owner;
      if (!GetProcessUser(token.get(), owner)) DebugPrintFailure("GetProcessUser() failed...");
      if (OwnerIsUser(owner, userName)) {
        DebugPrint("Username for the shell process matches current one");
        if (token) {
          DebugPrint("Leaving GetUserShellToken...");
          return token;
        }
        break;
      }
    } while (Process32Next(snapshot.get(), &entry));
  }
  DebugPrintFailure("Unable to impersonate %s", userName.c_str());
  DebugPrint("Leaving GetUserShellToken...");
  return rav::UniqueHandle();
}

}  // namespace coinstaller
