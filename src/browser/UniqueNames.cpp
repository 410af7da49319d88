#include "browser/UniqueNames.h"

UniqueNames::UniqueNames(const QStringList& reserved)
{
    for (const QString& name : reserved)
        taken_.insert(name.toCaseFolded());
}

QString UniqueNames::claim(const QString& name)
{
    QString candidate = name;
    for (int number = 2; taken_.contains(candidate.toCaseFolded()); ++number)
        candidate = name + QStringLiteral(" (%1)").arg(number);
    taken_.insert(candidate.toCaseFolded());
    return candidate;
}
