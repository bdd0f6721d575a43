#include "transfer/progress_display.h"

#include "transfer/download_progress.h"
#include "utils/run_reporter.h"

namespace Transfer {
namespace {
constexpr int kProgressBarId = 1007;
}

bool ProgressDisplay::Want(int position, bool hasText, double text) {
    Utils::MT::ScopedLock lock(*this);
    if (position != kNoPosition) m_wanted.position = position;
    if (hasText) {
        m_wanted.hasText = true;
        m_wanted.text = text;
        m_wanted.textHundredths = VisibleHundredths(text);
    }
    if (m_sending || !DueLocked(false)) return false;
    m_sending = true;
    return true;
}

bool ProgressDisplay::DueLocked(bool force) const {
    if (m_wanted.position != m_shown.position) return true;
    if (!m_wanted.hasText || m_wanted.textHundredths == m_shown.textHundredths) return false;
    return force || ::GetTickCount() - m_lastSendTick >= kTextIntervalMs;
}

void ProgressDisplay::Send() { SendLoop(false); }

void ProgressDisplay::Flush() {
    {
        Utils::MT::ScopedLock lock(*this);
        if (m_sending || !DueLocked(true)) return;
        m_sending = true;
    }
    SendLoop(true);
}

void ProgressDisplay::SendLoop(bool force) {
    for (;;) {
        State previous, next;
        {
            Utils::MT::ScopedLock lock(*this);
            if (!DueLocked(force)) {
                m_sending = false;
                return;
            }
            force = false;
            previous = m_shown;
            next = m_shown = m_wanted;
            m_lastSendTick = ::GetTickCount();
        }
        RunReporter* dialog = g_mainDialog;
        if (!dialog) continue;
        // The dialog pauses inside SetProgressPos at 100; nobody else waits for it.
        if (next.position != previous.position && next.position != kNoPosition)
            dialog->SetProgressPos(kProgressBarId, next.position);
        if (next.hasText && next.textHundredths != previous.textHundredths)
            dialog->SetProgressText(next.text);
    }
}

void ProgressDisplay::Forget() {
    Utils::MT::ScopedLock lock(*this);
    m_shown = State();
    m_wanted.position = kNoPosition;
    m_wanted.hasText = false;
}

}  // namespace Transfer
