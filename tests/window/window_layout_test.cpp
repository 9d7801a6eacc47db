#include "support/form_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QScreen>
#include <QSpacerItem>
#include <QToolTip>
#include <ostream>
#include <string>

// Readable failures: gtest finds these printers by the types' namespace.
static void PrintTo(const QRect& rect, std::ostream* out) {
  *out << "(" << rect.x() << ", " << rect.y() << ") " << rect.width() << " x " << rect.height();
}
static void PrintTo(const QSize& size, std::ostream* out) {
  *out << size.width() << " x " << size.height();
}

namespace {

// The window's own 2-pixel border lies around the three bands.
constexpr int kBorder = 2;

class WindowLayoutTest : public FormTest {
protected:
  void ShowLaidOut() {
    form->show();
    QApplication::processEvents();
  }
  // A band's place in the client area, without the border.
  QRect InClientArea(const QWidget* band) const {
    return band->geometry().translated(-kBorder, -kBorder);
  }
};

std::vector<std::string> Describe(const QMenu* menu) {
  std::vector<std::string> items;
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      items.push_back("-");
      continue;
    }
    std::string item = action->text().toStdString();
    if (!action->shortcut().isEmpty())
      item += " [" + action->shortcut().toString().toStdString() + "]";
    if (action->isCheckable())
      item += " (check)";
    items.push_back(item);
  }
  return items;
}

// The toolbar's pictures in index order: the glyphs are named by their index.
std::vector<QIcon> Glyphs() {
  const QDir glyphs(QStringLiteral(":/glyphs"));
  std::vector<QIcon> pictures;
  for (const QString& name : glyphs.entryList(QDir::Files, QDir::Name))
    pictures.emplace_back(glyphs.filePath(name));
  return pictures;
}

bool SamePicture(const QIcon& a, const QIcon& b) {
  return a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

bool IsGrey(const QIcon& icon) {
  const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (pixel.alpha() > 0 && (pixel.red() != pixel.green() || pixel.green() != pixel.blue()))
        return false;
    }
  return true;
}

TEST_F(WindowLayoutTest, BandsAndControlsSitWhereDescribedAndTheListTakesTheRest) {
  ShowLaidOut();
  EXPECT_EQ(form->size(), QSize(527 + 2 * kBorder, 244 + 2 * kBorder));
  EXPECT_EQ(InClientArea(Widget<QFrame>("Panel1")), QRect(0, 0, 527, 43));
  EXPECT_EQ(InClientArea(Widget<QFrame>("Panel2")), QRect(0, 43, 527, 178));
  EXPECT_EQ(InClientArea(Widget<QFrame>("Panel3")), QRect(0, 221, 527, 23));

  const struct {
    QWidget* widget;
    QRect inParent;
  } controls[] = {
      {Widget<QLabel>("Image1"), {1, 1, 525, 41}},
      {Widget<QFrame>("ToolBar1"), {1, 1, 525, 29}},
      {ListView(), {1, 30, 525, 147}},
      {Widget<QPlainTextEdit>("Memo1"), {8, 96, 1800, 25}},
      {Widget<QFrame>("Panel5"), {1, 1, 525, 21}},
      {Widget<QFrame>("Panel4"), {1, 1, 64, 19}},
      {Widget<QLabel>("StaticText1"), {3, 4, 58, 13}},
      {Widget<QProgressBar>("ProgressBar1"), {65, 1, 459, 19}},
  };
  for (const auto& control : controls)
    EXPECT_EQ(control.widget->geometry(), control.inParent)
        << control.widget->objectName().toStdString();
  EXPECT_FALSE(Widget<QPlainTextEdit>("Memo1")->isVisible());

  form->resize(800, 600);
  QApplication::processEvents();
  EXPECT_EQ(Widget<QFrame>("Panel1")->height(), 43);
  EXPECT_EQ(Widget<QFrame>("ToolBar1")->height(), 29);
  EXPECT_EQ(Widget<QFrame>("Panel3")->height(), 23);
  EXPECT_EQ(ListView()->size(), QSize(800 - 2 * kBorder - 2, 600 - 2 * kBorder - 43 - 23 - 2 - 29));
}

