#pragma once
// A listening TCP socket that hands each connection it accepts to a callback
// as a system descriptor, and takes none while paused: requests then wait in
// the system's queue (up to Backlog), which costs the program no descriptor.
// When the system refuses to accept for want of descriptors, accepting pauses
// briefly and resumes by itself.

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

namespace platform {

class TcpListener : public QObject {
public:
    static constexpr int Backlog = 1024;

    // `take` receives each accepted descriptor and owns it from then on.
    TcpListener(std::function<void(qintptr)> take, QObject* parent);
    ~TcpListener() override;

    // Listens on the address and port (0: any free port); false with the
    // reason in errorText() when the port is taken or the address not ours.
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const;
    QHostAddress address() const;
    QString errorText() const { return errorText_; }

    void pause();
    void resume();

private:
    void acceptWaiting();

    std::function<void(qintptr)> take_;
    int descriptor_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    bool paused_ = false;
    bool refused_ = false;  // the system has no descriptor to spare just now
    QString errorText_;
};

}  // namespace platform
