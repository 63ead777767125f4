#include "uninstaller/services/core/channel_results.h"

namespace ravuninst {

std::optional<StatusPoll> PollAnswerWithoutLine(LineRead read) {
  switch (read) {
    case LineRead::kLine:
      return std::nullopt;
    case LineRead::kNothingYet:
      return StatusPoll::kNothingToReport;
    case LineRead::kEnded:
      return StatusPoll::kChannelEnded;
    case LineRead::kError:
      return StatusPoll::kChannelError;
  }
  return StatusPoll::kChannelError;  // not a value of LineRead
}

}  // namespace ravuninst
