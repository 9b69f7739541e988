#pragma once
// Launching things outside the program: files in their programs, the file
// manager, help pages, other processes, and the system's sound.

#include <string>
#include <vector>

class Desktop {
  public:
    virtual ~Desktop() = default;
    /// Opens a file with the program the desktop associates with it.
    virtual bool openFile(const std::string& path) = 0;
    /// Shows a folder in the file manager.
    virtual bool exploreFolder(const std::string& folder) = 0;
    /// Shows the file in the file manager with the file selected (nearest thing
    /// to a properties sheet the desktops offer).
    virtual bool showProperties(const std::string& path) = 0;
    /// Opens a shipped help page; topic is the page's file name ("introduction.html").
    virtual bool openHelp(const std::string& topic) = 0;
    /// Starts a program without waiting for it.
    virtual bool startProcess(const std::string& program, const std::vector<std::string>& args) = 0;
    /// The "SystemAsterisk" sound; never waits.
    virtual void playAsterisk() = 0;
};

/// Real implementation: QDesktopServices, the file manager over D-Bus where present.
class QtDesktop : public Desktop {
  public:
    bool openFile(const std::string& path) override;
    bool exploreFolder(const std::string& folder) override;
    bool showProperties(const std::string& path) override;
    bool openHelp(const std::string& topic) override;
    bool startProcess(const std::string& program, const std::vector<std::string>& args) override;
    void playAsterisk() override;
};

/// Test double: records every request and launches nothing.
class RecordingDesktop : public Desktop {
  public:
    struct Request {
        std::string what;  // "open", "explore", "properties", "help", "start", "beep"
        std::string target;
        std::vector<std::string> args;
    };
    bool openFile(const std::string& path) override;
    bool exploreFolder(const std::string& folder) override;
    bool showProperties(const std::string& path) override;
    bool openHelp(const std::string& topic) override;
    bool startProcess(const std::string& program, const std::vector<std::string>& args) override;
    void playAsterisk() override;

    std::vector<Request> requests;
    int count(const std::string& what) const;
    bool succeed = true;
};
