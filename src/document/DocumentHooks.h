#pragma once

#include <functional>
#include <memory>
#include <string>

class CDib;
class CImageMapping;
class CKurvoDoc;
class PdfPageDlg;
class RegGridDlg;
class RegionNodesDlg;
class TransDlg;

// What a document asks of the program around it: the desktop program installs its forms
// and bars here; without them (kurvo-cli, tests) dialogs are cancelled and nothing is shown.
struct DocumentHooks {
    // A document made its data (New, Open): the data-sets bar shows it.
    std::function<void(CKurvoDoc*)> dataCreated;
    // A document is about to delete its data (closing, New, Open): whoever shows or
    // observes that data lets go of it.
    std::function<void(CKurvoDoc*)> dataDeleting;
    // A saved path enters the recent-file list.
    std::function<void(const std::string&)> addRecentFile;
    // The dialogs: each shows its form over the model and answers whether it closed with OK
    // (the model's OnOK performed the change).
    std::function<bool(TransDlg&)> runAxisMapping;
    std::function<bool(CImageMapping&)> runPixelMapping;
    std::function<bool(RegGridDlg&)> runGridSnap;
    std::function<bool(RegionNodesDlg&)> runRegionNodes;
    // The Options dialog; true when the preferences were changed with OK.
    std::function<bool()> runOptions;
    // Shows the image information text.
    std::function<void(const std::string&)> showImageInfo;
    // Asks which page of a PDF to open, and at what resolution; without it a PDF opens at
    // its first page at the default resolution.
    std::function<bool(PdfPageDlg&)> runPdfPage;
    // The picture of a file, already read (the desktop program reads the file named on its
    // command line while it starts); nothing, and the document reads the file itself.
    std::function<std::unique_ptr<CDib>(const std::string&)> takePicture;
};

DocumentHooks& GetDocumentHooks();
