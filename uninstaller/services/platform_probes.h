#pragma once
// What the uninstaller asks of the system before it acts.

namespace ravuninst {

// True when this process's security context gets access through the
// enabled Administrators group (an access check against a descriptor only
// Administrators may use). A filtered, non-elevated token gets false.
bool IsUserAdmin();

// True for a 32-bit process on 64-bit Windows; false when the system cannot
// tell.
bool IsWow64();

// True on NT-family Windows.
bool IsNtPlatform();

}  // namespace ravuninst
