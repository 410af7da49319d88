#pragma once
// The program's start: the search window's load, which starts everything else.

// Loads the search window and shows it in front of the browser. False when the
// window was closed during its load; a close that waits for a rescan leaves it
// hidden until the shutdown completes. The program ends once the window's
// unload has completed.
bool startSearchWindow();
