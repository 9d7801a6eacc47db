#include "Mdkmain.h"

#include "platform/error_box.h"
#include "platform/media_player.h"
#include "platform/resources.h"
#include "platform/tray_shell.h"
#include "platform/window_font.h"
#include "tray/tray_icons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QTimer>
#include <QToolButton>
#include <tuple>

namespace {

// The classic navy of a selected list entry.
constexpr QColor kSelectionColour{0, 0, 128};

// The pictures are kept as files named by their index ("04_start.svg"), so
// the sorted listing is the list in index order.
void LoadImageList(std::array<QIcon, 27>& images) {
  const QDir glyphs(QStringLiteral(":/glyphs"));
  const QStringList names = glyphs.entryList(QDir::Files, QDir::Name);
  for (size_t i = 0; i < images.size() && int(i) < names.size(); ++i)
    images[i] = QIcon(glyphs.filePath(names[int(i)]));
}

// A Japanese fixed face gives Latin letters half of its 12 pixels, too few
// for an "m" to keep its counters; a Latin fixed face draws the paths, and the
// Japanese gothic face the characters it lacks. Both are chosen by name, with
// the system's fixed face for a machine that has neither.
QFont ListFont() {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("IPAGothic"),
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setFixedPitch(true);
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(kWindowFontPixels);
  return WithFacesOwnHinting(font);
}

// Menu items that can carry a check mark show nothing while unchecked, as a
// plain item does; their captions stay in line with the checked ones.
class CheckMarkOnlyStyle : public QProxyStyle {
public:
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuItem && item && item->checkType != QStyleOptionMenuItem::NotCheckable &&
        !item->checked) {
      QStyleOptionMenuItem plain(*item);
      plain.checkType = QStyleOptionMenuItem::NotCheckable;
      QProxyStyle::drawControl(element, &plain, painter, widget);
      return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }
};

} // namespace

TForm1::TForm1(const FormPlatform& platform, QWidget* parent)
    : QWidget(parent), state_(platform.random), list_(state_.List()),
      MediaPlayer1(&platform.player), tray_(platform.tray), dialogs_(platform.dialogs),
      programDirectory_(platform.programDirectory),
      handOffDirectories_(platform.handOffDirectories), pollsByItself_(platform.pollsByItself) {
  InitResources();
  setFont(WindowFont());
  ui_.setupUi(this);
  ui_.ListBox1->Show(list_);
  SetUpLook();
  BuildMenus();
  BindCommands();
  // The program ends when this window closes (Closed), and only then: a
  // hidden main window must not let the closing of another window end it.
  QApplication::setQuitOnLastWindowClosed(false);
  // Files dropped anywhere on the window reach it: no part takes drops itself.
  setAcceptDrops(true);

  OpenDialog1.filter = QStringLiteral("wav/mid/mp3/wma 音声メディア (*wav *mid *.mp3 "
                                      "*.wma);;avi/wmv 映像メディア (*.avi *.wmv);;all (*)");
  OpenDialog1.multiSelect = true;
  OpenDialog3.filter = QStringLiteral("config file list (*.flist) (*.flist)");
  OpenDialog3.defaultSuffix = QStringLiteral("txt");
  SaveDialog2.filter = OpenDialog3.filter;
  SaveDialog2.defaultSuffix = QStringLiteral("txt");
  SaveDialog2.confirmOverwrite = true;

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
  if (platform.pollsByItself)
    Timer1->start();

  connect(&state_, &PlayerState::Changed, this, [this](PlayerState::Change what) {
    WakePoll();
    if (what == PlayerState::Change::Modes)
      ShowModes();
    else if (what == PlayerState::Change::Playing)
      ShowTrayState();
  });
}

void TForm1::ShowModes() {
  for (auto [item, button, on] : {std::tuple{ui_.random1, ui_.TB_Random, state_.RandomPlay()},
                                  {ui_.autorepeat1, ui_.TB_AutoPlay, state_.ContinuousPlay()}}) {
    item->setChecked(on);
    button->setChecked(on);
  }
}

