// ravcoinst.dll as a file: what SetupAPI and the driver package see of it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/core/ascii_case.h"
#include "common/win_resources.h"
#include "testsupport/debug_capture.h"
#include "testsupport/test_paths.h"

namespace coinstaller_test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::StartsWith;

// The library mapped as an image without running its entry point.
class MappedImage {
 public:
  MappedImage() : module_(LoadLibraryExW(testsupport::BinPath(L"ravcoinst.dll").c_str(), nullptr,
                                         DONT_RESOLVE_DLL_REFERENCES)) {}
  bool loaded() const { return module_.valid(); }

  template <typename T>
  const T* At(DWORD rva) const {
    return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module_.get()) + rva);
  }
  const IMAGE_DATA_DIRECTORY& Directory(int index) const {
    const auto* dos = At<IMAGE_DOS_HEADER>(0);
    return At<IMAGE_NT_HEADERS64>(dos->e_lfanew)->OptionalHeader.DataDirectory[index];
  }
  const IMAGE_NT_HEADERS64& Headers() const { return *At<IMAGE_NT_HEADERS64>(At<IMAGE_DOS_HEADER>(0)->e_lfanew); }

 private:
  rav::UniqueLibrary module_;
};

TEST(CoInstallerModule, ExportsOnlyRAVWlanCoInstallByNameAtOrdinalOne) {
  MappedImage image;
  ASSERT_TRUE(image.loaded());
  EXPECT_EQ(image.Headers().FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  EXPECT_TRUE(image.Headers().FileHeader.Characteristics & IMAGE_FILE_DLL);
  const IMAGE_DATA_DIRECTORY& directory = image.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
  ASSERT_NE(directory.VirtualAddress, 0u);
  const auto* exports = image.At<IMAGE_EXPORT_DIRECTORY>(directory.VirtualAddress);
  EXPECT_STREQ(image.At<char>(exports->Name), "RAVCOINST.DLL");
  EXPECT_EQ(exports->Base, 1u);
  ASSERT_EQ(exports->NumberOfFunctions, 1u);
  ASSERT_EQ(exports->NumberOfNames, 1u);
  EXPECT_STREQ(image.At<char>(image.At<DWORD>(exports->AddressOfNames)[0]), "RAVWlanCoInstall");
  EXPECT_EQ(exports->Base + image.At<WORD>(exports->AddressOfNameOrdinals)[0], 1u);
}

TEST(CoInstallerModule, NeedsNoCompilerRuntimeLibrary) {
  MappedImage image;
  ASSERT_TRUE(image.loaded());
  const IMAGE_DATA_DIRECTORY& directory = image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
  std::vector<std::string> imports;
  for (const auto* entry = image.At<IMAGE_IMPORT_DESCRIPTOR>(directory.VirtualAddress); entry->Name != 0; ++entry) {
    imports.push_back(rav::AsciiLowered(image.At<char>(entry->Name)));
  }
  EXPECT_THAT(imports, testing::Contains("setupapi.dll"));
  // libgcc_s_seh-1.dll, libstdc++-6.dll, libwinpthread-1.dll: none may be needed.
  EXPECT_THAT(imports, Each(Not(StartsWith("lib"))));
}

std::wstring VersionText(const std::vector<BYTE>& info, const wchar_t* name) {
  wchar_t* text = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) return L"";
  return std::wstring(text);
}

TEST(CoInstallerModule, VersionResourceDescribesTheAdaptersCoInstaller) {
  const std::wstring path = testsupport::BinPath(L"ravcoinst.dll").wstring();
  DWORD ignored = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  EXPECT_EQ(VersionText(info, L"FileDescription"), L"Corvane 802.11 Wireless USB Adapter Co-installer");
  EXPECT_EQ(VersionText(info, L"OriginalFilename"), L"RAVCOINST.DLL");
  EXPECT_EQ(VersionText(info, L"CompanyName"), L"Corvane");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST(CoInstallerModule, LoadsAndUnloadsWithoutAWord) {
  testsupport::InProcessDebugCapture capture;
  HMODULE module = LoadLibraryW(testsupport::BinPath(L"ravcoinst.dll").c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, "RAVWlanCoInstall"), nullptr);
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(1)), GetProcAddress(module, "RAVWlanCoInstall"));
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_THAT(capture.Lines(), testing::IsEmpty());
}

}  // namespace
}  // namespace coinstaller_test
