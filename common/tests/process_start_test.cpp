// The starter and the owners it hands out, where the programs' own tests do
// not reach: the error of a failed start, handle inheritance, a bounded
// wait on a running program, and which end of a child's pipe is
// inheritable.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/child_handles.h"
#include "common/process_start.h"
#include "testsupport/test_paths.h"

namespace rav {
namespace {

DWORD HandleFlags(HANDLE handle) {
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(handle, &flags));
  return flags;
}

std::wstring WriterCommand(const std::wstring& arguments) {
  return L"\"" + testsupport::BinPath(L"debug_writer.exe").wstring() + L"\" " + arguments;
}

// Callers log GetLastError() after a failed start, as after the bare call.
TEST(StartProcess, AFailedStartCarriesTheCallsError) {
  const std::wstring missing = L"\"" + testsupport::BinPath(L"no_such_program.exe").wstring() + L"\"";
  UniqueHandle token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY,
                               token.put()));
  struct Row {
    const char* call;
    StartedProcess (*start)(const std::wstring& commandLine, HANDLE token);
  };
  const Row rows[] = {
      {"CreateProcessA",
       [](const std::wstring& commandLine, HANDLE) {
         ProcessStartA start;
         start.commandLine.assign(commandLine.begin(), commandLine.end());  // the path is ASCII
         return StartProcessA(start);
       }},
      {"CreateProcessW",
       [](const std::wstring& commandLine, HANDLE) {
         ProcessStartW start;
         start.commandLine = commandLine;
         return StartProcessW(start);
       }},
      {"CreateProcessAsUserW",
       [](const std::wstring& commandLine, HANDLE user) {
         ProcessStartW start;
         start.commandLine = commandLine;
         return StartProcessAsUserW(user, start);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.call);
    SetLastError(0);
    const StartedProcess started = row.start(missing, token.get());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(started.ok());
    EXPECT_EQ(started.error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }
}

// Wine hands a child its standard handles even without inheritance, so
// those prove nothing: the child gets the value of a separate inheritable
// event and sets it, which reaches this process's event only through an
// inherited handle.
TEST(StartProcess, HandsInheritableHandlesOnOnlyWhenAsked) {
  UniqueHandle token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY,
                               token.put()));
  struct Row {
    const char* call;
    StartedProcess (*start)(const std::wstring& commandLine, bool inherit, HANDLE token);
  };
  const Row rows[] = {
      {"CreateProcessA",
       [](const std::wstring& commandLine, bool inherit, HANDLE) {
         ProcessStartA start;
         start.commandLine.assign(commandLine.begin(), commandLine.end());  // the path is ASCII
         start.inheritHandles = inherit;
         return StartProcessA(start);
       }},
      {"CreateProcessW",
       [](const std::wstring& commandLine, bool inherit, HANDLE) {
         ProcessStartW start;
         start.commandLine = commandLine;
         start.inheritHandles = inherit;
         return StartProcessW(start);
       }},
      {"CreateProcessAsUserW",
       [](const std::wstring& commandLine, bool inherit, HANDLE user) {
         ProcessStartW start;
         start.commandLine = commandLine;
         start.inheritHandles = inherit;
         return StartProcessAsUserW(user, start);
       }},
  };
  for (const Row& row : rows) {
    for (const bool inherit : {true, false}) {
      SCOPED_TRACE(std::string(row.call) + (inherit ? ", inheriting" : ", not inheriting"));
      SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
      const UniqueHandle event(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
      ASSERT_TRUE(event);
      const std::wstring value = std::to_wstring(reinterpret_cast<std::uintptr_t>(event.get()));
      StartedProcess started = row.start(WriterCommand(L"set:" + value), inherit, token.get());
      ASSERT_TRUE(started.ok()) << started.error();
      ASSERT_EQ(started->Wait(30000), static_cast<DWORD>(WAIT_OBJECT_0));
      EXPECT_EQ(WaitForSingleObject(event.get(), 0), inherit ? WAIT_OBJECT_0 : static_cast<DWORD>(WAIT_TIMEOUT));
    }
  }
}

TEST(OwnedProcess, WaitsWithALimitThenReadsTheExitCode) {
  ProcessStartW start;
  start.commandLine = WriterCommand(L"sleep:600000");
  StartedProcess started = StartProcessW(start);
  ASSERT_TRUE(started.ok()) << started.error();
  const OwnedProcess& process = *started;
  EXPECT_EQ(GetProcessId(process.process()), process.processId());
  EXPECT_EQ(GetThreadId(process.thread()), process.threadId());

  EXPECT_EQ(process.Wait(0), static_cast<DWORD>(WAIT_TIMEOUT));
  DWORD code = 0;
  ASSERT_TRUE(process.ExitCode(code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

  ASSERT_TRUE(TerminateProcess(process.process(), 9));
  EXPECT_EQ(process.Wait(), static_cast<DWORD>(WAIT_OBJECT_0));
  ASSERT_TRUE(process.ExitCode(code));
  EXPECT_EQ(code, 9u);

  const UniqueHandle taken = started->TakeProcess();
  EXPECT_FALSE(*started);
  EXPECT_EQ(WaitForSingleObject(taken.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

// Only the child's end may be inherited: a child holding the parent's end
// too would keep its own pipe from ever ending.
TEST(ChildPipe, OnlyTheChildsEndIsInheritable) {
  struct Row {
    const char* name;
    ParentEnd parentEnd;
  };
  for (const Row& row : {Row{"parent reads", ParentEnd::kReads}, Row{"parent writes", ParentEnd::kWrites}}) {
    SCOPED_TRACE(row.name);
    const ChildPipe pipe = MakeChildPipe(row.parentEnd);
    ASSERT_TRUE(pipe.ok()) << pipe.error;
    EXPECT_EQ(HandleFlags(pipe.parentEnd.get()) & HANDLE_FLAG_INHERIT, 0u);
    EXPECT_NE(HandleFlags(pipe.childEnd.get()) & HANDLE_FLAG_INHERIT, 0u);
    EXPECT_NE(HandleFlags(InheritableCopy(pipe.parentEnd.get()).get()) & HANDLE_FLAG_INHERIT, 0u);

    const bool parentReads = row.parentEnd == ParentEnd::kReads;
    const HANDLE writer = parentReads ? pipe.childEnd.get() : pipe.parentEnd.get();
    const HANDLE reader = parentReads ? pipe.parentEnd.get() : pipe.childEnd.get();
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(writer, "ping", 4, &count, nullptr));
    char received[4] = {};
    ASSERT_TRUE(ReadFile(reader, received, sizeof received, &count, nullptr));
    EXPECT_EQ(std::string(received, count), "ping");
  }
}

}  // namespace
}  // namespace rav
