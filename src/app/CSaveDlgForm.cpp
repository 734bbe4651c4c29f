#include "app/CSaveDlgForm.h"

#include "app/ContextHelp.h"
#include "document/CSaveDlg.h"
#include "document/SaveFormat.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QStringList>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

CSaveDlgForm::CSaveDlgForm(CSaveDlg& dlg, QWidget* parent)
    : QFileDialog(parent), m_dlg(dlg),
      m_sortData(new QCheckBox(QStringLiteral("Sort Data Points"), this)),
      m_saveBitmapCopy(new QCheckBox(QStringLiteral("Save Bitmap Copy"), this))
{
    setWindowTitle(Q(dlg.m_title));
    // The check boxes live inside the dialog, which only the toolkit's own dialog allows.
    setOption(QFileDialog::DontUseNativeDialog, true);
    // Replacing is confirmed for the path the chosen format gives, not the name typed.
    setOption(QFileDialog::DontConfirmOverwrite, true);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (int entry = 1; entry <= CSaveDlg::kEntryCount; ++entry)
        filters << QString::fromLatin1(CSaveDlg::FilterName(entry));
    setNameFilters(filters);

    m_sortData->setObjectName(QStringLiteral("SortData"));
    m_saveBitmapCopy->setObjectName(QStringLiteral("SaveBitmapCopy"));
    m_sortData->setChecked(dlg.m_sortData);
    m_saveBitmapCopy->setChecked(dlg.m_saveBitmapCopy);
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(m_sortData, row, 1);
        grid->addWidget(m_saveBitmapCopy, row + 1, 1);
    }

    if (!dlg.m_folder.empty())
        setDirectory(Q(dlg.m_folder));
    connect(this, &QFileDialog::filterSelected, this, &CSaveDlgForm::OnFilterSelected);
    SelectEntry(dlg.m_entry);
    AddContextHelp(this);
}

void CSaveDlgForm::SelectEntry(int entry)
{
    selectNameFilter(QString::fromLatin1(CSaveDlg::FilterName(entry)));
    // The name typed so far stays; only its extension follows the format.
    const auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    m_dlg.OnFilterChanged(entry, name ? name->text().toStdString() : std::string());
    selectFile(Q(m_dlg.m_fileName));
    EnableChecks();
}

void CSaveDlgForm::OnFilterSelected(const QString& filter)
{
    for (int entry = 1; entry <= CSaveDlg::kEntryCount; ++entry) {
        if (filter == QString::fromLatin1(CSaveDlg::FilterName(entry))) {
            SelectEntry(entry);
            return;
        }
    }
}

void CSaveDlgForm::EnableChecks()
{
    m_sortData->setEnabled(m_dlg.SortEnabled());
    m_saveBitmapCopy->setEnabled(m_dlg.BitmapCopyEnabled());
}

bool CSaveDlgForm::Finish(const QString& chosen)
{
    const std::string typed = chosen.toStdString();
    const std::string path = StripKnownExtension(typed) + CSaveDlg::FilterExtension(m_dlg.m_entry);
    if (QFileInfo::exists(Q(path))) {
        const std::string question = path + " already exists.\nDo you want to replace it?";
        if (GetUiServices().MessageBox(question, "Kurvo", MsgButtons::YesNo, MsgIcon::Warning) !=
            MsgResult::Yes)
            return false;
    }
    m_dlg.m_sortData = m_sortData->isChecked();
    m_dlg.m_saveBitmapCopy = m_saveBitmapCopy->isChecked();
    m_path = m_dlg.OnOK(typed);
    return true;
}

void CSaveDlgForm::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty() || QFileInfo(files.front()).isDir()) {
        // Opens a folder, or lets the dialog say what is wrong.
        QFileDialog::accept();
        return;
    }
    if (!QFileInfo(files.front()).dir().exists()) {
        GetUiServices().MessageBox(files.front().toStdString() +
                                   "\nThe folder does not exist. Check the path.");
        return;
    }
    if (Finish(files.front()))
        QDialog::accept();
}

bool CSaveDlgForm::RunModal(CSaveDlg& dlg, std::string& path, QWidget* parent)
{
    CSaveDlgForm form(dlg, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    path = form.Path();
    return true;
}
