#include "PreferencesDownload.h"

#include <cctype>
#include <cerrno>

#include "SettingsFileNames.h"
#include "foundation/DeviceFiles.h"

namespace zv::screen {

std::optional<std::string> downloadName(std::string_view name, DownloadRefusal& refusal) {
    // Exactly what the Profiles page lists (and the settings file).
    if (name != kSettingsFileName && !isProfileFileName(name)) {
        refusal = {403, "Forbidden: only the settings file or a profile file of the preferences folder"};
        return std::nullopt;
    }
    refusal = {};
    return std::string(name);
}

std::optional<std::string> readPreferencesFile(const std::string& folder, const std::string& name,
                                               DownloadRefusal& refusal) {
    // O_NOFOLLOW: a symlink named like a profile file is refused, never followed.
    HostFileRead file = readHostFileInFolder(folder, name, kMaxDownloadBytes);
    switch (file.problem) {
        case HostFileRead::Problem::None:
            break;
        case HostFileRead::Problem::FolderUnavailable:
            refusal = {404, "Not found"};
            return std::nullopt;
        case HostFileRead::Problem::CannotOpen:
            refusal = file.error == ENOENT
                          ? DownloadRefusal{404, "Not found"}
                          : DownloadRefusal{403, "Forbidden: not a plain file of the preferences folder"};
            return std::nullopt;
        case HostFileRead::Problem::NotRegularFile:
            refusal = {403, "Forbidden: not a plain file of the preferences folder"};
            return std::nullopt;
        case HostFileRead::Problem::TooLarge:
        case HostFileRead::Problem::CannotRead:
            refusal = {403, "Forbidden: the file cannot be read whole"};
            return std::nullopt;
    }
    refusal = {};
    return std::move(file.bytes);
}

std::string contentDisposition(std::string_view name) {
    std::string plain;
    std::string encoded;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : name) {
        const bool safe = std::isalnum(c) || c == '.' || c == '_' || c == '-';
        plain += safe || c == ' ' ? static_cast<char>(c) : '_';
        if (safe) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    return "attachment; filename=\"" + plain + "\"; filename*=UTF-8''" + encoded;
}

}  // namespace zv::screen
