#pragma once

#include "platform/ArchiveError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Little-endian binary archive over a byte buffer: the storage form of project files and
// embedded blocks. A loading archive reads from bytes it owns (a whole file, or a buffer);
// a storing archive appends to a buffer that is written to a file in one piece.
// Every read checks the bytes left and raises ArchiveError when the data ends early.
class Archive {
public:
    enum class Mode { Load, Store };

    // A storing archive with an empty buffer.
    Archive();
    // A loading archive over a copy of the given bytes.
    explicit Archive(std::vector<std::uint8_t> bytes);
    Archive(const void* data, std::size_t size);

    // Reads the whole file into a loading archive; false when the file cannot be read.
    static bool LoadFile(const std::string& path, Archive& out);

    bool IsLoading() const { return m_mode == Mode::Load; }
    bool IsStoring() const { return m_mode == Mode::Store; }

    // The path of the file behind this archive, when there is one.
    const std::string& GetFileName() const { return m_fileName; }
    void SetFileName(const std::string& path) { m_fileName = path; }

    // ---- reading
    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32();
    double ReadF64();
    void ReadBytes(void* out, std::size_t size);
    std::vector<std::uint8_t> ReadBlock(std::size_t size);
    // Skips size bytes; raises ArchiveError when fewer are left.
    void Skip(std::size_t size);
    // A length-prefixed string (one byte below 255; 0xFF then 16 bits below 0xFFFE;
    // 0xFF, 0xFFFF then 32 bits), also accepting the 16-bit character marker 0xFF 0xFFFE.
    std::string ReadString();

    std::size_t Position() const { return m_pos; }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    // Reads a version word; raises ArchiveError unless it lies in [lowest, highest].
    std::uint32_t ReadVersion(std::uint32_t lowest, std::uint32_t highest);
    // Raises ArchiveError unless count items of at least itemSize bytes each can still follow.
    void CheckCount(std::uint64_t count, std::uint64_t itemSize) const;

    // ---- writing
    void WriteU8(std::uint8_t v);
    void WriteU16(std::uint16_t v);
    void WriteU32(std::uint32_t v);
    void WriteI32(std::int32_t v);
    void WriteF64(double v);
    void WriteBytes(const void* data, std::size_t size);
    void WriteString(const std::string& s);

    // The stored bytes (storing), or all bytes of the loaded data (loading).
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }
    // Writes the stored bytes to a file; false on any failure.
    bool SaveFile(const std::string& path) const;

private:
    const std::uint8_t* Take(std::size_t size);

    Mode m_mode;
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::string m_fileName;
};