TEST_F(WindowLayoutTest, ToolbarHoldsItsButtonsAndGapsInOrder) {
  ShowLaidOut();
  const struct Item {
    const char* name;
    int width;
    const char* hint; // nullptr for a gap
    int image;
    bool enabled;
    bool check;
  } items[] = {
      {"ToolButton5", 9, nullptr, 0, false, false},
      {"TB_New", 25, "new list", 20, true, false},
      {"ToolButton14", 8, nullptr, 0, false, false},
      {"TB_Load", 25, "load project file", 0, true, false},
      {"TB_Save", 25, "save project file", 14, false, false},
      {"ToolButton6", 16, nullptr, 0, false, false},
      {"ToolButton1", 25, "append media-file", 22, true, false},
      {"ToolButton2", 13, nullptr, 0, false, false},
      {"TB_Start", 25, "start", 4, false, false},
      {"TB_Pause", 25, "pause", 6, false, false},
      {"TB_Stop", 25, "stop", 8, false, false},
      {"ToolButton9", 8, nullptr, 0, false, false},
      {"TB_Prev", 25, "prev", 12, false, false},
      {"TB_Next", 25, "next", 10, false, false},
      {"ToolButton11", 16, nullptr, 0, false, false},
      {"TB_Random", 25, "random", 16, true, true},
      {"TB_AutoPlay", 25, "automatic play", 18, true, true},
      {"ToolButton3", 16, nullptr, 0, false, false},
      {"ninja", 25, "to hide mode", 24, true, false},
  };
  QLayout* row = Widget<QFrame>("ToolBar1")->layout();
  int x = 0;
  for (int i = 0; i < int(std::size(items)); ++i) {
    const Item& item = items[i];
    SCOPED_TRACE(item.name);
    QLayoutItem* placed = row->itemAt(i);
    ASSERT_NE(placed, nullptr);
    if (!item.hint) {
      EXPECT_NE(placed->spacerItem(), nullptr);
      EXPECT_EQ(placed->geometry().x(), x);
      EXPECT_EQ(placed->geometry().width(), item.width);
    } else {
      const auto* button = qobject_cast<QToolButton*>(placed->widget());
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->objectName(), item.name);
      EXPECT_EQ(button->geometry(), QRect(x, 2, 25, 22));
      EXPECT_EQ(button->toolTip(), item.hint);
      EXPECT_TRUE(SamePicture(button->icon(), Glyphs().at(size_t(item.image))));
      EXPECT_EQ(button->isEnabled(), item.enabled);
      EXPECT_EQ(button->isCheckable(), item.check);
      EXPECT_FALSE(button->isChecked());
      EXPECT_TRUE(button->text().isEmpty());
    }
    x += item.width;
  }
}

TEST_F(WindowLayoutTest, ImageListPairsColouredPicturesWithGreyTwins) {
  const std::vector<QIcon> pictures = Glyphs();
  ASSERT_EQ(pictures.size(), 27u);
  for (size_t i = 0; i < pictures.size(); ++i) {
    SCOPED_TRACE(i);
    const QIcon& picture = pictures[i];
    ASSERT_FALSE(picture.isNull());
    const bool greyTwin = (i < 24 && i % 2 == 1) || i == 26;
    EXPECT_EQ(IsGrey(picture), greyTwin);
  }
}

