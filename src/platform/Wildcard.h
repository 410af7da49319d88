#pragma once
// The classic directory search's name patterns: "*" any run of characters,
// "?" any one character, compared ignoring case. As on Windows, a pattern
// ending in ".*" also matches the name without an extension ("*.*" matches
// every name, "readme.*" matches "readme"), and one ending in "." matches
// names without a dot ("*." matches "readme" only).

#include <QString>
#include <QStringView>

namespace platform {

class Wildcard {
public:
    explicit Wildcard(const QString& pattern);
    bool matches(QStringView name) const;

private:
    QString pattern_;
    bool matchesEveryName_;  // "*", "*.*": a walk's pattern, asked for every entry
};

}  // namespace platform
