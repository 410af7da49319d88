#pragma once
// The classic runtime's error: a number and its description. The platform
// layer raises the number the original runtime would, and every caller maps
// the numbers it expects to its own messages.

#include <QString>
#include <exception>

namespace runtime {

// Error numbers the program names.
namespace err {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int InputPastEndOfFile = 62;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectVariableNotSet = 91;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int InvalidPicture = 481;
inline constexpr int CancelSelected = 32755;  // the open-file dialog's Cancel
}  // namespace err

class RuntimeError : public std::exception {
public:
    // The description defaults to the runtime's own text for the number.
    explicit RuntimeError(int number, QString description = {});

    int number() const { return number_; }
    const QString& description() const { return description_; }
    const char* what() const noexcept override { return what_.constData(); }

private:
    int number_;
    QString description_;
    QByteArray what_;
};

// The runtime's own description of an error number ("File not found").
QString errorDescription(int number);

[[noreturn]] void raise(int number, const QString& description = {});

}  // namespace runtime
