#pragma once

// The start-up figure of the benchmark: with the environment variable
// QUILLET_STARTUP_TIMING set, the program writes to standard error how many
// milliseconds after the application object began to be built its main
// window was first shown, and then closes the window.

class QApplication;

namespace StartupTiming {

// Starts the clock; called right before the application object is built.
void markApplicationConstruction();
// Watches for the main window's first show when the variable is set.
void watch(QApplication& application);

} // namespace StartupTiming
