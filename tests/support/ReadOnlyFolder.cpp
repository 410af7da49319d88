#include "support/ReadOnlyFolder.h"

#include <QFile>
#include <linux/capability.h>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Takes the permission override out of, or back into, this thread's
// effective capabilities; the permitted ones stay, so it can come back.
void setPermissionOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        throw std::runtime_error("capget failed");
    const unsigned bit = 1u << CAP_DAC_OVERRIDE;
    if (on)
        data[0].effective |= data[0].permitted & bit;
    else
        data[0].effective &= ~bit;
    if (syscall(SYS_capset, &header, data) != 0)
        throw std::runtime_error("capset failed");
}

constexpr QFile::Permissions ReadAndEnter =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

}  // namespace

ReadOnlyFolder::ReadOnlyFolder(QString hostPath) : path_(std::move(hostPath))
{
    if (!QFile::setPermissions(path_, ReadAndEnter))
        throw std::runtime_error("cannot make the folder read-only");
    setPermissionOverride(false);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    setPermissionOverride(true);
    QFile::setPermissions(path_, ReadAndEnter | QFile::WriteOwner);
}
