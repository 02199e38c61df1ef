#include <gtest/gtest.h>

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimerEvent>
#include <QWindow>
#include <memory>

#include "app/CCofferDlg.h"
#include "res/ResourceIds.h"
#include "support/UiTestSupport.h"

namespace {
constexpr int kScreenWidth = 1000;
const QPoint kFarAway(kScreenWidth / 2, 900);

// The main window on a desktop of the test's making: a screen 1000 pixels wide, a cursor that
// is where the test puts it, and slide pauses that record the window's top instead of waiting.
class EdgeDocking : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = SetDockingDesktop({
            [] { return kScreenWidth; },
            [this] { return cursor; },
            [this](int ms) {
                EXPECT_EQ(ms, 1);
                slideTops.push_back(main->frameGeometry().top());
            },
            {},
        });
        NewWindow();
    }
    void TearDown() override { SetDockingDesktop(m_previous); }

    void NewWindow() {
        main = std::make_unique<CCofferDlg>();
        main->Create();
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        slideTops.clear();
    }

    // Puts the window's frame at (x, y); a height of 0 keeps the window's own.
    void Place(int x, int y, int height = 0) {
        main->move(x, y);
        if (height > 0)
            main->setFixedHeight(height - (main->frameGeometry().height() - main->height()));
    }

    // A spot of the window's own area near its bottom, in the margin left of the controls.
    QPoint OwnArea() const {
        const QPoint at(1, main->height() - 2);
        EXPECT_EQ(main->childAt(at), nullptr);
        return at;
    }
    // A mouse move straight to the window, also where the offscreen screen has no pixels.
    void MouseMoveOwnArea() {
        QMouseEvent move(QEvent::MouseMove, OwnArea(), main->mapToGlobal(OwnArea()), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(main.get(), &move);
    }
    void Tick() {
        ASSERT_TRUE(main->Docking().IsWatching());
        QTimerEvent tick(main->Docking().TimerId());
        QCoreApplication::sendEvent(main.get(), &tick);
    }
    // Starts the watch, then ticks with the cursor far away.
    void LeaveWindow() {
        MouseMoveOwnArea();
        cursor = kFarAway;
        Tick();
    }
    QRect Frame() const { return main->frameGeometry(); }

    std::unique_ptr<CCofferDlg> main;
    QPoint cursor = kFarAway;
    std::vector<int> slideTops;

private:
    DockingDesktop m_previous;
};

TEST_F(EdgeDocking, OnlyAMouseMoveOverTheWindowsOwnAreaStartsTheWatch) {
    Place(200, 0);
    QTest::qWait(250);  // real time for real ticks, had a timer been started
    EXPECT_FALSE(main->Docking().IsWatching());
    EXPECT_EQ(Frame().topLeft(), QPoint(200, 0));

    // Moves arrive as the window system delivers them: at the control under the cursor.
    for (int control : {IDC_STATIC_STATUS, IDC_TREE_NAV, IDC_BTN_ABOUT})
        QTest::mouseMove(main.get(), main->GetDlgItem(control)->geometry().center());
    EXPECT_FALSE(main->Docking().IsWatching());
    QTest::mouseMove(main.get(), OwnArea());
    EXPECT_TRUE(main->Docking().IsWatching());
    // The real timer hides it once the cursor is gone.
    cursor = kFarAway;
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->Docking().IsHidden(); }, 2000));
}

TEST_F(EdgeDocking, HidesUpwardsFromTheThreeEdgesOnly) {
    const int width = Frame().width();
    struct Case {
        QPoint at;
        bool hides;
        int dockedLeft;
    };
    const Case cases[] = {
        {{300, 0}, true, 300},
        {{300, 5}, true, 300},
        {{300, 6}, false, 0},
        {{3, 200}, true, 3},
        {{6, 200}, false, 0},
        {{-40, 200}, true, 0},
        {{kScreenWidth - width - 5, 200}, true, kScreenWidth - width},
        {{kScreenWidth - width - 6, 200}, false, 0},
        {{kScreenWidth - width + 30, 200}, true, kScreenWidth - width},
        {{300, 700}, false, 0},  // the bottom edge is never tested
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        NewWindow();
        Place(c.at.x(), c.at.y());
        LeaveWindow();
        EXPECT_EQ(main->Docking().IsHidden(), c.hides);
        EXPECT_EQ(main->Docking().IsWatching(), !c.hides);
        if (c.hides)
            EXPECT_EQ(Frame().left(), c.dockedLeft);
        else
            EXPECT_EQ(Frame().topLeft(), c.at);
        EXPECT_EQ(Frame().width(), width);
    }
}

TEST_F(EdgeDocking, SlidesInStepsOfTenAndLeavesAStripOfThreeToTwelvePixels) {
    for (auto [height, visible] : {std::pair{300, 10}, {295, 5}, {293, 3}}) {
        SCOPED_TRACE(height);
        NewWindow();
        Place(100, 0, height);
        LeaveWindow();
        EXPECT_EQ(Frame().height(), height);
        EXPECT_EQ(Frame().bottom() + 1, visible);
        ASSERT_EQ(slideTops.size(), (height - visible) / 10 + 1u);
        for (size_t i = 0; i < slideTops.size(); ++i)
            EXPECT_EQ(slideTops[i], -10 * int(i));
    }
}

