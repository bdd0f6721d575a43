#pragma once
// What the status line and the progress bars should show, kept apart from
// the windows so that updates which change nothing cost no trip to the
// dialog's thread. Any thread may call every operation.
#include <map>
#include <string>
#include <vector>

#include "utils/mt/threads.h"

namespace App {

// Eight blanks: the prefix before the first percentage arrives.
extern const char kBlankProgressPrefix[];

// Eight blanks + percent with two decimals + "% - ", e.g. "        42.50% - ".
std::string FormatProgressPrefix(double percent);

class StatusDisplay : public Utils::MT::AbstractThreadSafeClass {
public:
    // The changes the dialog's thread still has to apply to its controls.
    struct Pending {
        bool lineChanged = false;
        std::string line;  // prefix + status text
        bool visibilityChanged = false;
        bool visible = false;
        std::vector<std::pair<int, int>> positions;  // control id, position
        bool IsEmpty() const { return !lineChanged && !visibilityChanged && positions.empty(); }
    };

    // Each of these returns true when the user would see a difference, i.e.
    // when the dialog must apply Take() to its controls.

    // The prefix becomes eight blanks; the line is rebuilt (visibility kept).
    bool ResetPrefix();
    // Line = prefix + text, shown when non-empty and hidden otherwise.
    bool SetStatusText(const std::string& text);
    // Prefix rebuilt from percent; line = prefix + last status text (visibility kept).
    bool SetProgressPercent(double percent);
    bool SetPosition(int controlId, int position);
    // The control's position is unknown again (its range changed), so the
    // next SetPosition counts as a change whatever its value.
    void ForgetPosition(int controlId);
    // Records that the dialog showed or hid the status line itself.
    void NoteLineVisible(bool visible);

    // Hands out everything changed since the last call, and forgets it.
    Pending Take();

    std::string GetStatusText() const;
    std::string GetLine() const;

private:
    bool UpdateLine();  // caller holds the lock

    std::string m_prefix;
    std::string m_statusText;
    std::string m_line;
    bool m_visible = false;
    std::map<int, int> m_positions;
    Pending m_pending;
};

}  // namespace App
