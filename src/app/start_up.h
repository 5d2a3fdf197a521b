// Start-up of the desktop program: the main window, the file named on the command line, and
// the run asked for with --link or the Linking Parameters dialog asked for with --edit.
#pragma once

#include <memory>

#include "app/command_line.h"

class CMainFrame;
class Profile;

// Creates the main window over profile and carries out the command line. Returns null when
// start-up fails: the document file could not be opened (the user was told). A parameter
// file of --link or --edit that cannot be read does not end start-up: the run or the dialog
// tells the user, and the window stays. The window is not shown yet.
std::unique_ptr<CMainFrame> startUp(const CommandLine& line, Profile* profile);
