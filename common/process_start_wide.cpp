#include "common/process_start_call.h"

namespace rav {

StartedProcess StartProcessW(const ProcessStartW& start) {
  return detail::StartWith<STARTUPINFOW>(start, CreateProcessW);
}

}  // namespace rav
