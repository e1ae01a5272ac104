#pragma once

// The index builder as the programs that start it and the builder itself name
// it: the program in the install folder, its single-instance lock and the
// owner of its new index files.
namespace common {

inline constexpr char kIndexBuilderName[] = "Kestrune";

}  // namespace common
