// Stand-ins for the user and the desktop, so the real window can be driven offscreen.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QTimer>
#include <QUrl>
#include <QtGlobal>

#include <functional>
#include <memory>

#include "messageservice.h"
#include "platformservices.h"

namespace zodiara::test {

struct Shown {
    QString text;
    QString caption;
    MessageService::Buttons buttons;
    QString ownerClass;
};

// Records every box; Yes/No questions take the queued answers, then Yes.
class FakeMessages final : public MessageService {
public:
    Result show(QWidget* owner, const QString& text, const QString& caption, Buttons buttons) override
    {
        shown.append({text, caption, buttons, owner ? QString::fromLatin1(owner->metaObject()->className()) : QString()});
        if (buttons == Buttons::Ok)
            return Result::Ok;
        return answers.isEmpty() ? Result::Yes : answers.takeFirst();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Shown& s : shown)
            out.append(s.text);
        return out;
    }
    QList<Shown> shown;
    QList<Result> answers;
};

// File dialogs answer with the path set beforehand (empty = Cancel).
class FakePlatform final : public PlatformServices {
public:
    QString openChartFileName(QWidget*) override { return openPath; }
    QString saveChartFileName(QWidget*) override { return savePath; }
    bool setUpPrinter(QWidget*, QPrinter&) override { return false; }
    void openUrl(const QUrl& url) override { opened.append(url); }
    QString openPath;
    QString savePath;
    QList<QUrl> opened;
};

inline void installQuietHandler()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message != QLatin1String("This plugin does not support propagateSizeHints()"))
            previous(type, context, message);
    });
}

template <typename Dialog>
void pollForModal(std::shared_ptr<std::function<void(Dialog*)>> action, int attempts)
{
    if (!*action)
        return;
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
