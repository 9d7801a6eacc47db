#include "platform/media_player.h"
#include "support/form_fixture.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace {

// Files dragged from a file manager onto the window, as the window system
// delivers them.
class DropTest : public FormTest {
protected:
  DropTest() {
    SetList({" /m/playing.wav"}, 0);
    form->PlayStep(0);
    TakeCalls();
  }
  QString Make(const QString& relative) {
    const QString path = programDir.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
  }
  static QList<QUrl> Files(const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths)
      urls << QUrl::fromLocalFile(path);
    return urls;
  }
  // Whether the cursor offered to drop, and then the drop itself.
  bool Drop(const QList<QUrl>& urls, QWidget* onto = nullptr) {
    QWidget* target = onto ? onto : form.get();
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
      return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return true;
  }
  QByteArray Entry(const QString& path) const { return QFile::encodeName(path); }
};

TEST_F(DropTest, DroppedFilesAreAppendedInOrderAndTheFirstPlays) {
  const QString b = Make("b.MP3"), a = Make("a.wav");
  ASSERT_TRUE(Drop(Files({b, a}), ListView()->viewport()));
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{" /m/playing.wav", Entry(b), Entry(a)}));
  EXPECT_EQ(TheList().ItemIndex(), 1);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"TrayModify Mellowdeck", "Stop",
                                                   "TrayModify Mellowdeck (b.MP3)",
                                                   "Open " + Entry(b).toStdString(), "Play"}));
}

TEST_F(DropTest, AFolderBringsItsMediaFilesSortedByPath) {
  const QString folder = programDir.filePath("album");
  const QString one = Make("album/1 intro.WAV"), two = Make("album/cd2/2.mid"),
                three = Make("album/3.Wmv");
  Make("album/cover.jpg");
  Make("album/notes.txt");
  Make("album/endswithwav");
  const QString loose = Make("loose.ogg");

  ASSERT_TRUE(
      Drop(Files({folder, loose}) << QUrl("https://example.org/x.wav"), Widget<QLabel>("Image1")));
  EXPECT_EQ(Entries(), (std::vector<QByteArray>{" /m/playing.wav", Entry(one), Entry(three),
                                                Entry(two), Entry(loose)}))
      << "a loose file comes as it is, whatever its extension";
  EXPECT_EQ(player.FileName(), Entry(one).toStdString());
}

TEST_F(DropTest, NothingButFilesIsTaken) {
  EXPECT_FALSE(Drop({QUrl("https://example.org/a.wav"), QUrl("smb://host/share/b.wav")}))
      << "the cursor refuses what holds no file";
  ASSERT_TRUE(QDir(programDir.path()).mkdir("empty folder"));
  EXPECT_TRUE(Drop(Files({programDir.filePath("empty folder")})));
  EXPECT_EQ(Entries(), std::vector<QByteArray>{" /m/playing.wav"});
  EXPECT_TRUE(TakeCalls().empty()) << "a drop that brings nothing stops nothing";
}

} // namespace
