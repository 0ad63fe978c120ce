#pragma once
// Start and end of the tool: the application's title and its four windows,
// created from their layouts in a fixed order and destroyed in reverse.

// Registers the component classes, sets the title "Caller ID Test" and
// creates Form1, Form2, Form3 and HelpForm in this order; the first becomes
// the main window.
void CreateToolWindows();
// Destroys the four windows, the newest first.
void DestroyToolWindows();
