// Shared by the widget tests: quiet offscreen dialogs, and a way to act on the next modal dialog.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

namespace zodiara::test {

// Offscreen, every dialog warns that it cannot propagate size hints and every raised window that it
// cannot be raised; nothing else is hidden.
inline void installQuietHandler()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message != QLatin1String("This plugin does not support propagateSizeHints()")
            && message != QLatin1String("This plugin does not support raise()"))
            previous(type, context, message);
    });
}

template <typename Dialog>
void pollForModal(std::shared_ptr<std::function<void(Dialog*)>> action, int attempts)
{
    if (!*action)
        return;
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<Dialog*>(modal); dialog && dialog->isVisible())
        (*action)(dialog);
    else if (attempts <= 300)
        QTimer::singleShot(10, [action, attempts]() { pollForModal<Dialog>(action, attempts + 1); });
    else if (auto* other = qobject_cast<QDialog*>(modal))
        other->reject();
}

// Acts on the next modal dialog of type Dialog once it shows; rejects whatever is open after a
// few seconds instead, so a failing test ends rather than hangs. Nulling the returned handle
// stops the wait, so a dialog that never came cannot be answered or rejected later.
template <typename Dialog>
std::shared_ptr<std::function<void(Dialog*)>> onNextModal(std::function<void(Dialog*)> action)
{
    auto shared = std::make_shared<std::function<void(Dialog*)>>(std::move(action));
    QTimer::singleShot(0, [shared]() { pollForModal<Dialog>(shared, 0); });
    return shared;
}

}  // namespace zodiara::test
