#include "results/chart_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QChart>

#include "results/pair_charts.h"

namespace {

// Paints the chart into the device's whole area; the chart leaves the scene afterwards.
void paintChart(QChart* chart, QPaintDevice* device, QSize size) {
  QGraphicsScene scene;
  QGraphicsScene* formerScene = chart->scene();
  if (formerScene) formerScene->removeItem(chart);
  const QSizeF formerSize = chart->size();
  scene.addItem(chart);
  chart->resize(size);
  scene.setSceneRect(QRectF(QPointF(0, 0), size));
  // A chart lays itself out on posted events; render only once that is done.
  QCoreApplication::sendPostedEvents(chart);
  QCoreApplication::sendPostedEvents(&scene);
  QPainter painter(device);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
  painter.end();
  scene.removeItem(chart);
  if (formerScene) {
    formerScene->addItem(chart);
    chart->resize(formerSize);
  }
}

}  // namespace

QString chartFileStem(int run, int pair, const QString& key) {
  return QString("run%1-pair%2-%3").arg(run).arg(pair).arg(key);
}

bool saveChart(QChart* chart, const QString& path, QString* error, QSize size) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "svg") {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      *error = "Cannot write " + path + ": " + file.errorString();
      return false;
    }
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(chart->title());
    paintChart(chart, &svg, size);
    if (file.error() == QFileDevice::NoError) return true;
    *error = "Cannot write " + path + ": " + file.errorString();
    return false;
  }
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  paintChart(chart, &image, size);
  if (image.save(path, "PNG")) return true;
  *error = "Cannot write " + path;
  return false;
}

bool savePairCharts(const ResultsPair& pair, int run, const QString& folder, QStringList* written,
                    QString* error) {
  for (const PairChart& chart : buildPairCharts(pair)) {
    for (const char* suffix : {".png", ".svg"}) {
      const QString path = QDir(folder).filePath(chartFileStem(run, pair.pair, chart.key) + suffix);
      if (!saveChart(chart.chart.get(), path, error)) return false;
      written->append(path);
    }
  }
  return true;
}
