#pragma once

#include "document/CPreferences.h"
#include "document/RecentFileList.h"
#include "platform/Command.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;
template <class Target> class CommandMap;
class DocumentManager;
class PictureReadAhead;
class Profile;
class QtUiServices;
class UiServices;

// The application: starts the program (settings, main frame, command line), owns the
// preferences and the recent-file list, handles New, Open, the recent files, Print Setup,
// About and Exit, and writes the settings at a normal exit.
class CKurvoApp : public QObject, public CommandTarget {
    Q_OBJECT
public:
    // How documents come into being. Each answers whether it succeeded.
    struct DocumentHooks {
        std::function<bool()> newDocument;
        std::function<bool(const std::string& path)> openDocument;
    };
    // A document type: its filter name and extension (".kvx", ".bmp;*.dib;...").
    struct DocTemplate {
        std::string filterName;
        std::string filterExt;
    };

    // The settings are read from and written to profile. services are the desktop's
    // (not owned); null installs the Qt implementation, owned by the application.
    explicit CKurvoApp(std::unique_ptr<Profile> profile, UiServices* services = nullptr);
    ~CKurvoApp() override;

    // The whole program: constructs the Qt application, starts, runs and exits.
    static int Main(int argc, char** argv);

    // Start-up in order; false ends the program. arguments are the program's, the first
    // being the program itself.
    bool InitInstance(const QStringList& arguments);
    // Writes the settings; returns the exit code.
    int ExitInstance(int exitCode);

    CPreferences& GetPreferences() { return m_preferences; }
    RecentFileList& RecentFiles() { return m_recent; }
    Profile& GetProfile() { return *m_profile; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    // The open documents and their windows (exists from start-up on).
    DocumentManager* Documents() const { return m_docs.get(); }

    void SetDocumentHooks(DocumentHooks hooks) { m_hooks = std::move(hooks); }
    // Opens a file as a document and enters it in the recent-file list.
    bool OpenDocumentFile(const std::string& path);
    // The file named on the command line, kept until a document can open it.
    const std::string& CommandLineFile() const { return m_commandLineFile; }

    // The Open dialog's filters ("Name|patterns") and the filter it pre-selects (0-based).
    std::vector<std::string> OpenFilters() const;
    int OpenFilterIndex() const { return m_openFilterIndex; }
    const std::vector<DocTemplate>& Templates() const { return m_templates; }

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

private:
    // New, Open, the recent files, Print Setup, About and Exit.
    static const CommandMap<CKurvoApp>& Commands();
    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    void OnFilePrintSetup();
    // The desktop's answers to what documents ask of it (recent files, dialogs, the bars).
    void InstallDocumentHooks();

    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<QtUiServices> m_ownServices;
    UiServices* m_services;
    CPreferences m_preferences;
    RecentFileList m_recent;
    std::vector<DocTemplate> m_templates;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<DocumentManager> m_docs;
    DocumentHooks m_hooks;
    std::string m_commandLineFile;
    // The file named on the command line, read while the program starts; gone once the
    // command line is dealt with.
    std::unique_ptr<PictureReadAhead> m_readAhead;
    // The Open dialog starts on image files, then on whatever was chosen last.
    int m_openFilterIndex = 1;
};
