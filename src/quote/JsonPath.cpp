#include "quote/JsonPath.h"

#include <algorithm>
#include <cstdlib>

#include <QJsonArray>
#include <QJsonObject>

QJsonValue FollowJsonPath(const QJsonValue& root, const std::string& path)
{
    QJsonValue value = root;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t dot = std::min(path.find('.', start), path.size());
        const std::string step = path.substr(start, dot - start);
        if (value.isObject()) {
            value = value.toObject().value(QString::fromStdString(step));
        } else if (value.isArray()) {
            const bool index = !step.empty() && step.size() <= 9 &&
                               std::all_of(step.begin(), step.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (!index)
                return QJsonValue(QJsonValue::Undefined);
            value = value.toArray().at(std::atoi(step.c_str()));
        } else {
            return QJsonValue(QJsonValue::Undefined);
        }
        start = dot + 1;
    }
    return value;
}
