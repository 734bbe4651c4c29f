#include "platform/Archive.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

Archive::Archive() : m_mode(Mode::Store)
{
}

Archive::Archive(std::vector<std::uint8_t> bytes) : m_mode(Mode::Load), m_bytes(std::move(bytes))
{
}

Archive::Archive(const void* data, std::size_t size)
    : m_mode(Mode::Load),
      m_bytes(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size)
{
}

bool Archive::LoadFile(const std::string& path, Archive& out)
{
    // Only regular files are read: a folder would claim an absurd size, and a pipe or a device
    // would block or never end. Opening without waiting lets a pipe be refused, not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    FilePtr f(::fdopen(fd, "rb"));
    if (!f) {
        ::close(fd);
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(f.get());
        std::rewind(f.get());
        // The common case: one read straight into the buffer.
        if (size > 0) {
            bytes.resize(static_cast<std::size_t>(size));
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f.get()));
        }
    }
    // A file that cannot tell its size, or one that grew meanwhile, is read to its end.
    std::uint8_t buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    if (std::ferror(f.get()))
        return false;
    out = Archive(std::move(bytes));
    out.m_fileName = path;
    return true;
}

const std::uint8_t* Archive::Take(std::size_t size)
{
    if (m_mode != Mode::Load)
        throw ArchiveError("archive is not open for reading");
    if (size > Remaining())
        throw ArchiveError("unexpected end of archive");
    const std::uint8_t* p = m_bytes.data() + m_pos;
    m_pos += size;
    return p;
}

std::uint8_t Archive::ReadU8()
{
    return *Take(1);
}

std::uint16_t Archive::ReadU16()
{
    const std::uint8_t* p = Take(2);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Archive::ReadU32()
{
    const std::uint8_t* p = Take(4);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t Archive::ReadI32()
{
    return static_cast<std::int32_t>(ReadU32());
}

double Archive::ReadF64()
{
    const std::uint8_t* p = Take(8);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void Archive::ReadBytes(void* out, std::size_t size)
{
    const std::uint8_t* p = Take(size);
    if (size)
        std::memcpy(out, p, size);
}

std::vector<std::uint8_t> Archive::ReadBlock(std::size_t size)
{
    const std::uint8_t* p = Take(size);
    return std::vector<std::uint8_t>(p, p + size);
}

void Archive::Skip(std::size_t size)
{
    Take(size);
}

std::uint32_t Archive::ReadVersion(std::uint32_t lowest, std::uint32_t highest)
{
    const std::uint32_t version = ReadU32();
    if (version < lowest || version > highest)
        throw ArchiveError("unknown block version");
    return version;
}

void Archive::CheckCount(std::uint64_t count, std::uint64_t itemSize) const
{
    if (itemSize == 0)
        itemSize = 1;
    if (count > Remaining() / itemSize)
        throw ArchiveError("stored count exceeds the data");
}

std::string Archive::ReadString()
{
    bool wide = false;
    std::uint64_t length = ReadU8();
    if (length == 0xFF) {
        length = ReadU16();
        if (length == 0xFFFE) {
            // 16-bit characters follow, with a length prefix of their own.
            wide = true;
            length = ReadU8();
            if (length == 0xFF) {
                length = ReadU16();
                if (length == 0xFFFF)
                    length = ReadU32();
            }
        } else if (length == 0xFFFF) {
            length = ReadU32();
        }
    }
    if (!wide) {
        const std::uint8_t* p = Take(static_cast<std::size_t>(length));
        return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
    }
    CheckCount(length, 2);
    std::string text;
    text.reserve(static_cast<std::size_t>(length));
    for (std::uint64_t i = 0; i < length; ++i) {
        std::uint16_t c = ReadU16();
        // 16-bit characters become 8-bit text: Latin-1 passes through, the rest is '?'.
        text.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    }
    return text;
}

void Archive::WriteU8(std::uint8_t v)
{
    if (m_mode != Mode::Store)
        throw ArchiveError("archive is not open for writing");
    m_bytes.push_back(v);
}

void Archive::WriteU16(std::uint16_t v)
{
    std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    WriteBytes(b, 2);
}

void Archive::WriteU32(std::uint32_t v)
{
    std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                         static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    WriteBytes(b, 4);
}

void Archive::WriteI32(std::int32_t v)
{
    WriteU32(static_cast<std::uint32_t>(v));
}

void Archive::WriteF64(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    std::uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    WriteBytes(b, 8);
}

void Archive::WriteBytes(const void* data, std::size_t size)
{
    if (m_mode != Mode::Store)
        throw ArchiveError("archive is not open for writing");
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + size);
}

void Archive::WriteString(const std::string& s)
{
    const std::size_t n = s.size();
    if (n < 0xFF) {
        WriteU8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<std::uint16_t>(n));
    } else {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<std::uint32_t>(n));
    }
    WriteBytes(s.data(), n);
}

bool Archive::SaveFile(const std::string& path) const
{
    FilePtr f(std::fopen(path.c_str(), "wb"));
    if (!f)
        return false;
    if (!m_bytes.empty() &&
        std::fwrite(m_bytes.data(), 1, m_bytes.size(), f.get()) != m_bytes.size())
        return false;
    if (std::fflush(f.get()) != 0)
        return false;
    return std::fclose(f.release()) == 0;
}
