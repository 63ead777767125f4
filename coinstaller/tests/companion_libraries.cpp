#include "coinstaller/tests/companion_libraries.h"

#include "testsupport/dir_tree.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"

namespace coinstaller_test {

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
  SetEnvironmentVariableA(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironmentVariableA(name_, nullptr); }

CompanionLibraries::CompanionLibraries(const std::filesystem::path& scratch)
    : userInterfacePath_(SystemDirectory() / L"ravihvui64.dll"),
      servicePath_(SystemDirectory() / L"ravihvsrv64.dll"),
      log_(scratch / L"unregister.log"),
      logVariable_("RAV_STANDIN_LOG", testsupport::Narrow(log_.wstring())),
      watchVariable_("RAV_STANDIN_WATCH", testsupport::Narrow(servicePath_.wstring())) {}

bool CompanionLibraries::Place() {
  userInterface_.emplace(testsupport::BinPath(L"ravihvui64.dll"), L"ravihvui64.dll");
  service_.emplace(testsupport::BinPath(L"ravihvui64.dll"), L"ravihvsrv64.dll");
  return userInterface_->copied() && service_->copied();
}

std::vector<std::string> CompanionLibraries::UnregisterRecords() const {
  return testsupport::SplitLines(testsupport::ReadFile(log_));
}

}  // namespace coinstaller_test
