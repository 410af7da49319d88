#include "runtime/RuntimeError.h"

namespace runtime {

QString errorDescription(int number)
{
    switch (number) {
    case 3: return QStringLiteral("Return without GoSub");
    case err::InvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case err::SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case err::TypeMismatch: return QStringLiteral("Type mismatch");
    case err::BadFileNameOrNumber: return QStringLiteral("Bad file name or number");
    case err::FileNotFound: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 61: return QStringLiteral("Disk full");
    case err::InputPastEndOfFile: return QStringLiteral("Input past end of file");
    case 67: return QStringLiteral("Too many files");
    case err::DeviceUnavailable: return QStringLiteral("Device unavailable");
    case err::PermissionDenied: return QStringLiteral("Permission denied");
    case 71: return QStringLiteral("Disk not ready");
    case err::PathFileAccessError: return QStringLiteral("Path/File access error");
    case err::PathNotFound: return QStringLiteral("Path not found");
    case err::ObjectVariableNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    case err::InvalidPropertyValue: return QStringLiteral("Invalid property value");
    case err::InvalidPicture: return QStringLiteral("Invalid picture");
    case err::CancelSelected: return QStringLiteral("Cancel was selected.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError::RuntimeError(int number, QString description)
    : number_(number),
      description_(description.isEmpty() ? errorDescription(number) : std::move(description)),
      what_(QStringLiteral("Run-time error '%1': %2").arg(number).arg(description_).toUtf8())
{
}

void raise(int number, const QString& description)
{
    throw RuntimeError(number, description);
}

}  // namespace runtime
