#pragma once
#include <string>

namespace Kestrin::Shim
{

// One running copy per user: the first copy holds an exclusive lock on a file named after the
// product; a later copy finds it locked and sends a one-byte wake-up on a socket named after the
// product and the lock file, which the first copy turns into "bring the window to the front".
// Where the lock file cannot be made, the socket's name alone serves as the lock.
class SingleInstance
{
public:
    // lockFolder holds the lock file "<name>.lock"; name also names the wake-up socket.
    SingleInstance(const std::string& lockFolder, const std::string& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True unless another copy holds the lock. A lock that cannot be made at all counts as first.
    bool IsFirstInstance() const { return m_first; }

    // From a later copy: asks the first copy to come to the front. False when nothing listened.
    bool SignalFirstInstance();

    // In the first copy: true once for each wake-up received since the last call.
    bool TakeActivationRequest();

private:
    std::string m_socketId;
    int m_lockFd = -1;
    int m_socketFd = -1;
    bool m_first = true;
};

} // namespace Kestrin::Shim
