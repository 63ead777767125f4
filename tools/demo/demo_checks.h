#pragma once
// The demo's account: what each step did, and whether it behaved.
#include <cstdio>
#include <string>

namespace demo {

class Account {
 public:
  void Section(const std::string& title) { std::printf("\n==== %s ====\n", title.c_str()); }
  void Say(const std::string& line) { std::printf("  %s\n", line.c_str()); }
  void Check(bool ok, const std::string& what) {
    std::printf("  %s %s\n", ok ? "ok:    " : "FAILED:", what.c_str());
    if (!ok) ++failures_;
    std::fflush(stdout);
  }
  int failures() const { return failures_; }

 private:
  int failures_ = 0;
};

}  // namespace demo
