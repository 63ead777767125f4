#pragma once
// What the support bundle says about files: a program's version, size and
// time; the INF files of a folder; the lines of a log. Everything only
// reads, through the native file system view (native_file_view.h).
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/result.h"

namespace tracer {

// "version 6.31.165.2, 206848 bytes, changed 2026-12-09 10:00:00 UTC", or
// the error that kept the file from being read.
rav::Result<std::string> DescribeFile(const std::wstring& path);

// The names of the *.inf files directly in `folder`.
std::vector<std::wstring> InfFilesIn(const std::wstring& folder);

// A UTC file time as "YYYY-MM-DD HH:MM:SS UTC".
std::string FormatUtcTime(const FILETIME& time);

// Hands each line of a file (without its CR LF) to `line`, in order, as
// the file's bytes; a line longer than 64 KiB is cut there. The file may be
// in use, even written meanwhile. Fails with the error of the open or read.
rav::Result<void> ReadFileLines(const std::wstring& path, const std::function<void(std::string_view)>& line);

}  // namespace tracer
