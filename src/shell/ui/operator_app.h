#pragma once

// The program with its operator window: process start, start-up when the window is
// first shown, the message loop. Returns the process exit status.
int RunOperatorWindow(int argc, char **argv);
