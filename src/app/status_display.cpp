#include "app/status_display.h"

#include <cstdio>

namespace App {

const char kBlankProgressPrefix[] = "        ";

std::string FormatProgressPrefix(double percent) {
    const int length = std::snprintf(nullptr, 0, "%.2f", percent);
    std::string number(length > 0 ? length : 0, '\0');
    std::snprintf(&number[0], number.size() + 1, "%.2f", percent);
    return kBlankProgressPrefix + number + "% - ";
}

bool StatusDisplay::ResetPrefix() {
    Utils::MT::ScopedLock lock(*this);
    m_prefix = kBlankProgressPrefix;
    return UpdateLine();
}

bool StatusDisplay::SetStatusText(const std::string& text) {
    Utils::MT::ScopedLock lock(*this);
    m_statusText = text;
    bool changed = UpdateLine();
    const bool visible = !m_line.empty();
    if (visible != m_visible) {
        m_visible = visible;
        m_pending.visibilityChanged = true;
        m_pending.visible = visible;
        changed = true;
    }
    return changed;
}

bool StatusDisplay::SetProgressPercent(double percent) {
    Utils::MT::ScopedLock lock(*this);
    m_prefix = FormatProgressPrefix(percent);
    return UpdateLine();
}

bool StatusDisplay::SetPosition(int controlId, int position) {
    Utils::MT::ScopedLock lock(*this);
    auto known = m_positions.find(controlId);
    if (known != m_positions.end() && known->second == position) return false;
    m_positions[controlId] = position;
    for (auto& pending : m_pending.positions) {
        if (pending.first == controlId) {
            pending.second = position;
            return true;
        }
    }
    m_pending.positions.emplace_back(controlId, position);
    return true;
}

void StatusDisplay::ForgetPosition(int controlId) {
    Utils::MT::ScopedLock lock(*this);
    m_positions.erase(controlId);
}

void StatusDisplay::NoteLineVisible(bool visible) {
    Utils::MT::ScopedLock lock(*this);
    m_visible = visible;
    m_pending.visibilityChanged = false;
}

StatusDisplay::Pending StatusDisplay::Take() {
    Utils::MT::ScopedLock lock(*this);
    Pending taken;
    std::swap(taken, m_pending);
    return taken;
}

std::string StatusDisplay::GetStatusText() const {
    Utils::MT::ScopedLock lock(*this);
    return m_statusText;
}

std::string StatusDisplay::GetLine() const {
    Utils::MT::ScopedLock lock(*this);
    return m_line;
}

bool StatusDisplay::UpdateLine() {
    std::string line = m_prefix + m_statusText;
    if (line == m_line) return false;
    m_line = std::move(line);
    m_pending.lineChanged = true;
    m_pending.line = m_line;
    return true;
}

}  // namespace App
