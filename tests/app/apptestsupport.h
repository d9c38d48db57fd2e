// Stand-ins for the user and the desktop, so the real window can be driven offscreen.
#pragma once

#include <QList>

#include "messageservice.h"
#include "modaltesting.h"
#include "platformservices.h"

namespace zodiara::test {

struct Shown {
    QString text, caption;
    MessageService::Buttons buttons;
    QString ownerClass;
};

// Records every box; Yes/No questions take the queued answers, then Yes.
class FakeMessages final : public MessageService {
public:
    Result show(QWidget* owner, const QString& text, const QString& caption, Buttons buttons) override
    {
        shown.append({text, caption, buttons, owner ? QString::fromLatin1(owner->metaObject()->className()) : QString()});
        return buttons == Buttons::Ok ? Result::Ok : answers.isEmpty() ? Result::Yes : answers.takeFirst();
    }
    // One field of every box, in the order shown.
    QStringList texts(QString Shown::*field = &Shown::text) const
    {
        QStringList out;
        for (const Shown& s : shown)
            out.append(s.*field);
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
    void openUrl(const QUrl&) override {}
    QString openPath, savePath;
};

}  // namespace zodiara::test
