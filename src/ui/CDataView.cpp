#include "ui/CDataView.h"

#include "document/CPreferences.h"
#include "model/DbSetMgr.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>

namespace {

const char* const kMeasureText = "0.123456";

} // namespace

CDataView::Table CDataView::ParseText(const std::string& text, char separator)
{
    Table table;
    std::size_t start = 0;
    int line = 0;
    // Only text up to the last line end counts: what follows it is no line.
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break;
        std::vector<std::string> fields;
        std::size_t from = start;
        for (;;) {
            const std::size_t sep = text.find(separator, from);
            if (sep == std::string::npos || sep >= end) {
                fields.push_back(text.substr(from, end - from));
                break;
            }
            fields.push_back(text.substr(from, sep - from));
            from = sep + 1;
        }
        table.maxFields = std::max(table.maxFields, static_cast<int>(fields.size()));
        if (line > 0 && !fields.front().empty()) {
            table.rows.push_back(std::move(fields));
            table.lines.push_back(line);
        }
        ++line;
        start = end + 1;
    }
    return table;
}

CDataView::CDataView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("DataView"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(false);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    setColumnCount(0);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CDataView::OnSelectionChanged);
}

CDataView::~CDataView()
{
    Detach();
}

void CDataView::OnInitialUpdate(DbSetMgr* setMgr)
{
    // The column fits the sample number itself, with the margins the style keeps around an
    // item's text: without them an eight-character value would already be cut short.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int width =
        fontMetrics().horizontalAdvance(QString::fromLatin1(kMeasureText)) + 2 * margin + 2;
    setColumnCount(2);
    setHeaderLabels({QStringLiteral(" "), QStringLiteral(" ")});
    setColumnWidth(0, width);
    setColumnWidth(1, width);
    Detach();
    m_subject = setMgr;
    if (m_subject) {
        Observe(m_subject);
        Update(m_subject, 0);
    }
}

void CDataView::Detach()
{
    if (m_subject) {
        m_subject->Detach(this);
        m_subject = nullptr;
    }
}

void CDataView::Update(Observer*, std::intptr_t)
{
    // The list's own selection reaching the set manager changes nothing to show.
    if (m_syncing)
        return;
    std::string text;
    std::vector<DbPrim*> lines;
    if (m_subject && m_subject->GetCurrentSet())
        m_subject->WriteCurrentSet(text, ",", GetPreferences().m_sortData, &lines);
    const Table table = ParseText(text, ',');

    m_syncing = true;
    clear();
    m_rowPrims.clear();
    // New columns take the width column 0 has now (the user may have widened it).
    const int width = columnCount() > 0 ? columnWidth(0) : 0;
    const int old = columnCount();
    if (table.maxFields > old) {
        setColumnCount(table.maxFields);
        QStringList labels;
        for (int i = 0; i < table.maxFields; ++i)
            labels << QStringLiteral(" ");
        setHeaderLabels(labels);
        for (int i = old; i < table.maxFields; ++i)
            setColumnWidth(i, width);
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(table.rows.size()));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        auto* item = new QTreeWidgetItem;
        // Every value shows in its own column, also after a point's empty attributes.
        for (std::size_t c = 0; c < row.size(); ++c)
            item->setText(static_cast<int>(c), QString::fromStdString(row[c]));
        items.push_back(item);
        const auto line = static_cast<std::size_t>(table.lines[r]);
        m_rowPrims.push_back(line < lines.size() ? lines[line] : nullptr);
    }
    addTopLevelItems(items);
    // Numbers with more digits than the sample widen their column; columns never shrink.
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, std::max(columnWidth(c), sizeHintForColumn(c)));
    QTreeWidgetItem* first = nullptr;
    for (std::size_t r = 0; r < m_rowPrims.size(); ++r)
        if (m_rowPrims[r] && m_subject->IsSelected(m_rowPrims[r])) {
            items[static_cast<qsizetype>(r)]->setSelected(true);
            if (!first)
                first = items[static_cast<qsizetype>(r)];
        }
    if (first)
        scrollToItem(first);
    m_syncing = false;
}

void CDataView::OnSelectionChanged()
{
    if (m_syncing || !m_subject)
        return;
    std::vector<DbPrim*> prims;
    for (int r = 0; r < topLevelItemCount(); ++r)
        if (topLevelItem(r)->isSelected() && static_cast<std::size_t>(r) < m_rowPrims.size() &&
            m_rowPrims[static_cast<std::size_t>(r)])
            prims.push_back(m_rowPrims[static_cast<std::size_t>(r)]);
    m_syncing = true;
    m_subject->SetSelection(prims);
    m_syncing = false;
    emit selectionEdited();
}

void CDataView::mousePressEvent(QMouseEvent* event)
{
    // A press selects rows (Shift and Control extend); the right button leaves them.
    if (event->button() == Qt::LeftButton)
        QTreeWidget::mousePressEvent(event);
    event->accept();
}

void CDataView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void CDataView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        emit activateNextPane();
    event->accept();
}
