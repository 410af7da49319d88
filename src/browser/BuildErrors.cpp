#include "browser/BuildErrors.h"

#include <QSet>

namespace {

struct ShownErrors {
    int builds = 0;
    QSet<QString> keys;
};

ShownErrors& shownErrors()
{
    static ShownErrors shown;
    return shown;
}

}  // namespace

BuildErrorRecord::BuildErrorRecord()
{
    if (shownErrors().builds++ == 0)
        shownErrors().keys.clear();
}

BuildErrorRecord::~BuildErrorRecord() { --shownErrors().builds; }

void startRunErrorRecord()
{
    if (shownErrors().builds == 0)
        shownErrors().keys.clear();
}

bool firstInBuild(const QString& key)
{
    if (shownErrors().keys.contains(key))
        return false;
    shownErrors().keys.insert(key);
    return true;
}
