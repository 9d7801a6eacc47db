#include "Mdkmain.h"

#include "platform/error_box.h"
#include "platform/media_player.h"
#include "platform/resources.h"
#include "platform/tray_shell.h"
#include "rules/entry_rules.h"
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

namespace {

constexpr int kFontPixels = 12;
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

QFont WindowFont() {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(kFontPixels);
  return font;
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
  font.setPixelSize(kFontPixels);
  return font;
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
    : QWidget(parent), MediaPlayer1(&platform.player), tray_(platform.tray),
      dialogs_(platform.dialogs), programDirectory_(platform.programDirectory),
      handOffDirectories_(platform.handOffDirectories), random_(platform.random), draws_(random_) {
  InitResources();
  setupUi(this);
  SetUpLook();
  BuildMenus();
  BindCommands();
  // The program ends when this window closes (Closed), and only then: a
  // hidden main window must not let the closing of another window end it.
  QApplication::setQuitOnLastWindowClosed(false);

  OpenDialog1.filter = QStringLiteral("wav/mid/mp3/wma 音声メディア (*wav *mid *.mp3 "
                                      "*.wma);;avi/wmv 映像メディア (*.avi *.wmv);;all (*)");
  OpenDialog1.multiSelect = true;
  OpenDialog3.filter = QStringLiteral("config file list (*.flist) (*.flist)");
  OpenDialog3.defaultSuffix = QStringLiteral("txt");
  SaveDialog2.filter = OpenDialog3.filter;
  SaveDialog2.defaultSuffix = QStringLiteral("txt");
  SaveDialog2.confirmOverwrite = true;

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
  Timer1->start();
}

TForm1::~TForm1() {
  FormDestroy();
}

void TForm1::SetUpLook() {
  QPalette look = palette();
  look.setColor(QPalette::Window, look.color(QPalette::Button));
  setPalette(look);
  setFont(WindowFont());
  // The list's green is a fixed colour, so what is drawn on it is fixed too:
  // a dark theme's light text would all but vanish on it. The selection keeps
  // its colours when the window is not the active one.
  QPalette listLook = ListBox1->palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    listLook.setColor(group, QPalette::Text, Qt::black);
    listLook.setColor(group, QPalette::Highlight, kSelectionColour);
    listLook.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  ListBox1->setPalette(listLook);
  ListBox1->LeaveUncounted(IsModeMarker);
  ListBox1->setFont(ListFont());
  // A line as high as its font, so that no descender is cut off.
  ListBox1->SetItemHeight(QFontMetrics(ListBox1->font()).height());

  LoadImageList(ImageList1);
  for (QToolButton* button : ToolBar1->findChildren<QToolButton*>())
    button->setIcon(ImageList1.at(size_t(button->property("imageIndex").toInt())));

  if (const QScreen* shown = screen())
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), shown->availableGeometry()));
}

void TForm1::BuildMenus() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->addAction(appendmusicfile1);
  PopupMenu1->addAction(removemusicfile1);
  PopupMenu1->addAction(removeall1);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(copyto1);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(aboutandmanual1);

  PopupMenu2 = new QMenu(this);
  PopupMenu2->addAction(Openmainwindows1);
  PopupMenu2->setDefaultAction(Openmainwindows1);
  PopupMenu2->addSeparator();
  PopupMenu2->addActions({loadlist1, savelist1});
  PopupMenu2->addSeparator();
  PopupMenu2->addActions({startplay1, stopplay1, pauseplay1});
  PopupMenu2->addSeparator();
  PopupMenu2->addAction(random1);
  PopupMenu2->addSeparator();
  PopupMenu2->addActions({nextfile1, previousfile1});
  PopupMenu2->addSeparator();
  PopupMenu2->addAction(autorepeat1);
  PopupMenu2->addSeparator();
  PopupMenu2->addAction(exit1);
  auto* menuStyle = new CheckMarkOnlyStyle;
  menuStyle->setParent(this);
  PopupMenu2->setStyle(menuStyle);

  connect(PopupMenu1, &QMenu::aboutToShow, this,
          [this] { Guarded([this] { PopupMenu1Popup(); }); });
  connect(ListBox1, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at)); });
  // Every part of the window without a menu of its own passes the request up to here.
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { PopupMenu2->popup(mapToGlobal(at)); });
  connect(Image1, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { PopupMenu2->popup(Image1->mapToGlobal(at)); });
}

