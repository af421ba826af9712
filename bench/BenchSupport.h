#pragma once

#include <filesystem>
#include <string>

// What the benchmark programs share besides their inputs.
namespace bench {

// A fresh folder under the system's temporary folder that is the process's
// current directory for the object's life (the symbol lists are read from
// the current directory); removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Writes the bytes to a file of the folder and returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};

// Before the QApplication of a whole-program benchmark: the settings live in
// the scratch folder, and Qt draws offscreen unless told otherwise.
void UseScratchSettingsAndOffscreen(const ScratchFolder& folder);

// Messages go to stderr: a benchmark must never wait for a button.
void RouteMessagesToStderr();

}  // namespace bench
