#include "app/FormControls.h"

#include "app/ContextHelp.h"
#include "app/DoubleText.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

QLineEdit* NumberEdit(const char* name, double value, QWidget* parent, int minimumWidth)
{
    auto* edit = new QLineEdit(DoubleText::Format(value), parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (minimumWidth > 0)
        edit->setMinimumWidth(minimumWidth);
    return edit;
}

QCheckBox* CheckBox(const char* text, const char* name, int value, QWidget* parent)
{
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(value != 0);
    return box;
}

void TabInReadingOrder(QWidget* dialog)
{
    if (dialog->layout())
        dialog->layout()->activate();
    struct Control {
        QWidget* widget;
        QRect box; // in the dialog's coordinates
    };
    std::vector<Control> controls;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->isHidden() && w->focusProxy() == nullptr)
            controls.push_back({w, QRect(w->mapTo(dialog, QPoint(0, 0)), w->size())});
    }
    if (controls.empty())
        return;
    // Rows: controls whose middles lie within half a control's height of the row's first.
    std::sort(controls.begin(), controls.end(), [](const Control& a, const Control& b) {
        return a.box.center().y() < b.box.center().y();
    });
    std::vector<std::vector<Control>> rows;
    for (const Control& c : controls) {
        if (rows.empty() || c.box.center().y() - rows.back().front().box.center().y() >
                                std::max(rows.back().front().box.height(), c.box.height()) / 2)
            rows.emplace_back();
        rows.back().push_back(c);
    }
    std::vector<QWidget*> order;
    for (auto& row : rows) {
        std::sort(row.begin(), row.end(),
                  [](const Control& a, const Control& b) { return a.box.x() < b.box.x(); });
        for (const Control& c : row)
            order.push_back(c.widget);
    }
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    order.front()->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(order.front()))
        edit->selectAll();
}

void FinishForm(QDialog* dialog, QLayout* body)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TabInReadingOrder(dialog);
    AddContextHelp(dialog);
}
