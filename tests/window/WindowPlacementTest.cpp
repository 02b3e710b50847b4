// The window opens where and as large as it was left, its panes sized as the user sized them;
// the first time at a size that shows every step whole on a small laptop's screen.
#include <QScreen>
#include <QSplitter>
#include <QTest>

#include "support/WindowTest.h"
#include "window/WindowPlacement.h"

namespace salvora::test {
namespace {

QSplitter& splitter(QWidget& window, const char* name) {
    auto* found = window.findChild<QSplitter*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::runtime_error(std::string("no splitter ") + name);
    return *found;
}

TEST_F(WindowTest, AResizedWindowOpensAgainAtItsSizeWithItsPanesAsSized) {
    openWindow();
    window->resize(740, 470);
    splitter(*window, "stepsSplitter").setSizes({200, 300, 240});
    splitter(*window, "filePreviewSplitter").setSizes({180, 200});
    QTest::qWait(10);
    const QList<int> steps = splitter(*window, "stepsSplitter").sizes();
    const QList<int> filesAndPreview = splitter(*window, "filePreviewSplitter").sizes();
    window->close();

    openWindow();
    EXPECT_EQ(window->size(), QSize(740, 470));
    EXPECT_EQ(splitter(*window, "stepsSplitter").sizes(), steps);
    EXPECT_EQ(splitter(*window, "filePreviewSplitter").sizes(), filesAndPreview);
}

TEST_F(WindowTest, TheFirstOpenShowsEveryStepWholeOnA1366By768Screen) {
    openWindow();
    const QSize least = window->minimumSize();
    EXPECT_EQ(window->size(), firstWindowSize(window->screen()->availableGeometry(), least));
    // A laptop's screen with a panel of the desktop at its foot.
    const QSize first = firstWindowSize(QRect(0, 0, 1366, 728), least);
    EXPECT_LE(first.width() + window->frameGeometry().width() - window->width(), 1366);
    EXPECT_LE(first.height() + 60, 728);
    window->resize(first);
    QTest::qWait(10);
    for (const char* pane : {"step1Pane", "step2Pane", "step3Pane"}) {
        const QWidget* step = window->findChild<QWidget*>(QString::fromLatin1(pane));
        EXPECT_GE(step->width(), step->minimumSizeHint().width()) << pane;
        EXPECT_GE(step->width(), 240) << pane;
    }
}

}  // namespace
}  // namespace salvora::test
