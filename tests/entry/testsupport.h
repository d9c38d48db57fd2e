// Shared by the entry tests: a message service that records instead of showing.
#pragma once

#include "messageservice.h"
#include "modaltesting.h"

#include <QList>
#include <QPointer>
#include <QWidget>

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

}  // namespace zodiara::test
