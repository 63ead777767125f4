#pragma once
// The one clock of every benchmark: the performance counter, which all
// processes of the machine share, so a time stamp taken in a child can be
// set against one taken here.
#include <windows.h>

namespace bench {

long long Counter();
double CounterToMs(long long counter);
inline double NowMs() { return CounterToMs(Counter()); }

}  // namespace bench
