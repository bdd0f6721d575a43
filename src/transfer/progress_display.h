#pragma once
// Passes progress to the main dialog from many download workers at once.
//
// Workers record the value they want shown (Want, cheap, under a small lock)
// and at most one thread at a time talks to the dialog (Send), always with the
// newest value. A value the user couldn't tell from the one on screen (same
// bar position, same "%.2f" text) causes no dialog call at all, a worker never
// waits for another worker's dialog call, and an older value can never
// overwrite a newer one. Bar moves go out at once; a change of the text alone
// at most every kTextIntervalMs (the dialog answers each change with a round
// trip to its thread), and Flush shows what is left at the end of a transfer.
#include <cstdint>

#include "utils/mt/threads.h"

namespace Transfer {

class ProgressDisplay : public Utils::MT::AbstractThreadSafeClass {
public:
    // Records the wanted bar position (kNoPosition: keep it) and, with
    // hasText, the wanted progress text. Returns true when the caller must
    // now call Send: something visible changed and nobody is sending.
    // Callers that need an order among values call this under their own lock.
    bool Want(int position, bool hasText, double text);
    // Shows the newest wanted values on the main dialog, repeating while other
    // threads change them, then returns. Call without holding other locks.
    void Send();
    // Shows a pending text change now, unless another thread is sending.
    void Flush();
    // Forgets what is on screen, for when the bar was moved by other means
    // or restarts for another transfer: the next value is sent even if equal.
    void Forget();

private:
    struct State {
        int position = -1;
        bool hasText = false;
        double text = 0.0;
        std::int64_t textHundredths = -1;
    };
    static constexpr DWORD kTextIntervalMs = 40;
    // Something to send: a bar move, or a text change (only when due unless forced).
    bool DueLocked(bool force) const;
    void SendLoop(bool force);

    State m_wanted;
    State m_shown;
    bool m_sending = false;
    DWORD m_lastSendTick = 0;
};

}  // namespace Transfer
