#pragma once
// The state of the lock keys for the status-bar indicators.

struct LockKeyState {
    bool known = false;   // false where the platform cannot tell
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockKeyState QueryLockKeyState();
