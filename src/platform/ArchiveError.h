#pragma once

#include <stdexcept>
#include <string>

// Raised by Archive when a read runs past the end of the data or a stored count or
// length cannot be right; caught at the document boundary, which reports the failed open.
class ArchiveError : public std::runtime_error {
public:
    explicit ArchiveError(const std::string& what) : std::runtime_error(what) {}
};
