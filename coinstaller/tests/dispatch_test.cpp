// Every device-installation request reaches the co-installer through the
// platform's SetupAPI and is named in its debug output; the two answers it
// gives are checked by calling the export directly, since Wine ignores them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coinstaller/core/dif_table.h"
#include "coinstaller/tests/device_test.h"
#include "coinstaller/tests/line_matchers.h"

namespace coinstaller_test {
namespace {

using ::testing::ElementsAre;
using ::testing::SizeIs;

class DispatchTest : public DeviceTest {};

TEST_F(DispatchTest, EveryLoggedOnlyRequestThroughTheHostWritesItsNameAlone) {
  std::unique_ptr<FakeAdapter> adapter = CreateAdapter(kRowCard);
  ASSERT_TRUE(adapter->SelectDriverAndRegisterCoInstallers());
  for (DI_FUNCTION code = 0x00; code <= 0x28; ++code) {
    // Installing, removing and finishing have their own tests.
    if (code == DIF_INSTALLDEVICE || code == DIF_REMOVE || code == DIF_NEWDEVICEWIZARD_FINISHINSTALL) continue;
    SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << code);
    ClearLines();
    adapter->CallClassInstaller(code);
    EXPECT_THAT(Lines(), ElementsAre(coinstaller::DifName(code)));
  }
  // The unnamed codes of the table, and one past its end.
  for (DI_FUNCTION code : {0x00, 0x16, 0x1F, 0x25, 0x28}) {
    ClearLines();
    adapter->CallClassInstaller(code);
    EXPECT_THAT(Lines(), ElementsAre("?????")) << "code 0x" << std::hex << code;
  }
  ClearLines();
  adapter->CallClassInstaller(DIF_PROPERTYCHANGE);
  EXPECT_THAT(Lines(), ElementsAre("DIF_PROPERTYCHANGE"));
}

TEST_F(DispatchTest, OnlyTheFirstInstallPassAsksForAnotherCall) {
  std::unique_ptr<FakeAdapter> adapter = CreateAdapter(kRowCard);
  ASSERT_TRUE(adapter->SelectDriverAndRegisterCoInstallers());
  COINSTALLER_CONTEXT_DATA context = {};
  context.PostProcessing = FALSE;
  for (DI_FUNCTION code = 0x00; code <= 0x40; ++code) {
    ClearLines();
    const DWORD expected = code == DIF_INSTALLDEVICE ? ERROR_DI_POSTPROCESSING_REQUIRED : NO_ERROR;
    EXPECT_EQ(export_->Call(code, adapter->set(), adapter->device(), &context), expected)
        << "code 0x" << std::hex << code;
    ASSERT_THAT(Lines(), testing::Not(testing::IsEmpty()));
    EXPECT_EQ(Lines().front(), coinstaller::DifName(code));
  }
  EXPECT_EQ(export_->Call(0xFFFFFFFF, adapter->set(), adapter->device(), &context), NO_ERROR);
}

TEST_F(DispatchTest, FirstInstallPassThroughTheHostAsksForPostProcessing) {
  std::unique_ptr<FakeAdapter> adapter = InstallAdapter(kUsCard);
  const std::vector<std::string> lines = Lines();
  ASSERT_THAT(lines, testing::SizeIs(testing::Ge(2u)));
  EXPECT_EQ(lines[0], "DIF_INSTALLDEVICE");
  EXPECT_EQ(lines[1], "Post-processing is required.");
  EXPECT_EQ(CallInstallDevice(*adapter, false), ERROR_DI_POSTPROCESSING_REQUIRED);
  EXPECT_EQ(MakePostProcessingCall(*adapter), NO_ERROR);
}

}  // namespace
}  // namespace coinstaller_test
