// Windows hands a program one command line, which the program splits into words by the rules
// of CommandLineToArgvW. Starting the relocated copy with the user's words therefore needs the
// inverse: each word quoted so that it comes back exactly.
#pragma once

#include <string>
#include <vector>

namespace quil::win32 {

std::wstring quoteArgument(const std::wstring& word);
std::wstring commandLineOf(const std::vector<std::wstring>& words);

} // namespace quil::win32
