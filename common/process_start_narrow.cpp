#include "common/process_start_call.h"

namespace rav {

StartedProcess StartProcessA(const ProcessStartA& start) {
  return detail::StartWith<STARTUPINFOA>(start, CreateProcessA);
}

}  // namespace rav
