#pragma once

#include "model/AttributeData.h"
#include "model/AttributeRep.h"
#include "model/Database.h"
#include "model/DbAttRep.h"
#include "model/GraphMapping.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

class AttributeRep;
class CDib;
class Document;
class DbMemento;
class DbPrim;
class DbSetMgr;
class DbSetX1;
class DbSetX3;
class RegGridData;
class TransformData;
struct ToolEvent;

// Everything a document holds: the data sets with the undo history, the mapping, the grid,
// the image, the two paths and the change flags.
class PlotData : public Database, public GraphMapping {
public:
    // Values handed to the views' update after a command.
    enum ViewHint { kHintData = 0, kHintImage = 1, kHintImageReplaced = 2, kHintOverlay = 3 };

    explicit PlotData(Document* document = nullptr);
    ~PlotData() override;

    Document* GetDocument() const { return m_document; }
    void SetDocument(Document* document) { m_document = document; }
    DbSetMgr* GetSetMgr() const { return m_setMgr.get(); }
    TransformData* GetTransform() const { return m_transform.get(); }
    RegGridData* GetGrid() const { return m_grid.get(); }
    // The picture; never null (empty until an image is put in).
    CDib* GetImage() const { return m_image.get(); }
    // Puts a new picture in; the image-replaced flag is set.
    void SetImage(std::unique_ptr<CDib> image);
    // An image with pixels is loaded.
    bool HasImage() const;

    const std::string& GetImagePath() const { return m_imagePath; }
    // Another path no longer names a file known to hold the picture.
    void SetImagePath(const std::string& path);
    // The picture is now the one in the file at path: just read from it or written to it.
    void SetImageFile(const std::string& path);
    // The picture is exactly the one in the file the image path names: read from or written
    // to it, and unchanged since. Only then may a project refer to that file instead of
    // embedding the picture.
    bool ImageMatchesPath() const { return m_imageMatchesPath; }
    const std::string& GetExportPath() const { return m_exportPath; }
    void SetExportPath(const std::string& path) { m_exportPath = path; }

    int GetViewHint() const { return m_viewHint; }
    void SetViewHint(int hint) { m_viewHint = hint; }
    void ResetViewHint() { m_viewHint = kHintData; }

    bool IsImageEdited() const { return m_imageEdited != 0; }
    void SetImageEdited(bool on) { m_imageEdited = on; }
    bool IsDataEdited() const { return m_dataEdited != 0; }
    void SetDataEdited(bool on) { m_dataEdited = on; }
    bool IsImageReplaced() const { return m_imageReplaced != 0; }
    void SetImageReplaced(bool on) { m_imageReplaced = on; }
    void ClearChangeFlags();

    bool GetSortFlag() const { return m_sortFlag != 0; }
    void SetSortFlag(bool on) { m_sortFlag = on; }
    void ToggleSortFlag() { m_sortFlag = !m_sortFlag; }
    bool GetSaveReference() const { return m_saveReference != 0; }
    void SetSaveReference(bool on) { m_saveReference = on; }
    // Takes the "SaveReference" and "SortData" preferences; a changed sort flag notifies
    // the set manager's observers.
    void ApplyPreferences(bool saveReference, bool sortData);

    // Forwards to the set manager.
    int NewSet();
    std::unique_ptr<DbSetX3> ClearAll();
    std::unique_ptr<DbSetX1> ClearCurrentSet();
    std::unique_ptr<DbMemento> DeleteSet(int slot);
    void Restore(std::unique_ptr<DbMemento> memento);
    // The data-sets bar's choice: makes the slot current, view hint 3.
    void SelectSet(int slot);

    // Adds to the set at the slot (-1 the current set); marks the data edited. Returns the
    // slot used, or -1 (the caller keeps the primitive) when there is no such set.
    int AddPrim(std::unique_ptr<DbPrim>& prim, int slot);
    std::unique_ptr<DbPrim> RemovePrim(const DbPrim* prim, int slot);
    // The set manager's observers, then the attribute manager's, hear of a change.
    void NotifyAll();

    // Image operations of the image tasks: the pixel operation on the picture, image
    // edited set, view hint 1.
    void FlipImageHorizontal();
    void FlipImageVertical();
    void RotateImage(int angle);
    // The picture becomes a copy of image; image replaced set, the view hint is the one given.
    void SetImage(const CDib& image, int hint);
    // The same without a copy: the document's picture and image change places.
    void SwapImage(CDib& image, int hint);

    // Image pixel to graph coordinates through the document's mapping; false (output
    // untouched) when the position cannot be mapped.
    bool PixelToGraph(const DPoint& pixel, DPoint& graph) const override;
    bool PixelJacobian(const DPoint& pixel, double j[4]) const override;

    // A new representation of the attribute Rep presents (the mapping or the grid), owned
    // by the caller: FindRep<TransformMan>(), FindRep<RegGridVw>().
    template <class Rep> std::unique_ptr<Rep> FindRep()
    {
        return NewRep<Rep>(AttributeOf(static_cast<const typename Rep::Data*>(nullptr)));
    }
    // Graph units per logical unit of the window at the event's position, per axis, to
    // digits + 1 significant digits; (0, 0) when the position cannot be mapped.
    DPoint PixelResolution(const ToolEvent& e, int digits) const;

    // The document's modified flag follows the change flags.
    void OnTasksChanged() override;

private:
    AttributeData& AttributeOf(const TransformData*) const;
    AttributeData& AttributeOf(const RegGridData*) const;

    Document* m_document;
    std::unique_ptr<DbSetMgr> m_setMgr;
    std::unique_ptr<TransformData> m_transform;
    std::unique_ptr<RegGridData> m_grid;
    std::string m_imagePath;
    std::string m_exportPath;
    std::unique_ptr<CDib> m_image;
    int m_viewHint = kHintData;
    bool m_imageMatchesPath = false;
    int m_imageEdited = 0;
    int m_dataEdited = 0;
    int m_imageReplaced = 0;
    int m_sortFlag = 1;
    int m_saveReference = 0;
};
