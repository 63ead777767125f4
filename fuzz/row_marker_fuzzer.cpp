// The ROW-card test of the co-installer: the install section's name from the
// driver key's "InfSection" and "InfSectionExt", and the "cc.reg" marker in
// that section's AddReg line as the INF hands it over.
//
// Input: NUL-separated fields: section, decoration, AddReg line (the rest,
// NULs and all).
//
// Properties: the section name is the section followed directly by the
// decoration; the line marks a ROW card exactly when "cc.reg" occurs in it
// somewhere, in that spelling (a written-out substring search as reference).
#include "coinstaller/core/row_marker.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> fields = fuzz::Fields(fuzz::AsText(data, size), 3);
  const std::string_view section = fields[0];
  const std::string_view decoration = fields[1];
  const std::string_view line = fields[2];

  const std::string name = coinstaller::InstallSectionName(section, decoration);
  FUZZ_CHECK(name.size() == section.size() + decoration.size());
  FUZZ_CHECK(name.compare(0, section.size(), section) == 0);
  FUZZ_CHECK(name.compare(section.size(), decoration.size(), decoration) == 0);

  FUZZ_CHECK(coinstaller::AddRegLineMarksRowCard(line) == fuzz::Contains<char>(line, "cc.reg"));
  // The whole input as one line too (the marker may span what were fields).
  const std::string_view all = fuzz::AsText(data, size);
  FUZZ_CHECK(coinstaller::AddRegLineMarksRowCard(all) == fuzz::Contains<char>(all, "cc.reg"));
  return 0;
}
