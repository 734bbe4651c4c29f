#include "scan/ScannerCommands.h"

#include "platform/CommandIds.h"
#include "platform/Profile.h"
#include "platform/UiServices.h"
#include "scan/SaneLibrary.h"
#include "scan/SaneScanner.h"

namespace {

const char kSection[] = "Scanner";
const char kSourceKey[] = "Source";
const char kSanePrefix[] = "sane:";
const char kTwain[] = "twain";

} // namespace

const CommandMap<ScannerCommands>& ScannerCommands::Commands()
{
    using Scanner = ScannerCommands;
    static const CommandMap<Scanner> commands = {
        {ID_SCAN_SELECT_SOURCE, [](Scanner& scanner, CommandId) { scanner.OnSelectSource(); },
         [](Scanner& scanner, CommandId, CommandState& state) {
             state.Enable(scanner.IsTwainAvailable() ||
                          (scanner.m_chooseSource && SaneLibrary::Get()));
         }},
        // Failures are reported by BeginAcquire itself.
        {ID_SCAN_ACQUIRE, [](Scanner& scanner, CommandId) { scanner.OnAcquire(); },
         [](Scanner& scanner, CommandId, CommandState& state) {
             const bool sane = scanner.m_saneAcquire && !scanner.ChosenSaneDevice().empty();
             state.Enable(sane || (scanner.GetState() >= kSourceManagerLoaded &&
                                   scanner.m_sourceSelected && scanner.ChosenSource() != "sane"));
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

std::string ScannerCommands::ChosenSource() const
{
    const std::string source = m_settings ? m_settings->GetString(kSection, kSourceKey, "") : "";
    return source.rfind(kSanePrefix, 0) == 0 ? "sane" : source;
}

std::string ScannerCommands::ChosenSaneDevice() const
{
    const std::string source = m_settings ? m_settings->GetString(kSection, kSourceKey, "") : "";
    return source.rfind(kSanePrefix, 0) == 0 ? source.substr(sizeof kSanePrefix - 1) : "";
}

void ScannerCommands::OnSelectSource()
{
    if (!m_chooseSource) {
        SelectTwainSource();
        return;
    }
    std::vector<std::string> labels, keys;
    std::string error;
    for (const SaneDevice& device : SaneScanner::Devices(&error)) {
        labels.push_back(device.Label());
        keys.push_back(kSanePrefix + device.name);
    }
    if (IsTwainAvailable()) {
        labels.push_back("TWAIN source manager");
        keys.push_back(kTwain);
    }
    // With TWAIN alone there is nothing to choose between: its own selection follows.
    if (keys.size() == 1 && keys[0] == kTwain) {
        if (SelectTwainSource() && m_settings)
            m_settings->WriteString(kSection, kSourceKey, kTwain);
        return;
    }
    if (keys.empty()) {
        GetUiServices().MessageBox(error.empty() ? "No scanner was found." : error, "Kurvo",
                                   MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const std::string current = m_settings ? m_settings->GetString(kSection, kSourceKey, "") : "";
    int currentIndex = 0;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == current)
            currentIndex = static_cast<int>(i);
    const int chosen = m_chooseSource(labels, currentIndex);
    if (chosen < 0 || chosen >= static_cast<int>(keys.size()))
        return;
    if (keys[chosen] == kTwain && !SelectTwainSource())
        return;
    if (m_settings)
        m_settings->WriteString(kSection, kSourceKey, keys[chosen]);
}

bool ScannerCommands::SelectTwainSource()
{
    if (!OpenSourceManager()) {
        TwainError(kErrorOpenManager);
        return false;
    }
    if (!SelectSource())
        return false;
    m_sourceSelected = true;
    return true;
}

void ScannerCommands::OnAcquire()
{
    const std::string device = ChosenSaneDevice();
    if (!device.empty() && m_saneAcquire) {
        m_saneAcquire(device);
        return;
    }
    BeginAcquire();
}

void ScannerCommands::OnCloseTwain()
{
    if (GetState() < kTransferReady)
        CloseSource();
    else
        GetUiServices().MessageBox("Unable to close TWAIN source!");
}

bool ScannerCommands::ImageScanned(const std::vector<std::uint8_t>& dib)
{
    if (!m_newDocument || !m_newDocument(dib)) {
        GetUiServices().MessageBox("Unable to open new document!");
        return false;
    }
    return true;
}

void ScannerCommands::ScanFailed(const std::string& message)
{
    GetUiServices().MessageBox(message, "Kurvo", MsgButtons::Ok, MsgIcon::Warning);
}

void ScannerCommands::DibReceived(std::vector<std::uint8_t> dib)
{
    if (!ImageScanned(dib))
        return;
    // Closing right here would find the source still busy with further pending images.
    if (m_postCommand)
        m_postCommand(ID_SCAN_CLOSE);
}

void ScannerCommands::TwainError(int)
{
    GetUiServices().MessageBox("A TWAIN error occurred.", "Kurvo", MsgButtons::Ok,
                               MsgIcon::Information);
}
