#pragma once
// A folder that cannot be written while the object lives, as an installed
// program's folder is, for a test run as root too: root writes anywhere, so
// the calling thread sets aside its right to pass over file permissions
// (kept in its permitted set, so it comes back).

#include <QFile>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString hostPath) : path_(std::move(hostPath))
    {
        QFile::setPermissions(path_, ReadAndEnter);
        setPermissionOverride(false);
    }
    ~ReadOnlyFolder()
    {
        setPermissionOverride(true);
        QFile::setPermissions(path_, ReadAndEnter | QFile::WriteOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    static constexpr QFile::Permissions ReadAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                       QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

    static void setPermissionOverride(bool on)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3]{};
        syscall(SYS_capget, &header, caps);
        const unsigned override = 1u << CAP_DAC_OVERRIDE;
        caps[0].effective = on ? caps[0].effective | (caps[0].permitted & override) : caps[0].effective & ~override;
        syscall(SYS_capset, &header, caps);
    }

    QString path_;
};
