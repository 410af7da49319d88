#include "platform/FileDialogFilter.h"

#include <QRegularExpression>
#include <QStringList>

namespace platform {

QString toQtFileFilter(const QString& filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the description's last brackets, so any
        // the description carries are replaced by the real ones.
        QString description = parts[i];
        description.remove(trailingPatterns);
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(u';', u' ');
        entries += description + QStringLiteral(" (") + patterns + u')';
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace platform
