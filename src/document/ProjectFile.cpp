#include "document/ProjectFile.h"

#include "image/CDib.h"
#include "mapping/RegGridData.h"
#include "mapping/TransformData.h"
#include "model/DbPoint.h"
#include "model/DbRefTable.h"
#include "model/DbSetMgr.h"
#include "platform/Archive.h"
#include "platform/Document.h"
#include "tasks/PlotData.h"

#include <climits>
#include <cstdlib>
#include <memory>

void WriteProjectContent(Archive& ar, PlotData& data)
{
    DbRefTable refs;
    ar.WriteU32(kProjectVersion);
    ar.WriteU32(data.GetSortFlag() ? 1 : 0);
    data.GetTransform()->Serialize(ar);
    ar.WriteString(data.GetImagePath());
    ar.WriteString(data.GetExportPath());

    const bool reference =
        (data.GetSaveReference() && !data.GetImagePath().empty()) || !data.HasImage();
    if (reference) {
        ar.WriteU32(kTagImageReference);
    } else {
        ar.WriteU32(kTagImageCompressed);
        if (!data.GetImage()->WriteBlock(ar, CDib::kFormatCompressed))
            throw ArchiveError("the image could not be stored");
    }
    ar.WriteU32(kTagGrid);
    data.GetGrid()->Serialize(ar);
    ar.WriteU32(kTagDataSets);
    data.GetSetMgr()->Serialize(ar, refs);
    ar.WriteU32(kTagEnd);
}

namespace {

// The full path of a file as the platform forms it.
std::string FullPath(const std::string& path)
{
    if (path.empty())
        return path;
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer))
        return buffer;
    return path;
}

void ReadReferencedImage(PlotData& data)
{
    auto image = std::make_unique<CDib>();
    const std::string path = data.GetImagePath();
    if (!path.empty() && image->LoadFile(path)) {
        data.SetImage(std::move(image));
        return;
    }
    // Not at its path: try the bare file name in the current folder.
    const std::string bare = FileNameOfPath(path);
    if (bare.empty())
        return; // no image to look for: the document opens without one
    if (!image->LoadFile(bare))
        throw ArchiveError("the referenced image cannot be found");
    data.SetImage(std::move(image));
    data.SetImagePath(bare);
    data.SetSaveReference(true);
}

void ReadEmbeddedImage(Archive& ar, PlotData& data, bool compressed)
{
    auto image = std::make_unique<CDib>();
    const bool ok = compressed ? image->ReadCompressedBlock(ar) : image->ReadPlainBlock(ar);
    if (!ok)
        throw ArchiveError("the embedded image cannot be read");
    data.SetImage(std::move(image));
    data.SetImagePath(FullPath(ar.GetFileName()));
}

} // namespace

void ReadProjectContent(Archive& ar, PlotData& data)
{
    DbRefTable refs;
    const std::uint32_t version = ar.ReadU32();
    if (version < 2 || version > kProjectVersion)
        throw ArchiveError("unknown project format version");
    data.SetSaveReference(false);
    data.SetSortFlag(ar.ReadU32() != 0);
    if (version == 2)
        data.GetTransform()->ReadOldBlock(ar);
    else
        data.GetTransform()->Serialize(ar);
    data.SetImagePath(ar.ReadString());
    data.SetExportPath(ar.ReadString());

    if (version < 5) {
        // Older files keep a flat list of pixel positions: they go into the current set.
        const std::uint32_t count = ar.ReadU32();
        ar.CheckCount(count, 16);
        for (std::uint32_t i = 0; i < count; ++i) {
            DPoint pixel;
            pixel.x = ar.ReadF64();
            pixel.y = ar.ReadF64();
            std::unique_ptr<DbPrim> point = std::make_unique<DbPoint>(pixel);
            point->Recompute(&data);
            if (data.GetSetMgr()->AddPrim(point, -1) < 0)
                throw ArchiveError("no set for the stored points");
        }
    }

    for (;;) {
        const std::uint32_t tag = ar.ReadU32();
        switch (tag) {
        case kTagImageReference:
            ReadReferencedImage(data);
            break;
        case kTagImagePlain:
        case kTagImageCompressed:
            ReadEmbeddedImage(ar, data, tag == kTagImageCompressed);
            break;
        case kTagGrid:
            data.GetGrid()->Serialize(ar);
            break;
        case kTagDataSets:
            data.GetSetMgr()->Serialize(ar, refs);
            break;
        case kTagEnd:
            data.ClearChangeFlags();
            return;
        default:
            throw ArchiveError("unknown section in a project file");
        }
    }
}
