#pragma once
// The operating-system version as the platform reports it to this process
// (GetVersionExA: compatibility settings of the host program apply).
#include <optional>

#include "coinstaller/core/location_rules.h"

namespace coinstaller {

std::optional<ReportedVersion> QueryReportedVersion();

// Version 5.0; false also when the version cannot be read.
bool IsWin2000();

}  // namespace coinstaller
