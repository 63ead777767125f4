#pragma once
// Tokens for running a program as someone else.
#include "common/win_resources.h"

namespace testsupport {

// This process's token with the Administrators group for denying only: a
// standard user's rights, as Windows gives an unelevated administrator.
// Null when it cannot be made.
rav::UniqueHandle StandardUserToken();

}  // namespace testsupport
