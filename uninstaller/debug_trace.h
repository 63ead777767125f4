#pragma once
// The uninstaller's trace: one line per call to the debugger output, no
// prefix, no time stamp.

namespace ravuninst {

// A line from one of the program's own formats (wvsprintfW rules: %s is a
// wide string), cut at the system formatter's limit.
void DebugTrace(const wchar_t* format, ...);

// Outside text (command line, option values, registry values) as one line,
// exactly as it is: it is never read as a format.
void DebugTraceText(const wchar_t* text);

}  // namespace ravuninst
