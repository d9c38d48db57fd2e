#include "tframewindow.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

#include "commandids.h"
#include "glyphs.h"
#include "mainwindow.h"

namespace zodiara {

TFrameWindow::TFrameWindow(TMyMainWindow* view) : m_view(view)
{
    setWindowTitle(QStringLiteral("Zodiara"));
    setWindowIcon(programIcon());
    setCentralWidget(view);

    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(view->action(CmCreateNewChart));
    file->addAction(view->action(CmOpenChart));
    file->addAction(view->action(CmSave));
    file->addAction(view->action(CmSaveAs));
    file->addSeparator();
    file->addAction(view->action(CmPrinterSetup));
    file->addAction(view->action(CmPrint));
    file->addSeparator();
    file->addAction(view->action(CmExit));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(view->action(CmModifyChartInfo));

    QMenu* show = bar->addMenu(QStringLiteral("&View"));
    show->addAction(view->action(CmShowAspects));
    show->addAction(view->action(CmPrecisePositions));

    bar->addAction(view->action(CmCompatibility));
    bar->addAction(view->action(CmTraits));

    // A second bar in the corner keeps Help at the right-hand end under every style.
    m_helpBar = new QMenuBar(bar);
    m_helpBar->setObjectName(QStringLiteral("helpBar"));
    QMenu* help = m_helpBar->addMenu(QStringLiteral("&Help"));
    help->addAction(view->action(CmHelpTopics));
    help->addAction(view->action(CmAbout));
    bar->setCornerWidget(m_helpBar, Qt::TopRightCorner);
}

void TFrameWindow::sizeToClient()
{
    resize(sizeHint());
    layout()->activate();
    resize(size() + (m_view->sizeHint() - m_view->size()));
    layout()->activate();
}

void TFrameWindow::closeEvent(QCloseEvent* event)
{
    if (m_view->canCloseFrame())
        event->accept();
    else
        event->ignore();
}

}  // namespace zodiara
