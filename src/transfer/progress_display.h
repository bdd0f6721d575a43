#pragma once
// Passes progress to the main dialog from many download workers at once.
//
// Workers record the value they want shown (Want, cheap, under a small lock)
// and at most one thread at a time talks to the dialog (Send), always with the
// newest value. A value the user couldn't tell from the one on screen (same
// bar position, same "%.2f" text) causes no dialog call at all, a worker never
// waits for another worker's dialog call, and an older value can never
// overwrite a newer one.
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
    bool ChangedLocked() const;

    State m_wanted;
    State m_shown;
    bool m_sending = false;
};

}  // namespace Transfer