TEST_F(EdgeDocking, HidesOnceTheCursorIsOutAndComesBackOverItsStripStayingOnTop) {
    Place(400, 3);
    MouseMoveOwnArea();
    for (QPoint inside : {Frame().topLeft(), Frame().bottomRight(), Frame().center()}) {
        cursor = inside;
        Tick();
    }
    EXPECT_EQ(Frame().topLeft(), QPoint(400, 3));
    EXPECT_FALSE(main->windowFlags() & Qt::WindowStaysOnTopHint);
    cursor = Frame().bottomRight() + QPoint(1, 0);  // the right edge lies outside
    Tick();
    const QRect hidden = Frame();
    EXPECT_LT(hidden.top(), 0);
    EXPECT_TRUE(main->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(main->windowHandle()->flags() & Qt::WindowStaysOnTopHint);

    MouseMoveOwnArea();  // over the strip
    EXPECT_FALSE(main->Docking().IsHidden());
    EXPECT_FALSE(main->Docking().IsWatching());
    EXPECT_EQ(Frame(), QRect(400, 0, hidden.width(), hidden.height()));
    LeaveWindow();
    EXPECT_EQ(Frame(), hidden);
}

// The strip is mostly the bottom edges of buttons, and a move over a control never reaches the
// window: the cursor over any part of the hidden window brings it back, and once back it is
// watched, so it hides again though the cursor never crossed the window's own area.
TEST_F(EdgeDocking, TheCursorOnTheStripOverAButtonBringsItBack) {
    Place(400, 0);
    LeaveWindow();
    ASSERT_TRUE(main->Docking().IsHidden());
    const QWidget* button = main->GetDlgItem(IDC_BTN_ABOUT);
    cursor = button->mapToGlobal(QPoint(button->width() / 2, button->height() - 1));
    ASSERT_GE(cursor.y(), 0) << "the strip shows the button's bottom edge";
    QTest::mouseMove(main.get(), main->mapFromGlobal(cursor));  // the button takes the move
    EXPECT_TRUE(main->Docking().IsHidden());
    QTimerEvent tick(main->Docking().TimerId());
    QCoreApplication::sendEvent(main.get(), &tick);
    EXPECT_FALSE(main->Docking().IsHidden());
    EXPECT_EQ(Frame().topLeft(), QPoint(400, 0));
    cursor = kFarAway;
    Tick();
    EXPECT_TRUE(main->Docking().IsHidden());
}

TEST_F(EdgeDocking, KeepsTheScreenWidthReadAtStartAndNeverDocksWhereWindowsCannotBePlaced) {
    const int width = Frame().width();
    SetDockingDesktop({[] { return 2000; }, [this] { return cursor; }, [](int) {}, {}});
    Place(kScreenWidth - width, 200);
    LeaveWindow();
    EXPECT_EQ(Frame().left(), kScreenWidth - width);
    EXPECT_TRUE(main->Docking().IsHidden());

    SetDockingDesktop({{}, {}, {}, [] { return false; }});
    NewWindow();
    Place(0, 0);
    MouseMoveOwnArea();
    EXPECT_FALSE(main->Docking().IsWatching());
}

// Under a real X server (run with QT_QPA_PLATFORM=xcb under xvfb-run): a real cursor and the
// real timer hide the window, and a shot of the screen's top shows the strip.
TEST(EdgeDockingOnX11, HidesUnderTheRealCursorAndShowsItsStrip) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server";
    CCofferDlg main;
    main.Create();
    main.show();
    main.move(200, 0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QTest::qWait(200);
    QCursor::setPos(main.mapToGlobal(QPoint(main.width() / 2, 2)));
    QTest::qWait(100);
    ASSERT_TRUE(main.Docking().IsWatching());  // moved over the window's own area
    QCursor::setPos(700, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.Docking().IsHidden(); }, 2000));
    QTest::qWait(200);
    QScreen* screen = QGuiApplication::primaryScreen();
    // The screen's top around the window, enlarged four times so the strip can be seen.
    const QPixmap top = screen->grabWindow(0, 150, 0, main.frameGeometry().width() + 100, 30);
    QDir().mkpath(QStringLiteral(TILLBOOK_SCREENSHOT_DIR));
    top.scaled(top.size() * 4)
        .save(QStringLiteral(TILLBOOK_SCREENSHOT_DIR "/docked-strip-x11.png"));
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(frame.left(), 200);
    EXPECT_GE(frame.bottom() + 1, 3);
    EXPECT_LE(frame.bottom() + 1, 12);

    // The pointer on the strip, in the margin left of the buttons, brings it back.
    QCursor::setPos(frame.left() + 1, frame.bottom() - 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.frameGeometry().top() == 0; }, 2000));
    EXPECT_FALSE(main.Docking().IsHidden());

    // So does the pointer on the strip over a button, which takes the moves for itself.
    QCursor::setPos(main.mapToGlobal(QPoint(main.width() / 2, 2)));
    QTest::qWait(100);
    QCursor::setPos(700, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.Docking().IsHidden(); }, 2000));
    const QWidget* button = main.GetDlgItem(IDC_BTN_ABOUT);
    const QPoint overButton =
        button->mapToGlobal(QPoint(button->width() / 2, button->height() - 1));
    ASSERT_GE(overButton.y(), 0) << "the strip shows the button's bottom edge";
    QCursor::setPos(overButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.frameGeometry().top() == 0; }, 2000));
    EXPECT_FALSE(main.Docking().IsHidden());
}
}  // namespace
