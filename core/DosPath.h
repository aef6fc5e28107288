// Path text as the program speaks it ("A:\QUILME01.sys", "C:\Daten\"): letter case, folder and
// name, the drive prefix. One place for the small rules every part of the program needs, on the
// program's own paths and, where a separator is named, on host paths as well.
#pragma once

#include <string>
#include <string_view>

namespace core::dospath {

// ASCII letters only: the names the program makes itself are ASCII, and other letters are left
// to the host's own rules.
char lowerAscii(char c);
char upperAscii(char c);
std::string lowerAscii(std::string text);
bool equalIgnoringCase(std::string_view a, std::string_view b);

// "X:" at the start.
bool hasDrivePrefix(std::string_view path);
// "X:\" and nothing more.
bool isDriveRoot(std::string_view path);

// A folder text made ready for appending a name: a backslash is added unless the text already
// ends in one (an empty text becomes "\").
std::string withTrailingBackslash(std::string folder);

// What follows the last separator; all of the path when there is none.
std::string lastComponent(std::string_view path, std::string_view separators = "\\");
// Everything before the last separator, that separator kept ("C:\Daten\" for "C:\Daten\a.txt");
// empty when there is none.
std::string folderWithSeparator(std::string_view path, std::string_view separators = "\\");
// The folder a host path lies in ("/a/b" gives "/a", "/a" gives "/", "a" gives ".").
std::string parentFolder(std::string_view path, char separator = '/');

// Does a text hold a control character (a line end, a tab, DEL)? No file name of a set may: the
// trailer that names the file is made of lines, and the reassembler could not create it.
bool hasControlCharacter(std::string_view text);

} // namespace core::dospath
