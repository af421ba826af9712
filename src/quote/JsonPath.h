#pragma once

#include <string>

#include <QJsonValue>

// The value at a dotted path ("chart.result.0.meta.currency"): keys step
// into objects, decimal numbers (up to nine digits) into arrays. A step
// that does not fit the value it meets gives Undefined.
QJsonValue FollowJsonPath(const QJsonValue& root, const std::string& path);
