#include "rules/entry_rules.h"

#include <algorithm>

namespace {

char FirstByte(const QByteArray& entry) {
  return entry.isEmpty() ? '\0' : entry.front();
}

} // namespace

bool IsAcceptableEntry(const QByteArray& entry) {
  return !entry.isEmpty();
}

bool IsUnplayable(const QByteArray& entry) {
  return FirstByte(entry) == '<';
}

bool IsModeMarker(const QByteArray& entry) {
  return entry == kRandomMarker || entry == kAutoplayMarker;
}

QByteArray FileNameForPlayStep(const QByteArray& entry) {
  const char first = FirstByte(entry);
  return first == ' ' || first == '*' ? entry.mid(1) : entry;
}

QByteArray FileNameForListClick(const QByteArray& entry) {
  return FirstByte(entry) == ' ' ? entry.mid(1) : entry;
}

QByteArray FailedForm(const QByteArray& entry) {
  return '<' + entry.mid(1, 200) + '>';
}

QByteArray StarReset(const QByteArray& entry) {
  return ' ' + entry.mid(1, 200);
}

QByteArray LoadForm(const QByteArray& entry) {
  const char first = FirstByte(entry);
  return first == ' ' || first == '<' ? entry : ' ' + entry;
}

QByteArray CopyText(const QByteArray& entry) {
  return entry.mid(1, 100);
}

int CountPlayable(const std::vector<QByteArray>& entries) {
  return int(std::count_if(entries.begin(), entries.end(),
                           [](const QByteArray& entry) { return !IsModeMarker(entry); }));
}

QByteArray FileNamePart(const QByteArray& fileName, int maxBytes) {
  return CutToWholeCharacters(fileName.mid(fileName.lastIndexOf('/') + 1), maxBytes);
}

QByteArray CutToWholeCharacters(const QByteArray& text, int maxBytes) {
  if (text.size() <= maxBytes)
    return text;
  int end = maxBytes;
  // A UTF-8 continuation byte (10xxxxxx) at the cut means a character is split.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  return text.left(end);
}
