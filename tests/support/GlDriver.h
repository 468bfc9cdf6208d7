#pragma once

// Keeps the OpenGL driver module that the current context loaded in memory
// until the process ends. Closing the last window (glfwTerminate) unloads
// Mesa's driver, and with it the static data through which the driver still
// reaches what it allocated once per process; LeakSanitizer then reports those
// blocks as leaks from an unknown module. The viewer never unloads the driver:
// it ends with its window open. Call with a context current.
void KeepGlDriverLoaded();
