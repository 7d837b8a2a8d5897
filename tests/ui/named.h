// The window's menu items and record panel controls, found by their game names (START,
// KIFU_READ, Text1, ...). A name that is missing, of another type or given twice stops the
// test at once instead of handing back a null pointer.
#pragma once

#include <QAction>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QWidget>
#include <array>

namespace zubeki::uitest {

// Every child of `window` of type T named `name`, in the order they were made.
template <class T> QList<T*> childrenNamed(const QObject& window, const char* name) {
    return window.findChildren<T*>(QLatin1String(name));
}

template <class T> T* child(const QObject& window, const char* name) {
    const QList<T*> found = childrenNamed<T>(window, name);
    if (found.size() != 1)
        qFatal("the window has %d %s named %s", static_cast<int>(found.size()),
               T::staticMetaObject.className(), name);
    return found.front();
}

inline QAction* action(const QObject& window, const char* name) {
    return child<QAction>(window, name);
}
inline QMenu* menu(const QObject& window, const char* name) {
    return child<QMenu>(window, name);
}
template <class T = QWidget> T* widget(const QObject& window, const char* name) {
    return child<T>(window, name);
}

// The record's four fields: file name (Text1), game name, upper and lower player.
inline std::array<QLineEdit*, 4> nameFields(const QObject& window) {
    return {widget<QLineEdit>(window, "Text1"), widget<QLineEdit>(window, "Text2"),
            widget<QLineEdit>(window, "Text3"), widget<QLineEdit>(window, "Text4")};
}

} // namespace zubeki::uitest
