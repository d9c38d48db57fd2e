// The command line of `zodiara [FILE.cht]`.
#pragma once

#include <QString>
#include <QStringList>

namespace zodiara {

// Parses `arguments` (the program's name first; Qt's own options already taken out by
// QApplication). --help and --version print their text and end the program; other options are
// ignored. Returns the first argument that is not an option, empty for none.
QString chartFileArgument(const QStringList& arguments);

}  // namespace zodiara
