#pragma once

#include "platform/Command.h"
#include "platform/CommandMap.h"
#include "scan/TwainTransfers.h"

#include <cstdint>
#include <functional>
#include <vector>

// The main frame's scanner duties, free of any toolkit: the TWAIN connection, the commands
// Scanner Select Source, Scanner Acquire and Close Twain (ID_SCAN_*) with their enable rules,
// the messages of a failed acquisition, and the hand-over of every delivered image to the
// shell, which makes it a new untitled document. The main frame owns one and forwards its
// creation, destruction and the commands.
class ScannerCommands : public TwainTransfers, public CommandTarget {
public:
    // Makes a new untitled document of a delivered image (a packed bitmap: header, colour
    // table, pixels), taken in through an image paste with the undo lists cleared after it;
    // false when no document could be opened.
    using NewDocumentHandler = std::function<bool(const std::vector<std::uint8_t>& dib)>;
    // Posts a command to the frame, to be carried out once the current event is done.
    using CommandPoster = std::function<void(CommandId id)>;

    void SetNewDocumentHandler(NewDocumentHandler handler) { m_newDocument = std::move(handler); }
    void SetCommandPoster(CommandPoster poster) { m_postCommand = std::move(poster); }

    // At the frame's creation: with a source manager at hand, the frame becomes the default
    // window for the source's dialogs, transfers are native and the source shows its dialog;
    // then the program announces its identity.
    void OnCreateFrame(TW_HANDLE frameWindow);
    // At the frame's destruction: closes and unloads the source manager.
    void OnDestroyFrame();

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

protected:
    void DibReceived(std::vector<std::uint8_t> dib) override;
    void TwainError(int code) override;

private:
    static const CommandMap<ScannerCommands>& Commands();

    void OnSelectSource();
    void OnCloseTwain();

    bool m_sourceSelected = false;
    NewDocumentHandler m_newDocument;
    CommandPoster m_postCommand;
};
