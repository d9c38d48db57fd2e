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
};

// The notice lines under the version.
QString aboutNotice();

}  // namespace zodiara
