#include "platform/linux/autostart_entry.h"

#include <unistd.h>

#include <cerrno>

#include "platform/linux/atomic_file.h"
#include "platform/linux/folders.h"

std::string AutostartEntryPath() {
    return ConfigHome() + "/autostart/lumivar.desktop";
}

std::string AutostartEntryText() {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=VOXA LED Lumivar\n"
           "Comment=Restores the saved lighting of the SKARNE boards after logon and resume\n"
           "Exec=lumivar keep\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool WriteAutostartEntry(std::string& error) {
    return WriteFileAtomically(AutostartEntryPath(), AutostartEntryText(), error);
}

bool RemoveAutostartEntry(std::string& error) {
    const std::string path = AutostartEntryPath();
    if (unlink(path.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR) return true;
    error = path + ": " + ErrnoText(errno);
    return false;
}

FileRead ReadAutostartEntry(std::string& error) {
    std::string text;
    return ReadWholeFile(AutostartEntryPath(), text, error);
}
