#pragma once

// `korvantis --headless`: start-up as with the window, the servers started at once,
// SIGINT/SIGTERM stop them and shut down. Returns the process exit status.
int RunHeadless(int argc, char **argv);
