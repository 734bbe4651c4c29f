#include "app/CKurvoApp.h"

#include "app/AppPrinter.h"
#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/COptions.h"
#include "app/DialogForms.h"
#include "app/DocumentManager.h"
#include "app/QtProfile.h"
#include "app/QtUiServices.h"
#include "app/WindowPlacement.h"
#include "document/CKurvoDoc.h"
#include "document/DocumentHooks.h"
#include "document/OptionsDlg.h"
#include "image/PictureReadAhead.h"
#include "platform/CommandIds.h"
#include "platform/CommandMap.h"
#include "platform/UiServices.h"

#include <QApplication>

#ifdef QT_PRINTSUPPORT_LIB
#include <QPageSetupDialog>
#endif

#include <clocale>

namespace {

const char* const kAllFilesFilter = "All Files (*.*)|*.*";

} // namespace

CKurvoApp::CKurvoApp(std::unique_ptr<Profile> profile, UiServices* services)
    : m_profile(std::move(profile)), m_services(services), m_recent(kRecentFileCount)
{
    if (!m_services) {
        m_ownServices = std::make_unique<QtUiServices>();
        m_services = m_ownServices.get();
    }
    SetUiServices(m_services);
    ::SetPreferences(&m_preferences);
}

CKurvoApp::~CKurvoApp()
{
    OptionsDlg::SetRunner(nullptr);
    // Documents and their windows go while the frame and its bars still stand.
    m_docs.reset();
    RemoveDialogForms();
    ::GetDocumentHooks() = ::DocumentHooks{};
    m_frame.reset();
#ifdef QT_PRINTSUPPORT_LIB
    ReleaseAppPrinter();
#endif
    ::SetPreferences(nullptr);
    SetUiServices(nullptr);
}

int CKurvoApp::Main(int argc, char** argv)
{
    // A picture named on the command line is read on the second core while Qt starts and the
    // windows are made. Qt's own options are not known yet: a word that follows one of them
    // is read for nothing, and the document reads the file it is given itself.
    auto readAhead = std::make_unique<PictureReadAhead>();
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') {
            readAhead->Start(argv[i]);
            break;
        }
    }
    QApplication qapp(argc, argv);
    // Qt takes the process locale from the environment; numbers are always C.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("Veldmark Software"));
    QApplication::setApplicationName(QStringLiteral("Kurvo"));

    CKurvoApp app(std::make_unique<QtProfile>());
    app.m_readAhead = std::move(readAhead);
    if (!app.InitInstance(QApplication::arguments()))
        return app.ExitInstance(0);
    return app.ExitInstance(QApplication::exec());
}

bool CKurvoApp::InitInstance(const QStringList& arguments)
{
    // Settings first, then the recent files.
    m_preferences.LoadSettings(*m_profile);
    m_recent.Load(*m_profile);

    // The project document type.
    m_templates.clear();
    m_templates.push_back({"Kurvo Files (*.kvx)", ".kvx"});

    // The main frame.
    m_frame = std::make_unique<CMainFrame>(*m_profile);
    m_frame->SetAppTarget(this);
    m_frame->SetRecentFiles(&m_recent);
    m_frame->SetDropHandler([this](const std::string& path) { OpenDocumentFile(path); });
    {
        CMainFrame* frame = m_frame.get();
        OptionsDlg::SetRunner(
            [frame](OptionsDlg& fields) { return COptions::RunModal(fields, frame); });
        InstallDialogForms(frame);
        InstallAttributeWindow(frame);
    }
    m_docs = std::make_unique<DocumentManager>(m_frame.get());
    InstallDocumentHooks();
    if (m_ownServices) {
        CMainFrame* frame = m_frame.get();
        m_ownServices->SetStatusSink([frame](int pane, const std::string& text) {
            frame->SetPaneText(pane, QString::fromStdString(text));
        });
    }

    // The command line: the first argument that is not an option names a file to open.
    // Without one no document is created.
    m_commandLineFile.clear();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith(u'-')) {
            m_commandLineFile = arguments[i].toStdString();
            break;
        }
    }
    // A file that does not open has shown its message; the program starts without it.
    if (!m_commandLineFile.empty() && m_hooks.openDocument) {
        OpenDocumentFile(m_commandLineFile);
        m_commandLineFile.clear();
    }
    m_readAhead.reset();

    m_frame->ShowWithPlacement(WindowPlacement::kShowNormal);

    // The image document types, for the Open dialog's filter list: every picture kind the
    // program reads, then each kind alone. The file's content, not its name, decides how it
    // is read.
    static const char* const kinds[][2] = {
        {"Bitmap Files", "*.bmp;*.dib"}, {"TIFF Files", "*.tif;*.tiff"},
        {"PNG Files", "*.png"},          {"JPEG Files", "*.jpg;*.jpeg;*.jpe"},
        {"GIF Files", "*.gif"},          {"WebP Files", "*.webp"},
        {"PDF Files", "*.pdf"}};
    std::string all;
    for (const auto& kind : kinds)
        all += (all.empty() ? "" : ";") + std::string(kind[1]);
    m_templates.push_back({"All Pictures (" + all + ")", all.substr(1)});
    for (const auto& kind : kinds)
        m_templates.push_back(
            {std::string(kind[0]) + " (" + kind[1] + ")", std::string(kind[1]).substr(1)});
    return true;
}