TEST_F(WindowLayoutTest, ColoursFontsAndCaption) {
  EXPECT_EQ(form->windowTitle(), "Mellowdeck");
  EXPECT_FALSE(form->windowIcon().isNull());
  EXPECT_EQ(form->palette().color(QPalette::Window), form->palette().color(QPalette::Button));
  EXPECT_EQ(Widget<QFrame>("Panel1")->palette().color(QPalette::Window), QColor(255, 255, 255));
  EXPECT_EQ(Widget<QFrame>("ToolBar1")->palette().color(QPalette::Window), QColor(0, 128, 0));
  EXPECT_TRUE(Widget<QFrame>("Panel1")->autoFillBackground() &&
              Widget<QFrame>("ToolBar1")->autoFillBackground());
  EXPECT_EQ(ListView()->palette().color(QPalette::Base), QColor(11, 230, 44));
  EXPECT_EQ(ListView()->frameShape(), QFrame::NoFrame);

  EXPECT_EQ(QFontInfo(form->font()).family(), "IPAPGothic");
  EXPECT_EQ(QFontInfo(form->font()).pixelSize(), 12);
  const QFont listFont = ListView()->font();
  EXPECT_EQ(QFontInfo(listFont).pixelSize(), 12);
  const QFontMetrics list(listFont);
  // Fixed pitch, with room for the three stems of an "m", and Japanese shown.
  EXPECT_EQ(list.horizontalAdvance('m'), list.horizontalAdvance('i'));
  EXPECT_GE(list.horizontalAdvance('m'), 7);
  const QStringList faces = listFont.families();
  EXPECT_TRUE(std::any_of(faces.begin(), faces.end(), [](const QString& face) {
    return QFontDatabase::writingSystems(face).contains(QFontDatabase::Japanese);
  })) << faces.join(", ").toStdString();

  SetList({" /m/a.wav", " /m/日本語.wav", " /m/gjpqy.wav"});
  ShowLaidOut();
  for (int row = 0; row < 3; ++row) {
    const QRect line = ListView()->visualRect(ListView()->model()->index(row, 0));
    EXPECT_GE(line.height(), list.ascent() + list.descent()) << "descenders cut off in row " << row;
  }
}

TEST_F(WindowLayoutTest, OnlyTheBannerShowsItsHint) {
  ShowLaidOut();
  const QString banner = Widget<QLabel>("Image1")->toolTip();
  EXPECT_TRUE(banner.startsWith("Mellowdeck version 4.0  ")) << banner.toStdString();
  EXPECT_GT(banner.size(), QString("Mellowdeck version 4.0  ").size());
  EXPECT_EQ(ListView()->statusTip(), "WClick->select  RClick->sub menu  TAB->Next  ESC->Stop");

  auto askForTip = [](QWidget* widget) {
    QHelpEvent ask(QEvent::ToolTip, widget->rect().center(),
                   widget->mapToGlobal(widget->rect().center()));
    QApplication::sendEvent(widget, &ask);
  };
  askForTip(ListView()->viewport());
  EXPECT_FALSE(QToolTip::isVisible());
  askForTip(Widget<QLabel>("Image1"));
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), banner);
  QToolTip::hideText();
}

TEST_F(WindowLayoutTest, MenusListTheirItemsKeysAndChecks) {
  EXPECT_EQ(Describe(Widget<QMenu>("PopupMenu1")),
            (std::vector<std::string>{"append music file [Ins]", "remove music file [Del]",
                                      "remove all [Ctrl+Del]", "-", "copy filename", "-",
                                      "about and manual [F1]"}));
  EXPECT_EQ(Describe(Widget<QMenu>("PopupMenu2")),
            (std::vector<std::string>{"Open main windows", "-", "load list", "save list", "-",
                                      "start play", "stop play", "pause play (check)", "-",
                                      "random (check)", "-", "next file", "previous file", "-",
                                      "automatic replay (check)", "-", "exit"}));
  EXPECT_EQ(Widget<QMenu>("PopupMenu2")->defaultAction(), Action("Openmainwindows1"));
}

TEST_F(WindowLayoutTest, FirstShownInTheMiddleOfTheScreen) {
  ShowLaidOut();
  const QPoint middle = form->screen()->availableGeometry().center();
  EXPECT_LE((form->geometry().center() - middle).manhattanLength(), 1);
}

} // namespace
