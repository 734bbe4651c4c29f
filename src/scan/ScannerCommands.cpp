#include "scan/ScannerCommands.h"

#include "platform/CommandIds.h"
#include "platform/UiServices.h"

const CommandMap<ScannerCommands>& ScannerCommands::Commands()
{
    using Scanner = ScannerCommands;
    static const CommandMap<Scanner> commands = {
        {ID_SCAN_SELECT_SOURCE, [](Scanner& scanner, CommandId) { scanner.OnSelectSource(); },
         [](Scanner& scanner, CommandId, CommandState& state) {
             state.Enable(scanner.IsTwainAvailable());
         }},
        // Failures are reported by BeginAcquire itself.
        {ID_SCAN_ACQUIRE, [](Scanner& scanner, CommandId) { scanner.BeginAcquire(); },
         [](Scanner& scanner, CommandId, CommandState& state) {
             state.Enable(scanner.GetState() >= kSourceManagerLoaded && scanner.m_sourceSelected);
         }},
        // Offered always: it refuses by itself while images are on their way.
        {ID_SCAN_CLOSE, [](Scanner& scanner, CommandId) { scanner.OnCloseTwain(); }},
    };
    return commands;
}

void ScannerCommands::OnCreateFrame(TW_HANDLE frameWindow)
{
    if (IsTwainAvailable()) {
        SetDefaultWindow(frameWindow);
        SetTransferMechanism(TWSX_NATIVE);
        SetShowUI(true);
    }
    SetAppIdentity(1, 2, 1, 1, "1.2", "Kurvo", "Kurvo", "Kurvo");
}

void ScannerCommands::OnDestroyFrame()
{
    CloseSourceManager();
    UnloadSourceManager();
}

bool ScannerCommands::OnCommand(CommandId id)
{
    return Commands().Run(*this, id);
}

bool ScannerCommands::OnUpdateCommand(CommandId id, CommandState& state)
{
    return Commands().Update(*this, id, state);
}

void ScannerCommands::OnSelectSource()
{
    if (!OpenSourceManager()) {
        TwainError(kErrorOpenManager);
        return;
    }
    if (SelectSource())
        m_sourceSelected = true;
}

void ScannerCommands::OnCloseTwain()
{
    if (GetState() < kTransferReady)
        CloseSource();
    else
        GetUiServices().MessageBox("Unable to close TWAIN source!");
}

void ScannerCommands::DibReceived(std::vector<std::uint8_t> dib)
{
    if (!m_newDocument || !m_newDocument(dib)) {
        GetUiServices().MessageBox("Unable to open new document!");
        return;
    }
    // Closing right here would find the source still busy with further pending images.
    if (m_postCommand)
        m_postCommand(ID_SCAN_CLOSE);
}

void ScannerCommands::TwainError(int)
{
    GetUiServices().MessageBox("A TWAIN error occurred.", "Kurvo", MsgButtons::Ok,
                               MsgIcon::Information);
}