void TForm1::BindCommand(QAction* action, void (TForm1::*handler)()) {
  connect(action, &QAction::triggered, this, [this, action, handler] {
    // A checkable item has flipped itself already; its handler does the flipping.
    if (action->isCheckable())
      action->setChecked(!action->isChecked());
    Guarded([this, handler] { (this->*handler)(); });
  });
}

void TForm1::BindCommand(QAbstractButton* button, void (TForm1::*handler)()) {
  connect(button, &QAbstractButton::clicked, this, [this, button, handler] {
    if (button->isCheckable())
      button->setChecked(!button->isChecked());
    Guarded([this, handler] { (this->*handler)(); });
  });
}

void TForm1::BindCommands() {
  BindCommand(TB_New, &TForm1::removeall1Click);
  BindCommand(removeall1, &TForm1::removeall1Click);
  BindCommand(ToolButton1, &TForm1::appendmusicfile1Click);
  BindCommand(appendmusicfile1, &TForm1::appendmusicfile1Click);
  BindCommand(removemusicfile1, &TForm1::removemusicfile1Click);
  BindCommand(copyto1, &TForm1::copyto1Click);
  BindCommand(TB_Load, &TForm1::loadlist1Click);
  BindCommand(loadlist1, &TForm1::loadlist1Click);
  BindCommand(TB_Save, &TForm1::savelist1Click);
  BindCommand(savelist1, &TForm1::savelist1Click);
  BindCommand(TB_Start, &TForm1::startplay1Click);
  BindCommand(startplay1, &TForm1::startplay1Click);
  BindCommand(TB_Pause, &TForm1::pauseplay1Click);
  BindCommand(pauseplay1, &TForm1::pauseplay1Click);
  BindCommand(TB_Stop, &TForm1::stopplay1Click);
  BindCommand(stopplay1, &TForm1::stopplay1Click);
  BindCommand(TB_Prev, &TForm1::previousfile1Click);
  BindCommand(previousfile1, &TForm1::previousfile1Click);
  BindCommand(TB_Next, &TForm1::nextfile1Click);
  BindCommand(nextfile1, &TForm1::nextfile1Click);
  BindCommand(TB_Random, &TForm1::random1Click);
  BindCommand(random1, &TForm1::random1Click);
  BindCommand(TB_AutoPlay, &TForm1::automaticplay1Click);
  BindCommand(autorepeat1, &TForm1::automaticplay1Click);
  BindCommand(Openmainwindows1, &TForm1::Openmainwindows1Click);
  BindCommand(ninja, &TForm1::ninjaClick);
  BindCommand(exit1, &TForm1::exit1Click);
  BindCommand(aboutandmanual1, &TForm1::manual1Click);
  connect(ListBox1, &ListBox::UserSelected, this, [this] { Guarded([this] { ListBox1Click(); }); });
  connect(ListBox1, &ListBox::UserDoubleClicked, this,
          [this] { Guarded([this] { ListBox1DblClick(); }); });
  tray_.OnDoubleClick = [this] { Guarded([this] { Openmainwindows1Click(); }); };
  tray_.OnContextRequest = [this](QPoint at) { Guarded([this, at] { TrayContextRequest(at); }); };
  tray_.ShareMenu(PopupMenu2);
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat())
    Guarded([this, event] { FormKeyUp(event->key()); });
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
      ListBox1->AddAll(entries);
      ListBox1->SetItemIndex(0);
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
