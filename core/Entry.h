#pragma once
// The program entry: the application object, the nineteen windows in their
// fixed creation order, and the message loop.

// Creates every window in the start-up order; the first is the main window.
// An exception from a constructor passes to the caller (windows after the
// failing one are not created).
void CreateAllForms();
// Frees every window the application owns and clears their globals (tests
// start each application anew).
void DestroyAllForms();
// Initialise, create the windows, run the loop. Returns the exit status:
// non-zero when start-up failed.
int RunProgram();
