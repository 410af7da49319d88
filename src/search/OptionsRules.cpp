#include "search/OptionsRules.h"

#include "platform/Services.h"

QString dataFolderFromField(const QString& field)
{
    QString folder = field.isEmpty() ? platform::programFolder() : field;
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    return folder;
}
