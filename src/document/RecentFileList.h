#pragma once

#include <string>
#include <vector>

class Profile;

// The most-recently-used files, newest first, kept in the "Recent File List" section of the
// settings as "File1" ... "FileN".
class RecentFileList {
public:
    explicit RecentFileList(int capacity);

    // Replaces the list with the stored entries; empty and repeated entries are skipped.
    void Load(const Profile& profile);
    // Writes every slot: the entries, then empty values for the unused slots so that an
    // older, longer list does not come back.
    void Save(Profile& profile) const;

    // Puts the path first; an entry already present moves up instead of repeating.
    void Add(const std::string& path);
    // Removes the entry at index; nothing when the index is out of range.
    void Remove(int index);

    int Capacity() const { return m_capacity; }
    int Size() const { return static_cast<int>(m_paths.size()); }
    // The path at index, or an empty string when the index is out of range.
    std::string At(int index) const;
    // The menu text of an entry: "&1 path", with '&' doubled and a long path shortened to
    // its last folders.
    std::string MenuText(int index) const;

private:
    int m_capacity;
    std::vector<std::string> m_paths;
};
