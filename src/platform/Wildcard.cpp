#include "platform/Wildcard.h"

#include <algorithm>

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

Wildcard::Wildcard(const QString& pattern)
    : pattern_(pattern),
      matchesEveryName_(pattern == u"*.*" || (!pattern.isEmpty() && std::all_of(pattern.begin(), pattern.end(),
                                                                                 [](QChar c) { return c == u'*'; })))
{
}

bool Wildcard::matches(QStringView name) const
{
    if (matchesEveryName_)
        return true;
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
