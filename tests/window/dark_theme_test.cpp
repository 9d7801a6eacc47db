#include "Help.h"
#include "support/form_fixture.h"
#include "tray/tray_icons.h"

#include <QApplication>
#include <QPainter>
#include <QScopeGuard>
#include <cmath>

namespace {

// Contrast ratio of two colours as the accessibility guidelines define it.
double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& colour) {
    const auto linear = [](double channel) {
      return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
  };
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(53, 53, 53));
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Base, QColor(35, 35, 35));
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::Button, QColor(53, 53, 53));
  dark.setColor(QPalette::ButtonText, Qt::white);
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::Inactive, QPalette::Highlight, QColor(60, 60, 60));
  dark.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(200, 200, 200));
  return dark;
}

class DarkThemeTest : public FormTest {};

// The window's fixed colours keep their texts readable under a dark theme:
// the list's entries, its selection in an active and an inactive window, and
// the manual's text, each at least 4.5:1 in the colours the widgets use.
TEST_F(DarkThemeTest, TextOnFixedColoursStaysReadable) {
  const QPalette saved = QApplication::palette();
  const auto restore = qScopeGuard([&] { QApplication::setPalette(saved); });
  QApplication::setPalette(DarkPalette());
  Rebuild();
  TForm2 manual(programDir.path());
  manual.ensurePolished();
  FindIn<QPlainTextEdit>(manual, "Memo1")->ensurePolished();

  const QPalette list = ListView()->palette();
  const QPalette memo = FindIn<QPlainTextEdit>(manual, "Memo1")->palette();
  struct Pair {
    const char* what;
    QColor text, background;
  } const pairs[] = {
      {"list entry", list.color(QPalette::Active, QPalette::Text),
       list.color(QPalette::Active, QPalette::Base)},
      {"selected entry", list.color(QPalette::Active, QPalette::HighlightedText),
       list.color(QPalette::Active, QPalette::Highlight)},
      {"selected entry, window inactive", list.color(QPalette::Inactive, QPalette::HighlightedText),
       list.color(QPalette::Inactive, QPalette::Highlight)},
      {"selection against the list", list.color(QPalette::Inactive, QPalette::Highlight),
       list.color(QPalette::Inactive, QPalette::Base)},
      {"manual text", memo.color(QPalette::Text), memo.color(QPalette::Base)},
  };
  for (const Pair& pair : pairs)
    EXPECT_GE(Contrast(pair.text, pair.background), 4.5)
        << pair.what << ": " << pair.text.name().toStdString() << " on "
        << pair.background.name().toStdString();
  EXPECT_EQ(list.color(QPalette::Base), QColor(11, 230, 44)) << "the list keeps its green";
}

// A tray icon reads on a panel when most of its shape stands out from it, on
// a dark panel and on a light one.
TEST(TrayIconOnPanels, EveryStateIconStandsOutOnDarkAndLightPanels) {
  constexpr int kSize = 22;
  for (const char* name : {"MAINICON", "ICON1", "icon2", "ICON3"}) {
    const QImage icon =
        LoadIconResource(name).pixmap(kSize).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(icon.isNull()) << name;
    for (const QColor panel : {QColor(0x20, 0x20, 0x20), QColor(0xe0, 0xe0, 0xe0)}) {
      QImage shown(icon.size(), QImage::Format_RGB32);
      shown.fill(panel);
      QPainter(&shown).drawImage(0, 0, icon);
      int shape = 0;
      int standsOut = 0;
      for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
          if (qAlpha(icon.pixel(x, y)) < 128)
            continue;
          ++shape;
          standsOut += Contrast(shown.pixelColor(x, y), panel) >= 3.0;
        }
      ASSERT_GT(shape, 0) << name;
      EXPECT_GE(standsOut * 100, shape * 40) << name << " on " << panel.name().toStdString() << ": "
                                             << standsOut << " of " << shape << " pixels stand out";
    }
  }
}

} // namespace
