#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Runs check on the first visible top-level widget of type T once a modal loop has shown it.
template <typename T> void WhenShown(std::function<void(T*)> check)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [check, poll] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(w); dialog && dialog->isVisible()) {
                check(dialog);
                return;
            }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}
