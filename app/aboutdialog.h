// The about box: the program's picture, name and version, and its notice.
#pragma once

#include <QDialog>

namespace zodiara {

class MessageService;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // `messages` reports a picture that cannot be loaded.
    AboutDialog(QWidget* parent, MessageService& messages);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_centered = false;
};

// The notice lines under the version.
QString aboutNotice();

}  // namespace zodiara