TForm1::~TForm1() {
  FormDestroy();
}

void TForm1::SetUpLook() {
  QPalette look = palette();
  look.setColor(QPalette::Window, look.color(QPalette::Button));
  setPalette(look);
  // The list's green is a fixed colour, so what is drawn on it is fixed too:
  // a dark theme's light text would all but vanish on it. The selection keeps
  // its colours when the window is not the active one.
  QPalette listLook = ui_.ListBox1->palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    listLook.setColor(group, QPalette::Text, Qt::black);
    listLook.setColor(group, QPalette::Highlight, kSelectionColour);
    listLook.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  ui_.ListBox1->setPalette(listLook);
  ui_.ListBox1->setFont(ListFont());
  // A line as high as its font, so that no descender is cut off.
  ui_.ListBox1->SetItemHeight(QFontMetrics(ui_.ListBox1->font()).height());

  LoadImageList(ImageList1);
  for (QToolButton* button : ui_.ToolBar1->findChildren<QToolButton*>())
    button->setIcon(ImageList1.at(size_t(button->property("imageIndex").toInt())));

  if (const QScreen* shown = screen())
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), shown->availableGeometry()));
}

void TForm1::BuildMenus() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu1->addAction(ui_.appendmusicfile1);
  PopupMenu1->addAction(ui_.removemusicfile1);
  PopupMenu1->addAction(ui_.removeall1);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(ui_.copyto1);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(ui_.aboutandmanual1);

  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
  PopupMenu2->addAction(ui_.Openmainwindows1);
  PopupMenu2->setDefaultAction(ui_.Openmainwindows1);
  PopupMenu2->addSeparator();
  PopupMenu2->addActions({ui_.loadlist1, ui_.savelist1});
  PopupMenu2->addSeparator();
  PopupMenu2->addActions({ui_.startplay1, ui_.stopplay1, ui_.pauseplay1});
  PopupMenu2->addSeparator();
  PopupMenu2->addAction(ui_.random1);
  PopupMenu2->addSeparator();
  PopupMenu2->addActions({ui_.nextfile1, ui_.previousfile1});
  PopupMenu2->addSeparator();
  PopupMenu2->addAction(ui_.autorepeat1);
  PopupMenu2->addSeparator();
  PopupMenu2->addAction(ui_.exit1);
  auto* menuStyle = new CheckMarkOnlyStyle;
  menuStyle->setParent(this);
  PopupMenu2->setStyle(menuStyle);

  connect(PopupMenu1, &QMenu::aboutToShow, this,
          [this] { RunHandler([this] { PopupMenu1Popup(); }); });
  connect(ui_.ListBox1, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { PopupMenu1->popup(ui_.ListBox1->viewport()->mapToGlobal(at)); });
  // Every part of the window without a menu of its own passes the request up to here.
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { PopupMenu2->popup(mapToGlobal(at)); });
  connect(ui_.Image1, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { PopupMenu2->popup(ui_.Image1->mapToGlobal(at)); });
}

void TForm1::BindCommand(QAction* action, void (TForm1::*handler)()) {
  connect(action, &QAction::triggered, this, [this, action, handler] {
    // A checkable item has flipped itself already; its handler does the flipping.
    if (action->isCheckable())
      action->setChecked(!action->isChecked());
    RunHandler([this, handler] { (this->*handler)(); });
  });
}

void TForm1::BindCommand(QAbstractButton* button, void (TForm1::*handler)()) {
  connect(button, &QAbstractButton::clicked, this, [this, button, handler] {
    if (button->isCheckable())
      button->setChecked(!button->isChecked());
    RunHandler([this, handler] { (this->*handler)(); });
  });
}

// A handler can change what the status poll reads, and the poll must show it:
// the poll runs while the handler does (an error box or a dialog has a loop
// of its own) and ticks at least once after it.
void TForm1::RunHandler(const std::function<void()>& handler) {
  WakePoll();
  Guarded(handler);
  WakePoll();
}

