// The program a benchmark package lists: exits at once. When
// RAV_BENCH_STAMP names a file, it first appends the performance counter at
// its start to it, so the benchmark sees when it began. "--hold MS" keeps it
// running that long, so its memory can be read as a baseline.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  char stampFile[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("RAV_BENCH_STAMP", stampFile, sizeof stampFile);
  if (length > 0 && length < sizeof stampFile) {
    if (FILE* file = std::fopen(stampFile, "ab")) {
      std::fprintf(file, "%lld\n", started.QuadPart);
      std::fclose(file);
    }
  }
  if (argc == 3 && std::strcmp(argv[1], "--hold") == 0) Sleep(std::strtoul(argv[2], nullptr, 10));
  return 0;
}
