// Renders the program's SVG icon as a square PNG of the size given, for the
// icon theme's fixed-size folders, whose pictures menus and docks prefer.
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  bool sizeIsNumber = false;
  const int size = arguments.size() == 4 ? arguments[3].toInt(&sizeIsNumber) : 0;
  if (!sizeIsNumber || size <= 0) {
    std::fprintf(stderr, "usage: mdk_render_icon SVG PNG SIZE (SIZE in pixels, above 0)\n");
    return 2;
  }
  QSvgRenderer renderer(arguments[1]);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "mdk_render_icon: %s is not a readable SVG picture\n",
                 qPrintable(arguments[1]));
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  if (!image.save(arguments[2], "PNG")) {
    std::fprintf(stderr, "mdk_render_icon: could not write %s\n", qPrintable(arguments[2]));
    return 1;
  }
  return 0;
}
