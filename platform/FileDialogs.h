#pragma once
// The file dialogs of the program's commands, through the installed
// Prompter. A request that names no folder of its own starts where the user
// last chose a file in this run, or in the user data folder, where the
// program's profile files live; the folder of every chosen file is noted.
//
// The last folder is kept for the run only, not in the settings store: a
// folder kept across runs may be gone by the next one (a removed disk, a
// cleaned-up download folder), and every run starting in the user data
// folder is what the user learns to expect.

#include "platform/Prompter.h"

#include <optional>
#include <string>

namespace tavrik::platform {

std::optional<std::string> chooseOpenFile(FileDialogRequest request);
std::optional<std::string> chooseSaveFile(FileDialogRequest request);

// Where a request without a folder starts: the folder of the file chosen
// last, else the user data folder (made when missing); empty when neither
// is known.
std::string fileDialogFolder();
// Forgets the folder chosen last.
void resetFileDialogFolder();

} // namespace tavrik::platform
