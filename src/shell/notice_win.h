// The notice: a short text written into the main window beside the pitch controls.
#pragma once

// Writes text at the notice position of the main window (the Mem notice).
void ShowNotice(const char *text);