int CKurvoApp::ExitInstance(int exitCode)
{
    m_preferences.SaveSettings(*m_profile);
    m_recent.Save(*m_profile);
    if (auto* qt = dynamic_cast<QtProfile*>(m_profile.get()))
        qt->Sync();
    return exitCode;
}

void CKurvoApp::InstallDocumentHooks()
{
    DocumentManager* docs = m_docs.get();
    if (!m_hooks.newDocument)
        m_hooks.newDocument = [docs] { return docs->NewDocument() != nullptr; };
    if (!m_hooks.openDocument)
        m_hooks.openDocument = [docs](const std::string& path) {
            return docs->OpenDocument(path) != nullptr;
        };
    m_frame->SetScannedImageHandler(
        [docs](const std::vector<std::uint8_t>& dib) { return docs->NewDocumentFromDib(dib); });

    ::DocumentHooks& hooks = ::GetDocumentHooks();
    hooks.addRecentFile = [this](const std::string& path) { m_recent.Add(path); };
    hooks.takePicture = [this](const std::string& path) {
        return m_readAhead ? m_readAhead->Take(path) : nullptr;
    };
}

bool CKurvoApp::OpenDocumentFile(const std::string& path)
{
    if (path.empty() || !m_hooks.openDocument)
        return false;
    if (!m_hooks.openDocument(path))
        return false;
    m_recent.Add(path);
    return true;
}

std::vector<std::string> CKurvoApp::OpenFilters() const
{
    std::vector<std::string> filters;
    for (const DocTemplate& t : m_templates)
        if (!t.filterName.empty() && !t.filterExt.empty())
            filters.push_back(t.filterName + "|*" + t.filterExt);
    filters.push_back(kAllFilesFilter);
    return filters;
}

void CKurvoApp::OnFileNew()
{
    if (m_hooks.newDocument)
        m_hooks.newDocument();
}

void CKurvoApp::OnFileOpen()
{
    FilePrompt prompt;
    prompt.save = false;
    prompt.title = "Open";
    prompt.filters = OpenFilters();
    const int count = static_cast<int>(prompt.filters.size());
    if (m_openFilterIndex < 0 || m_openFilterIndex >= count)
        m_openFilterIndex = 0;
    prompt.filterIndex = m_openFilterIndex + 1;
    // A document type's filter also gives the default extension (its first one).
    std::vector<const DocTemplate*> listed;
    for (const DocTemplate& t : m_templates)
        if (!t.filterName.empty() && !t.filterExt.empty())
            listed.push_back(&t);
    if (m_openFilterIndex < static_cast<int>(listed.size())) {
        std::string ext = listed[m_openFilterIndex]->filterExt;
        ext = ext.substr(0, ext.find(';'));
        if (!ext.empty() && ext.front() == '.')
            ext.erase(0, 1);
        prompt.defaultExtension = ext;
    }
    if (!m_services->PromptFileName(prompt))
        return;
    if (prompt.filterIndex >= 1 && prompt.filterIndex <= count)
        m_openFilterIndex = prompt.filterIndex - 1;
    OpenDocumentFile(prompt.fileName);
}

void CKurvoApp::OnAppAbout()
{
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

void CKurvoApp::OnFilePrintSetup()
{
#ifdef QT_PRINTSUPPORT_LIB
    QPageSetupDialog dialog(&AppPrinter(), m_frame.get());
    dialog.exec();
#endif
}

const CommandMap<CKurvoApp>& CKurvoApp::Commands()
{
    using App = CKurvoApp;
    static const CommandMap<App> commands = {
        {ID_FILE_MRU_FILE1,
         [](App& app, CommandId id) {
             const int index = id - ID_FILE_MRU_FILE1;
             const std::string path = app.m_recent.At(index);
             // An entry that no longer opens leaves the list.
             if (!path.empty() && app.m_hooks.openDocument && !app.OpenDocumentFile(path))
                 app.m_recent.Remove(index);
         },
         [](App& app, CommandId id, CommandState& state) {
             state.Enable(static_cast<bool>(app.m_hooks.openDocument) &&
                          id - ID_FILE_MRU_FILE1 < app.m_recent.Size());
         },
         kRecentFileCount},
        {ID_APP_ABOUT, [](App& app, CommandId) { app.OnAppAbout(); }},
        {ID_FILE_OPEN, [](App& app, CommandId) { app.OnFileOpen(); },
         [](App& app, CommandId, CommandState& state) {
             state.Enable(static_cast<bool>(app.m_hooks.openDocument));
         }},
        {ID_FILE_NEW, [](App& app, CommandId) { app.OnFileNew(); },
         [](App& app, CommandId, CommandState& state) {
             state.Enable(static_cast<bool>(app.m_hooks.newDocument));
         }},
#ifdef QT_PRINTSUPPORT_LIB
        {ID_FILE_PRINT_SETUP, [](App& app, CommandId) { app.OnFilePrintSetup(); }},
#endif
        {ID_APP_EXIT,
         [](App& app, CommandId) {
             if (app.m_frame)
                 app.m_frame->close();
         }},
    };
    return commands;
}

bool CKurvoApp::OnCommand(CommandId id)
{
    // What the application does not know, the open documents may.
    return Commands().Run(*this, id) || (m_docs && m_docs->OnCommand(id));
}

bool CKurvoApp::OnUpdateCommand(CommandId id, CommandState& state)
{
    return Commands().Update(*this, id, state) || (m_docs && m_docs->OnUpdateCommand(id, state));
}
