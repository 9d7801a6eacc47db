#include "support/form_fixture.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

class WindowVisibilityTest : public FormTest {
protected:
  WindowVisibilityTest() {
    form->FormCreate({});
    form->show();
    TakeCalls();
  }
  bool TrayIconRemoved() {
    const auto calls = TakeCalls();
    return std::find(calls.begin(), calls.end(), "TrayDelete") != calls.end();
  }
};

TEST_F(WindowVisibilityTest, TrayDoubleClickShowsOnlyAHiddenWindow) {
  Button("ninja")->click();
  ASSERT_FALSE(form->isVisible());
  tray.OnDoubleClick();
  EXPECT_TRUE(form->isVisible());

  form->showMinimized();
  tray.OnDoubleClick();
  EXPECT_TRUE(form->isMinimized()) << "a minimized window counts as shown and stays minimized";
}

TEST_F(WindowVisibilityTest, TrayContextRequestOpensTheControlMenuAtThePoint) {
  form->hide();
  tray.OnContextRequest(QPoint(40, 50));
  EXPECT_TRUE(Widget<QMenu>("PopupMenu2")->isVisible());
  EXPECT_EQ(Widget<QMenu>("PopupMenu2")->pos(), QPoint(40, 50));
  EXPECT_FALSE(form->isVisible()) << "the menu works without showing the window";
}

TEST_F(WindowVisibilityTest, HideModeNeedsANotificationArea) {
  tray.available = false;
  Button("ninja")->click();
  EXPECT_TRUE(form->isVisible()) << "without a tray icon nothing could show the window again";
  tray.available = true;
  Button("ninja")->click();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowVisibilityTest, ExitAndTheCloseBoxEndTheProgramFromEveryState) {
  const struct {
    const char* name;
    std::function<void(TForm1&)> before;
    std::function<void(TForm1&)> end;
  } cases[] = {
      {"exit while shown", [](TForm1&) {},
       [](TForm1& f) { FindIn<QAction>(f, "exit1")->trigger(); }},
      {"exit while minimized", [](TForm1& f) { f.showMinimized(); },
       [](TForm1& f) { FindIn<QAction>(f, "exit1")->trigger(); }},
      {"exit while hidden", [](TForm1& f) { FindIn<QToolButton>(f, "ninja")->click(); },
       [](TForm1& f) { FindIn<QAction>(f, "exit1")->trigger(); }},
      {"close box", [](TForm1&) {}, [](TForm1& f) { f.close(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.before(*form);
    QSignalSpy closed(form.get(), &TForm1::Closed);
    c.end(*form);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    EXPECT_FALSE(TrayIconRemoved()) << "the icon goes with the window's teardown";
    form.reset();
    EXPECT_TRUE(TrayIconRemoved());
    Rebuild();
    form->FormCreate({});
    form->show();
    TakeCalls();
  }
}

TEST_F(WindowVisibilityTest, ClosingAnotherWindowInHideModeKeepsTheProgram) {
  Button("ninja")->click();
  QWidget other;
  other.show();
  // The toolkit asks to quit with a Quit event when its last window closes.
  bool quitAsked = false;
  struct QuitWatch : QObject {
    bool& asked;
    explicit QuitWatch(bool& a) : asked(a) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Quit)
        asked = true;
      return event->type() == QEvent::Quit;
    }
  } watch(quitAsked);
  qApp->installEventFilter(&watch);
  QTimer::singleShot(0, &other, [&other] {
    other.close();
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  });
  QApplication::exec();
  qApp->removeEventFilter(&watch);
  EXPECT_FALSE(quitAsked);
}

} // namespace
