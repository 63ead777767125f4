#include "tools/bench/server_cpu.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace bench {
namespace {

std::string Variable(const char* name) {
  char value[64];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

}  // namespace

std::optional<double> ServerCpuMs() {
  const std::string pid = Variable("RAV_BENCH_SERVER_PID");
  const double ticks = std::atof(Variable("RAV_BENCH_CLOCK_TICKS").c_str());
  if (pid.empty() || ticks <= 0) return std::nullopt;
  // Wine's drive Z: is the host's root directory.
  std::ifstream stat("Z:\\proc\\" + pid + "\\stat");
  std::string line;
  if (!std::getline(stat, line)) return std::nullopt;
  // Fields after the command name, which is in parentheses and may hold
  // blanks: state, then ... utime (11th) and stime (12th) of the rest.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream rest(line.substr(close + 1));
  std::vector<std::string> fields;
  for (std::string field; rest >> field;) fields.push_back(field);
  if (fields.size() < 13) return std::nullopt;
  return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) * 1000.0 / ticks;
}

}  // namespace bench
