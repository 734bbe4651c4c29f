#include "scan/ScannerCommands.h"

#include "platform/UiServices.h"

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
    switch (id) {
    case kSelectSource:
        OnSelectSource();
        return true;
    case kAcquire:
        OnAcquire();
        return true;
    case kCloseTwain:
        OnCloseTwain();
        return true;
    default:
        return false;
    }
}

bool ScannerCommands::OnUpdateCommand(CommandId id, CommandState& state)
{
    switch (id) {
    case kSelectSource:
        state.Enable(IsTwainAvailable());
        return true;
    case kAcquire:
        state.Enable(GetState() >= kSourceManagerLoaded && m_sourceSelected);
        return true;
    default:
        return false;
    }
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

void ScannerCommands::OnAcquire()
{
    // Failures were reported by BeginAcquire itself.
    BeginAcquire();
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
        m_postCommand(kCloseTwain);
}

void ScannerCommands::TwainError(int)
{
    GetUiServices().MessageBox("A TWAIN error occurred.", "Kurvo", MsgButtons::Ok,
                               MsgIcon::Information);
}
