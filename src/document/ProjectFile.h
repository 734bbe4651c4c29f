#pragma once

#include <cstdint>
#include <string>

class Archive;
class PlotData;

// Project files (".kvx"): the magic, then the document's content in one archive.
constexpr std::uint32_t kProjectMagic = 0x4B52564F;
constexpr std::uint32_t kProjectVersion = 5;

// Section tags after the fixed part.
enum ProjectTag : std::uint32_t {
    kTagImageReference = 1001,
    kTagImagePlain = 1002,
    kTagGrid = 1003,
    kTagImageCompressed = 1004,
    kTagDataSets = 1005,
    kTagEnd = 0xFFFFFFFF,
};

// Writes everything after the magic: version 5, the sort flag, the transform, the two
// paths, the image (a reference to its file when the save-reference flag is set and the image
// has a path, else embedded and compressed; a document without an image gets a reference with
// an empty path), the grid and the data sets.
void WriteProjectContent(Archive& ar, PlotData& data);

// Reads everything after the magic into data, which is a freshly opened document's. Raises
// ArchiveError for anything that is not a readable project (versions below 2 or above 5, an
// unknown tag, an image that cannot be read or found, data running out). A referenced image
// missing at its path is looked for under its bare file name in the current folder.
void ReadProjectContent(Archive& ar, PlotData& data);
