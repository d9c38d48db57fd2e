// The menu's command identifiers. Fixed numbers, so every part of the program and the tests
// can name a command without holding its menu item.
#pragma once

namespace zodiara {

enum CommandId : int {
    CmCreateNewChart = 1,
    CmOpenChart = 2,
    CmModifyChartInfo = 3,
    CmExit = 4,
    CmSaveAs = 5,
    CmPrinterSetup = 6,
    CmSave = 7,
    CmPrint = 8,
    CmTraits = 9,
    CmCompatibility = 10,
    CmHelpTopics = 11,
    CmShowAspects = 12,
    CmPrecisePositions = 13,
    CmAbout = 903,
};

}  // namespace zodiara
