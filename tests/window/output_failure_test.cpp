#include "support/form_fixture.h"
#include "support/wait.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace {

// A broken sound or video output fails every file the same way: nothing is
// marked, the user is told once, and neither the retry of continuous play
// nor the poll nor a draw goes on trying the rest of the list.
class OutputFailureTest : public FormTest {
protected:
  void BreakOutput() {
    for (const char* name : {"/m/a.wav", "/m/b.wav", "/m/c.wav", "/m/d.wav"})
      player.outputFailing.insert(name);
  }
  static std::vector<QByteArray> List(bool random, bool continuous) {
    std::vector<QByteArray> entries;
    if (random)
      entries.push_back("<random>");
    if (continuous)
      entries.push_back("<autoplay>");
    for (const char* name : {" /m/a.wav", " /m/b.wav", " /m/c.wav", " /m/d.wav"})
      entries.push_back(name);
    return entries;
  }
  int Opens() const {
    return int(std::count_if(log.calls.begin(), log.calls.end(),
                             [](const std::string& call) { return call.starts_with("Open"); }));
  }
};

TEST_F(OutputFailureTest, MarksNothingTellsOnceAndDoesNotLoop) {
  struct Case {
    const char* what;
    bool random, continuous;
    int step;
  } const cases[] = {
      {"continuous play", false, true, 0},
      {"a random draw with continuous play", true, true, 1},
      {"a plain step", false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rebuild();
    errors.clear();
    log.calls.clear();
    BreakOutput();
    form->State().SetRandomPlay(c.random);
    form->State().SetContinuousPlay(c.continuous);
    const std::vector<QByteArray> entries = List(c.random, c.continuous);
    SetList(entries, int(entries.size()) - 4); // the first file

    EXPECT_FALSE(form->PlayStep(c.step));
    for (int tick = 0; tick < 3; ++tick)
      form->Timer1Timer();
    form->nextfile1Click();
    QCoreApplication::processEvents();

    EXPECT_EQ(Entries(), entries) << "no entry is marked";
    EXPECT_EQ(Opens(), 2) << "one open for the step, one for the next button; none by the poll";
    EXPECT_EQ(errors.size(), 1) << errors.join(" | ").toStdString();
    EXPECT_TRUE(errors.value(0).contains("sound output")) << errors.value(0).toStdString();
    EXPECT_EQ(form->State().TrayState(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
}

TEST_F(OutputFailureTest, AFileThatOpensEndsTheFailureAndANoticeIsShown) {
  BreakOutput();
  SetList(List(false, false), 0);
  form->PlayStep(0);
  player.outputFailing.clear();
  player.outputNotice = "No sound output was found";
  EXPECT_TRUE(form->PlayStep(1));
  player.outputFailing.insert("/m/c.wav");
  form->PlayStep(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(errors.size(), 3) << errors.join(" | ").toStdString();
  EXPECT_EQ(errors.value(1), "No sound output was found");
  EXPECT_EQ(Entries(), List(false, false));
}

} // namespace
