#pragma once
// Names for files a build writes side by side, so that two folders or two
// pictures of one name never share a page, a thumbnail or a drawing: the
// first keeps its name, each later one (letter case ignored, as a Windows
// disk compares names) takes the name & " (2)", " (3)", and so on.

#include <QSet>
#include <QString>
#include <QStringList>

class UniqueNames {
public:
    // reserved: names that are taken from the start.
    explicit UniqueNames(const QStringList& reserved = {});

    // The name, or the first of its numbered forms that no earlier call gave.
    QString claim(const QString& name);

private:
    QSet<QString> taken_;  // case-folded
};
