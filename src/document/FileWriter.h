#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Saves a file without ever damaging the one it replaces: the content goes to a temporary
// file in the same folder, which is renamed over the target only when it was written
// completely. On failure the temporary file is removed and the target is untouched.
// The writer gets the temporary path and reports success.
bool WriteFileSafely(const std::string& path,
                     const std::function<bool(const std::string&)>& writer);
// The same for bytes already in memory.
bool WriteFileSafely(const std::string& path, const void* data, std::size_t size);
