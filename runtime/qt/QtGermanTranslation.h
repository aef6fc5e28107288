// Qt's own German translation, so that the standard buttons of the message boxes read
// "OK", "Abbrechen", "Ja" and "Nein" whatever the desktop's language.
#pragma once

class QCoreApplication;

namespace rt {

// Loads qtbase_de from Qt's translations folder and installs it; false when it is missing.
bool installGermanTranslation(QCoreApplication& application);

} // namespace rt
