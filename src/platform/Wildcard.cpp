#include "platform/Wildcard.h"

namespace platform {

namespace {

bool sameLetter(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

// Glob matching with one backtrack point: linear in practice.
bool globMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starAt = -1, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

}  // namespace

Wildcard::Wildcard(const QString& pattern) : pattern_(pattern) {}

bool Wildcard::matches(QStringView name) const
{
    const QStringView pattern(pattern_);
    if (globMatch(pattern, name))
        return true;
    if (pattern.endsWith(QStringLiteral(".*")))
        return globMatch(pattern.chopped(2), name);
    if (pattern.endsWith(u'.') && pattern.size() > 1)
        return !name.contains(u'.') && globMatch(pattern.chopped(1), name);
    return false;
}

}  // namespace platform
