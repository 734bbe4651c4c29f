#include "app/DialogForms.h"

#include "app/CChildFrame.h"
#include "app/CImageInfo.h"
#include "app/CImageMappingForm.h"
#include "app/CMainFrame.h"
#include "app/COptions.h"
#include "app/CSaveDlgForm.h"
#include "app/PdfPageForm.h"
#include "app/RegGridDlgForm.h"
#include "app/RegionNodesForm.h"
#include "app/TransDlgForm.h"
#include "document/CKurvoDoc.h"
#include "document/CPreferences.h"
#include "document/CSaveDlg.h"
#include "document/DocumentHooks.h"
#include "document/OptionsDlg.h"
#include "ui/AttGenDlg.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <QPointer>
#include <QWidget>

void InstallDialogForms(QWidget* parent)
{
    QPointer<QWidget> owner(parent);
    DocumentHooks& hooks = GetDocumentHooks();
    hooks.runAxisMapping = [owner](TransDlg& dlg) { return TransDlgForm::RunModal(dlg, owner); };
    hooks.runPixelMapping = [owner](CImageMapping& dlg) {
        return CImageMappingForm::RunModal(dlg, owner);
    };
    hooks.runGridSnap = [owner](RegGridDlg& dlg) { return RegGridDlgForm::RunModal(dlg, owner); };
    hooks.runRegionNodes = [owner](RegionNodesDlg& dlg) {
        return RegionNodesForm::RunModal(dlg, owner);
    };
    // The document applies the changed preferences itself.
    hooks.runOptions = [owner]() {
        OptionsDlg fields;
        fields.Load(GetPreferences());
        if (!COptions::RunModal(fields, owner))
            return false;
        fields.Store(GetPreferences());
        return true;
    };
    hooks.showImageInfo = [owner](const std::string& text) { CImageInfo::Show(text, owner); };
    hooks.runPdfPage = [owner](PdfPageDlg& dlg) { return PdfPageForm::RunModal(dlg, owner); };
    SetSaveDialogRunner([owner](CSaveDlg& dlg, std::string& path) {
        return CSaveDlgForm::RunModal(dlg, path, owner);
    });
}

void RemoveDialogForms()
{
    DocumentHooks& hooks = GetDocumentHooks();
    hooks.runAxisMapping = nullptr;
    hooks.runPixelMapping = nullptr;
    hooks.runGridSnap = nullptr;
    hooks.runRegionNodes = nullptr;
    hooks.runOptions = nullptr;
    hooks.showImageInfo = nullptr;
    hooks.runPdfPage = nullptr;
    SetSaveDialogRunner(nullptr);
}

AttGenDlg* InstallAttributeWindow(CMainFrame* frame)
{
    auto* window = new AttGenDlg(frame);
    frame->SetAttributeWindow(window);
    QPointer<AttGenDlg> bar(window);
    auto activeDocument = [frame]() -> CKurvoDoc* {
        CChildFrame* child = frame->ActiveChild();
        return child ? dynamic_cast<CKurvoDoc*>(child->DocumentTarget()) : nullptr;
    };
    QObject::connect(frame->MdiArea(), &QMdiArea::subWindowActivated, window,
                     [bar, activeDocument] {
                         CKurvoDoc* doc = activeDocument();
                         bar->SetPlotData(doc ? doc->GetPlotData() : nullptr);
                     });
    DocumentHooks& hooks = GetDocumentHooks();
    hooks.dataCreated = [previous = hooks.dataCreated, bar, activeDocument](CKurvoDoc* doc) {
        if (previous)
            previous(doc);
        if (bar && activeDocument() == doc)
            bar->SetPlotData(doc->GetPlotData());
    };
    hooks.dataDeleting = [previous = hooks.dataDeleting, bar](CKurvoDoc* doc) {
        if (previous)
            previous(doc);
        if (bar && bar->GetPlotData() && bar->GetPlotData() == doc->GetPlotData())
            bar->SetPlotData(nullptr);
    };
    return window;
}
