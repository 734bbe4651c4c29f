#pragma once

#include "platform/Command.h"
#include "platform/Document.h"
#include "platform/Geometry.h"

#include <memory>
#include <stdexcept>
#include <string>

class Archive;
template <class Target> class CommandMap;
class PlotData;
class Task;
class TransformMan;
struct ToolEvent;

// Abandons a load or save after its message was shown.
class UserException : public std::runtime_error {
public:
    UserException() : std::runtime_error("abandoned") {}
};

// One open picture with its data: where opening and saving start, and the document-level
// commands (undo and redo, mapping and grid, data sets, image operations, clipboard).
class CKurvoDoc : public Document, public CommandTarget {
public:
    // Texts of failures.
    static const char* const kUnknownFileType;
    static const char* const kNoPointsToSave;
    static const char* const kProblemSavingImage;
    static const char* const kFailedToOpen;
    static const char* const kFailedToSave;
    static const char* const kFailedToWrite;
    static const char* const kSaveTitle;
    static const char* const kSaveCopyTitle;

    CKurvoDoc();
    ~CKurvoDoc() override;

    PlotData* GetPlotData() const { return m_data.get(); }

    // New and Open fill the document; false when it cannot be opened.
    bool OnNewDocument();
    bool OnOpenDocument(const std::string& path);
    // Writes the file in the format its extension names (points text by default).
    bool OnSaveDocument(const std::string& path);
    // Save (path, replace) and Save As (empty path): asks for a name when there is no path
    // or the document has not been saved yet, saves, and empties the undo history.
    bool DoSave(const std::string& path, bool replace);
    bool Save() { return DoSave(GetPathName(), true); }
    bool SaveAs() { return DoSave(std::string(), true); }
    // Asks for the file name to save to (the save dialog); true when confirmed.
    virtual bool PromptSaveFileName(std::string& name, const std::string& title);
    void DeleteContents();

    // The project file: the magic and the content. Loading raises UserException when the
    // file is no project file (after its message) and ArchiveError when it is unreadable.
    void Serialize(Archive& ar);

    // The title from a path: without its extension until the first save, "*" when modified;
    // also fills status-bar panes 2 (points in the current set) and 4 (image file).
    void SetTitle(const std::string& path) override;
    void SetModifiedFlag(bool modified = true) override;
    bool GetMustPrompt() const { return m_mustPrompt != 0; }

    bool IsImageLoaded() const;
    // At least 1 by 1.
    ISize GetImageSize() const;

    // Drawing for the image view.
    void DrawRegion(ToolEvent& e);
    void DrawData(ToolEvent& e);
    void DrawGrid(ToolEvent& e);

    // Performs a task and updates every view with the data's view hint.
    bool ExecuteTask(std::unique_ptr<Task> task);
    // The data-sets bar's choice of the current set.
    void SelectSet(int slot);
    // The text of the image information.
    std::string ImageInfo() const;

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

    TransformMan* GetTransformMan() const { return m_transformMan.get(); }

private:
    // The document's commands: what each does and when it is offered.
    static const CommandMap<CKurvoDoc>& Commands();
    bool HasRegion() const;
    void DefineFullSizedRegion();
    void CreateData();
    void UpdateViewsWithHint();
    bool OpenProject(const std::string& path);
    void Copy();
    void Paste();

    std::unique_ptr<PlotData> m_data;
    int m_mustPrompt = 1;
    std::unique_ptr<TransformMan> m_transformMan;
};
