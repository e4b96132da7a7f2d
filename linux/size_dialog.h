// The size dialog: the size text, a slider over the sizes allowed at the
// clock's DPI, "Default size" and "Done". It resizes the clock as the slider
// moves and saves when it closes.
#pragma once

// Brings the open dialog forward, or opens one at the clock.
void OpenSizeDialog();

// Closes the dialog when it is open (which saves).
void CloseSizeDialog();

// The DPI changed: the slider's range follows it.
void SizeDialogDpiChanged();
