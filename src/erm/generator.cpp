#include "erm/generator.h"

#include "text/cp1251.h"
#include "text/error.h"

#include <charconv>
#include <string_view>

namespace kv {

namespace {

// Appends pieces and numbers to the script text without temporary strings: a project of ten
// thousand dialogs appends a few million pieces.
class CodeWriter {
public:
    explicit CodeWriter(std::string& text) : text_(text) {}

    CodeWriter& operator<<(std::string_view piece) {
        text_.append(piece);
        return *this;
    }
    CodeWriter& operator<<(char c) {
        text_.push_back(c);
        return *this;
    }
    CodeWriter& operator<<(std::int64_t value) {
        char digits[24];
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        text_.append(digits, result.ptr);
        return *this;
    }
    CodeWriter& operator<<(int value) { return *this << static_cast<std::int64_t>(value); }

private:
    std::string& text_;
};

[[noreturn]] void ThrowMaskOutOfRange(const TDialogItem& dialog, std::string_view field, int value,
                                      int largest) {
    throw Error("Функция " + std::to_string(dialog.FunctionNumber) + ": " +
                MaskOutOfRangeText(field, value, largest));
}

// The message: lines up to the last non-empty one joined by LF, with every caret removed, since
// the caret ends a string in ERM. Nothing at all when that leaves an empty text.
void AppendMessage(std::string& text, const TDialogItem& dialog) {
    const std::size_t start = text.size();
    text.append("\n!!IF:M^");
    const std::size_t body = text.size();
    AppendMessageText(text, dialog);
    if (text.size() == body)
        text.resize(start);
    else
        text.append("^;");
}

void AppendCaptions(CodeWriter& out, const TDialogItem& dialog, std::int64_t defaultMask) {
    out << "\n!!VRz13:S^" << dialog.Header.view() << "^;";
    for (int k = 0; k < kSlotCount; ++k) {
        const auto slot = static_cast<std::size_t>(k);
        const TVariantData& v = dialog.Variants[slot];
        const int z = k + 1;
        out << "\n!!VRz" << z << ":S^" << dialog.Variant[slot].view() << "^;";
        if (v.Skill > 0) {
            out << "\n!!HE-1:S" << (v.Skill - 1) << "/?v1;";
            out << "\n!!VRz" << z << "&v1=0:S^^;";
        }
        if (!v.FailOn.empty()) out << "\n!!VRz" << z << v.FailOn.view() << ":S^^;";
    }
    out << "\n!!IF:G1/1/" << defaultMask << "/z13/z1/z2/z3/z4/z5/z6/z7/z8/z9/z10/z11/z12;";
    out << "\n!!VRy-2:Sv1;";
    out << "\n!!VRy-3:Sv1;";
}

void AppendRequirements(CodeWriter& out, const TVariantData& v, std::int64_t mask,
                        std::int64_t escapeMask) {
    const GameTexts& text = RussianGameTexts();
    if (v.Skill > 0 && v.Slevel > 0) {
        const int skill = v.Skill - 1;
        out << "\n!!HE-1&y-2=" << mask << ":S" << skill << "/?y-1;";
        out << "\n!!VRy-3&y-2=" << mask << "/y-1<" << v.Slevel << ":S" << escapeMask << ';';
        out << "\n!!IF&y-2=" << mask << "/y-1<" << v.Slevel << ":Q1/20/" << (3 * skill + 3)
            << "/12/0/1^" << text.failed << "^;";
    }
    for (int r = 0; r < kResourceCount; ++r) {
        const int cost = v.Cost(r);
        if (cost == 0) continue;
        out << "\n!!OW&y-2=" << mask << ":R-1/" << r << "/?y-1;";
        out << "\n!!IF&y-2=" << mask << "/y-1<" << cost << ":Q1/" << r << '/' << cost << "/1^"
            << text.needed << "^;";
        out << "\n!!VRy-3&y-2=" << mask << "/y-1<" << cost << ":S" << escapeMask << ';';
    }
}

void AppendEffects(CodeWriter& out, const TDialogItem& dialog, int k, std::int64_t mask) {
    const GameTexts& text = RussianGameTexts();
    const TVariantData& v = dialog.Variants[static_cast<std::size_t>(k)];
    for (int r = 0; r < kResourceCount; ++r) {
        if (v.Cost(r) > 0)
            out << "\n!!OW&y-3=" << mask << ":R-1/" << r << "/d-" << v.Cost(r) << ';';
    }
    for (int r = 0; r < kResourceCount; ++r) {
        const int reward = v.Reward(r);
        if (reward == 0) continue;
        out << "\n!!OW&y-3=" << mask << ":R-1/" << r << "/d+" << reward << ';';
        out << "\n!!IF&y-3=" << mask << ":Q1/" << r << '/' << reward << "/1^" << text.youGet
            << "^;";
    }
    if (v.Variable > 0) {
        out << "\n!!VRv" << v.Variable << "&y-3=" << mask;
        if (v.DVariable > 0)
            out << ":+" << v.DVariable << ';';
        else if (v.DVariable < 0)
            out << ':' << v.DVariable << ';';
        else
            out << ":S" << v.SVariable << ';';
    }
    if (v.Artefact > 0) {
        out << "\n!!HE-1&y-3=" << mask << ":A" << v.Artefact << ';';
        out << "\n!!IF&y-3=" << mask << ":Q1/8/" << v.Artefact << "/1^" << text.youGet << "^;";
    }
    if (dialog.HasFollowUp(k)) out << "\n!!FU" << dialog.FollowUp(k) << "&y-3=" << mask << ":PE;";
}

} // namespace

void AppendMessageText(std::string& text, const TDialogItem& dialog) {
    int last = kTextLineCount - 1;
    while (last >= 0 && dialog.Text[static_cast<std::size_t>(last)].empty())
        --last;
    for (int line = 0; line <= last; ++line) {
        if (line > 0) text.push_back('\n');
        for (char c : dialog.Text[static_cast<std::size_t>(line)].view()) {
            if (c != '^') text.push_back(c);
        }
    }
}

std::int64_t VariantMask(int n) {
    if (n < 0 || n > 62) return 0;
    return std::int64_t{1} << n;
}

void AppendDialogCode(std::string& text, const TDialogItem& dialog) {
    // The masks go into the script as signed 32-bit numbers; refuse a field whose mask would not
    // fit before anything is appended, so a failed compile leaves no half block behind. A dialog
    // without the choice code writes no mask, and so has nothing to refuse.
    const bool writesChoice = dialog.SlotInUse(0);
    if (writesChoice && dialog.VariantEscape > kLargestEscape) {
        ThrowMaskOutOfRange(dialog, "VariantEscape", dialog.VariantEscape, kLargestEscape);
    }
    if (writesChoice && dialog.VariantDefault > kLargestDefault) {
        ThrowMaskOutOfRange(dialog, "VariantDefault", dialog.VariantDefault, kLargestDefault);
    }

    CodeWriter out(text);
    out << "\n\n;" << dialog.Hint.view();
    out << "\n!?FU" << dialog.FunctionNumber << ';';
    if (!dialog.ScriptBefore.empty()) out << '\n' << dialog.ScriptBefore.view();
    AppendMessage(text, dialog);
    if (!dialog.ScriptAfter.empty()) out << '\n' << dialog.ScriptAfter.view();
    // The choice code is written only when slot 0 is in use, whatever the later slots hold.
    if (!writesChoice) return;

    const std::int64_t escapeMask = VariantMask(dialog.VariantEscape);
    AppendCaptions(out, dialog, VariantMask(dialog.VariantDefault - 1));
    for (int k = 0; k < kSlotCount; ++k) {
        AppendRequirements(out, dialog.Variants[static_cast<std::size_t>(k)], VariantMask(k),
                           escapeMask);
    }
    for (int k = 0; k < kSlotCount; ++k)
        AppendEffects(out, dialog, k, VariantMask(k));
}

std::string MaskOutOfRangeText(std::string_view field, int value, int largest) {
    return std::string(field) + " = " + std::to_string(value) +
           " не годится для кода ERM (допустимо от 0 до " + std::to_string(largest) + ")";
}

const GameTexts& RussianGameTexts() {
    static const GameTexts texts{Utf8ToCp1251("[неудачно]"), Utf8ToCp1251("Необходимо:"),
                                 Utf8ToCp1251("Вы получаете:"), Utf8ToCp1251("артефакт")};
    return texts;
}

} // namespace kv
