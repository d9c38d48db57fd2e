// The about box: the program's picture, name and version, and its notice.
#pragma once

#include <QDialog>

#include "ui/centeronscreen.h"

namespace zodiara {

class MessageService;

class AboutDialog : public CentredDialog {
    Q_OBJECT
public:
    // `messages` reports a picture that cannot be loaded.
    AboutDialog(QWidget* parent, MessageService& messages);

private:
};

// The notice lines under the version.
QString aboutNotice();

}  // namespace zodiara
