#pragma once

#include <string>

class CGraph;
class QPainter;

// Pictures of a chart, drawn by CGraph::Draw as the window paints it: a
// white background and the chart laid out for a client area of width x
// height. The chart's layout (frame, plot, steps, scale) is the window's
// again afterwards, so the window paints on as before.

// Draws into a painter whose device is at least width x height.
void DrawChartAtSize(CGraph& graph, QPainter& painter, int width, int height);

// The chart as PNG bytes; empty when the image cannot be made (a size
// outside 1..16384, no memory).
std::string ChartPng(CGraph& graph, int width, int height);

// The chart as an SVG document titled with the chart's title; empty when
// the size is outside 1..16384.
std::string ChartSvg(CGraph& graph, int width, int height);
