#include "Help.h"
#include "platform/mdk_error.h"
#include "support/form_fixture.h"
#include "support/stuck_pipe.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QScrollBar>

namespace {

class ManualWindowTest : public FormTest {
protected:
  void WriteReadme(const QByteArray& bytes) {
    QFile file(programDir.filePath("readme.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QString ManualText() {
    return FindIn<QPlainTextEdit>(TForm2(programDir.path()), "Memo1")->toPlainText();
  }
};

TEST_F(ManualWindowTest, BuiltInManualHasEveryHeadingInOrder) {
  const QString text = ManualText();
  qsizetype at = 0;
  for (const char* heading : {"<<Mellowdeck>>", "バージョン：4.1", "◇動作確認済みOS",
                              "◇対応メディア", "◇動作分類", "◇機能", "【使い方】", "mellowdeck",
                              "【素材管理】", "【簡単再生機能】", "【おまけ】", "【作った目的】"}) {
    SCOPED_TRACE(heading);
    at = text.indexOf(QString::fromUtf8(heading), at);
    EXPECT_GE(at, 0);
  }
  EXPECT_FALSE(text.endsWith('\n'));
}

// Every text of both windows is in the one face and size, hinted by the face
// itself, which keeps the automatic hinter from reading the face's whole file.
TEST_F(ManualWindowTest, TextsOfBothWindowsUseTheWindowFace) {
  TForm2 manual(programDir.path());
  for (const QWidget* part : {static_cast<QWidget*>(form.get()),
                              static_cast<QWidget*>(FindIn<QPlainTextEdit>(manual, "Memo1")),
                              static_cast<QWidget*>(FindIn<QPushButton>(manual, "BitBtn1")),
                              static_cast<QWidget*>(ListView())}) {
    SCOPED_TRACE(part->objectName().toStdString());
    EXPECT_EQ(QFontInfo(part->font()).pixelSize(), 12);
    EXPECT_EQ(part->font().hintingPreference(), QFont::PreferFullHinting);
  }
  EXPECT_EQ(QFontInfo(FindIn<QPlainTextEdit>(manual, "Memo1")->font()).family(), "IPAPGothic");
}

TEST_F(ManualWindowTest, AReadmeBesideTheProgramReplacesTheManual) {
  const char readme[] = "first\r\nsecond\rthird\n\n日本語\r\n\0hidden";
  WriteReadme(QByteArray(readme, sizeof readme - 1));
  EXPECT_EQ(ManualText(), QString::fromUtf8("first\nsecond\nthird\n\n日本語"));

  WriteReadme("");
  EXPECT_EQ(ManualText(), "");

  QFile::remove(programDir.filePath("readme.txt"));
  QDir(programDir.path()).mkdir("readme.txt");
  EXPECT_TRUE(ManualText().contains(QString::fromUtf8("【使い方】")));
}

TEST_F(ManualWindowTest, AHugeReadmeIsReadOnlyUpToItsLimitAndCutAtALineEnd) {
  QByteArray text;
  for (int line = 0; text.size() < 4 * TForm2::kReadmeLimit; ++line)
    text += QByteArray::number(line).rightJustified(7, '0') + " a line of the manual\r\n";
  WriteReadme(text);
  const QString shown = ManualText();
  const QString whole = QString::fromLatin1(text).replace("\r\n", "\n");
  EXPECT_TRUE(whole.startsWith(shown + '\n')) << "only whole lines, from the start";
  // Each shown line end stood for CR LF, and the last line's CR LF was read too.
  const qsizetype bytesShown = shown.size() + shown.count('\n') + 2;
  EXPECT_LE(bytesShown, TForm2::kReadmeLimit);
  EXPECT_GT(bytesShown, TForm2::kReadmeLimit - 30) << "no more than the last line is dropped";
}

TEST_F(ManualWindowTest, AReadmeThatIsAPipeOrADeviceGivesTheBuiltInManual) {
  const QString readme = programDir.filePath("readme.txt");
  {
    StuckPipe pipe(readme, "from the pipe");
    ASSERT_TRUE(pipe.Made());
    EXPECT_TRUE(ManualText().contains(QString::fromUtf8("【使い方】")));
  }
  QFile::remove(readme);
  ASSERT_TRUE(QFile::link("/dev/zero", readme));
  EXPECT_TRUE(ManualText().contains(QString::fromUtf8("【使い方】")));
}

TEST_F(ManualWindowTest, AReadmeThatCannotBeReadFailsTheStart) {
  // Even root cannot read this regular file: reading it fails with an I/O error.
  const QString readme = programDir.filePath("readme.txt");
  ASSERT_TRUE(QFile::link("/proc/self/mem", readme));
  try {
    TForm2 manual(programDir.path());
    ADD_FAILURE() << "an unreadable readme.txt was taken";
  } catch (const MdkError& error) {
    EXPECT_EQ(QString::fromLocal8Bit(error.what()),
              QString::fromUtf8("ファイル %1 は開けません").arg(readme));
  }
}

TEST_F(ManualWindowTest, F1ShowsOneWindowAndOkHidesItAsItWas) {
  TForm2 manual(programDir.path());
  form->SetManualWindow(&manual);
  EXPECT_FALSE(manual.isVisible());

  Action("aboutandmanual1")->trigger();
  ASSERT_TRUE(manual.isVisible());
  const QRect screen = manual.screen()->availableGeometry();
  EXPECT_LE((manual.frameGeometry().center() - screen.center()).manhattanLength(), 2);
  Action("aboutandmanual1")->trigger();
  const auto manuals = QApplication::topLevelWidgets();
  EXPECT_EQ(std::count_if(manuals.begin(), manuals.end(),
                          [](QWidget* w) { return qobject_cast<TForm2*>(w) && w->isVisible(); }),
            1);

  QScrollBar* scroll = FindIn<QPlainTextEdit>(manual, "Memo1")->verticalScrollBar();
  scroll->setValue(scroll->maximum() / 2);
  const int scrolled = scroll->value();
  manual.move(manual.pos() + QPoint(30, 20));
  const QPoint moved = manual.pos();
  FindIn<QPushButton>(manual, "BitBtn1")->click();
  EXPECT_FALSE(manual.isVisible());

  Action("aboutandmanual1")->trigger();
  EXPECT_TRUE(manual.isVisible());
  EXPECT_GT(scrolled, 0);
  EXPECT_EQ(scroll->value(), scrolled);
  EXPECT_EQ(manual.pos(), moved);
  EXPECT_FALSE(manual.windowFlags() & Qt::WindowCloseButtonHint);
}

} // namespace
