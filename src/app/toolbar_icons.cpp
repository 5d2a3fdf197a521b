#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "app/command_ids.h"

namespace {

// A 16 x 15 glyph (the toolbar's button size) drawn by paint on a transparent pixmap.
template <typename Paint>
QIcon drawnIcon(Paint paint) {
  QPixmap pixmap(32, 30);
  pixmap.setDevicePixelRatio(2.0);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  return QIcon(pixmap);
}

QIcon letterIcon(const QString& letters, const QColor& color) {
  return drawnIcon([&](QPainter& p) {
    p.setPen(QPen(color, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 14), 2, 2);
    QFont font = p.font();
    font.setPixelSize(letters.size() > 2 ? 7 : 9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 16, 15), Qt::AlignCenter, letters);
  });
}

QIcon scissorsIcon() {
  return drawnIcon([](QPainter& p) {
    p.setPen(QPen(Qt::black, 1.3));
    p.drawLine(QPointF(4, 1), QPointF(10, 10));
    p.drawLine(QPointF(12, 1), QPointF(6, 10));
    p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
    p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
  });
}

QIcon copyIcon() {
  return drawnIcon([](QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 8, 9));
    p.drawRect(QRectF(6.5, 4.5, 8, 9));
  });
}

QIcon pasteIcon() {
  return drawnIcon([](QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(200, 160, 90));
    p.drawRect(QRectF(1.5, 2.5, 10, 11));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 6.5, 8, 8));
  });
}

QIcon printIcon() {
  return drawnIcon([](QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(180, 180, 180));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
  });
}

}  // namespace

QIcon toolbarIcon(int commandId, const QStyle* style) {
  switch (commandId) {
    case CommandId::FileNew:
      return style->standardIcon(QStyle::SP_FileIcon);
    case CommandId::FileOpen:
      return style->standardIcon(QStyle::SP_DialogOpenButton);
    case CommandId::FileSave:
      return style->standardIcon(QStyle::SP_DialogSaveButton);
    case CommandId::EditCut:
      return scissorsIcon();
    case CommandId::EditCopy:
      return copyIcon();
    case CommandId::EditPaste:
      return pasteIcon();
    case CommandId::FilePrint:
      return printIcon();
    case CommandId::HelpContent:
      return letterIcon("?", QColor(30, 80, 160));
    case CommandId::LoadLinkingIni:
      return letterIcon("ini", QColor(30, 110, 40));
    case CommandId::RunLinking:
      return letterIcon("L", QColor(170, 40, 30));
    default:
      return QIcon();
  }
}

QIcon applicationIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(36, 76, 140));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 14), QPointF(16, 50));
  p.drawLine(QPointF(48, 14), QPointF(48, 50));
  p.setPen(QPen(QColor(250, 200, 60), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 42), QPointF(48, 22));
  return QIcon(pixmap);
}
