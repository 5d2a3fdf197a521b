// ChartFiles: writing charts as PNG and SVG files, without showing them.
//
// A chart is laid out in a scene of its own at a fixed size and painted into an image or an SVG
// generator, so files look the same from the window's "Save plots..." and from torvak --plots,
// whatever the size of any window. File names: run<R>-pair<P>-<key>.png and .svg.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include "results/results_record.h"

class QChart;

inline constexpr QSize kChartFileSize{960, 640};

// "run1-pair2-axis1"
QString chartFileStem(int run, int pair, const QString& key);

// Writes the chart to path (its suffix, .png or .svg, says how); false with the reason.
bool saveChart(QChart* chart, const QString& path, QString* error, QSize size = kChartFileSize);

// Writes every chart of a linked pair into folder (which must exist), as PNG and SVG, and adds
// each path to *written. False with the reason at the first file that cannot be written.
bool savePairCharts(const ResultsPair& pair, int run, const QString& folder, QStringList* written,
                    QString* error);
