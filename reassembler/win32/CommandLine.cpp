// Quoting by the rules CommandLineToArgvW undoes: inside quotes, backslashes are literal except
// before a quote, where 2n backslashes give n and 2n+1 give n and a literal quote.
#include "CommandLine.h"

namespace quil::win32 {

std::wstring quoteArgument(const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return word;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote itself is escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote, every backslash is doubled so that none escapes it.
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring commandLineOf(const std::vector<std::wstring>& words) {
    std::wstring line;
    for (const std::wstring& word : words) {
        if (!line.empty()) {
            line += L' ';
        }
        line += quoteArgument(word);
    }
    return line;
}

} // namespace quil::win32
