// The one way the GUI layers show message boxes, so that tests can stand in for the user.
#pragma once

#include <QString>

class QWidget;

namespace zodiara {

class MessageService {
public:
    enum class Buttons { Ok, YesNo };
    enum class Result { Ok, Yes, No };

    virtual ~MessageService() = default;
    // Shows `text` in a modal box owned by `owner`; with YesNo, Enter answers `defaultAnswer` (Yes or No)
    // and closing the box answers No.
    virtual Result show(QWidget* owner, const QString& text, const QString& caption = QStringLiteral("Zodiara"),
                        Buttons buttons = Buttons::Ok, Result defaultAnswer = Result::Yes) = 0;
};

// Real message boxes.
class QtMessageService final : public MessageService {
public:
    Result show(QWidget* owner, const QString& text, const QString& caption = QStringLiteral("Zodiara"),
                Buttons buttons = Buttons::Ok, Result defaultAnswer = Result::Yes) override;
};

}  // namespace zodiara
