#pragma once
// What the uninstaller reads from its command line. The whole line (its own
// path included) is searched as one string: a keyword counts wherever it
// occurs, case-sensitively, option values and paths included.
#include <optional>
#include <string>
#include <string_view>

namespace ravuninst {

inline constexpr char16_t kDefaultRootKey[] = u"SOFTWARE\\Corvane\\802.11\\UninstallInfo";
// Both options hold at most 255 characters.
inline constexpr std::size_t kOptionValueLimit = 255;

struct RootOptions {
  std::u16string rootKey = kDefaultRootKey;
  std::u16string rootDir;
  // False when "/rootdir=" had no opening quote: parsing stopped there and no
  // localized-strings key is derived.
  bool complete = true;
};

// "/rootkey=VALUE" or "/rootkey=\"VALUE\"", and "/rootdir=\"VALUE\"".
RootOptions ParseRootOptions(std::u16string_view commandLine);

// The sibling "LocalizedStrings" key of the uninstall-information key:
// "SOFTWARE\Corvane\802.11\UninstallInfo" gives
// "SOFTWARE\Corvane\802.11\LocalizedStrings". Nothing when it would not fit
// the 255 characters the key is kept in.
std::optional<std::u16string> LocalizedStringsKeyFor(std::u16string_view rootKey);

enum class Mode { kVerbose, kQuiet, kSilent, kInstall, kServices, kRundll, kPreUpdate, kRemoveOld };

struct ModeEntry {
  Mode mode;
  std::u16string_view keyword;
  std::u16string_view trace;
};

// The modes in the order they are tried: the first keyword present wins.
inline constexpr ModeEntry kModeTable[] = {
    {Mode::kVerbose, u"verbose", u"WinMain: Verbose"},
    {Mode::kQuiet, u"quiet", u"WinMain: Quiet"},
    {Mode::kSilent, u"silent", u"WinMain: Silent"},
    {Mode::kInstall, u"install", u"WinMain: Install"},
    {Mode::kServices, u"services", u"WinMain: Services"},
    {Mode::kRundll, u"rundll", u"WinMain: rundll"},
    {Mode::kPreUpdate, u"preupdate", u"WinMain: Pre-Update"},
    {Mode::kRemoveOld, u"RemoveOld", u"WinMain: RemoveOld"},
};
inline constexpr std::u16string_view kNoModeTrace = u"WinMain: Uninstallation Failed";

// The first row of the table whose keyword is present, or nothing.
const ModeEntry* SelectMode(std::u16string_view commandLine);

bool HasDriverKeyword(std::u16string_view commandLine);

}  // namespace ravuninst
