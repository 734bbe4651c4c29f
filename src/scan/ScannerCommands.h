#pragma once

#include "platform/Command.h"
#include "platform/CommandMap.h"
#include "scan/ScanReceiver.h"
#include "scan/TwainTransfers.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Profile;

// The main frame's scanner duties, free of any toolkit: the TWAIN connection, the commands
// Scanner Select Source, Scanner Acquire and Close Twain (ID_SCAN_*) with their enable rules,
// the messages of a failed acquisition, and the hand-over of every delivered image to the
// shell, which makes it a new untitled document. The main frame owns one and forwards its
// creation, destruction and the commands.
//
// With a source chooser from the shell, Select Source offers the SANE devices beside the TWAIN
// source manager (when one loads) and remembers the choice in the settings (section
// "Scanner", key "Source": "sane:" and the device name, or "twain"); Acquire then opens the
// shell's acquisition dialog for a SANE device. Without a chooser, the commands speak TWAIN
// only.
class ScannerCommands : public TwainTransfers, public CommandTarget, public ScanReceiver {
public:
    // Makes a new untitled document of a delivered image (a packed bitmap: header, colour
    // table, pixels), taken in through an image paste with the undo lists cleared after it;
    // false when no document could be opened.
    using NewDocumentHandler = std::function<bool(const std::vector<std::uint8_t>& dib)>;
    // Posts a command to the frame, to be carried out once the current event is done.
    using CommandPoster = std::function<void(CommandId id)>;

    void SetNewDocumentHandler(NewDocumentHandler handler) { m_newDocument = std::move(handler); }
    void SetCommandPoster(CommandPoster poster) { m_postCommand = std::move(poster); }

    // Lets the user pick one of the sources' labels; answers its index, or -1.
    using SourceChooser = std::function<int(const std::vector<std::string>& labels, int current)>;
    // Runs the acquisition dialog for a SANE device.
    using SaneAcquirer = std::function<void(const std::string& device)>;
    void SetSourceChooser(SourceChooser chooser) { m_chooseSource = std::move(chooser); }
    void SetSaneAcquirer(SaneAcquirer acquirer) { m_saneAcquire = std::move(acquirer); }
    // The settings the chosen source is kept in; not owned, may be null.
    void SetSettings(Profile* settings) { m_settings = settings; }
    // The SANE device chosen, or empty when the source is TWAIN or none was chosen.
    std::string ChosenSaneDevice() const;

    bool ImageScanned(const std::vector<std::uint8_t>& dib) override;
    void ScanFailed(const std::string& message) override;

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
    void OnAcquire();
    void OnCloseTwain();
    bool SelectTwainSource();
    std::string ChosenSource() const;

    bool m_sourceSelected = false;
    NewDocumentHandler m_newDocument;
    CommandPoster m_postCommand;
    SourceChooser m_chooseSource;
    SaneAcquirer m_saneAcquire;
    Profile* m_settings = nullptr;
};
