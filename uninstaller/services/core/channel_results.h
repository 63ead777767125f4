#pragma once
// What reading the setup engine's channels answers: a pipe reader's result
// for one line, and the status poll's. The numbers are the ones the
// uninstall run's loop and the log have always used for them.
#include <optional>

namespace ravuninst {

// SetupStatusRun: whether the engine was started. The caller only asks
// whether it was; the other values tell the log and a debugger why not.
enum class EngineStart {
  kStarted = 0,
  kNoPipes = -1,         // the pipes could not be made
  kNoLogHandle = 1,      // the log could not be handed to the engine
  kProcessNotMade = 2,   // CreateProcessW failed
};

// PipeReader::ReadLine.
enum class LineRead {
  kLine = 0,        // one line delivered
  kNothingYet = 1,  // no complete line now
  kEnded = 2,       // the pipe has ended
  kError = 3,       // a read error, or no pipe
};

// SetupStatusPoll.
enum class StatusPoll {
  kProgress = 0,         // a progress line: both numbers set
  kNothingToReport = 1,  // no line yet, or a line of another kind
  kChannelEnded = 2,
  kChannelError = 3,     // a read error, or any failure inside the poll
};

// The poll's answer for a read of the status channel that brought no line;
// nothing for kLine, where the line decides.
std::optional<StatusPoll> PollAnswerWithoutLine(LineRead read);

}  // namespace ravuninst
