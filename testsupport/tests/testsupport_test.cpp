// The helpers every Windows test leans on: if one of them lies, every test
// built on it does too.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "common/core/argument_quote.h"
#include "common/win_resources.h"
#include "testsupport/debug_capture.h"
#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"
#include "testsupport/registry_values.h"
#include "testsupport/test_paths.h"

namespace testsupport {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

RunResult RunWriter(const std::wstring& arguments, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
  RunOptions options;
  options.commandLine = rav::QuoteArgument(BinPath(L"debug_writer.exe").wstring()) + L" " + arguments;
  options.timeout = timeout;
  return RunProgram(options);
}

TEST(DebugCapture, TakesNarrowAndWideOutputOfThisProcess) {
  InProcessDebugCapture capture;
  OutputDebugStringA("narrow line\r\n");
  OutputDebugStringW(L"wide \u00e9\n");
  OutputDebugStringA("no line end");
  EXPECT_THAT(capture.Lines(), ElementsAre("narrow line", "wide \u00e9", "no line end"));
  EXPECT_EQ(capture.Messages()[0].text, "narrow line\r\n");
  EXPECT_EQ(capture.Messages()[0].processId, GetCurrentProcessId());
  capture.Clear();
  EXPECT_TRUE(capture.Lines().empty());
}

TEST(ProcessRunner, CapturesTheChildsDebugOutputAndExitCode) {
  const RunResult run = RunWriter(L"a:one raw:two w:thr\u00e9e long:5000 exit:7");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 7u);
  EXPECT_FALSE(run.timedOut);
  ASSERT_EQ(run.debugOutput.size(), 4u);
  EXPECT_EQ(run.debugOutput[0].text, "one\r\n");
  EXPECT_EQ(run.debugOutput[1].text, "two");
  EXPECT_EQ(run.debugOutput[2].text, "thr\u00e9e\n");
  EXPECT_EQ(run.debugOutput[3].text, std::string(5000, 'x') + "\r\n");
  EXPECT_EQ(run.debugOutput[0].processId, run.processId);
}

TEST(ProcessRunner, FollowsOnlyTheStartedProcess) {
  const RunResult run = RunWriter(L"a:parent spawn:a:child a:after");
  EXPECT_THAT(run.DebugLines(), ElementsAre("parent", "after"));
}

TEST(ProcessRunner, OutputEndsWithTheProgramEvenWhenADescendantHoldsThePipe) {
  // The descendant inherits the output pipe and sleeps on; the run must still
  // end when the program itself does (the desktop process does this too).
  RunOptions options;
  options.commandLine = rav::QuoteArgument(BinPath(L"debug_writer.exe").wstring()) + L" out:hello detach:sleep:30000";
  options.captureOutput = true;
  const RunResult run = RunProgram(options);
  EXPECT_FALSE(run.timedOut);
  const std::string prefix = "hello\r\ndetached=";
  ASSERT_EQ(run.standardOutput.rfind(prefix, 0), 0u) << run.standardOutput;
  const DWORD descendant = std::stoul(run.standardOutput.substr(prefix.size()));
  rav::UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, descendant));
  ASSERT_TRUE(process);
  EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the run waited for it";
  TerminateProcess(process.get(), 0);
}

TEST(ProcessRunner, EndsAProgramThatOutlivesTheTimeout) {
  const RunResult run = RunWriter(L"a:before sleep:60000", std::chrono::milliseconds(500));
  EXPECT_TRUE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0xDEADu);
  EXPECT_THAT(run.DebugLines(), ElementsAre("before"));
}

TEST(ProcessRunner, ReportsAProgramThatCannotStart) {
  RunOptions options;
  options.commandLine = L"\"C:\\no\\such\\program.exe\"";
  const RunResult run = RunProgram(options);
  EXPECT_FALSE(run.started);
  EXPECT_NE(run.startError, 0u);
}

TEST(RegistryValues, SetReadAndDeleteValues) {
  const std::wstring key = L"SOFTWARE\\RavTestSupport\\Values";
  ScopedRegistryKey cleanup(HKEY_CURRENT_USER, L"SOFTWARE\\RavTestSupport");
  ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, key, L"Number", 0xBC2));
  ASSERT_TRUE(SetString(HKEY_CURRENT_USER, key, L"Text", L"ab"));
  const BYTE raw[] = {'U', 0, 'S', 0};
  ASSERT_TRUE(SetRegistryValue(HKEY_CURRENT_USER, key, L"Raw", REG_SZ, raw, sizeof raw));

  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key, L"Number"), 0xBC2u);
  const std::optional<RegistryValue> text = ReadRegistryValue(HKEY_CURRENT_USER, key, L"Text");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(text->data, (std::vector<BYTE>{'a', 0, 'b', 0, 0, 0}));
  EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, key, L"Raw")->data.size(), 4u);
  EXPECT_FALSE(ReadDword(HKEY_CURRENT_USER, key, L"Text"));

  EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, key, L"Number"));
  EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, key, L"Number"));
  EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\RavTestSupport"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key));
  EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\RavTestSupport"));
}

TEST(DirTree, WritesReadsAndRemovesTrees) {
  fs::path removed;
  {
    TempDir scratch;
    removed = scratch.path();
    const std::vector<TreeEntry> entries = {{"a/b/c.txt", "deep"}, {".dot", ""}, {"empty", std::nullopt}};
    WriteTree(scratch.path(), entries);
    EXPECT_EQ(ReadTree(scratch.path()), ToTree(entries));
    EXPECT_EQ(ToTree(entries).count("a/b"), 1u);
    EXPECT_NE(ReadTree(scratch.path()), ToTree({{"a/b/c.txt", "changed"}, {".dot", ""}, {"empty", std::nullopt}}));
    SetFileAttributesW((scratch.path() / L"a" / L"b" / L"c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  }
  EXPECT_FALSE(fs::exists(removed));
}

}  // namespace
}  // namespace testsupport
