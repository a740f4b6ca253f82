#pragma once

#include <functional>

namespace kavelmark
{

// A key derivation of a V0.4 load or save takes a noticeable moment. Meanwhile the program
// shows a busy cursor and keeps painting: the work runs on a thread of its own while this
// thread handles everything but the user's input. Returns what work returned.
bool RunBusy(const std::function<bool()>& work);

// Makes RunBusy the runner of every key derivation for the guard's lifetime.
class ScopedBusyDerivation
{
public:
    ScopedBusyDerivation();
    ~ScopedBusyDerivation();
    ScopedBusyDerivation(const ScopedBusyDerivation&) = delete;
    ScopedBusyDerivation& operator=(const ScopedBusyDerivation&) = delete;

private:
    std::function<bool(const std::function<bool()>&)> previous_;
};

} // namespace kavelmark
