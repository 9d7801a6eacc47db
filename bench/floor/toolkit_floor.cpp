// What any program on this toolkit and media layer pays before its window
// maps, for scripts/bench-process to set beside the player's own figures:
//
//   mdk_toolkit_floor window
//     a window of one line of text in the default font, shown as soon as the
//     application exists;
//   mdk_toolkit_floor media FILE
//     the same window, shown once FILE is prerolled (opened, its type found
//     and its decoder chain built, as the player's first Open does), then
//     played to a fake sink in real time. The media layer starts on a thread
//     of its own while the toolkit connects, the most a program can overlap.
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <gst/gst.h>
#include <thread>

namespace {

GstElement* Preroll(const char* path) {
  gst_init(nullptr, nullptr);
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  GstElement* sink = gst_parse_bin_from_description("fakesink sync=true", TRUE, nullptr);
  if (playbin == nullptr || sink == nullptr)
    return nullptr;
  const QByteArray uri =
      QUrl::fromLocalFile(QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath()).toEncoded();
  g_object_set(playbin, "uri", uri.constData(), "audio-sink", sink, nullptr);
  gst_element_set_state(playbin, GST_STATE_PAUSED);
  if (gst_element_get_state(playbin, nullptr, nullptr, 5 * GST_SECOND) == GST_STATE_CHANGE_FAILURE)
    return nullptr;
  return playbin;
}

} // namespace

int main(int argc, char** argv) {
  const bool media = argc == 3 && std::strcmp(argv[1], "media") == 0;
  if (!media && !(argc == 2 && std::strcmp(argv[1], "window") == 0)) {
    std::fprintf(stderr, "usage: %s window | media FILE\n", argv[0]);
    return 2;
  }
  GstElement* playbin = nullptr;
  std::thread mediaLayer;
  if (media)
    mediaLayer = std::thread([&playbin, path = argv[2]] { playbin = Preroll(path); });
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QLabel window(QStringLiteral("The toolkit's floor"));
  window.resize(400, 300);
  if (media) {
    mediaLayer.join();
    if (playbin == nullptr) {
      std::fprintf(stderr, "%s: %s did not preroll\n", argv[0], argv[2]);
      return 1;
    }
    gst_element_set_state(playbin, GST_STATE_PLAYING);
  }
  window.show();
  return QApplication::exec();
}
