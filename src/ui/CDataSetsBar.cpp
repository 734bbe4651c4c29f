#include "ui/CDataSetsBar.h"

#include "platform/CommandIds.h"
#include "ui/DataSetsBox.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QToolButton>

namespace {

constexpr int kGap = 5;

} // namespace

CDataSetsBar::CDataSetsBar(const QString& title, QWidget* parent) : QToolBar(title, parent)
{
    connect(this, &QToolBar::orientationChanged, this,
            [this](Qt::Orientation orientation) { Layout(orientation); });
}

DataSetsBox* CDataSetsBar::AddSetsBox()
{
    if (m_box)
        return m_box;
    // One place in the bar holds either the list or its stand-in button.
    m_holder = new QWidget(this);
    m_holder->setObjectName(QStringLiteral("SelectSetHolder"));
    auto* layout = new QHBoxLayout(m_holder);
    layout->setContentsMargins(kGap, 0, 0, 0);
    layout->setSpacing(0);
    m_box = new DataSetsBox(m_holder);
    layout->addWidget(m_box);
    // Nothing handles this command, so the button always shows disabled.
    m_standIn = new QToolButton(m_holder);
    m_standIn->setObjectName(QStringLiteral("SelectSetStandIn"));
    m_standIn->setIcon(QIcon(QStringLiteral(":/icons/new-data-set.svg")));
    m_standIn->setProperty("command", ID_EDIT_FIND);
    m_standIn->setAutoRaise(true);
    m_standIn->setEnabled(false);
    layout->addWidget(m_standIn);
    addWidget(m_holder);
    Layout(orientation());
    return m_box;
}

void CDataSetsBar::Layout(Qt::Orientation orientation)
{
    m_vertical = orientation == Qt::Vertical;
    if (!m_box)
        return;
    m_holder->layout()->setContentsMargins(m_vertical ? 0 : kGap, 0, 0, 0);
    m_box->setHidden(m_vertical);
    m_standIn->setHidden(!m_vertical);
    m_standIn->setEnabled(false);
}
