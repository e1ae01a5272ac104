#pragma once

// The index builder as the add-in and the options page see it: its start and
// whether a build runs.

namespace plovanex {

// Starts the index builder of the install folder, detached and hidden. A
// start that fails goes unnoticed: nothing of it is read.
void StartIndexBuilder();

// RebuildingIndexStatus as a number (default 0), as every reader of it must
// take it: a status that is not 0 while no builder holds its single-instance
// lock was left by a builder that was killed, and reads 0. Raises
// platform::Error "Type mismatch" for a status that is no number.
int RebuildingIndexStatus();

}  // namespace plovanex
