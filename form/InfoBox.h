// Module AAA: the Info box.
#pragma once

#include <string>

namespace rt {
class Runtime;
}

namespace form::AAA {

// The text of the Info box: the tagline, an empty line, then the about paragraphs with an
// empty line between each two; lines are joined by a lone CR.
std::string InfoText(const std::string& tagline);

// Shows the Info box (OK only, information icon) under the given title and returns when
// it is closed.
void ShowInfo(rt::Runtime& runtime, const std::string& title, const std::string& tagline);

} // namespace form::AAA
