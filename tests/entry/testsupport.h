// Shared by the entry tests: a message service that records instead of showing,
// quiet offscreen dialogs, and a way to act on the next modal dialog.
#pragma once

#include "messageservice.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace zodiara::test {

struct RecordedMessage {
    QPointer<QWidget> owner;
    QString ownerClass;
    QString text;
    QString caption;
};

class RecordingMessages final : public MessageService {
public:
    Result show(QWidget* owner, const QString& text, const QString& caption, Buttons buttons) override
    {
        shown.append({owner, owner ? QString::fromLatin1(owner->metaObject()->className()) : QString(), text, caption});
        return buttons == Buttons::Ok ? Result::Ok : answer;
    }
    QList<RecordedMessage> shown;
    Result answer = Result::Yes;
};

inline QtMessageHandler previousHandler = nullptr;

inline void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    previousHandler(type, context, message);
}

inline void installQuietHandler()
{
    previousHandler = qInstallMessageHandler(quietHandler);
}

template <typename Dialog>
void pollForModal(std::shared_ptr<std::function<void(Dialog*)>> action, int attempts)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<Dialog*>(modal); dialog && dialog->isVisible()) {
        (*action)(dialog);
        return;
    }
    if (attempts > 300) {
        if (auto* other = qobject_cast<QDialog*>(modal))
            other->reject();
        return;
    }
    QTimer::singleShot(10, [action, attempts]() { pollForModal<Dialog>(action, attempts + 1); });
}

// Runs `action` on the next visible modal dialog of type Dialog once it is open. If none
// opens within a few seconds the open modal is rejected, so a failing test ends instead of hanging.
template <typename Dialog>
void onNextModal(std::function<void(Dialog*)> action)
{
    auto shared = std::make_shared<std::function<void(Dialog*)>>(std::move(action));
    QTimer::singleShot(0, [shared]() { pollForModal<Dialog>(shared, 0); });
}

}  // namespace zodiara::test
