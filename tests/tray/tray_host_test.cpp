#include "support/program_fixture.h"
#include "support/wait.h"
#include "tray/desktop_session.h"

#include <QLayout>
#include <QMenu>
#include <QRegularExpression>
#include <QThread>
#include <QToolButton>

namespace {

struct WindowBox {
  QByteArray id;
  QRect geometry;
};

// The real program on a desktop with a notification area, driven as a user
// drives it: clicks on the real display, calls from the tray host's side.
class TrayOnDesktop : public ProgramTest {
protected:
  void Open(DesktopSession::Tray kind) {
    session = std::make_unique<DesktopSession>(kind);
    if (!session->Problem().isEmpty())
      GTEST_SKIP() << session->Problem().toStdString();
    environment = session->Environment(environment);
    StartFirstCopy({QStringLiteral(MDK_SOURCE_DIR "/samples/mellow-chime.wav")});
    ASSERT_TRUE(WaitFor([&] { return MainWindow().has_value(); }, 10000));
  }

  QByteArray Tool(const QString& program, const QStringList& arguments) const {
    return session->Run(program, arguments);
  }

  std::vector<WindowBox> VisibleWindows() const {
    std::vector<WindowBox> windows;
    const QByteArray ids = Tool(
        "xdotool", {"search", "--onlyvisible", "--pid", QString::number(firstCopy->processId())});
    for (const QByteArray& id : ids.split('\n')) {
      if (id.isEmpty())
        continue;
      QRect box;
      for (const QByteArray& line :
           Tool("xdotool", {"getwindowgeometry", "--shell", id}).split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() != 2)
          continue;
        const int value = pair[1].toInt();
        if (pair[0] == "X")
          box.moveLeft(value);
        else if (pair[0] == "Y")
          box.moveTop(value);
        else if (pair[0] == "WIDTH")
          box.setWidth(value);
        else if (pair[0] == "HEIGHT")
          box.setHeight(value);
      }
      windows.push_back({id, box});
    }
    return windows;
  }

  // The tray icon's window is the program's too; the main window is the wide one.
  std::optional<WindowBox> MainWindow() const {
    for (const WindowBox& window : VisibleWindows())
      if (window.geometry.width() > 100 &&
          Tool("xdotool", {"getwindowname", window.id}).trimmed() == "Mellowdeck")
        return window;
    return std::nullopt;
  }

  // The window under test has the same layout as the program's, so it tells
  // where the hide button sits.
  void ClickHideButton() {
    form->show();
    const QToolButton* ninja = Button("ninja");
    ASSERT_TRUE(WaitFor([&] { return ninja->isVisible() && ninja->x() > 0; }));
    const QPoint inside = ninja->mapTo(form.get(), ninja->rect().center());
    const std::optional<WindowBox> window = MainWindow();
    ASSERT_TRUE(window);
    Tool("xdotool", {"mousemove", "--sync", QString::number(window->geometry.x() + inside.x()),
                     QString::number(window->geometry.y() + inside.y()), "click", "1"});
    ASSERT_TRUE(WaitFor([&] { return !MainWindow(); }))
        << "the hide button did not hide the window: clicked " << inside.x() << "," << inside.y()
        << " inside " << window->geometry.x() << "," << window->geometry.y() << " "
        << window->geometry.width() << "x" << window->geometry.height();
  }

  std::unique_ptr<DesktopSession> session;
};

class StatusNotifierTray : public TrayOnDesktop {
protected:
  void SetUp() override {
    Open(DesktopSession::Tray::StatusNotifier);
    if (IsSkipped() || HasFatalFailure())
      return;
    ASSERT_TRUE(WaitFor([&] {
      const QByteArray items =
          Tool("gdbus", {"call", "--session", "-d", "org.kde.StatusNotifierWatcher", "-o",
                         "/StatusNotifierWatcher", "-m", "org.freedesktop.DBus.Properties.Get",
                         "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems"});
      const QRegularExpressionMatch found =
          QRegularExpression(QStringLiteral("'([^'/]+)(/[^']*)?'")).match(QString::fromUtf8(items));
      if (!found.hasMatch())
        return false;
      item = found.captured(1);
      return true;
    })) << "the program's icon did not register with the watcher";
  }

  QByteArray CallItem(const QString& path, const QString& method, const QStringList& arguments) {
    return Tool("gdbus",
                QStringList{"call", "--session", "-d", item, "-o", path, "-m", method, "--"} +
                    arguments);
  }

