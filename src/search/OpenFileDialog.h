#pragma once
// The open-file dialog as the options and locations dialogs use it: it starts
// in a given folder with a proposed name, and a cancel is an error, as it is
// with the dialog's CancelError set.

#include "platform/Interaction.h"

// Shows the dialog through the interaction seam. Raises 32755 when the user cancels.
platform::OpenFileResult showOpenFile(const platform::OpenFileRequest& request);

// The chosen file's folder with its trailing backslash: the full name with the
// file title taken off its end ("D:\Pics\a.bmp", "a.bmp" -> "D:\Pics\").
// Raises 5 when the title is longer than the name.
QString folderOfChosenFile(const platform::OpenFileResult& chosen);
