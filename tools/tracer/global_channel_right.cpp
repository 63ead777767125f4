#include "tools/tracer/global_channel_right.h"

#include <windows.h>

#include "common/win_resources.h"

namespace tracer {

bool RunsInSessionZero() {
  DWORD session = 1;
  return ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0;
}

std::string MissingGlobalChannelRight() {
  // Session 0's programs need no privilege to make objects in their own
  // namespace.
  if (RunsInSessionZero()) return {};
  rav::UniqueHandle token;
  LUID privilege = {};
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) ||
      !LookupPrivilegeValueW(nullptr, L"SeCreateGlobalPrivilege", &privilege)) {
    return {};
  }
  PRIVILEGE_SET wanted = {};
  wanted.PrivilegeCount = 1;
  wanted.Control = PRIVILEGE_SET_ALL_NECESSARY;
  wanted.Privilege[0].Luid = privilege;
  BOOL held = FALSE;
  if (!PrivilegeCheck(token.get(), &wanted, &held) || held) return {};
  return "the machine-wide channel (--global) needs administrator rights (SeCreateGlobalPrivilege): "
         "run ravtrace from a command prompt started as administrator";
}

}  // namespace tracer
