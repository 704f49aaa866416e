// SPDX-License-Identifier: MIT
#include "platform/autostart.h"

#include "platform/files.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zaptrove::platform {

namespace {

namespace fs = std::filesystem;

fs::path entryPath() {
    const std::string config = environmentValue("XDG_CONFIG_HOME");
    const fs::path folder =
        config.empty() ? fs::path(environmentValue("HOME")) / ".config" : fs::path(config);
    return folder / "autostart" / "org.zaptrove.Zaptrove.desktop";
}

// The running program, quoted as a desktop entry's Exec key quotes an argument.
std::string quotedProgram() {
    std::error_code error;
    const std::string program = fs::read_symlink("/proc/self/exe", error).string();
    std::string quoted = "\"";
    for (const char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

class XdgAutostart final : public Autostart {
  public:
    bool isOn() const override {
        std::error_code error;
        return fs::is_regular_file(entryPath(), error);
    }

    // Written whole beside the entry, then renamed over it.
    std::string setOn(bool pOn) override {
        const fs::path entry = entryPath();
        std::error_code error;
        if (!pOn) {
            fs::remove(entry, error);
            return error ? error.message() : "";
        }
        fs::create_directories(entry.parent_path(), error);
        const fs::path written = fs::path(entry).concat(".new");
        {
            std::ofstream out(written, std::ios::binary | std::ios::trunc);
            out << "[Desktop Entry]\nType=Application\nName=Zaptrove\n"
                   "Comment=Find a bookmark from a few typed letters\nExec="
                << quotedProgram() << ' ' << AUTOSTART_OPTION
                << "\nIcon=zaptrove\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
            out.flush();
            if (!out) {
                fs::remove(written, error);
                return "cannot write " + written.string();
            }
        }
        fs::rename(written, entry, error);
        return error ? error.message() : "";
    }
};

} // namespace

Autostart& userAutostart() {
    static XdgAutostart autostart;
    return autostart;
}

} // namespace zaptrove::platform
