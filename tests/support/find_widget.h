#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

// A widget, action or menu of a window by the name the window system and
// accessibility tools know it by; tests reach the window as a user's tools
// would, not through its private description.
template <class T = QObject> T* FindIn(const QObject& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  if (!found)
    throw std::logic_error(std::string("the window has no ") + name);
  return found;
}