void TForm1::BindCommands() {
  BindCommand(ui_.TB_New, &TForm1::removeall1Click);
  BindCommand(ui_.removeall1, &TForm1::removeall1Click);
  BindCommand(ui_.ToolButton1, &TForm1::appendmusicfile1Click);
  BindCommand(ui_.appendmusicfile1, &TForm1::appendmusicfile1Click);
  BindCommand(ui_.removemusicfile1, &TForm1::removemusicfile1Click);
  BindCommand(ui_.copyto1, &TForm1::copyto1Click);
  BindCommand(ui_.TB_Load, &TForm1::loadlist1Click);
  BindCommand(ui_.loadlist1, &TForm1::loadlist1Click);
  BindCommand(ui_.TB_Save, &TForm1::savelist1Click);
  BindCommand(ui_.savelist1, &TForm1::savelist1Click);
  BindCommand(ui_.TB_Start, &TForm1::startplay1Click);
  BindCommand(ui_.startplay1, &TForm1::startplay1Click);
  BindCommand(ui_.TB_Pause, &TForm1::pauseplay1Click);
  BindCommand(ui_.pauseplay1, &TForm1::pauseplay1Click);
  BindCommand(ui_.TB_Stop, &TForm1::stopplay1Click);
  BindCommand(ui_.stopplay1, &TForm1::stopplay1Click);
  BindCommand(ui_.TB_Prev, &TForm1::previousfile1Click);
  BindCommand(ui_.previousfile1, &TForm1::previousfile1Click);
  BindCommand(ui_.TB_Next, &TForm1::nextfile1Click);
  BindCommand(ui_.nextfile1, &TForm1::nextfile1Click);
  BindCommand(ui_.TB_Random, &TForm1::random1Click);
  BindCommand(ui_.random1, &TForm1::random1Click);
  BindCommand(ui_.TB_AutoPlay, &TForm1::automaticplay1Click);
  BindCommand(ui_.autorepeat1, &TForm1::automaticplay1Click);
  BindCommand(ui_.Openmainwindows1, &TForm1::Openmainwindows1Click);
  BindCommand(ui_.ninja, &TForm1::ninjaClick);
  BindCommand(ui_.exit1, &TForm1::exit1Click);
  BindCommand(ui_.aboutandmanual1, &TForm1::manual1Click);
  connect(ui_.ListBox1, &ListBox::UserSelected, this,
          [this] { RunHandler([this] { ListBox1Click(); }); });
  connect(ui_.ListBox1, &ListBox::UserDoubleClicked, this,
          [this] { RunHandler([this] { ListBox1DblClick(); }); });
  tray_.OnDoubleClick = [this] { RunHandler([this] { Openmainwindows1Click(); }); };
  tray_.OnContextRequest = [this](QPoint at) {
    RunHandler([this, at] { TrayContextRequest(at); });
  };
  tray_.ShareMenu(PopupMenu2);
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat())
    RunHandler([this, event] { FormKeyUp(event->key()); });
  QWidget::keyReleaseEvent(event);
}

void TForm1::FormCreate(const std::vector<QByteArray>& arguments) {
  Guarded([this, &arguments] {
    AddTrayIcon();
    StateIcons = {LoadIconResource(QStringLiteral("ICON1")),
                  LoadIconResource(QStringLiteral("icon2")),
                  LoadIconResource(QStringLiteral("ICON3"))};
    std::vector<QByteArray> entries;
    for (const QByteArray& argument : arguments)
      if (!argument.isEmpty())
        entries.push_back(argument);
    if (!entries.empty()) {
      list_.AddAll(entries);
      list_.SetItemIndex(0);
      PlayStep(0);
    }
    Timer1Timer();
  });
}

void TForm1::FormDestroy() {
  if (destroyed_)
    return;
  destroyed_ = true;
  Guarded([this] {
    Timer1->stop();
    StopPlayback();
    MediaPlayer1->Close();
    RemoveTrayIcon();
    StateIcons = {};
  });
}

void TForm1::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit Closed();
}
