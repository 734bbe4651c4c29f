#include "scan/ScannerCommands.h"

#include "platform/CommandIds.h"
#include "platform/UiServices.h"

const ScannerCommands::Entry* ScannerCommands::Find(CommandId id)
{
    static const Entry kCommands[] = {
        {ID_SCAN_SELECT_SOURCE, &ScannerCommands::OnSelectSource,
         &ScannerCommands::CanSelectSource},
        {ID_SCAN_ACQUIRE, &ScannerCommands::OnAcquire, &ScannerCommands::CanAcquire},
        {ID_SCAN_CLOSE, &ScannerCommands::OnCloseTwain, nullptr},
    };
    for (const Entry& entry : kCommands)
        if (entry.id == id)
            return &entry;
    return nullptr;
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
    const Entry* entry = Find(id);
    if (!entry)
        return false;
    (this->*entry->handler)();
    return true;
}

bool ScannerCommands::OnUpdateCommand(CommandId id, CommandState& state)
{
    const Entry* entry = Find(id);
    if (!entry)
        return false;
    if (entry->enabled)
        state.Enable((this->*entry->enabled)());
    return true;
}

bool ScannerCommands::CanSelectSource()
{
    return IsTwainAvailable();
}

bool ScannerCommands::CanAcquire()
{
    return GetState() >= kSourceManagerLoaded && m_sourceSelected;
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
        m_postCommand(ID_SCAN_CLOSE);
}

void ScannerCommands::TwainError(int)
{
    GetUiServices().MessageBox("A TWAIN error occurred.", "Kurvo", MsgButtons::Ok,
                               MsgIcon::Information);
}
