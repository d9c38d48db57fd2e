// A message service for the widget tests: records every box instead of showing it.
#pragma once

#include "modaltesting.h"
#include "ui/messageservice.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace zodiara::test {

struct RecordedMessage {
    QPointer<QWidget> owner;
    QString ownerClass;
    QString text;
    QString caption;
    MessageService::Buttons buttons;
};

// Yes/No questions take the queued answers, then `answer`; while `real` is set, it shows each box
// instead, for the test to answer as the user would.
class RecordingMessages final : public MessageService {
public:
    Result show(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                Result defaultAnswer) override
    {
        shown.append(
            {owner, owner ? QString::fromLatin1(owner->metaObject()->className()) : QString(), text, caption, buttons});
        if (real)
            return real->show(owner, text, caption, buttons, defaultAnswer);
        return buttons == Buttons::Ok ? Result::Ok : answers.isEmpty() ? answer : answers.takeFirst();
    }
    // One field of every box, in the order shown.
    QStringList texts(QString RecordedMessage::*field = &RecordedMessage::text) const
    {
        QStringList out;
        for (const RecordedMessage& message : shown)
            out.append(message.*field);
        return out;
    }
    QList<RecordedMessage> shown;
    QList<Result> answers;
    Result answer = Result::Yes;
    MessageService* real = nullptr;
};

}  // namespace zodiara::test
