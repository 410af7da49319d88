#include "platform/SettingsStore.h"

#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <utility>
#include <vector>

namespace platform {

namespace {

struct Section {
    QString application;
    QString name;
    std::vector<std::pair<QString, QString>> values;

    bool is(const QString& app, const QString& section) const
    {
        return application.compare(app, Qt::CaseInsensitive) == 0
            && name.compare(section, Qt::CaseInsensitive) == 0;
    }
    QString* find(const QString& key)
    {
        for (auto& [k, v] : values) {
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return &v;
        }
        return nullptr;
    }
};

using Document = std::vector<Section>;

bool needsQuoting(const QString& value)
{
    return value.startsWith(u'"') || value.contains(u'\n') || value.contains(u'\r');
}

QString quoted(const QString& value)
{
    QString out = QStringLiteral("\"");
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '"': out += QStringLiteral("\\\""); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out + u'"';
}

// The inverse of quoted(); text after the closing quote is ignored.
QString unquoted(const QString& text)
{
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"')
            break;
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[++i];
        out += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return out;
}

Document parse(const QString& text)
{
    Document doc;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QStringView inner = line.mid(1, line.size() - 2);
            const qsizetype slash = inner.indexOf(u'\\');
            Section section;
            section.application = (slash < 0 ? inner : inner.left(slash)).toString();
            section.name = slash < 0 ? QString() : inner.mid(slash + 1).toString();
            doc.push_back(std::move(section));
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || doc.empty())
            continue;
        const QString value = line.mid(equals + 1).toString();
        doc.back().values.emplace_back(line.left(equals).toString(),
                                       value.startsWith(u'"') ? unquoted(value) : value);
    }
    return doc;
}

QString serialise(const Document& doc)
{
    QString text;
    for (const Section& section : doc) {
        if (!text.isEmpty())
            text += u'\n';
        text += u'[' + section.application + u'\\' + section.name + QStringLiteral("]\n");
        for (const auto& [key, value] : section.values)
            text += key + u'=' + (needsQuoting(value) ? quoted(value) : value) + u'\n';
    }
    return text;
}

Document load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return parse(QString::fromUtf8(bytes));
}

Section* findSection(Document& doc, const QString& application, const QString& section)
{
    for (Section& s : doc) {
        if (s.is(application, section))
            return &s;
    }
    return nullptr;
}

}  // namespace

SettingsStore::SettingsStore(QString iniPath) : path_(std::move(iniPath)) {}

QString SettingsStore::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/brisca/settings.ini");
}

QString SettingsStore::get(const QString& application, const QString& section, const QString& key,
                           const QString& defaultValue) const
{
    Document doc = load(path_);
    Section* found = findSection(doc, application, section);
    const QString* value = found ? found->find(key) : nullptr;
    return value ? *value : defaultValue;
}

QStringList SettingsStore::keys(const QString& application, const QString& section) const
{
    Document doc = load(path_);
    QStringList names;
    if (Section* found = findSection(doc, application, section)) {
        for (const auto& entry : found->values)
            names += entry.first;
    }
    return names;
}

void SettingsStore::save(const QString& application, const QString& section, const QString& key,
                         const QString& value)
{
    Document doc = load(path_);
    Section* target = findSection(doc, application, section);
    if (!target) {
        doc.push_back(Section{application, section, {}});
        target = &doc.back();
    }
    if (QString* existing = target->find(key))
        *existing = value;
    else
        target->values.emplace_back(key, value);

    QDir().mkpath(QFileInfo(path_).path());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(serialise(doc).toUtf8()) < 0 || !file.commit())
        runtime::raise(runtime::err::PathFileAccessError,
                       QStringLiteral("Cannot write the settings file ") + path_);
}

}  // namespace platform
