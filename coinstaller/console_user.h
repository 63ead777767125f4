#pragma once
// The user logged on at the console, from the terminal-services session
// queries.
#include <string>

namespace coinstaller {

// Sets `name` to "DOMAIN\user" of the active console session when both
// queries answer; it stays as given otherwise. False only when the system
// libraries the queries need cannot be loaded.
bool GetCurrentUser(std::string& name);

}  // namespace coinstaller
