// Replacing a whole file on Windows: a temporary file beside the target, flushed, then moved over it
// with write-through. The POSIX side is atomic_file.cpp.
#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <system_error>

#include "memory/atomic_file.h"

namespace korvel {

namespace {

bool writeAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 20));
    if (!WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
    content.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool replaceFileContents(const std::filesystem::path& target, std::string_view content) {
  std::error_code ec;
  std::filesystem::path real = target;
  if (std::filesystem::is_symlink(target, ec)) {
    real = std::filesystem::weakly_canonical(target, ec);
    if (ec) return false;
  }
  const DWORD attributes = GetFileAttributesW(real.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
    return false;
  }

  std::filesystem::path temporary = real;
  temporary += ".tmp";
  // A temporary file left by an interrupted save is stale; a directory of that name makes the save fail.
  DeleteFileW(temporary.c_str());
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = writeAll(file, content) && FlushFileBuffers(file) != 0;
  if (!CloseHandle(file)) ok = false;
  if (ok) {
    ok = MoveFileExW(temporary.c_str(), real.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileW(temporary.c_str());
  return ok;
}

}  // namespace korvel

#endif  // _WIN32
