// Replacing a whole file so that a reader sees either the old contents or the new, never a mixture:
// the saved-state file and the memory report are written through here.
#pragma once

#include <filesystem>
#include <string_view>

namespace korvel {

// Writes content to a temporary file beside target, flushes it to the disk and renames it over target.
// Returns false, and leaves target exactly as it was, when any step fails: the folder is not writable,
// the temporary file cannot be made or written, or target is marked read-only (no write permission
// bit), which is honoured even for a user who could override it. A symbolic link at target is kept:
// the file it points to is the one replaced. The new file keeps the permissions of the old one.
bool replaceFileContents(const std::filesystem::path& target, std::string_view content);

}  // namespace korvel
