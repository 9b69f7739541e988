#pragma once

/// The application object of the duplicate finder: builds the real services
/// and the main window, runs the window modally and returns when it closes.
class CTwinlyApp {
  public:
    /// Needs a QApplication. Returns the process exit code.
    int run();
};
