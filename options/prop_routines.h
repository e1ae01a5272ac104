#pragma once

#include <string>
#include <vector>

// The module PlovanexPropRoutines. Its log routine is the core's
// WriteLogLine (core/globals.h): one line as the application "Plovanex".
namespace plovanex {

// The change notice of every editing control: outside loading it marks the
// page dirty and tells the host.
void SetDirty();

inline constexpr char kDefaultTokenSeparators[] = " ,/!|";

// The tokens of a text parted by any character of the separator set (exact
// comparison). Element 0 is left empty; elements 1 to n hold the tokens in
// text order, untrimmed; runs of separators give no empty tokens.
std::vector<std::string> SplitTokens(const std::string& text,
                                     const std::string& separators = kDefaultTokenSeparators);

// Takes one value and does nothing with it.
void DoNothing(const std::string& value);

}  // namespace plovanex
