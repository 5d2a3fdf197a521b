// Control ids on dialog widgets: the object name "ID_<id>" and the "controlId" property, by
// which tests and the help find a control.
#pragma once

#include <QString>
#include <QWidget>

template <typename W>
W* tagged(W* widget, int id) {
  widget->setObjectName(QString("ID_%1").arg(id));
  widget->setProperty("controlId", id);
  return widget;
}
