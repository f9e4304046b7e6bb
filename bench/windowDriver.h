#pragma once

#include <string>

class TForm1;

namespace bench {

// Prepares the process for the windows before the application object is
// made: the offscreen platform unless one is chosen, and `home` as the home
// folder, whose Desktop the folder chooser's tree starts from.
void PrepareWindowEnvironment(const std::string& home);

// Shows the main window at a typical size and lets it paint.
void ShowMainWindow(TForm1& form);

// Opens a folder as the user does: the menu command, then the folder chosen
// in the folder chooser and "OK". The folder must be a sub-folder of the
// Desktop folder. Throws std::runtime_error when it is not in the tree or
// nothing got listed.
void OpenPictureFolder(TForm1& form, const std::string& folder);

// Current resident memory of the process, in KiB.
long CurrentResidentKb();

// Highest resident memory the process has had, in KiB.
long PeakResidentKb();

} // namespace bench