  // The exported menu as (label, enabled, check state) per item, separators left out.
  struct MenuItem {
    int id;
    QString label;
    bool enabled;
    int toggleState; // -1 where the item has no check mark
  };
  std::vector<MenuItem> ExportedMenu() {
    const QString path =
        QString::fromUtf8(CallItem("/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                                   {"org.kde.StatusNotifierItem", "Menu"}));
    const QRegularExpressionMatch menuPath =
        QRegularExpression(QStringLiteral("objectpath '([^']+)'")).match(path);
    EXPECT_TRUE(menuPath.hasMatch()) << path.toStdString();
    const QString layout = QString::fromUtf8(
        CallItem(menuPath.captured(1), "com.canonical.dbusmenu.GetLayout", {"0", "-1", "[]"}));
    std::vector<MenuItem> items;
    const QRegularExpression entry(QStringLiteral("<\\((\\d+), \\{([^}]*)\\}"));
    for (const QRegularExpressionMatch& match : entry.globalMatch(layout)) {
      const QString properties = match.captured(2);
      const QRegularExpressionMatch label =
          QRegularExpression(QStringLiteral("'label': <'([^']*)'>")).match(properties);
      if (!label.hasMatch())
        continue;
      const QRegularExpressionMatch toggle =
          QRegularExpression(QStringLiteral("'toggle-state': <(\\d)>")).match(properties);
      items.push_back({match.captured(1).toInt(), label.captured(1),
                       !properties.contains("'enabled': <false>"),
                       toggle.hasMatch() ? toggle.captured(1).toInt() : -1});
    }
    return items;
  }

  const MenuItem* Find(const std::vector<MenuItem>& menu, const QString& label) {
    for (const MenuItem& item : menu)
      if (item.label == label)
        return &item;
    ADD_FAILURE() << "no item " << label.toStdString() << " in the exported menu";
    return nullptr;
  }

  QString item;
};

TEST_F(StatusNotifierTray, ActivationBringsTheHiddenWindowBack) {
  ClickHideButton();
  CallItem("/StatusNotifierItem", "org.kde.StatusNotifierItem.Activate", {"0", "0"});
  EXPECT_TRUE(WaitFor([&] { return MainWindow().has_value(); }))
      << "a left click on the icon left the player hidden for good";
}

TEST_F(StatusNotifierTray, TheHostShowsTheControlMenuInStepWithTheWindow) {
  std::vector<QString> expected;
  for (const QAction* action : Widget<QMenu>("PopupMenu2")->actions())
    if (!action->isSeparator())
      expected.push_back(action->text().remove('&'));
  std::vector<MenuItem> menu = ExportedMenu();
  std::vector<QString> labels;
  for (const MenuItem& entry : menu)
    labels.push_back(entry.label);
  EXPECT_EQ(labels, expected);

  // The sample plays: start is off, stop is on, no mode is checked.
  const MenuItem* start = Find(menu, "start play");
  const MenuItem* stop = Find(menu, "stop play");
  const MenuItem* random = Find(menu, "random");
  ASSERT_TRUE(start && stop && random);
  EXPECT_FALSE(start->enabled);
  EXPECT_TRUE(stop->enabled);
  EXPECT_EQ(random->toggleState, 0);

  // Choosing an item in the host's menu runs the window's command.
  CallItem("/MenuBar", "com.canonical.dbusmenu.Event",
           {QString::number(random->id), "clicked", "<0>", "0"});
  EXPECT_TRUE(WaitFor([&] {
    const std::vector<MenuItem> now = ExportedMenu();
    const MenuItem* checked = Find(now, "random");
    return checked && checked->toggleState == 1;
  })) << "random play was not switched on from the host's menu";
}

class XEmbedTray : public TrayOnDesktop {
protected:
  void SetUp() override { Open(DesktopSession::Tray::XEmbed); }

  std::optional<WindowBox> TrayIcon() {
    for (const WindowBox& window : VisibleWindows())
      if (window.geometry.width() <= 64 && window.geometry.height() <= 64)
        return window;
    return std::nullopt;
  }
};

TEST_F(XEmbedTray, ASingleClickDoesNothingADoubleClickRestores) {
  ASSERT_TRUE(WaitFor([&] { return TrayIcon().has_value(); })) << "no tray icon";
  ClickHideButton();
  const QByteArray icon = TrayIcon()->id;
  Tool("xdotool", {"mousemove", "--sync", "--window", icon, "8", "8", "click", "1"});
  // Longer than any double-click interval: a single click has had its chance.
  QThread::msleep(1000);
  EXPECT_FALSE(MainWindow().has_value());
  Tool("xdotool", {"click", "--repeat", "2", "--delay", "80", "1"});
  EXPECT_TRUE(WaitFor([&] { return MainWindow().has_value(); }));
}

TEST_F(XEmbedTray, TheContextRequestPopsOneMenuAtTheMouse) {
  ASSERT_TRUE(WaitFor([&] { return TrayIcon().has_value(); })) << "no tray icon";
  const WindowBox icon = *TrayIcon();
  const std::vector<WindowBox> before = VisibleWindows();
  Tool("xdotool", {"mousemove", "--sync", "--window", icon.id, "8", "8", "click", "3"});
  ASSERT_TRUE(WaitFor([&] { return VisibleWindows().size() > before.size(); })) << "no menu";
  QThread::msleep(300);
  std::vector<WindowBox> added = VisibleWindows();
  std::erase_if(added, [&](const WindowBox& window) {
    return std::any_of(before.begin(), before.end(),
                       [&](const WindowBox& old) { return old.id == window.id; });
  });
  ASSERT_EQ(added.size(), 1u) << "more than one menu popped up";
  const auto menu = added.begin();
  const QPoint mouse = icon.geometry.topLeft() + QPoint(8, 8);
  // A menu that does not fit below and to the right of the mouse opens above
  // or to the left of it: one of its corners is where the mouse is.
  const QRect box = menu->geometry;
  const int nearest = std::min({(box.topLeft() - mouse).manhattanLength(),
                                (box.topRight() - mouse).manhattanLength(),
                                (box.bottomLeft() - mouse).manhattanLength(),
                                (box.bottomRight() - mouse).manhattanLength()});
  EXPECT_LE(nearest, 24) << "menu at " << box.x() << "," << box.y() << " for a click at "
                         << mouse.x() << "," << mouse.y();
}

} // namespace
