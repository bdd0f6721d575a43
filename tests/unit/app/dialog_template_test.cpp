// The compiled dialog template 129: what the resource compiler made of the
// script is what the dialog manager creates, so check it field by field.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resource_ids.h"

namespace {

struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string className;  // "#<atom>" for the predefined classes
    std::string text;
};

struct DialogTemplate {
    DWORD style;
    short cx, cy;
    std::string caption;
    WORD pointSize;
    std::string font;
    std::vector<TemplateItem> items;
};

// Reads a name-or-ordinal field: 0xFFFF + ordinal, or a zero-terminated UTF-16 string.
std::string ReadText(const WORD*& p) {
    if (*p == 0xFFFF) {
        const WORD ordinal = p[1];
        p += 2;
        return "#" + std::to_string(ordinal);
    }
    std::string text;
    while (*p != 0) text += static_cast<char>(*p++);
    ++p;
    return text;
}

const WORD* AlignToDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
}

DialogTemplate ReadTemplate(int id) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    const auto* header =
        static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(nullptr, found)));
    DialogTemplate result{header->style, header->cx, header->cy, "", 0, "", {}};
    const WORD* p = reinterpret_cast<const WORD*>(header + 1);
    ReadText(p);  // menu
    ReadText(p);  // class
    result.caption = ReadText(p);
    if (header->style & DS_SETFONT) {
        result.pointSize = *p++;
        result.font = ReadText(p);
    }
    for (int i = 0; i < header->cdit; ++i) {
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(AlignToDword(p));
        TemplateItem parsed{item->style, item->x, item->y, item->cx, item->cy, item->id, "", ""};
        p = reinterpret_cast<const WORD*>(item + 1);
        parsed.className = ReadText(p);
        parsed.text = ReadText(p);
        p += 1 + *p / sizeof(WORD);  // creation data
        result.items.push_back(parsed);
    }
    return result;
}

TEST(DialogTemplate, MainDialogMatchesItsTemplateAndAllHidden) {
    const DialogTemplate dialog = ReadTemplate(IDD_MAINDLG);
    EXPECT_EQ(dialog.style, 0x00CA0040u);
    EXPECT_EQ(dialog.cx, 236);
    EXPECT_EQ(dialog.cy, 114);
    EXPECT_EQ(dialog.caption, "Downloader");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.font, "MS Sans Serif");

    const struct {
        WORD id;
        const char* className;
        const char* text;
        short x, y, cx, cy;
        DWORD style;
    } expected[] = {
        // Whole style words: BS_PUSHBUTTON and SS_LEFT are 0, so a bit test
        // could not tell a push button or a left-aligned text from anything.
        {IDOK, "#128", "OK", 15, 47, 50, 14, WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {IDCANCEL, "#128", "Cancel", 79, 46, 50, 14, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON},
        {ID_APP_ABOUT, "Button", "&About...", 165, 49, 11, 14,
         WS_CHILD | WS_TABSTOP | BS_OWNERDRAW},
        {IDC_STATUS_LINE, "#130", "", 7, 83, 222, 15, WS_CHILD | WS_BORDER | SS_LEFT},
        {IDC_PROGRESS_BAR, "msctls_progress32", "", 7, 98, 222, 9,
         WS_CHILD | WS_BORDER | PBS_SMOOTH},
    };
    ASSERT_EQ(dialog.items.size(), std::size(expected));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        EXPECT_EQ(item.id, expected[i].id);
        // The resource compiler may store class names upper-cased.
        EXPECT_EQ(::lstrcmpiA(item.className.c_str(), expected[i].className), 0) << item.className;
        EXPECT_EQ(item.text, expected[i].text) << item.id;
        EXPECT_EQ(item.x, expected[i].x) << item.id;
        EXPECT_EQ(item.y, expected[i].y) << item.id;
        EXPECT_EQ(item.cx, expected[i].cx) << item.id;
        EXPECT_EQ(item.cy, expected[i].cy) << item.id;
        EXPECT_EQ(item.style, expected[i].style)
            << std::hex << item.style << std::dec << " id " << item.id;
    }
}

}  // namespace
